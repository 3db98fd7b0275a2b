// The song's loop as it plays: when its end has come, the jump back to its start, the
// passes counted, and the fade out of a loop without a way out.
//
// Threads: the main thread starts and moves the run while no timer runs (at an open, a
// seek, a resume and a stop); while playing only the tick calls loop_jump_due,
// jump_to_loop_start and loop_fade_over, and owns the passes and the fade. The main thread
// may read how far the jumps went back and hand the fade a new volume while it plays:
// those are atomics.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "playback/loop_points.h"

// At an open: the loop of the Timeline, its first pass; the fade would start from the
// user's volume on that output.
void start_loop_run(HMIDIOUT output, UINT device);
// A jump to song_ms: the loop found again (the Timeline may have been built again), a fade
// ended, and past the end of a loop that has a way out the loop is left.
void seek_loop_run(std::uint32_t song_ms);
// A resume: the fade's clock moved on by the time paused.
void shift_loop_fade(std::uint32_t paused_ms);
// A stop: a fade leaves the output as loud as the user set it.
void end_loop_fade();
// The user chose another volume while playing: true when a fade runs, which then goes on
// from that volume (and leaves it when it ends); false when the caller sets it itself.
bool loop_fade_takes_volume(int percent);
// The time the loop's jumps went back since the start or the last jump in the song.
std::uint32_t looped_back_ms();

const LoopPoints& loop_run_points();
// The loop's end is due at elapsed and the loop plays again: loop_count passes, and on,
// fading, when there is no way out.
bool loop_jump_due(std::uint32_t elapsed);
// The notes held at the end are released and the channels set as at the loop's start; its
// events become unsent again, the clock moved back by the loop's length.
void jump_to_loop_start(std::uint32_t now);
// Lowers the level along a fade; true once the fade is over.
bool loop_fade_over(std::uint32_t now);
