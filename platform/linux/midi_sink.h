// One kind of MIDI output behind the midiOut* functions: what an open handle sends to.
// The adapter (midi_out.cpp) makes a sink at midiOutOpen and destroys it at midiOutClose,
// which ends its output; in between it hands the sink the calls of that handle. How a
// sink shares itself between the window's thread and the timer's is in its own header.
#pragma once

#include <cstddef>
#include <optional>

#include "platform/win32.h"

// When a message is due on the playback clock, as midiOutSetDueTime said; none: at once.
struct DuePoint {
    DWORD ms;  // timeGetTime's
    UINT micros;
};
using DueTime = std::optional<DuePoint>;

class MidiSink {
  public:
    MidiSink() = default;
    virtual ~MidiSink() = default;
    MidiSink(const MidiSink&) = delete;
    MidiSink& operator=(const MidiSink&) = delete;

    // A sink that cannot schedule plays every message at once, due or not.
    virtual MMRESULT send_short(DWORD message, DueTime due) = 0;
    // A system-exclusive message, F0 to F7.
    virtual MMRESULT send_long(const unsigned char* bytes, std::size_t size, DueTime due) = 0;
    virtual bool schedules() const { return false; }
    // The song's instruments, asked for before its first note: programs of a bank (bit c
    // of patches[p]: channel c plays program p) and the keys of a drum kit. A sink that
    // loads nothing on demand has nothing to do.
    virtual MMRESULT cache_patches(UINT, const WORD*) { return MMSYSERR_NOTSUPPORTED; }
    virtual MMRESULT cache_drum_patches(UINT, const WORD*) { return MMSYSERR_NOTSUPPORTED; }
    // The output's own volume, 0 to 0xFFFF; MMSYSERR_NOTSUPPORTED where it has none.
    virtual MMRESULT set_volume(DWORD) { return MMSYSERR_NOTSUPPORTED; }
};
