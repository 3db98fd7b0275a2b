// The chase: a jump leaves every channel as playing from the start up to the point would,
// judged by a model of a General MIDI device fed what the output received.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_platform.h"
#include "playback/chase.h"
#include "playback/position.h"
#include "playback/scheduler.h"
#include "playback/track_merger.h"
#include "tests/corpus_files.h"
#include "tests/gm_device.h"
#include "tests/merge_helpers.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x1234);
constexpr DWORD kStart = 1000;

SongImage song;
ChannelVoiceTable voices;

class Chase : public ::testing::Test {
  protected:
    void SetUp() override { begin(); }
    void TearDown() override { stop_playback(); }
    // Every run builds the Timeline anew, as Play does.
    static void begin() {
        stop_playback();
        reset_playback_clock();
        merge_tracks(song, voices, {0, 0, 0}, 1.0);
        recording_midi_out.reset();
        driven_timer.reset();
        driven_timer.now = kStart;
    }
    // The state playing from the start leaves just before song_ms: the events before it
    // sent by one late tick.
    static DeviceState played_up_to(std::uint32_t song_ms) {
        begin();
        EXPECT_EQ(1, start_playback(kWindow));
        driven_timer.tick_at(kStart + song_ms - kDueWindow);
        return device_state(recording_midi_out.short_messages());
    }
    static DeviceState started_at(std::uint32_t song_ms) {
        begin();
        EXPECT_EQ(1, start_playback_at(kWindow, song_ms));
        return device_state(recording_midi_out.short_messages());
    }
    // Back from the song's end: nothing of what came later may stay.
    static DeviceState jumped_back_to(std::uint32_t song_ms) {
        begin();
        EXPECT_EQ(1, start_playback(kWindow));
        driven_timer.tick_at(kStart + song_length_ms() + 1000);
        EXPECT_EQ(1, jump_playback(song_ms));
        return device_state(recording_midi_out.short_messages());
    }
};

}  // namespace

TEST_F(Chase, EveryCorpusSongAtThreePointsIsAsPlayedFromTheStart) {
    int songs = 0;
    for (const std::string& path : corpus_files(LUMAROTH_CORPUS_DIR)) {
        if (!load_song_file(path.c_str(), song) || !is_smf_header(view_of(song))) continue;
        merge_tracks(song, voices, {0, 0, 0}, 1.0);
        std::uint32_t length = song_length_ms();
        if (length < 100) continue;
        ++songs;
        for (std::uint32_t point : {length / 4, length / 2, length * 3 / 4}) {
            SCOPED_TRACE(path + " at " + std::to_string(point) + " ms");
            DeviceState played = played_up_to(point);
            ASSERT_TRUE(same_state(played, started_at(point))) << "started there";
            ASSERT_TRUE(same_state(played, jumped_back_to(point))) << "jumped back from the end";
        }
    }
    EXPECT_GT(songs, 250);
}
