// Preloaded into quelt by bench/jack_bench.sh: times JACK's process callback
// (everything quelt does per period: port buffers, the gate) with the
// monotonic clock and writes at exit to $QUELT_TIMING_REPORT:
// "periods N frames N ns N fastest N" for the periods after the first
// hundred: the total, and the fastest period (one no other thread preempted).
#include <jack/jack.h>

#include <dlfcn.h>
#include <time.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWarmUp = 100;

JackProcessCallback wrapped = nullptr;
void* wrappedArgument = nullptr;
std::atomic<int64_t> periods{0}, frames{0}, nanoseconds{0};
int64_t fastest = INT64_MAX;  // the process thread only

int64_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int timedProcess(jack_nframes_t n, void*)
{
    const int64_t start = now();
    const int result = wrapped(n, wrappedArgument);
    if (periods.fetch_add(1) >= kWarmUp) {
        const int64_t took = now() - start;
        frames += n;
        nanoseconds += took;
        fastest = took < fastest ? took : fastest;
    }
    return result;
}

__attribute__((destructor)) void report()
{
    const char* path = getenv("QUELT_TIMING_REPORT");
    if (FILE* out = path ? fopen(path, "w") : nullptr) {
        fprintf(out, "periods %lld frames %lld ns %lld fastest %lld\n", (long long)(periods.load() - kWarmUp),
                (long long)frames.load(), (long long)nanoseconds.load(), (long long)fastest);
        fclose(out);
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int jack_set_process_callback(
    jack_client_t* client, JackProcessCallback callback, void* argument)
{
    using Setter = int (*)(jack_client_t*, JackProcessCallback, void*);
    static const auto real = reinterpret_cast<Setter>(dlsym(RTLD_NEXT, "jack_set_process_callback"));
    wrapped = callback;
    wrappedArgument = argument;
    return real(client, timedProcess, nullptr);
}
