// The ring between the thread that sends to the embedded synthesizer and the one that
// renders: full, it refuses rather than waits; a system-exclusive message that wraps
// round its end arrives whole; a sender and a renderer share it without a lock.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/synth/event_queue.h"

namespace {

constexpr DWORD kVolumeOne = 0xB0 | 7 << 8 | 1 << 16;  // channel 1's volume: 1
const char kGmSystemOn[] = {0x7E, 0x7F, 0x09, 0x01};   // resets the volume to 100

struct Synth {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_synth_t* synth = nullptr;
    Synth() {
        fluid_settings_setint(settings, "synth.device-id", 16);
        synth = new_fluid_synth(settings);
    }
    ~Synth() {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    }
    int volume(int channel) const {
        int value = -1;
        fluid_synth_get_cc(synth, channel, 7, &value);
        return value;
    }
};

// A manufacturer's message (the non-commercial id) that FluidSynth ignores.
std::vector<char> filler(std::size_t size) {
    std::vector<char> bytes(size, 0x11);
    bytes[0] = 0x7D;
    return bytes;
}

}  // namespace

TEST(SynthEventQueue, AFullRingRefusesAndAWrappedSysexArrivesWhole) {
    Synth synth;
    auto queue = std::make_unique<SynthEventQueue>();
    std::size_t entries = 0;
    while (queue->push_short(kVolumeOne, std::nullopt))
        ++entries;
    EXPECT_EQ(SynthEventQueue::kEntries, entries) << "full, the sender is told at once";
    queue->play_all(synth.synth);
    EXPECT_EQ(1, synth.volume(0));

    // Bytes up to 3 short of the ring's end, so that the reset's four bytes wrap round it.
    std::vector<char> big = filler(SynthEventQueue::kSysexBytes / 2);
    ASSERT_TRUE(queue->push_sysex(big.data(), big.size(), std::nullopt));
    ASSERT_FALSE(queue->push_sysex(big.data(), big.size() + 1, std::nullopt)) << "no room";
    std::vector<char> rest = filler(SynthEventQueue::kSysexBytes / 2 - 3);
    ASSERT_TRUE(queue->push_sysex(rest.data(), rest.size(), std::nullopt));
    queue->play_all(synth.synth);
    ASSERT_TRUE(queue->push_short(kVolumeOne, std::nullopt));
    ASSERT_TRUE(queue->push_sysex(kGmSystemOn, sizeof kGmSystemOn, std::nullopt));
    queue->play_all(synth.synth);
    EXPECT_EQ(100, synth.volume(0)) << "the reset, split by the ring's end, was played";
}

TEST(SynthEventQueue, ASenderAndTheRenderingThreadShareTheRingWithoutALock) {
    Synth synth;
    auto queue = std::make_unique<SynthEventQueue>();
    // Round the ring once and a half, with system-exclusive bytes round theirs too.
    constexpr int kMessages = 3 * static_cast<int>(SynthEventQueue::kEntries) / 2;
    const std::vector<char> bytes = filler(SynthEventQueue::kSysexBytes / 16);
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        for (int i = 0; i < kMessages; ++i) {
            // Each channel's volume climbs; every 1000th message is a big sysex.
            DWORD message = (0xB0u + (i & 15)) | 7u << 8 | static_cast<DWORD>(i / 16 % 128) << 16;
            while (i % 1000 == 999 ? !queue->push_sysex(bytes.data(), bytes.size(), std::nullopt)
                                   : !queue->push_short(message, std::nullopt))
                std::this_thread::yield();
        }
        sent = true;
    });
    // The renderer plays whatever has come, block after block, until the sender is done.
    for (std::int64_t block = 0; !sent; ++block)
        queue->play_due(synth.synth, block * 1451247);
    sender.join();
    queue->play_all(synth.synth);
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ((kMessages - 16 + c) / 16 % 128, synth.volume(c)) << "channel " << c + 1;
}
