#include "tests/click_track.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

Bytes vlq(std::uint32_t value) {
    Bytes out = {static_cast<unsigned char>(value & 0x7F)};
    while (value >>= 7)
        out.insert(out.begin(), static_cast<unsigned char>((value & 0x7F) | 0x80));
    return out;
}

std::uint32_t le(const std::string& bytes, std::size_t at, int n) {
    std::uint32_t value = 0;
    for (int i = n - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

ClickTrack make_click_track(int hits) {
    // Division 96: 5 ms a tick at 480,000 us, then 6.25 ms at 600,000; gaps of 28 to 68
    // ticks keep every hit apart from the last one's ring.
    ClickTrack track;
    Bytes events = hex("00 F0 05 7E 7F 09 01 F7") + hex("00") + set_tempo(480000);
    double ms_per_tick = 5.0;
    double now = 5.0;
    std::uint32_t pending_ticks = 24;
    for (int i = 0; i < hits; ++i) {
        if (i == hits / 2) {
            events += vlq(pending_ticks) + set_tempo(600000);
            now += pending_ticks * ms_per_tick;
            pending_ticks = 0;
            ms_per_tick = 6.25;
        }
        now += pending_ticks * ms_per_tick;
        track.ideal_ms.push_back(now);
        events += vlq(pending_ticks) + hex("99 4B 7F") + hex("04 89 4B 00");
        now += 4 * ms_per_tick;
        pending_ticks = 28 + static_cast<std::uint32_t>((i * 7) % 41);
    }
    track.song = song_of(0, 96, {events});
    return track;
}

std::vector<double> detect_onsets(const std::vector<std::int16_t>& stereo, int sample_rate) {
    std::size_t frames = stereo.size() / 2;
    int loudest = 1;
    for (std::int16_t s : stereo)
        loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    int high = loudest / 3;
    int low = loudest / 8;  // above the reverb's tail
    std::size_t quiet_needed = static_cast<std::size_t>(sample_rate) * 30 / 1000;
    std::size_t quiet = 0;
    bool armed = true;  // quiet long enough for the next rise to be a new hit
    std::vector<double> onsets;
    for (std::size_t f = 0; f < frames; ++f) {
        int level = std::max(std::abs(static_cast<int>(stereo[2 * f])),
                             std::abs(static_cast<int>(stereo[2 * f + 1])));
        if (armed && level > high) {
            onsets.push_back(1000.0 * f / sample_rate);
            armed = false;
        }
        quiet = level < low ? quiet + 1 : 0;
        if (quiet >= quiet_needed) armed = true;
    }
    return onsets;
}

std::vector<std::int16_t> read_wav(const std::string& path, int& sample_rate) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, n);
        std::fclose(file);
    }
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || le(bytes, 22, 2) != 2 ||
        le(bytes, 34, 2) != 16)
        return {};
    sample_rate = static_cast<int>(le(bytes, 24, 4));
    std::size_t data = std::min<std::size_t>(le(bytes, 40, 4), bytes.size() - 44);
    std::vector<std::int16_t> samples(data / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(le(bytes, 44 + 2 * i, 2));
    return samples;
}

OnsetErrors compare_onsets(const std::vector<double>& onsets, const std::vector<double>& ideal) {
    std::size_t n = std::min(onsets.size(), ideal.size());
    std::vector<double> offsets;
    for (std::size_t i = 0; i < n; ++i)
        offsets.push_back(onsets[i] - ideal[i]);
    if (offsets.empty()) return {0, 0, 0};
    std::vector<double> sorted = offsets;
    std::sort(sorted.begin(), sorted.end());
    double median = sorted[sorted.size() / 2];
    double max_error = 0;
    for (double o : offsets)
        max_error = std::max(max_error, std::fabs(o - median));
    return {median, max_error, sorted.back() - sorted.front()};
}
