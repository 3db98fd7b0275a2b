// What the output was last sent on each channel, for the windows to show: the program and
// bank, volume, expression and pan, and the last note-on's velocity with a count of the
// note-ons, so that a meter rises at each.
//
// Threads: written by whichever thread sends (the tick while playing; the main thread at
// a start, a jump and a stop, when no tick runs), read by the main thread on a window
// timer and, for which channels are in use, by whichever thread ends or resets them (a
// pause or a jump on the main thread, a loop's jump on the tick). Every field is an
// atomic of its own and read on its own: no lock, and the tick never waits.
#pragma once

#include <atomic>
#include <cstdint>

struct ChannelRecord {
    std::atomic<std::uint8_t> program;
    std::atomic<std::uint8_t> bank_msb;
    std::atomic<std::uint8_t> bank_lsb;
    std::atomic<std::uint8_t> volume;
    std::atomic<std::uint8_t> expression;
    std::atomic<std::uint8_t> pan;
    std::atomic<std::uint8_t> velocity;
    std::atomic<std::uint32_t> notes;
    // Anything sent on the channel since the output opened.
    std::atomic<bool> in_use;
};

extern ChannelRecord channel_records[16];

// As a General MIDI device is at power-on.
void reset_channel_records();
// Whether anything was sent on the channel since the output opened: only such a channel
// can have a note to end or a controller to reset.
bool channel_in_use(int channel);
// A short message that went out.
void record_sent_message(unsigned char status, unsigned char data1, unsigned char data2);
