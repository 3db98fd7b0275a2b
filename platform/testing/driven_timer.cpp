#include "platform/testing/test_double.h"
#include "platform/testing/test_platform.h"

DrivenTimer driven_timer;

void DrivenTimer::reset() {
    *this = DrivenTimer();
}

void DrivenTimer::tick_at(DWORD ms) {
    now = ms;
    if (running_id == 0) return;
    ++ticks;
    callback(running_id, 0, 0, 0, 0);
}

DWORD TEST_DOUBLE(timeGetTime)() {
    return driven_timer.now;
}

MMRESULT TEST_DOUBLE(timeGetDevCaps)(LPTIMECAPS caps, UINT) {
    if (driven_timer.caps_result == TIMERR_NOERROR) *caps = driven_timer.caps;
    return driven_timer.caps_result;
}

MMRESULT TEST_DOUBLE(timeBeginPeriod)(UINT period) {
    driven_timer.begun_periods.push_back(period);
    return TIMERR_NOERROR;
}

MMRESULT TEST_DOUBLE(timeEndPeriod)(UINT period) {
    driven_timer.ended_periods.push_back(period);
    return TIMERR_NOERROR;
}

MMRESULT TEST_DOUBLE(timeSetEvent)(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR,
                                   UINT flags) {
    if (driven_timer.refuse_timer || delay == 0) return 0;
    driven_timer.flags = flags;
    driven_timer.callback = callback;
    driven_timer.delay = delay;
    driven_timer.running_id = ++driven_timer.last_id;
    if (driven_timer.tick_during_create) driven_timer.tick_at(driven_timer.now);
    return driven_timer.running_id;
}

MMRESULT TEST_DOUBLE(timeKillEvent)(UINT id) {
    if (id != driven_timer.running_id || id == 0) return MMSYSERR_INVALPARAM;
    driven_timer.running_id = 0;
    return TIMERR_NOERROR;
}

ROUTE_TO_DOUBLE(timeGetTime)
ROUTE_TO_DOUBLE(timeGetDevCaps)
ROUTE_TO_DOUBLE(timeBeginPeriod)
ROUTE_TO_DOUBLE(timeEndPeriod)
ROUTE_TO_DOUBLE(timeSetEvent)
ROUTE_TO_DOUBLE(timeKillEvent)
