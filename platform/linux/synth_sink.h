// The embedded synthesizer as a MIDI output: heard through the desktop's audio, or
// rendered in real time into a WAV file, as LUMAROTH_MIDI_OUT says ("synth", the default,
// or "wav:PATH").
//
// Threads: the window's thread opens and closes the sink, caches the song's presets and
// sets the volume, while no timer runs or (the volume) at any time; the timer's thread
// sends. Both reach FluidSynth only through its thread-safe API. The audio driver's or
// the renderer's thread renders; after a close the release plays out on a thread of its
// own, which fades the gain; the volume the gain is made from is one atomic value.
#pragma once

#include <memory>
#include <string>

#include "platform/linux/midi_sink.h"

// An open synthesizer output, or nullptr with the result and its reason in error.
std::unique_ptr<MidiSink> open_synth_sink(MMRESULT& result, std::string& error);
