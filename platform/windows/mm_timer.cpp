// The multimedia clock and timer on Windows: the clock is the embedded synthesizer's
// (the performance counter, which its blocks are timed by), and while a WAV file renders
// offline the clock and the periodic timer are its sample clock's (sample_clock.h), as on
// Linux. The program's calls reach these through the import table (route_import.h).
#include "platform/synth/realtime.h"
#include "platform/synth/sample_clock.h"
#include "platform/windows/route_import.h"
#include "platform/windows/winmm_calls.h"

namespace {

// The sample clock's timers count apart from Windows' own, which count from 1. Only the
// thread that drives an offline render sets them (sample_clock.h), so no lock.
constexpr UINT kFirstSampleClockTimer = 0x40000000;
UINT last_sample_clock_timer = kFirstSampleClockTimer;

DWORD WINAPI clock_time() {
    if (sample_clock_running()) return sample_clock_ms();
    return static_cast<DWORD>(monotonic_ns() / 1000000);
}

MMRESULT WINAPI set_event(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                          UINT flags) {
    if (!sample_clock_running()) return winmm().set_event(delay, resolution, callback, user, flags);
    if (delay == 0 || callback == nullptr || (flags & TIME_PERIODIC) == 0) return 0;
    UINT id = ++last_sample_clock_timer;
    set_sample_clock_timer(id, delay, callback, user);
    return id;
}

MMRESULT WINAPI kill_event(UINT id) {
    if (kill_sample_clock_timer(id)) return TIMERR_NOERROR;
    return winmm().kill_event(id);
}

}  // namespace

ROUTE_IMPORT(timeGetTime, clock_time)
ROUTE_IMPORT(timeSetEvent, set_event)
ROUTE_IMPORT(timeKillEvent, kill_event)
