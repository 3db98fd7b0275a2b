#include "playback/channel_mute.h"

#include <atomic>
#include <cstdint>

#include "playback/scheduler.h"

namespace {

std::atomic<std::uint16_t> muted{0};
std::atomic<std::uint16_t> soloed{0};

// The sounding notes of a channel that has just stopped sounding end now: while playing,
// due now on the playback clock, so that the notes sent before for a later time end too.
void silence_what_stopped(std::uint16_t sounded_before) {
    if (playback_clock.open == 0) return;
    bool playing = playback_clock.paused == 0;
    for (int c = 0; c < 16; ++c) {
        if ((sounded_before >> c & 1) == 0 || channel_sounds(c)) continue;
        auto status = static_cast<unsigned char>(0xB0 + c);
        for (unsigned char controller : {120, 123}) {  // sound off, notes off
            if (playing) midiOutSetDueTime(playback_clock.output, timeGetTime(), 0);
            send_short_message(playback_clock.output, status, controller, 0);
        }
    }
}

std::uint16_t sounding() {
    std::uint16_t mask = 0;
    for (int c = 0; c < 16; ++c)
        if (channel_sounds(c)) mask = static_cast<std::uint16_t>(mask | 1u << c);
    return mask;
}

void set_bit(std::atomic<std::uint16_t>& bits, int channel, bool on) {
    std::uint16_t before = sounding();
    auto bit = static_cast<std::uint16_t>(1u << (channel & 15));
    if (on) {
        bits.fetch_or(bit);
    } else {
        bits.fetch_and(static_cast<std::uint16_t>(~bit));
    }
    silence_what_stopped(before);
}

}  // namespace

void set_channel_muted(int channel, bool on) {
    set_bit(muted, channel, on);
}

void set_channel_soloed(int channel, bool on) {
    set_bit(soloed, channel, on);
}

bool channel_muted(int channel) {
    return (muted.load() >> (channel & 15) & 1) != 0;
}

bool channel_soloed(int channel) {
    return (soloed.load() >> (channel & 15) & 1) != 0;
}

void clear_mute_and_solo() {
    muted = 0;
    soloed = 0;
}

bool channel_sounds(int channel) {
    std::uint16_t solo = soloed.load();
    if (solo != 0) return (solo >> (channel & 15) & 1) != 0;
    return !channel_muted(channel);
}
