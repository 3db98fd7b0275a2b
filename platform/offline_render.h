// Rendering into a WAV file as fast as the machine allows, where the system plays
// through an embedded synthesizer (Linux). Windows has no call for this: these are the
// platform's own.
#pragma once

#include <cstdint>

// The WAV output opened next renders on its sample clock, not in real time: until it
// closes, the playback clock is the rendered time (timeGetTime gives it), and the periodic
// timer ticks only when render_next_tick has rendered its period, on the caller's thread.
// What is rendered is what a perfect real-time run would give, the same every time.
void render_next_output_offline();
// Renders up to the periodic timer's next tick and runs the tick; false when there is no
// timer to run or the file takes no more.
bool render_next_tick();

// The most sound a WAV file holds, in milliseconds (its sizes are 32-bit): an output
// that reaches it stops there, its header right.
std::uint32_t longest_wav_ms();
