#include "platform/synth/realtime.h"

#include "platform/win32.h"

namespace {

std::int64_t counter_frequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

}  // namespace

void raise_thread_priority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

// The performance counter, which never goes back, in nanoseconds: exact for any count, as
// a product of counts and 10^9 would wrap within days.
std::int64_t monotonic_ns() {
    static const std::int64_t frequency = counter_frequency();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / frequency * 1000000000 +
           now.QuadPart % frequency * 1000000000 / frequency;
}

// Sleep's millisecond steps (the program asks for 1 ms timer resolution while it plays),
// then the last part of a millisecond given up a slice at a time.
void sleep_until_ns(std::int64_t ns) {
    for (;;) {
        std::int64_t left = ns - monotonic_ns();
        if (left <= 0) return;
        Sleep(left > 2000000 ? static_cast<DWORD>(left / 1000000 - 1) : 0);
    }
}
