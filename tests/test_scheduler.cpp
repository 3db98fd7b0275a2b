// The scheduler with a recording MIDI output and a clock and timer the test drives.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "platform/testing/test_platform.h"
#include "playback/position.h"
#include "playback/scheduler.h"
#include "tests/merge_helpers.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x1234);

class Scheduler : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_playback_session();
        recording_midi_out.reset();
        driven_timer.reset();
        posted_messages.reset();
        reset_timeline();
    }
    void TearDown() override { stop_playback(); }

    // Event i at time ms carrying a note-on of key i.
    static void put_event(int i, std::int32_t ms) {
        song_timeline.event_times[i] = ms;
        song_timeline.event_slots[i] = {0x90, static_cast<unsigned char>(i & 0x7F), 0x40, 0};
        if (song_timeline.event_count < i + 1) song_timeline.event_count = i + 1;
    }

    static void start_at(DWORD ms) {
        driven_timer.now = ms;
        ASSERT_EQ(1, start_playback(kWindow));
    }

    static std::vector<DWORD> sent_notes() {
        std::vector<DWORD> notes;
        for (DWORD m : recording_midi_out.short_messages()) {
            if ((m & 0xF0) == 0x90) notes.push_back(m);
        }
        return notes;
    }
};

DWORD note_of(int i) {
    return 0x90u | static_cast<DWORD>(i & 0x7F) << 8 | 0x40u << 16;
}

}  // namespace

TEST_F(Scheduler, StopWithNothingPlayingTouchesNothing) {
    stop_playback();
    EXPECT_TRUE(recording_midi_out.copy().empty());
    EXPECT_TRUE(driven_timer.ended_periods.empty());
}

TEST_F(Scheduler, StartOpensTheMapperAndRunsA6MsTimer) {
    start_at(1000);
    EXPECT_EQ(1, recording_midi_out.count(MidiCall::Open));
    EXPECT_EQ(6u, driven_timer.delay);
    // Killing must wait for a running tick: Stop and the next Play never race one.
    EXPECT_EQ(0x0101u, driven_timer.flags) << "TIME_PERIODIC | TIME_KILL_SYNCHRONOUS";
    EXPECT_EQ(std::vector<UINT>{6}, driven_timer.begun_periods);
    EXPECT_EQ(1000u, playback_session.start_time);
    EXPECT_EQ(PlayState::kPlaying, playback_state());
}

TEST_F(Scheduler, ThePeriodFollowsWhatTheTimerSupports) {
    driven_timer.caps = {10, 1000000};
    start_at(0);
    EXPECT_EQ(10u, driven_timer.delay);
    driven_timer.caps = {1, 4};
    start_at(0);
    EXPECT_EQ(4u, driven_timer.delay);
    driven_timer.caps_result = TIMERR_NOCANDO;
    start_at(0);
    EXPECT_EQ(4u, driven_timer.delay) << "the previous start's period";
}

TEST_F(Scheduler, WithoutAnyPeriodTheStartFailsAndReleasesEverything) {
    driven_timer.caps_result = TIMERR_NOCANDO;
    EXPECT_EQ(0, start_playback(kWindow));
    EXPECT_EQ(1, recording_midi_out.count(MidiCall::Close));
    EXPECT_EQ(driven_timer.begun_periods, driven_timer.ended_periods);
    EXPECT_EQ(PlayState::kStopped, playback_state());
}

TEST_F(Scheduler, AnOutputThatCannotOpenStartsNothing) {
    recording_midi_out.open_result = MIDIERR_INVALIDSETUP;
    EXPECT_EQ(0, start_playback(kWindow));
    EXPECT_EQ(0u, driven_timer.last_id);
    EXPECT_EQ(PlayState::kStopped, playback_state());
    stop_playback();
    EXPECT_EQ(1u, recording_midi_out.copy().size()) << "only the failed open";
}

TEST_F(Scheduler, StopSilencesEveryChannelAndClosesTheOutput) {
    start_at(0);
    stop_playback();
    std::vector<DWORD> messages = recording_midi_out.short_messages();
    ASSERT_EQ(48u, messages.size());
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ((0xB0u + c) | 120u << 8, messages[3 * c]);
        EXPECT_EQ((0xB0u + c) | 121u << 8, messages[3 * c + 1]);
        EXPECT_EQ((0xB0u + c) | 123u << 8, messages[3 * c + 2]);
    }
    EXPECT_EQ(MidiCall::Close, recording_midi_out.copy().back().call);
    EXPECT_EQ(0u, driven_timer.running_id);
    EXPECT_EQ(std::vector<UINT>{6}, driven_timer.ended_periods);
    EXPECT_EQ(PlayState::kStopped, playback_state());
}

TEST_F(Scheduler, ASecondStartStopsTheFirstBeforeOpeningAgain) {
    start_at(0);
    start_at(50);
    std::vector<MidiRecord> records = recording_midi_out.copy();
    ASSERT_EQ(1 + 48 + 1 + 1u, records.size());
    EXPECT_EQ(MidiCall::Close, records[49].call);
    EXPECT_EQ(MidiCall::Open, records[50].call);
    EXPECT_EQ(1, recording_midi_out.open_outputs);
    EXPECT_EQ(2u, driven_timer.running_id);
}

TEST_F(Scheduler, NothingIsDueBeforeTwelveMilliseconds) {
    put_event(0, 5);
    start_at(100);
    for (DWORD t = 100; t < 112; ++t)
        driven_timer.tick_at(t);
    EXPECT_TRUE(sent_notes().empty());
    driven_timer.tick_at(112);
    EXPECT_EQ(std::vector<DWORD>{note_of(0)}, sent_notes());
}

TEST_F(Scheduler, AnEventIsSentUpTo11MsEarlyAndOnlyOnce) {
    put_event(0, 1000);
    start_at(0);
    driven_timer.tick_at(988);
    EXPECT_TRUE(sent_notes().empty());
    driven_timer.tick_at(989);
    EXPECT_EQ(1u, sent_notes().size());
    for (DWORD t = 995; t < 1100; t += 6)
        driven_timer.tick_at(t);
    EXPECT_EQ(1u, sent_notes().size());
    EXPECT_EQ(1, song_timeline.event_slots[0].sent);
}

TEST_F(Scheduler, ALateTickSendsWhatItMissedInIndexOrder) {
    // The events at 5 ms carry a song's program changes; a tick at 17 ms or later used
    // to lose them, and a gap of more than 23 ms lost everything inside it.
    put_event(0, 5);
    put_event(1, 100);
    put_event(2, 105);
    put_event(3, 110);
    put_event(4, 300);
    start_at(0);
    driven_timer.tick_at(40);
    EXPECT_EQ(std::vector<DWORD>{note_of(0)}, sent_notes());
    driven_timer.tick_at(200);
    EXPECT_EQ((std::vector<DWORD>{note_of(0), note_of(1), note_of(2), note_of(3)}), sent_notes());
}

TEST_F(Scheduler, StartAsksTheOutputToCacheTheSongsProgramsAndDrumKitsFirst) {
    song_timeline.event_slots[0] = {0xC0, 5, 0, 0};
    song_timeline.event_slots[1] = {0xC3, 5, 0, 0};
    song_timeline.event_slots[2] = {0xC9, 16, 0, 0};  // channel 10: a drum kit
    song_timeline.event_slots[3] = {0x99, 36, 0x40, 0};
    song_timeline.event_slots[4] = {0xC1, 40, 0, 0};
    song_timeline.event_count = 5;
    start_at(0);
    std::vector<MidiRecord> records = recording_midi_out.copy();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].call, MidiCall::CachePatches);
    EXPECT_EQ(records[1].message, 0u) << "bank 0";
    EXPECT_EQ(records[1].bytes, (std::vector<unsigned char>{5, 40}));
    EXPECT_EQ(records[2].call, MidiCall::CacheDrumPatches);
    EXPECT_EQ(records[2].message, 16u);
    EXPECT_EQ(records[2].bytes, (std::vector<unsigned char>{36}));
    EXPECT_EQ(driven_timer.ticks, 0) << "cached before the first tick";
}

TEST_F(Scheduler, ATimelineWhoseTimesGoBackIsLookedAtWhole) {
    // A file with a negative division counts its times backwards.
    put_event(0, 1000);
    put_event(1, 100);
    start_at(0);
    driven_timer.tick_at(100);
    EXPECT_EQ(std::vector<DWORD>{note_of(1)}, sent_notes());
}

TEST_F(Scheduler, EventsAtOneTimeGoOutInOneTickInIndexOrder) {
    put_event(7, 500);
    put_event(8, 500);
    start_at(0);
    driven_timer.tick_at(495);
    EXPECT_EQ((std::vector<DWORD>{note_of(7), note_of(8)}), sent_notes());
}

TEST_F(Scheduler, TheClockWrapsAround) {
    put_event(0, 1000);
    start_at(0xFFFFFF00u);
    driven_timer.tick_at(0xFFFFFF00u + 995);
    EXPECT_EQ(1u, sent_notes().size());
}

TEST_F(Scheduler, TenSecondsAfterTheLastShortMessageTheWindowIsAskedToStop) {
    put_event(0, 20);
    start_at(0);
    driven_timer.tick_at(20);
    ASSERT_EQ(20u, playback_session.last_send_time);
    driven_timer.tick_at(10020);
    EXPECT_EQ(0u, posted_messages.count()) << "exactly 10,000 ms is not more";
    driven_timer.tick_at(10021);
    ASSERT_EQ(1u, posted_messages.count());
    MSG posted = posted_messages.messages[0];
    EXPECT_EQ(kWindow, posted.hwnd);
    EXPECT_EQ(1026u, posted.message);
    EXPECT_EQ(0u, posted.wParam);
    EXPECT_EQ(0, posted.lParam);
    driven_timer.tick_at(10027);
    EXPECT_EQ(2u, posted_messages.count()) << "on every tick until stopped";
}

TEST_F(Scheduler, ASongWithoutShortMessagesEndsTenSecondsAfterItsStart) {
    song_timeline.event_count = 10;
    start_at(0);
    driven_timer.tick_at(10000);
    EXPECT_EQ(0u, posted_messages.count());
    driven_timer.tick_at(10001);
    EXPECT_EQ(1u, posted_messages.count());
}

TEST_F(Scheduler, TheClockIsSetBeforeTheTimerCanTick) {
    // A song that ended leaves its idle time behind; a first tick coming as soon as the
    // timer exists must not see it.
    playback_session.idle_time = 20000;
    playback_session.start_time = 1;
    put_event(0, 5);
    driven_timer.now = 5000;
    driven_timer.tick_during_create = true;
    ASSERT_EQ(1, start_playback(kWindow));
    EXPECT_EQ(1, driven_timer.ticks);
    EXPECT_EQ(0u, posted_messages.count());
    EXPECT_TRUE(sent_notes().empty()) << "elapsed 0 at that tick";
}

TEST_F(Scheduler, TheTickNeverReadsPastTheTimeline) {
    // The merger can count up to 32,778 events. Past the tables' last entry lie the
    // system-exclusive slots: arrange them so a read there would send ten more notes.
    for (int i = 0; i < kTimelineEvents; ++i)
        put_event(i, 100);
    for (int i = 0; i < 10; ++i)
        song_timeline.event_slots[i] = {5, 0, 0, 0};  // as times: 5
    for (int i = 0; i < 10; ++i)
        std::memcpy(song_timeline.sysex_slots[0].bytes + 4 * i, "\x90\x3C\x40", 4);
    song_timeline.event_count = kTimelineEvents + 10;
    start_at(0);
    driven_timer.tick_at(100);
    EXPECT_EQ(static_cast<std::size_t>(kTimelineEvents),
              recording_midi_out.short_messages().size());
}

TEST_F(Scheduler, SystemExclusiveGoesOutWholeOnlyForTheFirst512Events) {
    SysexSlot& slot = song_timeline.sysex_slots[511];
    const unsigned char message[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    std::memcpy(slot.bytes, message, sizeof message);
    slot.length = 6;
    song_timeline.event_times[511] = 50;
    song_timeline.event_count = 600;
    start_at(0);
    driven_timer.tick_at(50);
    std::vector<MidiRecord> records = recording_midi_out.copy();
    ASSERT_EQ(1, recording_midi_out.count(MidiCall::LongMsg));
    for (const MidiRecord& r : records) {
        if (r.call == MidiCall::LongMsg) {
            EXPECT_EQ(std::vector<unsigned char>(message, message + 6), r.bytes);
        }
    }
    EXPECT_EQ(1, slot.sent);
    EXPECT_EQ(0u, playback_session.last_send_time) << "a sysex send is no short message";
    driven_timer.tick_at(56);
    EXPECT_EQ(1, recording_midi_out.count(MidiCall::LongMsg));
}

TEST_F(Scheduler, SysexLengthsAreUnsignedUpToTheSlot) {
    SysexSlot slot = {};
    slot.bytes[0] = 0xF0;
    for (int i = 1; i < 254; ++i)
        slot.bytes[i] = static_cast<unsigned char>(i & 0x7F);
    slot.length = 200;
    HMIDIOUT out = nullptr;
    midiOutOpen(&out, MIDI_MAPPER, 0, 0, 0);
    EXPECT_EQ(1, send_sysex_message(out, slot));
    slot.length = 255;
    EXPECT_EQ(1, send_sysex_message(out, slot));
    slot.length = 0;
    EXPECT_EQ(0, send_sysex_message(out, slot));
    std::vector<std::size_t> sizes;
    for (const MidiRecord& r : recording_midi_out.copy()) {
        if (r.call == MidiCall::LongMsg) sizes.push_back(r.bytes.size());
    }
    EXPECT_EQ((std::vector<std::size_t>{200, 254}), sizes);
}

TEST_F(Scheduler, FailedSysexSendsKeepOnlyWhatTheDeviceMayStillRead) {
    SysexSlot slot = {};
    slot.bytes[0] = 0xF0;
    slot.bytes[1] = 0xF7;
    slot.length = 2;
    HMIDIOUT out = nullptr;
    midiOutOpen(&out, MIDI_MAPPER, 0, 0, 0);
    recording_midi_out.prepare_result = MMSYSERR_ERROR;  // never taken: released
    EXPECT_EQ(0, send_sysex_message(out, slot));
    recording_midi_out.prepare_result = MMSYSERR_NOERROR;
    recording_midi_out.long_result = MMSYSERR_ERROR;  // given back by the unprepare
    EXPECT_EQ(0, send_sysex_message(out, slot));
    recording_midi_out.long_result = MMSYSERR_NOERROR;
    recording_midi_out.unprepare_result = MMSYSERR_ERROR;  // still the device's
    EXPECT_EQ(0, send_sysex_message(out, slot));
    MIDIHDR* kept = recording_midi_out.copy().back().header;
    EXPECT_EQ(0xF0, static_cast<unsigned char>(kept->lpData[0])) << "still readable";
    EXPECT_EQ(2u, kept->dwBufferLength);
    delete[] kept->lpData;  // the device is done with it now
    delete kept;
}

TEST(DueTest, TheWindowAroundAnEvent) {
    EXPECT_EQ(0, is_due(11, 5, 12));
    EXPECT_EQ(1, is_due(12, 5, 12));
    EXPECT_EQ(1, is_due(16, 5, 12));
    EXPECT_EQ(1, is_due(17, 5, 12)) << "late, not lost";
    EXPECT_EQ(0, is_due(988, 1000, 12));
    EXPECT_EQ(1, is_due(989, 1000, 12));
    EXPECT_EQ(1, is_due(5000, 1000, 12));
}

TEST_F(Scheduler, PauseSilencesKeepsTheChannelsAndResumeGoesOnFromThePlace) {
    put_event(0, 100);
    put_event(1, 2000);
    start_at(1000);
    driven_timer.tick_at(1200);  // the song at 200 ms: event 0 sent
    driven_timer.tick_at(1500);
    recording_midi_out.records.clear();
    pause_playback();
    EXPECT_EQ(driven_timer.running_id, 0u) << "no tick while paused";
    EXPECT_EQ(recording_midi_out.short_messages(), (std::vector<DWORD>{0x78B0, 0x7BB0}))
        << "sound and notes off, no reset, on the one channel the song has played";
    EXPECT_EQ(recording_midi_out.count(MidiCall::Close), 0) << "the channels keep their state";

    // A minute later: the song goes on at 500 ms, event 1 comes 1500 ms after the resume.
    driven_timer.now = 61500;
    ASSERT_EQ(1, resume_playback());
    driven_timer.tick_at(61500 + 1480);
    EXPECT_EQ(sent_notes(), std::vector<DWORD>{}) << "not before its time";
    driven_timer.tick_at(61500 + 1490);
    EXPECT_EQ(sent_notes(), std::vector<DWORD>{note_of(1)});
}

TEST_F(Scheduler, TimeWhilePausedNeverEndsTheSong) {
    put_event(0, 100);
    start_at(1000);
    driven_timer.tick_at(1200);  // the last note goes out at 1200
    pause_playback();
    driven_timer.now = 61200;  // a minute paused
    ASSERT_EQ(1, resume_playback());
    driven_timer.tick_at(61200 + 9000);
    EXPECT_EQ(posted_messages.count(), 0u) << "nine seconds played since the last note";
    driven_timer.tick_at(61200 + 10100);
    EXPECT_EQ(posted_messages.count(), 1u);
}

TEST_F(Scheduler, StopWhilePausedResetsAndCloses) {
    put_event(0, 100);
    start_at(1000);
    pause_playback();
    EXPECT_EQ(1, resume_playback());
    pause_playback();
    std::size_t killed = driven_timer.ended_periods.size();
    stop_playback();
    EXPECT_EQ(driven_timer.ended_periods.size(), killed) << "the timer was stopped already";
    EXPECT_EQ(recording_midi_out.count(MidiCall::Close), 1);
    EXPECT_EQ(0, resume_playback()) << "nothing to resume";
}

TEST_F(Scheduler, AJumpPlaysTheEventAtThePointAndNothingBeforeIt) {
    put_event(0, 1000);
    put_event(1, 2000);
    put_event(2, 2000);
    put_event(3, 3000);
    start_at(1000);
    driven_timer.tick_at(1100);
    pause_playback();
    driven_timer.now = 5000;
    ASSERT_EQ(1, jump_playback(2000));
    EXPECT_EQ(driven_timer.running_id, 0u) << "a jump while paused stays paused";
    EXPECT_EQ(2000u, playback_position_ms());
    ASSERT_EQ(1, resume_playback());
    driven_timer.tick_at(5000 + 6);
    EXPECT_EQ(sent_notes(), (std::vector<DWORD>{note_of(1), note_of(2)}));

    // Back to the start while playing: it goes on from there at once.
    driven_timer.now = 6000;
    recording_midi_out.records.clear();
    ASSERT_EQ(1, jump_playback(0));
    EXPECT_NE(driven_timer.running_id, 0u);
    EXPECT_EQ(recording_midi_out.short_messages(), (std::vector<DWORD>{0x78B0, 0x7BB0, 0x79B0}))
        << "silence and reset, then a chase of nothing, on the song's one channel";
    driven_timer.tick_at(6000 + 990);
    EXPECT_EQ(sent_notes(), std::vector<DWORD>{note_of(0)});
}

TEST_F(Scheduler, EachEventGoesOutWithItsExactTimeAndWhatStopsGoesOutAtOnce) {
    // 6.25 ms a tick: notes 3 ticks apart are 18.75 ms apart, which whole milliseconds
    // cannot hold. The first event is 5 ms into the song.
    play_song(song_of(0, 96,
                      {hex("00") + set_tempo(600000) +
                       hex("00 90 3C 40  03 90 3E 40  03 90 40 40  00 B0 07 64")}));
    start_at(1000);
    driven_timer.tick_at(1060);
    std::vector<std::optional<std::uint64_t>> due;
    for (const MidiRecord& r : recording_midi_out.copy())
        if (r.call == MidiCall::ShortMsg) due.push_back(r.due_us);
    EXPECT_EQ(due, (std::vector<std::optional<std::uint64_t>>{1005000, 1023750, 1042500, 1042500}));

    recording_midi_out.records.clear();
    stop_playback();
    for (const MidiRecord& r : recording_midi_out.copy())
        EXPECT_FALSE(r.due_us.has_value()) << "the stop's resets play at once";
}
