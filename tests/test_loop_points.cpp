// A song's own loop (controller 111, the loopStart/loopEnd markers) as the scheduler plays
// it: what goes out around the jump and when, and the channels at the loop's start.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/testing/test_platform.h"
#include "playback/loop_points.h"
#include "playback/loop_run.h"
#include "playback/position.h"
#include "playback/scheduler.h"
#include "tests/gm_device.h"
#include "tests/merge_helpers.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x1234);
constexpr DWORD kStart = 1000;
constexpr std::int32_t kFirst = 5;  // ms, where a song's first event plays

// An event `ticks` after the one before; the songs run at one tick a millisecond.
Bytes after(std::uint32_t ticks, const Bytes& event) {
    unsigned char delta[4];
    int size = vlq_write(delta, ticks);
    return Bytes(delta, delta + size) + event;
}

Bytes marker(const std::string& text) {
    return meta(0x06, text);
}

std::vector<DWORD> short_messages() {
    return recording_midi_out.short_messages();
}

int count_of(DWORD message) {
    int n = 0;
    for (DWORD m : short_messages())
        n += m == message;
    return n;
}

std::vector<DWORD> volumes() {
    std::vector<DWORD> set;
    for (const MidiRecord& record : recording_midi_out.copy())
        if (record.call == MidiCall::SetVolume) set.push_back(record.message);
    return set;
}

// Where message was first sent among the short messages, or -1.
int index_of(DWORD message, std::size_t from = 0) {
    std::vector<DWORD> sent = short_messages();
    for (std::size_t i = from; i < sent.size(); ++i)
        if (sent[i] == message) return static_cast<int>(i);
    return -1;
}

class LoopPoints_ : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_playback_session();
        recording_midi_out.reset();
        driven_timer.reset();
        posted_messages.reset();
        loop_count = kDefaultLoopCount;
        loop_fade_ms = kDefaultLoopFade;
    }
    void TearDown() override {
        stop_playback();
        loop_count = kDefaultLoopCount;
    }
    static void start(const Bytes& song) {
        play_song(song);
        driven_timer.now = kStart;
        ASSERT_EQ(1, start_playback(kWindow));
    }
};

// Channel 1 sets program 6 and volume 50, a note; the loop starts at 500 with controller
// 111; then program 11, volume 90 and a note held past the song's last event, a bend at 2000.
Bytes controller_loop_song() {
    return ms_song(after(0, hex("C0 05")) + after(0, hex("B0 07 32")) +
                   after(100, hex("90 3C 40")) + after(300, hex("80 3C 00")) +
                   after(100, hex("B0 6F 00")) + after(0, hex("90 40 40")) +
                   after(300, hex("C0 0A")) + after(100, hex("B0 07 5A")) +
                   after(100, hex("90 43 40")) + after(1000, hex("E0 00 50")));
}

// The due times of the note-ons sent so far, in ms after the start.
std::vector<double> note_on_times() {
    std::vector<double> times;
    for (const MidiRecord& r : recording_midi_out.copy())
        if (r.call == MidiCall::ShortMsg && (r.message & 0xF0) == 0x90 && (r.message >> 16) != 0)
            times.push_back(r.due_us.value_or(0) / 1000.0 - kStart);
    return times;
}

// Plays on, a tick every 6 ms, to ms after the start.
void play_to(std::uint32_t ms) {
    for (DWORD now = kStart; now <= kStart + ms; now += 6)
        driven_timer.tick_at(now);
}

}  // namespace

TEST_F(LoopPoints_, TheSeamsKeepTheBeatWhereTheTracksEndAfterTheLastNote) {
    // Four 90 ms notes on a 100 ms beat, the track's end on the next beat.
    Bytes notes;
    for (int beat = 0; beat < 4; ++beat)
        notes += after(beat == 0 ? 0 : 10, hex("90 3C 40")) + after(90, hex("80 3C 00"));
    loop_count = 3;
    start(smf_header(0, 1, 1000) +
          track(hex("00") + set_tempo(1000000) + after(0, hex("B0 6F 00")) + notes +
                after(10, hex("FF 2F 00"))));
    play_to(1300);
    std::vector<double> times = note_on_times();
    ASSERT_GE(times.size(), 12u);
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(kFirst + 100 * k, times[k]) << "note " << k << ", pass " << k / 4 + 1;

    // A loopEnd alone loops from the song's start, the rest before the first note too.
    stop_playback();
    recording_midi_out.reset();
    start(ms_song(after(200, hex("90 3C 40")) + after(90, hex("80 3C 00")) +
                  after(10, hex("90 3E 40")) + after(90, hex("80 3E 00")) +
                  after(10, marker("loopEnd")) + after(0, hex("90 40 40"))));
    play_to(1300);
    times = note_on_times();
    ASSERT_GE(times.size(), 6u);
    times.resize(6);
    EXPECT_EQ((std::vector<double>{205, 305, 605, 705, 1005, 1105}), times);
}

TEST_F(LoopPoints_, AController111LoopReleasesTheEndChasesTheStartAndKeepsTheBeat) {
    start(controller_loop_song());
    const std::uint32_t loop_start = kFirst + 500, loop_end = kFirst + 2000;
    driven_timer.tick_at(kStart + loop_start - 11);
    DeviceState first_pass = device_state(short_messages());  // the loop's first events just sent
    driven_timer.tick_at(kStart + loop_end - 12);
    std::size_t before_jump = short_messages().size();
    EXPECT_EQ(-1, index_of(0xE0u | 0x50u << 16)) << "the bend is not due yet";
    driven_timer.tick_at(kStart + loop_end - 11);
    int bend = index_of(0xE0u | 0x50u << 16, before_jump);
    int release = index_of(0xB0u | 123u << 8, before_jump);
    int again = index_of(0x90u | 0x40u << 8 | 0x40u << 16, before_jump);
    ASSERT_GE(bend, 0) << "the loop's last event goes before the jump";
    EXPECT_LT(bend, release) << "then the held note is released";
    EXPECT_LT(release, again) << "and the loop's first note plays in the same tick";
    EXPECT_EQ(-1, index_of(0xB1u | 123u << 8, before_jump)) << "channel 2 plays nothing";
    EXPECT_TRUE(same_state(first_pass, device_state(short_messages())))
        << "every channel as when the song first passed the loop's start";
    // An output that schedules plays the jump and the loop's first note at the loop's end.
    std::vector<MidiRecord> records = recording_midi_out.copy();
    auto last_due = [&records](DWORD message) {
        for (auto r = records.rbegin(); r != records.rend(); ++r)
            if (r->call == MidiCall::ShortMsg && r->message == message) return r->due_us;
        return std::optional<std::uint64_t>{};
    };
    std::optional<std::uint64_t> loop_end_us = std::uint64_t{kStart + loop_end} * 1000;
    EXPECT_EQ(last_due(0xB0u | 123u << 8), loop_end_us);
    EXPECT_EQ(last_due(0x90u | 0x40u << 8 | 0x40u << 16), loop_end_us);
    // The loop's events keep their times: program 11 is due 300 ms into the loop again.
    std::uint32_t program_again = kStart + loop_end - 11 + 300;
    driven_timer.tick_at(program_again - 1);
    EXPECT_EQ(1, count_of(0xC0u | 0x0Au << 8));
    driven_timer.tick_at(program_again);
    EXPECT_EQ(2, count_of(0xC0u | 0x0Au << 8));
}

TEST_F(LoopPoints_, ALoopWithoutAWayOutPlaysItsPassesThenFadesOutAndEnds) {
    recording_midi_out.device_names = {"Synth"};
    recording_midi_out.device_support = MIDICAPS_VOLUME;
    loop_fade_ms = 5000;
    start(controller_loop_song());
    const std::uint32_t length = 1500;  // the loop's
    std::uint32_t second_end = kStart + kFirst + 2000 - 11 + length;
    driven_timer.tick_at(second_end - 1);
    EXPECT_EQ(2, count_of(0x90u | 0x40u << 8 | 0x40u << 16)) << "the second pass";
    EXPECT_EQ(1, recording_midi_out.count(MidiCall::SetVolume)) << "the open's volume only";
    driven_timer.tick_at(second_end);
    EXPECT_EQ(3, count_of(0x90u | 0x40u << 8 | 0x40u << 16)) << "a third pass, fading";
    driven_timer.tick_at(second_end + 2500);
    ASSERT_GE(volumes().size(), 2u);
    EXPECT_NEAR(0x7FFF, static_cast<int>(volumes().back() & 0xFFFF), 0x300)
        << "half way, half loud";
    EXPECT_EQ(0u, posted_messages.count());
    driven_timer.tick_at(second_end + 4999);
    EXPECT_EQ(0u, posted_messages.count());
    driven_timer.tick_at(second_end + 5000);
    ASSERT_GE(posted_messages.count(), 1u);
    EXPECT_EQ(kEndOfSongMessage, posted_messages.messages[0].message);
    stop_playback();
    EXPECT_EQ(0xFFFFFFFFu, volumes().back()) << "the stop gives the output back its full volume";
}

TEST_F(LoopPoints_, MarkersLoopTheirPassesThenTheSongGoesOnWithTheNoteHeldAcrossTheEnd) {
    // loopStart at 100, a note held from 300 across loopEnd at 600 to 700, an outro note.
    start(ms_song(
        after(0, hex("C0 00")) + after(100, marker("LoopStart")) + after(0, hex("90 3C 40")) +
        after(200, hex("90 3E 40")) + after(300, marker("LOOPEND")) + after(100, hex("80 3E 00")) +
        after(0, hex("80 3C 00")) + after(200, hex("90 41 40")) + after(100, hex("80 41 00"))));
    std::uint32_t jump = kStart + kFirst + 600 - 11;
    driven_timer.tick_at(jump);
    EXPECT_EQ(-1, index_of(0x80u | 0x3Eu << 8)) << "the note-off after the end waits";
    EXPECT_GE(index_of(0xB0u | 123u << 8), 0) << "the held note released at the jump";
    EXPECT_EQ(2, count_of(0x90u | 0x3Cu << 8 | 0x40u << 16));
    driven_timer.tick_at(jump + 500 + 99);
    EXPECT_EQ(2, count_of(0x90u | 0x3Eu << 8 | 0x40u << 16));
    EXPECT_EQ(2, count_of(0x90u | 0x3Cu << 8 | 0x40u << 16)) << "two passes, then on";
    EXPECT_EQ(0, count_of(0x80u | 0x3Eu << 8));
    driven_timer.tick_at(jump + 500 + 100);
    EXPECT_EQ(1, count_of(0x80u | 0x3Eu << 8)) << "the song goes on at the loop's end";
    driven_timer.tick_at(jump + 500 + 300);
    EXPECT_EQ(1, count_of(0x90u | 0x41u << 8 | 0x40u << 16)) << "to its end";
}

TEST_F(LoopPoints_, ALoopFromTheFirstTickPlaysItsFirstEventsAtOnceAfterTheJump) {
    loop_count = kLoopForEver;
    start(ms_song(after(0, hex("B0 6F 00")) + after(0, hex("90 3C 40")) +
                  after(400, hex("80 3C 00"))));
    for (int pass = 1; pass <= 4; ++pass) {
        driven_timer.tick_at(kStart + kFirst + 400 * pass - 5);  // a tick 6 ms on
        EXPECT_EQ(pass + 1, count_of(0x90u | 0x3Cu << 8 | 0x40u << 16))
            << "pass " << pass << ": not held back by the start's window";
    }
    EXPECT_EQ(0u, posted_messages.count()) << "for ever";
}

TEST_F(LoopPoints_, ThePositionStaysInTheSongAcrossALoopFromTheFirstTickAndThePlayingTimeGrows) {
    loop_count = kLoopForEver;
    start(ms_song(after(0, hex("B0 6F 00")) + after(0, hex("90 3C 40")) +
                  after(400, hex("80 3C 00"))));
    driven_timer.tick_at(kStart + 1);  // the first tick
    EXPECT_LE(playback_position_ms(), 1u);
    std::uint32_t jump = kStart + kFirst + 400 - 11;  // the jump, as early as it may come
    driven_timer.tick_at(jump);
    EXPECT_EQ(playback_position_ms(), 0u) << "the clock moved back past the start: no wrap";
    EXPECT_EQ(playing_time_ms(), 400u - 11 + kFirst) << "the time played goes on";
    driven_timer.tick_at(jump + 400 - 1);  // the end of the second pass
    EXPECT_LE(playback_position_ms(), 405u);
    EXPECT_GE(playing_time_ms(), 2 * 400u - 11);
}

TEST_F(LoopPoints_, AVolumeChosenDuringTheFadeHoldsAfterItAndAfterStop) {
    recording_midi_out.device_names = {"Synth"};
    recording_midi_out.device_support = MIDICAPS_VOLUME;
    loop_fade_ms = 1000;
    loop_count = 1;
    start(controller_loop_song());
    std::uint32_t fading = kStart + kFirst + 2000 - 11;
    driven_timer.tick_at(fading);
    ASSERT_TRUE(loop_fade_takes_volume(50)) << "a fade runs";
    driven_timer.tick_at(fading + 500);
    EXPECT_NEAR(0xFFFF / 4, static_cast<int>(volumes().back() & 0xFFFF), 0x300)
        << "half way down from 50 %";
    driven_timer.tick_at(fading + 1000);
    stop_playback();
    EXPECT_NEAR(0x7FFF, static_cast<int>(volumes().back() & 0xFFFF), 0x200)
        << "the stop leaves the volume chosen, not the one before";
}

TEST_F(LoopPoints_, OneJumpKeepsEveryPointWithinTheSong) {
    start(controller_loop_song());
    driven_timer.tick_at(kStart + 100);
    ASSERT_EQ(1, jump_playback(0xFFFFFFF0u));
    EXPECT_EQ(playback_position_ms(), song_length_ms()) << "past the end: the last event";
    ASSERT_EQ(1, jump_playback(0));
    EXPECT_EQ(playback_position_ms(), 0u);
}

TEST(LoopPointsFound, LoneEndsOddCasesAndSongsWithoutALoop) {
    struct Case {
        const char* what;
        Bytes events;
        int start_ms;  // -1: no loop
        int end_ms;
        bool way_out;
    };
    const Case cases[] = {
        {"no loop", after(0, hex("90 3C 40")) + after(100, hex("80 3C 00")), -1, 0, false},
        {"loopEnd alone loops from the start",
         after(0, hex("90 3C 40")) + after(100, marker("loopend")) + after(50, hex("80 3C 00")) +
             after(0, hex("90 3E 40")),
         5, 105, true},
        {"note-offs at the end are no way out",
         after(10, marker("loopStart")) + after(0, hex("90 3C 40")) + after(90, hex("80 3C 00")) +
             after(0, marker("loopEnd")),
         15, 105, false},
        {"an empty loop is none", after(10, hex("B0 6F 00")), -1, 0, false},
        {"other markers are no loop", after(10, marker("loop start")) + after(10, hex("90 3C 40")),
         -1, 0, false},
    };
    for (const Case& c : cases) {
        play_song(ms_song(c.events));
        LoopPoints loop = find_loop_points();
        if (c.start_ms < 0) {
            EXPECT_EQ(-1, loop.start_index) << c.what;
            continue;
        }
        EXPECT_EQ(static_cast<std::uint32_t>(c.start_ms), loop.start_ms) << c.what;
        EXPECT_EQ(static_cast<std::uint32_t>(c.end_ms), loop.end_ms) << c.what;
        EXPECT_EQ(c.way_out, loop.way_out) << c.what;
    }
}
