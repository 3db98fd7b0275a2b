// One kind of MIDI output behind the midiOut* functions: what an open handle sends to.
// The adapter (midi_out.cpp) makes a sink at midiOutOpen and destroys it at midiOutClose,
// which ends its output; in between it hands the sink the calls of that handle. How a
// sink shares itself between the window's thread and the timer's is in its own header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/win32.h"

// When a message is due on the playback clock, as midiOutSetDueTime said; none: at once.
struct DuePoint {
    DWORD ms;  // timeGetTime's
    UINT micros;
};
using DueTime = std::optional<DuePoint>;

// A sink that schedules plays each message this long after its due time. Long enough for
// the scheduler to send every event before its time: it sends them 6 to 12 ms ahead, and
// those of the song's start (5 ms in at the earliest) at its first due tick, 12 ms in;
// short enough for Play to first note to stay near 20 ms.
constexpr std::int64_t kOutputLatencyMs = 16;

// The due point on the playback clock in nanoseconds, now_ns being the clock's time: its
// milliseconds are timeGetTime's, which wrap every 49.7 days, so it is taken as the one
// nearest now.
inline std::int64_t due_point_ns(DuePoint due, std::int64_t now_ns) {
    auto now_ms = static_cast<DWORD>(now_ns / 1000000);
    std::int64_t ms_from_now = static_cast<std::int32_t>(due.ms - now_ms);
    return (now_ns / 1000000 + ms_from_now) * 1000000 + std::int64_t{due.micros} * 1000;
}

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
