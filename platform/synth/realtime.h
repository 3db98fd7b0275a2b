// What the time-critical threads (the multimedia timer, the WAV renderer) and the
// playback clock take from the system: each system's own realtime.cpp.
//
// Threads: any thread may call these.
#pragma once

#include <cstdint>

// Asks for the scheduling Windows gives multimedia-timer callbacks. Linux: SCHED_FIFO at a
// modest priority for the calling thread; where that is not allowed, the lowest nice value
// the thread may take. Windows: time-critical priority. Quietly does what it can.
void raise_thread_priority();

// The system's monotonic clock in nanoseconds: the playback clock when no render drives
// it (its milliseconds, modulo 2^32, are timeGetTime's).
std::int64_t monotonic_ns();
// Waits until the monotonic clock reaches ns.
void sleep_until_ns(std::int64_t ns);
