// The embedded synthesizer as a MIDI output: heard through the desktop's audio, or
// rendered into a WAV file (in real time, or offline: wav_output.h), as the program chose
// (render_next_output_into) or else LUMAROTH_MIDI_OUT says ("synth", the default, or
// "wav:PATH"). Each message plays at the
// 64-frame block nearest its due time plus kOutputLatencyMs (midi_sink.h, event_queue.h).
//
// Threads: the window's thread opens and closes the sink, caches the song's presets and
// sets the volume, while no timer runs or (the volume) at any time; the timer's thread
// sends. Sending only queues the message; the audio driver's or the renderer's thread
// plays the queue's due messages before each block it renders, and a close plays the
// rest. All reach FluidSynth only through its thread-safe API. After a close the release
// plays out on a thread of its own, which fades the gain; the volume the gain is made
// from is one atomic value.
#pragma once

#include <memory>
#include <string>

#include "platform/synth/midi_sink.h"

// An open synthesizer output, or nullptr with the result and its reason in error.
std::unique_ptr<MidiSink> open_synth_sink(MMRESULT& result, std::string& error);
