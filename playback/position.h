// Where playback is in the song: its place on the playback clock, the song's length, and
// a place that holds when the Timeline is built again at another speed.
#pragma once

#include <cstdint>

// The first event at or after song_ms: where playing on from song_ms begins.
int first_event_at(std::uint32_t song_ms);
// The time of the song's last event on the playback clock.
std::uint32_t song_length_ms();
// The place playback has reached, playing or paused; 0 when stopped.
std::uint32_t playback_position_ms();

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
