// The song information scan: the header numbers, the first track's meta events and the
// five display lines (Shift-JIS).
#pragma once

#include <cstdint>

#include "smf/song_image.h"

struct MetaSummary {
    const char* text;
    const char* copyright;
    const char* track_name;
    const char* instrument_name;
    std::int32_t tempo_bytes[3];
    std::int32_t time_sig_numerator;
    std::int32_t time_sig_denominator_power;
    std::int32_t clocks_per_click;
    std::int32_t notated_32nds;
    std::int32_t key_sharps_flats;
    std::int32_t key_minor;
    std::int32_t tempo_event_count;
};

struct SongInfo {
    const char* lines[5];
    MetaSummary meta;
    std::int32_t format;
    std::int32_t track_count;
    std::int32_t division;
};

// The microseconds per quarter note that tempo_bytes give.
std::uint32_t tempo_from_bytes(const std::int32_t tempo_bytes[3]);

// Microseconds per quarter note of a song that sets no tempo.
constexpr std::uint32_t kDefaultTempo = 500000;

SongInfo scan_song_info(ByteView image, double speed_factor);
MetaSummary scan_track_meta(ByteView image, std::uint32_t start, std::uint32_t length);
const char* key_signature_name(const MetaSummary& meta);
