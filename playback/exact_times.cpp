#include "playback/exact_times.h"

#include <cstring>

#include "playback/session.h"
#include "playback/timeline.h"

std::int16_t exact_time_offsets[kTimelineEvents];

void clear_exact_times() {
    std::memset(exact_time_offsets, 0, sizeof exact_time_offsets);
}

void keep_exact_time(int index, double exact_ms, std::int32_t time) {
    constexpr double kLimit = kDueWindow * 1000.0;
    double offset = (exact_ms - time) * 1000.0;
    if (!(offset > -kLimit)) offset = -kLimit;  // NaN too
    if (offset > kLimit) offset = kLimit;
    exact_time_offsets[index] = static_cast<std::int16_t>(round_to_int(offset));
}

std::int64_t exact_event_time_us(int index) {
    return static_cast<std::int64_t>(song_timeline.event_times[index]) * 1000 +
           exact_time_offsets[index];
}
