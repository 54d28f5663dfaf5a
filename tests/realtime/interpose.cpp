#include "tests/realtime/interpose.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace rt {
namespace {

thread_local bool marked = false;
std::atomic<int> counts[kKinds];

using MutexCall = int (*)(pthread_mutex_t*);
MutexCall realLock = nullptr;
MutexCall realTrylock = nullptr;

void note(Kind kind)
{
    if (marked)
        counts[kind].fetch_add(1, std::memory_order_relaxed);
}

MutexCall resolve(MutexCall& call, const char* name)
{
    if (!call)
        call = reinterpret_cast<MutexCall>(dlsym(RTLD_NEXT, name));
    return call;
}

__attribute__((constructor(101))) void resolveEarly()
{
    resolve(realLock, "pthread_mutex_lock");
    resolve(realTrylock, "pthread_mutex_trylock");
}

}  // namespace

int count(Kind kind)
{
    return counts[kind].load();
}

void reset()
{
    for (std::atomic<int>& c : counts)
        c.store(0);
}

AudioCall::AudioCall()
{
    marked = true;
}

AudioCall::~AudioCall()
{
    marked = false;
}

}  // namespace rt

// Exported whatever the build's default visibility: libraries must bind to these.
#define QUELT_INTERPOSE __attribute__((visibility("default")))

extern "C" {

QUELT_INTERPOSE void* malloc(size_t n)
{
    rt::note(rt::kAllocation);
    return __libc_malloc(n);
}

QUELT_INTERPOSE void* calloc(size_t n, size_t size)
{
    rt::note(rt::kAllocation);
    return __libc_calloc(n, size);
}

QUELT_INTERPOSE void* realloc(void* p, size_t n)
{
    rt::note(rt::kAllocation);
    return __libc_realloc(p, n);
}

QUELT_INTERPOSE void free(void* p)
{
    if (p)
        rt::note(rt::kAllocation);
    __libc_free(p);
}

QUELT_INTERPOSE int pthread_mutex_lock(pthread_mutex_t* m)
{
    rt::note(rt::kLock);
    return rt::resolve(rt::realLock, "pthread_mutex_lock")(m);
}

QUELT_INTERPOSE int pthread_mutex_trylock(pthread_mutex_t* m)
{
    rt::note(rt::kLock);
    return rt::resolve(rt::realTrylock, "pthread_mutex_trylock")(m);
}

QUELT_INTERPOSE ssize_t write(int fd, const void* bytes, size_t n)
{
    rt::note(rt::kWrite);
    return syscall(SYS_write, fd, bytes, n);
}

QUELT_INTERPOSE ssize_t writev(int fd, const iovec* parts, int n)
{
    rt::note(rt::kWrite);
    return syscall(SYS_writev, fd, parts, n);
}

QUELT_INTERPOSE ssize_t send(int fd, const void* bytes, size_t n, int flags)
{
    rt::note(rt::kWrite);
    return syscall(SYS_sendto, fd, bytes, n, flags, nullptr, 0);
}

QUELT_INTERPOSE ssize_t sendmsg(int fd, const msghdr* message, int flags)
{
    rt::note(rt::kWrite);
    return syscall(SYS_sendmsg, fd, message, flags);
}

}  // extern "C"
