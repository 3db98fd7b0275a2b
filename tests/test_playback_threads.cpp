// The scheduler on the real timer thread with the recording MIDI output, and the real
// message queue between threads. Run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/testing/test_platform.h"
#include "playback/channel_mute.h"
#include "playback/channel_record.h"
#include "playback/loop_points.h"
#include "playback/loop_run.h"
#include "playback/position.h"
#include "playback/scheduler.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x55);

void wait_for_notes(std::size_t n) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < give_up) {
        std::size_t notes = 0;
        for (DWORD m : recording_midi_out.short_messages())
            notes += (m & 0xF0) == 0x90;
        if (notes >= n) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Notes of keys 40 to 59, one every 10 ms from 5 ms, and nothing sent yet.
void twenty_notes_on_a_fresh_output() {
    recording_midi_out.reset();
    reset_timeline();
    for (int i = 0; i < 20; ++i) {
        song_timeline.event_times[i] = 5 + 10 * i;
        song_timeline.event_slots[i] = {0x90, static_cast<unsigned char>(40 + i), 0x40, 0};
    }
    song_timeline.event_count = 30;
}

}  // namespace

TEST(PlaybackThreads, ASongPlaysOnTheTimerThreadInOrder) {
    twenty_notes_on_a_fresh_output();
    ASSERT_EQ(1, start_playback(kWindow));
    wait_for_notes(20);
    stop_playback();
    std::vector<DWORD> messages = recording_midi_out.short_messages();
    ASSERT_EQ(20u + 48, messages.size());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(static_cast<DWORD>(40 + i), messages[i] >> 8 & 0x7F);
}

TEST(PlaybackThreads, JumpsOnTheTimerThreadPlayOnFromThePoint) {
    twenty_notes_on_a_fresh_output();
    ASSERT_EQ(1, start_playback(kWindow));
    wait_for_notes(2);
    for (int k = 0; k < 50; ++k)
        ASSERT_EQ(1, jump_playback(k % 2 == 0 ? 0 : 100));
    pause_playback();
    std::size_t before = recording_midi_out.short_messages().size();
    ASSERT_EQ(1, jump_playback(150));
    ASSERT_EQ(1, resume_playback());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stop_playback();
    std::vector<DWORD> after;
    std::vector<DWORD> messages = recording_midi_out.short_messages();
    for (std::size_t i = before; i < messages.size(); ++i)
        if ((messages[i] & 0xF0) == 0x90) after.push_back(messages[i] >> 8 & 0x7F);
    EXPECT_EQ(after, (std::vector<DWORD>{55, 56, 57, 58, 59})) << "from the note at 155 ms on";
}

TEST(PlaybackThreads, TheWindowsReadTheChannelRecordAndSetMuteWhileTheTickRuns) {
    twenty_notes_on_a_fresh_output();
    std::uint32_t before = channel_records[0].notes.load(std::memory_order_relaxed);
    ASSERT_EQ(1, start_playback(kWindow));
    std::uint32_t seen = 0;
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int k = 0; seen < 20 && std::chrono::steady_clock::now() < give_up; ++k) {
        set_channel_muted(1, k % 2 == 0);  // another channel's mute, as the keys set it
        seen = channel_records[0].notes.load(std::memory_order_relaxed) - before;
        EXPECT_EQ(0x40, channel_records[0].velocity.load(std::memory_order_relaxed) | 0x40);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop_playback();
    clear_mute_and_solo();
    EXPECT_EQ(20u, seen) << "a count the meter can follow, and no lock the tick waits on";
}

TEST(PlaybackThreads, TheWindowReadsThePositionWhileALoopFromTheFirstTickJumps) {
    // A loop from the song's first event (controller 111) over 30 ms, for ever.
    twenty_notes_on_a_fresh_output();
    song_timeline.event_slots[0] = {0xB0, 111, 0, 0};
    song_timeline.event_count = 4;
    loop_count = kLoopForEver;
    ASSERT_EQ(1, start_playback(kWindow));
    std::uint32_t end = song_end_ms(), highest = 0;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < until) {
        std::uint32_t at = playback_position_ms();
        highest = at > highest ? at : highest;
    }
    EXPECT_GE(playing_time_ms(), 200u) << "the loop went round and round";
    stop_playback();
    loop_count = kDefaultLoopCount;
    EXPECT_LE(highest, end) << "never a wrapped position after a jump";
}

TEST(PlaybackThreads, RepeatChosenWhileTheTickWaitsForTheSongsEnd) {
    twenty_notes_on_a_fresh_output();
    song_timeline.event_count = 1;
    ASSERT_EQ(1, start_playback(kWindow));
    wait_for_notes(1);
    // The song is sent: each tick now weighs the silence against the end's.
    for (int k = 0; k < 100; ++k) {
        song_end_idle = k % 2 == 0 ? kRepeatTail : kEndOfSongIdle;  // as 繰り返し sets it
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop_playback();
    song_end_idle = kEndOfSongIdle;
    EXPECT_EQ(1u + 48, recording_midi_out.short_messages().size());
}

TEST(PlaybackThreads, AVolumeChosenWhileTheLoopsFadeRunsOnTheTimerThreadHolds) {
    // A loop over the whole song, once, then a fade longer than the test: no end is posted.
    twenty_notes_on_a_fresh_output();
    recording_midi_out.device_names = {"Synth"};
    recording_midi_out.device_support = MIDICAPS_VOLUME;
    song_timeline.event_slots[0] = {0xB0, 111, 0, 0};
    loop_count = 1;
    loop_fade_ms = 5000;
    ASSERT_EQ(1, start_playback(kWindow));
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(450);
    for (int k = 0; std::chrono::steady_clock::now() < until; ++k) {
        loop_fade_takes_volume(k % 2 == 0 ? 30 : 50);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    loop_fade_takes_volume(50);
    stop_playback();
    loop_count = kDefaultLoopCount;
    loop_fade_ms = kDefaultLoopFade;
    std::vector<MidiRecord> records = recording_midi_out.copy();
    ASSERT_EQ(records.back().call, MidiCall::Close);
    ASSERT_EQ(records[records.size() - 2].call, MidiCall::SetVolume);
    EXPECT_NEAR(0x7FFF, static_cast<int>(records[records.size() - 2].message & 0xFFFF), 0x200)
        << "the stop leaves the volume chosen last";
}

TEST(PlaybackThreads, TwoHundredStartsAndStopsResetAndCloseEveryTime) {
    recording_midi_out.reset();
    reset_timeline();
    song_timeline.event_count = 10;
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_EQ(1, start_playback(kWindow));
        if (cycle % 20 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(8));
        stop_playback();
        ASSERT_EQ(0, recording_midi_out.open_outputs) << cycle;
    }
    EXPECT_EQ(200 * 48u, recording_midi_out.short_messages().size());
    EXPECT_EQ(200, recording_midi_out.count(MidiCall::Close));
}

TEST(MessageQueue, MessagesPostedFromOtherThreadsArriveInOrderThenQuit) {
    std::thread poster([] {
        for (int i = 0; i < 100; ++i)
            PostMessageA(kWindow, WM_USER + 2, static_cast<WPARAM>(i), 0);
        PostQuitMessage(7);
    });
    MSG msg;
    int received = 0;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        EXPECT_EQ(kWindow, msg.hwnd);
        EXPECT_EQ(static_cast<WPARAM>(received), msg.wParam);
        ++received;
    }
    poster.join();
    EXPECT_EQ(100, received);
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    EXPECT_EQ(7u, msg.wParam);
}

TEST(MultimediaTimer, KillingReturnsOnlyWhenNoTickRunsOrWillRun) {
    static std::atomic<int> ticks{0};
    static std::atomic<bool> inside{false};
    ticks = 0;
    UINT id = timeSetEvent(
        1, 1,
        [](UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
            inside = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            ++ticks;
            inside = false;
        },
        0, TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
    ASSERT_NE(0u, id);
    while (ticks < 3)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(TIMERR_NOERROR, timeKillEvent(id));
    EXPECT_FALSE(inside);
    int after = ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(after, ticks);
    EXPECT_NE(TIMERR_NOERROR, timeKillEvent(id)) << "a timer is killed once";
    EXPECT_EQ(0u, timeSetEvent(
                      0, 1, [](UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}, 0, TIME_PERIODIC));
}
