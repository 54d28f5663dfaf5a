// Preloaded into quelt: the counting interposer, with JACK's process callback
// wrapped so that the calls it makes count. At exit it writes what it
// counted to $QUELT_RT_REPORT: "calls N allocations N locks N writes N".
#include "tests/realtime/interpose.h"

#include <jack/jack.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

JackProcessCallback wrapped = nullptr;
void* wrappedArgument = nullptr;
std::atomic<int> calls{0};

int markedProcess(jack_nframes_t frames, void*)
{
    calls.fetch_add(1, std::memory_order_relaxed);
    rt::AudioCall inside;
    return wrapped(frames, wrappedArgument);
}

__attribute__((destructor)) void report()
{
    const char* path = getenv("QUELT_RT_REPORT");
    if (FILE* out = path ? fopen(path, "w") : nullptr) {
        fprintf(out, "calls %d allocations %d locks %d writes %d\n", calls.load(), rt::count(rt::kAllocation),
                rt::count(rt::kLock), rt::count(rt::kWrite));
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
    return real(client, markedProcess, nullptr);
}
