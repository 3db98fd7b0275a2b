// The embedded synthesizer's messages on their way from the thread that sends them to
// the thread that renders: each plays at the start of the 64-frame block nearest its due
// time plus kOutputLatencyMs, in the order sent; a message without a due time plays at
// the next block, after every message sent before it.
//
// Threads: any thread pushes (the timer's, the window's while no timer runs, a closing
// sink's); the rendering thread plays. One lock, held for a push or for playing one
// block's messages; FluidSynth's API is thread-safe besides.
#pragma once

#include <fluidsynth.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/linux/midi_sink.h"

// Long enough for the scheduler to send every event before its time: it sends them 6 to
// 12 ms ahead, and those of the song's start (5 ms in at the earliest) at its first due
// tick, 12 ms in; short enough for Play to first note to stay near 20 ms.
constexpr std::int64_t kOutputLatencyMs = 16;

class SynthEventQueue {
  public:
    void push_short(DWORD message, DueTime due);
    // A system-exclusive message without its F0 and F7, as FluidSynth takes it.
    void push_sysex(const char* data, std::size_t size, DueTime due);
    // Plays what is due by the block that starts at block_ns on the playback clock (in
    // nanoseconds: its milliseconds, modulo 2^32, are timeGetTime's).
    void play_due(fluid_synth_t* synth, std::int64_t block_ns);
    // Plays everything, due or not: the output closes.
    void play_all(fluid_synth_t* synth);

  private:
    struct Entry {
        DWORD message;  // 0 for system exclusive
        std::uint32_t sysex_size;
        bool timed;
        DuePoint due;
    };
    void push(const Entry& entry);
    // The front entry to fluid_synth; with the lock held.
    void play_front(fluid_synth_t* synth);

    std::mutex lock_;
    std::deque<Entry> entries_;
    std::deque<char> sysex_;          // the system-exclusive entries' bytes, in their order
    std::uint64_t pushed_ = 0;        // entries ever pushed
    std::uint64_t played_ = 0;        // entries ever played
    std::uint64_t play_through_ = 0;  // entries up to this one play at the next block
};

// The one queue of the one synthesizer.
SynthEventQueue& synth_event_queue();
