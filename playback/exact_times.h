// Each event's exact time on the song's tempo map, beside the Timeline's whole
// milliseconds, which are that time rounded. The scheduler sends each event by the
// Timeline's time, as it always has, and tells an output that can schedule the exact one,
// within kDueWindow of the Timeline's, so that the Timeline stays in charge of what plays
// when.
//
// Threads: written only by the Timeline's build (main thread, nothing playing); read by
// the tick.
#pragma once

#include <cstdint>

#include "smf/song_image.h"

// Microseconds from event_times[i] to the event's exact time, within ±kDueWindow.
extern std::int16_t exact_time_offsets[kTimelineEvents];

void clear_exact_times();
// The build's exact time of event index, whose Timeline time is time.
void keep_exact_time(int index, double exact_ms, std::int32_t time);
// The event's exact time in microseconds from the Timeline's start.
std::int64_t exact_event_time_us(int index);
