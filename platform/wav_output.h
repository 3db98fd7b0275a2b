// The embedded synthesizer rendered into a WAV file (platform/synth). Windows has no call
// for this: these are the platform's own.
//
// Threads: the thread that opens the output chooses it and drives an offline render;
// synth_output_quiet and synth_output_failure may be asked from any thread.
#pragma once

#include <cstdint>
#include <string>

// The next open of the embedded synthesizer (device 0, or the mapper on it) renders into
// the WAV file at path, as the system names files, instead of the desktop's audio.
void render_next_output_into(const std::string& path);
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

// Whether the WAV output opened last has gone quiet: no voice sounds, and the sound it
// rendered last, the effects' tail included, is below -90 dBFS.
bool synth_output_quiet();
// Why the output opened last stopped writing (a full disk, say); empty while all went well.
std::string synth_output_failure();
