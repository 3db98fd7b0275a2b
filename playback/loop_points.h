// The loop a song marks for itself, as game music does: controller 111 (the loop start;
// the song's end is its end) or the markers "loopStart" and "loopEnd" (any case; a
// loopEnd alone loops from the song's start). Found from the Timeline and the song's
// markers.
#pragma once

#include <cstdint>

constexpr int kLoopForEver = 0;
constexpr int kDefaultLoopCount = 2;
constexpr std::uint32_t kDefaultLoopFade = 5000;  // ms

// How often the loop plays before the song goes on (1 to 3, or kLoopForEver), and how
// long the fade out lasts when the loop has no way out. Main thread; read at each start.
extern int loop_count;
extern std::uint32_t loop_fade_ms;

struct LoopPoints {
    int start_index;  // the loop's first event; -1: the song has no loop
    int end_index;    // the first event after the loop
    std::uint32_t start_ms;
    std::uint32_t end_ms;
    bool way_out;  // the song goes on after the loop's end
};

// Of the current Timeline and its texts.
LoopPoints find_loop_points();
