// The embedded synthesizer's messages on their way from the thread that sends them to
// the thread that renders: each plays at the start of the 64-frame block nearest its due
// time plus kOutputLatencyMs, in the order sent; a message without a due time plays at
// the next block, after every message sent before it.
//
// Threads: a fixed-size ring with one producer and one consumer, which never wait for
// each other and never allocate. The producer is whichever thread sends through the open
// output (the MIDI output's lock lets one in at a time: the timer's, the window's while
// it mutes or sets the volume, a closing sink's); the consumer is the thread that renders
// (the audio driver's, the WAV renderer's, or the one that closes the renderer once its
// thread has ended). FluidSynth's API is thread-safe besides.
#pragma once

#include <fluidsynth.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/synth/midi_sink.h"

class SynthEventQueue {
  public:
    // A 64 KiB song holds fewer events, and fewer system-exclusive bytes, than these hold:
    // the most one tick (a jump's chase and every event at one time) can send fits.
    static constexpr std::size_t kEntries = 1 << 15;
    static constexpr std::size_t kSysexBytes = 1 << 17;

    // The producer's: false when the ring is full.
    bool push_short(DWORD message, DueTime due);
    // A system-exclusive message without its F0 and F7, as FluidSynth takes it.
    bool push_sysex(const char* data, std::size_t size, DueTime due);
    // The producer's: what was pushed so far plays at the consumer's next block; then
    // waits until it has, at most timeout_ms (false when it has not).
    bool play_pushed_now(int timeout_ms);
    // The consumer's: plays what is due by the block that starts at block_ns on the
    // playback clock (in nanoseconds: its milliseconds, modulo 2^32, are timeGetTime's).
    void play_due(fluid_synth_t* synth, std::int64_t block_ns);
    // The consumer's: plays everything, due or not: the output closes.
    void play_all(fluid_synth_t* synth);

  private:
    struct Entry {
        DWORD message;  // 0 for system exclusive
        std::uint32_t sysex_size;
        bool timed;
        DuePoint due;
    };
    bool push(const Entry& entry, const char* sysex);
    // The oldest entry to fluid_synth.
    void play_front(fluid_synth_t* synth, const Entry& entry);

    std::array<Entry, kEntries> entries_;
    std::array<char, kSysexBytes> sysex_;         // the system-exclusive entries' bytes, in order
    std::array<char, kSysexBytes> sysex_out_;     // the consumer's: one message in one piece
    std::atomic<std::uint64_t> pushed_{0};        // entries ever pushed: the producer's
    std::atomic<std::uint64_t> played_{0};        // entries ever played: the consumer's
    std::atomic<std::uint64_t> play_through_{0};  // entries up to this one play at once
    std::uint64_t sysex_pushed_ = 0;              // bytes: the producer's own
    std::atomic<std::uint64_t> sysex_played_{0};  // bytes: the consumer's
};

// The one queue of the one synthesizer.
SynthEventQueue& synth_event_queue();
