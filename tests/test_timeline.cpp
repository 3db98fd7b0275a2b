#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "tests/merge_helpers.h"

namespace {

const Timeline& tl = song_timeline;

Bytes bytes_of(const EventSlot& slot) {
    return {slot.status, slot.data1, slot.data2};
}

}  // namespace

TEST(RoundToInt, RoundsUpFromPoint49) {
    EXPECT_EQ(0, round_to_int(0.0));
    EXPECT_EQ(0, round_to_int(0.48));
    EXPECT_EQ(1, round_to_int(0.49));
    EXPECT_EQ(2, round_to_int(1.5));
    EXPECT_EQ(2, round_to_int(2.48));
    EXPECT_EQ(3, round_to_int(2.49));
    EXPECT_EQ(-1, round_to_int(-1.5));
    EXPECT_EQ(-2, round_to_int(-1.6));
}

TEST(RoundToInt, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(INT_MAX, round_to_int(1e12));
    EXPECT_EQ(INT_MIN, round_to_int(-1e12));
    EXPECT_EQ(0, round_to_int(0.0 / 0.0));
}

TEST(TimelineTimes, TheFirstEventIsAt5MsAndAZeroDeltaKeepsTheTime) {
    play_song(song_of(0, 480, {hex("00") + set_tempo(500000) + hex("00 90 3C 40  00 90 3D 40")}));
    EXPECT_EQ(5, tl.event_times[0]);
    EXPECT_EQ(5, tl.event_times[1]);
    EXPECT_EQ(5, tl.event_times[2]);
}

TEST(TimelineTimes, TempoAndDivisionGiveTheTickLength) {
    // 500,000 us at 480 ticks: 1.0416 ms a tick.
    Bytes events = hex("00") + set_tempo(500000) + hex("83 60 90 3C 40  01 80 3C 00");
    play_song(song_of(0, 480, {events}));
    EXPECT_EQ(505, tl.event_times[1]);
    EXPECT_EQ(506, tl.event_times[2]);
}

TEST(TimelineTimes, TheSpeedFactorScalesEveryStep) {
    Bytes events = hex("00") + set_tempo(500000) + hex("83 60 90 3C 40  83 60 80 3C 00");
    play_song(song_of(0, 480, {events}), {0, 0, 0}, 0.5);
    EXPECT_EQ(255, tl.event_times[1]);
    EXPECT_EQ(505, tl.event_times[2]);
    play_song(song_of(0, 480, {events}), {0, 0, 0}, 1.5);
    EXPECT_EQ(755, tl.event_times[1]);
    EXPECT_EQ(1505, tl.event_times[2]);
}

TEST(TimelineTimes, EachTimeIsItsTimeOnTheTempoMapRoundedOnce) {
    // Twenty one-tick steps at 0.4 ms a tick (48,000 us at 120), then twenty at 0.6 ms.
    Bytes events = hex("00") + set_tempo(48000);
    for (int k = 0; k < 20; ++k)
        events += hex("01 90 3C 40");
    events += hex("00") + set_tempo(72000);
    for (int k = 0; k < 20; ++k)
        events += hex("01 90 3C 40");
    play_song(song_of(0, 120, {events}));
    for (int tick = 1; tick <= 40; ++tick) {
        double exact = 5 + 0.4 * std::min(tick, 20) + 0.6 * std::max(tick - 20, 0);
        int index = tick <= 20 ? tick : tick + 1;
        EXPECT_EQ(static_cast<int>(std::floor(exact + 0.51)), tl.event_times[index]) << tick;
    }
}

TEST(TimelineTimes, ASongsLastNoteIsAtItsTimeOnTheTempoMap) {
    SongImage song;
    ASSERT_TRUE(load_song_file(LUMAROTH_CORPUS_DIR "/freedoom/musics_d_e1m2.mid", song));
    merge_tracks(song, test_voices, {0, 0, 0}, 1.0);
    int last = 0;
    for (int i = 0; i < timeline_count(); ++i)
        if ((tl.event_slots[i].status & 0xF0) == 0x90 && tl.event_slots[i].data2 != 0) last = i;
    // mido, reading the file on its own: the last note-on 109,499.89 ms after the song's
    // start, which plays at 5 ms.
    EXPECT_NEAR(109504.89, tl.event_times[last], 0.6);
}

TEST(TimelineTimes, AnSmpteDivisionCountsFramesWhateverTheTempo) {
    // 25 frames a second of 40 ticks: a millisecond a tick.
    Bytes song =
        song_of(0, 96, {hex("00") + set_tempo(500000) + hex("00 90 3C 40  83 74 80 3C 00")});
    song[12] = 0xE7;  // -25
    song[13] = 40;
    play_song(song);
    EXPECT_EQ(505, tl.event_times[2]);
}

TEST(TimelineTimes, WithoutATempoEventTheSongPlaysAtTheDefaultTempo) {
    // 500,000 us a quarter at 96 ticks: 96 ticks take 500 ms, not 96.
    play_song(song_of(0, 96, {hex("00 90 3C 40  60 80 3C 00")}));
    EXPECT_EQ(505, tl.event_times[1]);
    play_song(song_of(0, 96, {hex("00 90 3C 40  60 80 3C 00")}), {0, 0, 0}, 0.5);
    EXPECT_EQ(255, tl.event_times[1]);
}

TEST(TimelineTimes, ALaterTempoEventChangesTheTickLength) {
    // The first tempo holds from the start, wherever it stands.
    Bytes events = hex("60 90 3C 40  00") + set_tempo(500000) + hex("60 80 3C 00  00") +
                   set_tempo(1000000) + hex("60 90 3C 40");
    play_song(song_of(0, 96, {events}));
    EXPECT_EQ(505, tl.event_times[0]);
    EXPECT_EQ(1005, tl.event_times[2]);
    EXPECT_EQ(2005, tl.event_times[4]);
}

TEST(TimelineTimes, ATempoOfZeroFallsBackToOneMsPerTickAndLaterStopsTime) {
    play_song(song_of(0, 96, {hex("60 90 3C 40  00") + set_tempo(0) + hex("60 80 3C 00")}));
    EXPECT_EQ(101, tl.event_times[0]) << "up to a tempo of 0: 1 ms a tick";
    EXPECT_EQ(101, tl.event_times[2]) << "after it no time passes";
    Bytes events =
        hex("00") + set_tempo(500000) + hex("60 90 3C 40  00") + set_tempo(0) + hex("60 80 3C 00");
    play_song(song_of(0, 96, {events}));
    EXPECT_EQ(505, tl.event_times[1]);
    EXPECT_EQ(505, tl.event_times[3]) << "a later tempo 0 puts events on one time";
}

TEST(TimelineTimes, DivisionZeroPlaysAtOneMsPerTickAndIgnoresTempoEvents) {
    Bytes events = hex("00") + set_tempo(500000) + hex("64 90 3C 40");
    play_song(song_of(0, 0, {events}));
    EXPECT_EQ(105, tl.event_times[1]);
    play_song(song_of(0, 0, {events}), {0, 0, 0}, 1.5);
    EXPECT_EQ(155, tl.event_times[1]);
}

TEST(TimelineTimes, HugeDeltasSaturateInsteadOfWrapping) {
    Bytes events =
        hex("00") + set_tempo(0xFFFFFF) + hex("FF FF FF 7F 90 3C 40  FF FF FF 7F 80 3C 00");
    play_song(song_of(0, 1, {events}), {0, 0, 0}, 1.5);
    EXPECT_EQ(INT_MAX, tl.event_times[1]);
    EXPECT_EQ(INT_MAX, tl.event_times[2]);
    EXPECT_EQ(INT_MAX, tl.event_times[100]);
}

TEST(TimelineSlots, ShortMessagesAreStoredReadyToSend) {
    play_song(song_of(0, 96, {hex("00 90 3C 40  00 C3 05  00 E0 00 40  00 FF 01 01 41")}));
    EXPECT_EQ(hex("90 3C 40"), bytes_of(tl.event_slots[0]));
    EXPECT_EQ(hex("C3 05 00"), bytes_of(tl.event_slots[1]));
    EXPECT_EQ(hex("E0 00 40"), bytes_of(tl.event_slots[2]));
    EXPECT_EQ(0, tl.event_slots[3].status) << "a meta event carries no message";
    EXPECT_EQ(0, tl.event_slots[0].sent);
}

TEST(TimelineSlots, EntriesAfterTheLastEventAreEmptyAndCarryItsTime) {
    play_song(song_of(0, 96, {hex("00") + set_tempo(500000) + hex("60 90 3C 40")}));
    EXPECT_EQ(505, tl.event_times[1]);
    for (int i = 2; i < kTimelineEvents; ++i) {
        ASSERT_EQ(505, tl.event_times[i]) << i;
        ASSERT_EQ(0, tl.event_slots[i].status) << i;
    }
}

TEST(TimelineSlots, TheInstrumentSwitchReplacesProgramChangesOnItsChannel) {
    Bytes song = song_of(0, 96, {hex("00 C3 05  00 C4 05  00 93 3C 40")});
    play_song(song, {1, 3, 40});
    EXPECT_EQ(hex("C3 28 00"), bytes_of(tl.event_slots[0]));
    EXPECT_EQ(hex("C4 05 00"), bytes_of(tl.event_slots[1]));
    EXPECT_EQ(hex("93 3C 40"), bytes_of(tl.event_slots[2]));
    EXPECT_EQ(40, test_voices.voices[3].program);
    EXPECT_EQ(5, test_voices.voices[4].program);
    play_song(song, {0, 3, 40});
    EXPECT_EQ(hex("C3 05 00"), bytes_of(tl.event_slots[0]));
    EXPECT_EQ(5, test_voices.voices[3].program);
}

TEST(TimelineSlots, TheChannelTableHoldsTheLastProgramOfEachChannel) {
    play_song(song_of(0, 96, {hex("00 C0 01  00 C0 02  00 C9 00")}));
    EXPECT_EQ(2, test_voices.voices[0].program);
    EXPECT_EQ(0, test_voices.voices[9].program);
    EXPECT_EQ(nullptr, test_voices.voices[1].name);
    EXPECT_EQ(16, test_voices.voices[1].channel);
}

TEST(TimelineSysex, AMessageAmongTheFirst512EventsGetsItsSlot) {
    play_song(song_of(0, 96, {hex("00 F0 05 7E 7F 09 01 F7  00 F0 00")}));
    const SysexSlot& slot = tl.sysex_slots[0];
    EXPECT_EQ(hex("F0 7E 7F 09 01 F7"), Bytes(slot.bytes, slot.bytes + 6));
    EXPECT_EQ(6, slot.length);
    EXPECT_EQ(0, slot.sent);
    EXPECT_EQ(0xF0, tl.sysex_slots[1].bytes[0]);
    EXPECT_EQ(1, tl.sysex_slots[1].length) << "F0 00: F0 alone";
}

TEST(TimelineSysex, EventIndex511HasASlotAnd512None) {
    Bytes events;
    for (int i = 0; i < 511; ++i)
        events += hex("00 FF 01 00");
    events += hex("00 F0 02 7E F7  00 F0 02 7D F7");
    play_song(song_of(0, 96, {events}));
    EXPECT_EQ(hex("F0 7E F7"), Bytes(tl.sysex_slots[511].bytes, tl.sysex_slots[511].bytes + 3));
    EXPECT_EQ(3, tl.sysex_slots[511].length);
    EXPECT_EQ(0, tl.event_slots[512].status);
}

TEST(TimelineSysex, AMessageLongerThanASlotGetsNoneAndReadingStaysInStep) {
    Bytes data(254, 0x11);
    Bytes events = hex("00 F0 FE") + data + hex("00 F0 FD") + Bytes(253, 0x22) + hex("00 90 3C 40");
    play_song(song_of(0, 96, {events}));
    EXPECT_EQ(0, tl.sysex_slots[0].bytes[0]);
    EXPECT_EQ(0, tl.sysex_slots[0].length);
    EXPECT_EQ(254, tl.sysex_slots[1].length);
    EXPECT_EQ(0x22, tl.sysex_slots[1].bytes[253]);
    EXPECT_EQ(hex("90 3C 40"), bytes_of(tl.event_slots[2]));
}

TEST(TimelineCapacity, The32769thEventIsNotRepresented) {
    // A merged image of 40,000 program changes: more than any 64 KiB song can hold.
    auto merged = std::make_unique<MergedImage>();
    Bytes head = smf_header(0, 1, 96) + hex("4D54726B 0001D4C0");
    std::copy(head.begin(), head.end(), merged->bytes);
    for (int i = 0; i < 40000; ++i) {
        unsigned char* event = merged->bytes + kMergedStreamStart + 3 * i;
        event[0] = 0x01;
        event[1] = 0xC0;
        event[2] = static_cast<unsigned char>(i == 32767 ? 0x7F : i > 32767 ? 0x33 : 0x05);
    }
    build_timeline(*merged, test_voices, {0, 0, 0}, 1.0);
    EXPECT_EQ(hex("C0 7F 00"), bytes_of(tl.event_slots[kTimelineEvents - 1]));
    EXPECT_EQ(hex("C0 05 00"), bytes_of(tl.event_slots[kTimelineEvents - 2]));
    EXPECT_EQ(127, test_voices.voices[0].program) << "the 32,768th is the last one built";
}
