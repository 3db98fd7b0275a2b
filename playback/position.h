// Places in the song on the Timeline's clock: the first event at a time, the song's
// length, a place that holds when the Timeline is built again at another speed, and a
// time as people write it.
#pragma once

#include <cstdint>

// The first event at or after song_ms: where playing on from song_ms begins.
int first_event_at(std::uint32_t song_ms);
// The time of the song's last event on the playback clock.
std::uint32_t song_length_ms();
// The song's end as its tracks mark it (the latest End of Track), never before its last
// event: where a loop that runs to the song's end ends.
std::uint32_t song_end_ms();

// song_ms kept within 0 and end_ms.
inline std::uint32_t within_song(std::int64_t song_ms, std::uint32_t end_ms) {
    return song_ms < 0 ? 0 : song_ms > end_ms ? end_ms : static_cast<std::uint32_t>(song_ms);
}

// A place in the song itself: the event it comes before and how long before, at speed 1
// (negative: after the last event).
struct SongPlace {
    int index;
    double before;
};
SongPlace song_place_at(std::uint32_t song_ms, double speed_factor);
std::uint32_t song_time_of(SongPlace place, double speed_factor);

// A time as people write it, "M:SS" (minutes any, seconds 00 to 59, a fraction of a
// second allowed: "1:05.250"); false for anything else.
bool parse_song_time(const char* text, std::uint32_t& song_ms);
// "m:ss", the seconds cut, into out (at least kSongTimeText bytes).
constexpr int kSongTimeText = 16;
void format_song_time(std::uint32_t song_ms, char* out);
