// The playback clock while a WAV file renders offline: the time rendered so far. The
// multimedia timer's functions hand their work here while it runs.
//
// Threads: the renderer starts and stops the clock where the output opens and closes;
// the timer is set, killed and ticked by the thread that drives the render (the one that
// calls render_next_tick), so ticks never overlap anything else of the playback. The
// clock's time may be read from any thread.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// How long frames of sound at sample_rate last, in nanoseconds, exact for any count a
// render can reach (a product of frames and 10^9 would wrap after 58 hours).
std::int64_t sound_ns(std::uint64_t frames, int sample_rate);

// Renders up to until_ms on the clock; false when the file takes no more.
using RenderUntil = bool (*)(void* renderer, DWORD until_ms);

void start_sample_clock(DWORD start_ms, RenderUntil render, void* renderer);
void stop_sample_clock();
bool sample_clock_running();
DWORD sample_clock_ms();

// The periodic timer on the clock, under the id the multimedia timer gave it.
void set_sample_clock_timer(UINT id, UINT period, LPTIMECALLBACK callback, DWORD_PTR user);
// False when id is not the clock's timer.
bool kill_sample_clock_timer(UINT id);
