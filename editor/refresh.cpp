#include "editor/refresh.h"

namespace Zorv {

namespace {

int remaining(uint32_t interval, uint32_t elapsed)
{
    return elapsed >= interval ? 0 : int(interval - elapsed);
}

}  // namespace

GRefreshSchedule::GRefreshSchedule(int throttleMs, uint32_t now)
    : throttleMs(throttleMs), lastPass(now), lastRequest(now - kHeartbeatMs)
{
}

bool GRefreshSchedule::isDue(uint32_t now, bool requested) const
{
    if (throttleMs < 0)
        return false;
    const uint32_t since = now - lastPass;
    return (requested && since >= uint32_t(throttleMs)) || since >= kHeartbeatMs;
}

void GRefreshSchedule::passed(uint32_t now, bool requested)
{
    lastPass = now;
    if (requested)
        lastRequest = now;
}

bool GRefreshSchedule::isDozing(uint32_t now) const
{
    return now - lastRequest >= kHeartbeatMs;
}

int GRefreshSchedule::waitMs(uint32_t now, bool requested, bool woken) const
{
    if (throttleMs < 0)
        return -1;
    const uint32_t since = now - lastPass;
    if (requested && !woken)
        return remaining(uint32_t(throttleMs), since);
    if (woken || isDozing(now))
        return remaining(kHeartbeatMs, since);
    const int poll = throttleMs > 0 ? throttleMs : 1;
    const int heartbeat = remaining(kHeartbeatMs, since);
    return poll < heartbeat ? poll : heartbeat;
}

}  // namespace Zorv
