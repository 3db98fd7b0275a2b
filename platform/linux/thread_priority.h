// The time-critical threads (the multimedia timer, the WAV renderer) ask for real-time
// scheduling, as Windows runs multimedia-timer callbacks at time-critical priority.
#pragma once

// SCHED_FIFO at a modest priority for the calling thread; where that is not allowed,
// the lowest nice value the thread may take. Quietly does what it can.
void raise_thread_priority();
