// A click-track song made for listening tests: short claves hits at varied, known times,
// a tempo change and a General MIDI reset, with the time each hit is meant to sound.
#pragma once

#include <vector>

#include "tests/smf_bytes.h"

struct ClickTrack {
    Bytes song;
    std::vector<double> ideal_ms;  // from the start of playback, first event at 5 ms
};

ClickTrack make_click_track(int hits);

// Onsets found in 16-bit stereo samples: a rise above a third of the loudest sample
// after at least 30 ms below an eighth of it. Milliseconds from the first sample.
std::vector<double> detect_onsets(const std::vector<std::int16_t>& stereo, int sample_rate);

// Reads a 16-bit stereo PCM WAV file; empty when it is not one.
std::vector<std::int16_t> read_wav(const std::string& path, int& sample_rate);

// The largest difference between onset and ideal time once the median offset is taken
// away, and that offset.
struct OnsetErrors {
    double offset_ms;
    double max_error_ms;
    double spread_ms;  // max - min error
};
OnsetErrors compare_onsets(const std::vector<double>& onsets, const std::vector<double>& ideal);
