// GRefreshSchedule: when the editor's UI thread draws for refresh requests
// that nothing can wake it for (flags the audio thread sets), and how long it
// may sleep in between. While requests come it looks once per throttle
// interval and draws at most once per interval; from the start and after a
// heartbeat without a request it dozes until the next heartbeat, when a pass
// runs anyway for controls that change with time. While something else wakes
// the thread for requests (the host's idle, which posts a redraw when one
// waits), it sleeps from heartbeat to heartbeat instead of looking. A
// negative interval holds every request back. Pure bookkeeping over a
// millisecond clock that may wrap; UI thread only.
#pragma once

#include <cstdint>

namespace Zorv {

class GRefreshSchedule {
public:
    static constexpr uint32_t kHeartbeatMs = 1000;

    GRefreshSchedule(int throttleMs, uint32_t now);

    bool isDue(uint32_t now, bool requested) const;  // a pass should run now
    void passed(uint32_t now, bool requested);       // a pass ran; requested: it took a request
    bool isDozing(uint32_t now) const;               // no request for a whole heartbeat
    // Sleep for X events; -1: until one comes. woken: requests wake the thread.
    int waitMs(uint32_t now, bool requested, bool woken = false) const;

private:
    int throttleMs;
    uint32_t lastPass;
    uint32_t lastRequest;
};

}  // namespace Zorv
