#include "playback/position.h"

#include <cstdio>

#include "playback/timeline.h"

namespace {

std::uint32_t event_time(int i) {
    std::int32_t time = song_timeline.event_times[i];
    return time < 0 ? 0 : static_cast<std::uint32_t>(time);
}

}  // namespace

int first_event_at(std::uint32_t song_ms) {
    int count = timeline_count();
    int i = 0;
    while (i < count && event_time(i) < song_ms)
        ++i;
    return i;
}

std::uint32_t song_length_ms() {
    std::uint32_t length = 0;
    for (int i = 0; i < timeline_count(); ++i)
        if (event_time(i) > length) length = event_time(i);
    return length;
}

std::uint32_t song_end_ms() {
    std::uint32_t length = song_length_ms();
    return song_end.time > 0 && static_cast<std::uint32_t>(song_end.time) > length
               ? static_cast<std::uint32_t>(song_end.time)
               : length;
}

SongPlace song_place_at(std::uint32_t song_ms, double speed_factor) {
    int count = timeline_count();
    if (count == 0) return {0, 0.0};
    int i = first_event_at(song_ms);
    if (i == count) i = count - 1;
    double before = (static_cast<double>(event_time(i)) - static_cast<double>(song_ms));
    return {i, before / speed_factor};
}

std::uint32_t song_time_of(SongPlace place, double speed_factor) {
    int count = timeline_count();
    if (count == 0) return 0;
    int i = place.index < count ? place.index : count - 1;
    double time = static_cast<double>(event_time(i)) - place.before * speed_factor;
    return time <= 0.0 ? 0 : static_cast<std::uint32_t>(time + 0.5);
}

bool parse_song_time(const char* text, std::uint32_t& song_ms) {
    std::uint64_t minutes = 0;
    const char* p = text;
    if (*p < '0' || *p > '9') return false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        minutes = minutes * 10 + static_cast<unsigned>(*p - '0');
        if (minutes > 60000) return false;
    }
    if (p[0] != ':' || p[1] < '0' || p[1] > '5' || p[2] < '0' || p[2] > '9') return false;
    std::uint64_t ms =
        (minutes * 60 + static_cast<unsigned>((p[1] - '0') * 10 + (p[2] - '0'))) * 1000;
    p += 3;
    if (*p == '.') {
        std::uint64_t scale = 100;
        if (p[1] == '\0') return false;
        for (++p; *p >= '0' && *p <= '9'; ++p, scale /= 10)
            ms += static_cast<unsigned>(*p - '0') * scale;
    }
    if (*p != '\0') return false;
    song_ms = static_cast<std::uint32_t>(ms);
    return true;
}

void format_song_time(std::uint32_t song_ms, char* out) {
    std::snprintf(out, kSongTimeText, "%u:%02u", song_ms / 60000, song_ms / 1000 % 60);
}
