#include "playback/channel_mute.h"

#include <atomic>
#include <cstdint>
#include <optional>

#include "playback/output.h"
#include "playback/session.h"

namespace {

std::atomic<std::uint16_t> muted{0};
std::atomic<std::uint16_t> soloed{0};

// The sounding notes of a channel that has just stopped sounding end now: while playing,
// due now on the playback clock, so that the notes sent before for a later time end too.
void silence_what_stopped(std::uint16_t sounded_before) {
    if (!playback_open()) return;
    std::uint16_t stopped = 0;
    for (int c = 0; c < 16; ++c)
        if ((sounded_before >> c & 1) != 0 && !channel_sounds(c))
            stopped = static_cast<std::uint16_t>(stopped | 1u << c);
    constexpr unsigned char kSilence[2] = {120, 123};  // sound off, notes off
    std::optional<std::int64_t> now_us;
    if (playback_state() == PlayState::kPlaying)
        now_us =
            std::int64_t{static_cast<std::int32_t>(timeGetTime() - playback_session.start_time)} *
            1000;
    send_to_channels(playback_session.output, stopped, kSilence, 2, now_us);
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
