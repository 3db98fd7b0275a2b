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
        reset_playback_session();
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
        return device_state(recording_midi_out.copy());
    }
    static DeviceState started_at(std::uint32_t song_ms) {
        begin();
        EXPECT_EQ(1, start_playback_at(kWindow, song_ms));
        return device_state(recording_midi_out.copy());
    }
    // Back from the song's end: nothing of what came later may stay.
    static DeviceState jumped_back_to(std::uint32_t song_ms) {
        begin();
        EXPECT_EQ(1, start_playback(kWindow));
        driven_timer.tick_at(kStart + song_length_ms() + 1000);
        EXPECT_EQ(1, jump_playback(song_ms));
        return device_state(recording_midi_out.copy());
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

TEST_F(Chase, AResetBeforeThePointClearsWhatTheSongSetBeforeIt) {
    const char* resets[] = {
        "F0 05 7E 7F 09 01 F7",                 // GM System On
        "F0 06 7E 7F 09 03 00 F7",              // GM 2 System On, an extra byte
        "F0 0A 41 10 42 12 40 00 7F 00 41 F7",  // GS Reset
        "F0 08 43 10 4C 00 00 7E 00 F7",        // XG System On
    };
    for (const char* reset : resets) {
        SCOPED_TRACE(reset);
        // Volume 30, program 6 and a held bend; the reset at 500 ms; a note at 700.
        put_song(song, ms_song(hex("00 B0 07 1E  00 C0 05  00 E0 00 50  83 74") + hex(reset) +
                               hex("81 48 90 3C 40  64 80 3C 00")));
        ChaseList chase;
        merge_tracks(song, voices, {0, 0, 0}, 1.0);
        chase_messages(song_timeline, first_event_at(705), chase);
        ASSERT_EQ(1, chase.count) << "the reset alone: the song set nothing after it";
        EXPECT_EQ(0xF0, chase.messages[0].status);
        DeviceState played = played_up_to(705);
        EXPECT_TRUE(same_state(played, started_at(705)));
        EXPECT_TRUE(same_state(played, jumped_back_to(705)));
    }
}

TEST_F(Chase, APointBetweenTheHalvesOfAParameterNumberLeavesBothAsTheSongDid) {
    // RPN MSB 0 at 100 ms, the point at 200, LSB 0 and the bend range at 300.
    put_song(song, ms_song(hex("64 B0 65 00  64 FF 01 00  64 B0 64 00  00 B0 06 0C  64 90 3C 40")));
    DeviceState played = played_up_to(205);
    EXPECT_TRUE(same_state(played, started_at(205)));
    EXPECT_TRUE(same_state(played, jumped_back_to(205)));
}
