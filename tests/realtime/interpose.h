// Counts, per kind, the calls that can block or allocate which a thread makes
// while it is marked as being inside a plug-in call on the audio thread. The
// test executable defines malloc, calloc, realloc, free, pthread_mutex_lock,
// pthread_mutex_trylock, write, writev, send and sendmsg itself; a program's
// own definitions win for every library it loads (libX11, libstdc++, the
// plug-in), so their calls count too. Any thread; counters are atomics.
#pragma once

namespace rt {

enum Kind { kAllocation, kLock, kWrite, kKinds };

int count(Kind kind);  // calls made by marked threads since the last reset
void reset();

// Marks the calling thread for the scope of one plug-in call.
class AudioCall {
public:
    AudioCall();
    ~AudioCall();
    AudioCall(const AudioCall&) = delete;
    AudioCall& operator=(const AudioCall&) = delete;
};

}  // namespace rt
