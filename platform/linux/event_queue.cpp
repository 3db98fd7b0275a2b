#include "platform/linux/event_queue.h"

#include "platform/linux/synth_engine.h"

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

void SynthEventQueue::push(const Entry& entry) {
    entries_.push_back(entry);
    ++pushed_;
    if (!entry.timed) play_through_ = pushed_;
}

void SynthEventQueue::push_short(DWORD message, DueTime due) {
    std::lock_guard<std::mutex> guard(lock_);
    push(Entry{message, 0, due.has_value(), due.value_or(DuePoint{})});
}

void SynthEventQueue::push_sysex(const char* data, std::size_t size, DueTime due) {
    std::lock_guard<std::mutex> guard(lock_);
    sysex_.insert(sysex_.end(), data, data + size);
    push(Entry{0, static_cast<std::uint32_t>(size), due.has_value(), due.value_or(DuePoint{})});
}

void SynthEventQueue::play_front(fluid_synth_t* synth) {
    Entry entry = entries_.front();
    entries_.pop_front();
    ++played_;
    if (entry.message != 0) {
        play_short_message(synth, entry.message);
        return;
    }
    std::string bytes(sysex_.begin(), sysex_.begin() + entry.sysex_size);
    sysex_.erase(sysex_.begin(), sysex_.begin() + entry.sysex_size);
    fluid_synth_sysex(synth, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                      nullptr, 0);
}

void SynthEventQueue::play_due(fluid_synth_t* synth, std::int64_t block_ns) {
    auto block_ms = static_cast<DWORD>(block_ns / 1000000);
    double into_ms = static_cast<double>(block_ns % 1000000) / 1e6;
    std::lock_guard<std::mutex> guard(lock_);
    while (!entries_.empty()) {
        const Entry& front = entries_.front();
        // Its time from the block's start, nearer this block's start than the next's.
        double from_block_ms =
            static_cast<std::int32_t>(front.due.ms + kOutputLatencyMs - block_ms) +
            front.due.micros / 1000.0 - into_ms;
        bool due = played_ < play_through_ || from_block_ms < kHalfBlockMs;
        if (!due) return;
        play_front(synth);
    }
}

void SynthEventQueue::play_all(fluid_synth_t* synth) {
    std::lock_guard<std::mutex> guard(lock_);
    while (!entries_.empty())
        play_front(synth);
}

SynthEventQueue& synth_event_queue() {
    static SynthEventQueue queue;
    return queue;
}
