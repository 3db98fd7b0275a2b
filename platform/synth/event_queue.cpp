#include "platform/synth/event_queue.h"

#include <chrono>
#include <thread>

#include "platform/synth/synth_engine.h"

namespace {

constexpr double kHalfBlockMs = 500.0 * kBlockFrames / kSampleRate;

// A channel message, played at once.
void play_short_message(fluid_synth_t* synth, DWORD message) {
    int status = message & 0xFF;
    int channel = status & 0x0F;
    int data1 = (message >> 8) & 0x7F;
    int data2 = (message >> 16) & 0x7F;
    switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, data1);
            break;
        case 0x90:
            if (data2 == 0) {
                fluid_synth_noteoff(synth, channel, data1);
            } else {
                fluid_synth_noteon(synth, channel, data1, data2);
            }
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, channel, data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7);
            break;
        default:
            break;  // the sink takes none other
    }
}

}  // namespace

// The entry and its bytes are written before pushed_ moves on (release): the consumer,
// which reads pushed_ first (acquire), sees them whole.
bool SynthEventQueue::push(const Entry& entry, const char* sysex) {
    std::uint64_t pushed = pushed_.load(std::memory_order_relaxed);
    if (pushed - played_.load(std::memory_order_acquire) >= kEntries) return false;
    if (entry.sysex_size > 0) {
        if (sysex_pushed_ + entry.sysex_size - sysex_played_.load(std::memory_order_acquire) >
            kSysexBytes)
            return false;
        for (std::uint32_t i = 0; i < entry.sysex_size; ++i)
            sysex_[(sysex_pushed_ + i) % kSysexBytes] = sysex[i];
        sysex_pushed_ += entry.sysex_size;
    }
    entries_[pushed % kEntries] = entry;
    pushed_.store(pushed + 1, std::memory_order_release);
    if (!entry.timed) play_through_.store(pushed + 1, std::memory_order_release);
    return true;
}

bool SynthEventQueue::push_short(DWORD message, DueTime due) {
    return push(Entry{message, 0, due.has_value(), due.value_or(DuePoint{})}, nullptr);
}

bool SynthEventQueue::push_sysex(const char* data, std::size_t size, DueTime due) {
    if (size == 0 || size > kSysexBytes) return false;
    return push(
        Entry{0, static_cast<std::uint32_t>(size), due.has_value(), due.value_or(DuePoint{})},
        data);
}

bool SynthEventQueue::play_pushed_now(int timeout_ms) {
    std::uint64_t pushed = pushed_.load(std::memory_order_relaxed);
    play_through_.store(pushed, std::memory_order_release);
    for (int waited = 0; played_.load(std::memory_order_acquire) < pushed; ++waited) {
        if (waited >= timeout_ms) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void SynthEventQueue::play_front(fluid_synth_t* synth, const Entry& entry) {
    if (entry.message != 0) {
        play_short_message(synth, entry.message);
        return;
    }
    std::uint64_t from = sysex_played_.load(std::memory_order_relaxed);
    for (std::uint32_t i = 0; i < entry.sysex_size; ++i)
        sysex_out_[i] = sysex_[(from + i) % kSysexBytes];
    sysex_played_.store(from + entry.sysex_size, std::memory_order_release);
    fluid_synth_sysex(synth, sysex_out_.data(), static_cast<int>(entry.sysex_size), nullptr,
                      nullptr, nullptr, 0);
}

void SynthEventQueue::play_due(fluid_synth_t* synth, std::int64_t block_ns) {
    auto block_ms = static_cast<DWORD>(block_ns / 1000000);
    double into_ms = static_cast<double>(block_ns % 1000000) / 1e6;
    std::uint64_t played = played_.load(std::memory_order_relaxed);
    std::uint64_t pushed = pushed_.load(std::memory_order_acquire);
    std::uint64_t play_through = play_through_.load(std::memory_order_acquire);
    for (; played < pushed; ++played) {
        const Entry& front = entries_[played % kEntries];
        // Its time from the block's start, nearer this block's start than the next's.
        double from_block_ms =
            static_cast<std::int32_t>(front.due.ms + kOutputLatencyMs - block_ms) +
            front.due.micros / 1000.0 - into_ms;
        bool due = played < play_through || from_block_ms < kHalfBlockMs;
        if (!due) break;
        play_front(synth, front);
        played_.store(played + 1, std::memory_order_release);
    }
}

void SynthEventQueue::play_all(fluid_synth_t* synth) {
    std::uint64_t played = played_.load(std::memory_order_relaxed);
    std::uint64_t pushed = pushed_.load(std::memory_order_acquire);
    for (; played < pushed; ++played) {
        play_front(synth, entries_[played % kEntries]);
        played_.store(played + 1, std::memory_order_release);
    }
}

SynthEventQueue& synth_event_queue() {
    static SynthEventQueue queue;
    return queue;
}
