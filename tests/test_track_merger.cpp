#include <gtest/gtest.h>

#include "tests/merge_helpers.h"

namespace {

Bytes note(int delta_byte, int key) {
    return {static_cast<unsigned char>(delta_byte), 0x90, static_cast<unsigned char>(key), 0x40};
}

// A track of n note-ons one tick apart, without its end of track.
Bytes many_notes(int n) {
    Bytes events;
    for (int i = 0; i < n; ++i)
        events += note(1, 60);
    return events;
}

}  // namespace

TEST(TrackMerger, RunningStatusIsWrittenOutAndTheEndOfTrackRemoved) {
    Bytes song = song_of(0, 96, {hex("00 90 3C 40  60 3C 00")});
    EXPECT_EQ(hex("00 90 3C 40  60 90 3C 00"), merged_stream(song));
    EXPECT_EQ(2 + 10, song_timeline.event_count);
}

TEST(TrackMerger, TracksInterleaveByTime) {
    // Track 0 at ticks 0, 96, 192; track 1 at 48, 96.
    Bytes t0 = hex("00 90 3C 40  60 90 3D 40  60 90 3E 40");
    Bytes t1 = hex("30 91 40 40  30 91 41 40");
    EXPECT_EQ(hex("00 90 3C 40  30 91 40 40  30 90 3D 40  00 91 41 40  60 90 3E 40"),
              merged_stream(song_of(1, 96, {t0, t1})));
}

TEST(TrackMerger, EventsAtOneTickComeOutInTrackOrderOnePerTrackAPass) {
    Bytes t0 = hex("00 90 01 40  00 90 02 40");  // A, B
    Bytes t1 = hex("00 91 03 40");               // C
    EXPECT_EQ(hex("00 90 01 40  00 91 03 40  00 90 02 40"),
              merged_stream(song_of(1, 96, {t0, t1})));
    Bytes t2 = hex("10 92 04 40");
    Bytes t3 = hex("10 93 05 40");
    EXPECT_EQ(hex("10 92 04 40  00 93 05 40"), merged_stream(song_of(1, 96, {{}, t2, t3})));
}

TEST(TrackMerger, SystemExclusiveAndMetaEventsAreCopiedWholeAndDoNotBreakRunningStatus) {
    Bytes events = hex("00 90 3C 40  00 F0 03 7E 7F F7  00 3D 40  00 FF 01 02 41 42  00 3E 40");
    EXPECT_EQ(hex("00 90 3C 40  00 F0 03 7E 7F F7  00 90 3D 40  00 FF 01 02 41 42  00 90 3E 40"),
              merged_stream(song_of(0, 96, {events})));
}

TEST(TrackMerger, ADataByteBeforeAnyStatusIsWrittenAfterStatusZero) {
    EXPECT_EQ(hex("00 00 3C  00 C0 05"), merged_stream(song_of(0, 96, {hex("00 3C  00 C0 05")})));
}

TEST(TrackMerger, LongDeltasComeOutInTheShortestForm) {
    EXPECT_EQ(hex("00 90 3C 40  81 00 90 3C 00"),
              merged_stream(song_of(0, 96, {hex("80 00 90 3C 40  80 81 00 90 3C 00")})));
}

TEST(TrackMerger, ATrackHoldingOnlyItsEndContributesNothing) {
    Bytes song = song_of(1, 96, {{}, hex("05 90 3C 40")});
    EXPECT_EQ(hex("05 90 3C 40"), merged_stream(song));
    EXPECT_EQ(1 + 10, song_timeline.event_count);
}

TEST(TrackMerger, TheMergedImageIsFormatZeroWithOneTrackAndZerosAfterTheStream) {
    Bytes song = song_of(1, 96, {hex("00 90 3C 40"), hex("00 91 3C 40")});
    Bytes image = merged_image(song);
    EXPECT_EQ(0, image[9]);
    EXPECT_EQ(1, image[11]);
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21})
        EXPECT_EQ(song[i], image[i]) << i;
    for (std::size_t i = 22 + 8; i < image.size(); ++i)
        ASSERT_EQ(0, image[i]) << i;
}

TEST(TrackMerger, ThirtyTwoTracksMergeAllThirtyThreeOnlyThirtyOne) {
    std::vector<Bytes> tracks;
    for (int t = 0; t < 33; ++t)
        tracks.push_back(hex("00 C0") + Bytes{static_cast<unsigned char>(t)});
    Bytes all33 = song_of(1, 96, tracks);
    EXPECT_EQ(31u * 3, merged_stream(all33).size());
    tracks.pop_back();
    EXPECT_EQ(32u * 3, merged_stream(song_of(1, 96, tracks)).size());
}

TEST(TrackMerger, NoDeclaredTrackGivesAnEmptyStream) {
    EXPECT_TRUE(
        merged_stream(smf_header(0, 0, 96) + track(hex("00 90 3C 40 00 FF 2F 00"))).empty());
    EXPECT_EQ(10, song_timeline.event_count);
}

TEST(TrackMerger, ArrayMinimumComparesUnsigned) {
    std::uint32_t values[] = {5, 0x0FFFFFFF, 3, 0x80000000u, 4};
    EXPECT_EQ(3u, array_minimum(values, 5));
    EXPECT_EQ(5u, array_minimum(values, 2));
    EXPECT_EQ(5u, array_minimum(values, 1));
}

TEST(TrackMergerLimits, StatusBytesF1ToFEAreDroppedWithTheirDataAndTheirTimeKept) {
    // F8 alone, F2 with two data bytes, F7 with its length: each dropped, their deltas
    // carried on to the next event.
    Bytes events = hex("00 90 3C 40  10 F8  20 3C 00  05 F2 01 02  06 F7 02 AA BB  07 3E 40");
    EXPECT_EQ(hex("00 90 3C 40  30 90 3C 00  12 90 3E 40"),
              merged_stream(song_of(0, 96, {events})));
    EXPECT_EQ(3 + 10, song_timeline.event_count);
}

TEST(TrackMergerLimits, ATrackOfTenThousandEventsIsMergedWholeAndPlaysToItsEnd) {
    Bytes song = song_of(1, 96, {many_notes(10000), hex("00 C5 07")});
    Bytes stream = merged_stream(song);
    EXPECT_EQ(10000 + 1 + 10, song_timeline.event_count);
    EXPECT_EQ(3u + 10000 * 4, stream.size());
    EXPECT_EQ(hex("01 90 3C 40"), Bytes(stream.end() - 4, stream.end()));
}

TEST(TrackMergerLimits, ATrackWithoutItsEndStopsWhereTheSongsDataEnds) {
    Bytes song = smf_header(1, 2, 96) + track(hex("00 90 3C 40  10 80 3C 00"));
    EXPECT_EQ(hex("00 90 3C 40  10 80 3C 00"), merged_stream(song))
        << "the zeros after the file are no events";
    EXPECT_EQ(2 + 10, song_timeline.event_count);
}

TEST(TrackMergerLimits, MoreDeclaredTracksThanTheImageHoldsLeavesTheRestEmpty) {
    Bytes song = smf_header(1, 3, 96) + track(hex("00 90 3C 40  00 FF 2F 00"));
    song = song + track(hex("00 FF 2F 00"));
    song.resize(65536, 0x90);  // no end of track: the last note runs out at the image end
    Bytes stream = merged_stream(song);
    EXPECT_EQ(hex("00 90 3C 40"), Bytes(stream.begin(), stream.begin() + 4));
    EXPECT_GE(song_timeline.event_count, 11);
}

TEST(TrackMergerLimits, AnEventRunningPastTheImageEndsReading) {
    Bytes song = smf_header(0, 1, 96) + track(hex("00 90 3C 40  00 FF 01 8F FF FF 7F"));
    EXPECT_EQ(hex("00 90 3C 40"), merged_stream(song));
    EXPECT_EQ(1 + 10, song_timeline.event_count);
}

TEST(TrackMergerLimits, TheDensestSongIsReadWholeAndFitsTheMergedImage) {
    // Two-byte running-status events, the smallest there are, grow by their status
    // byte when written out.
    Bytes events = hex("00 C0 05");
    for (int i = 1; i < 8180; ++i)
        events += hex("00 05");
    Bytes song = song_of(1, 96, {events, events, events, events});
    ASSERT_LE(song.size(), 65536u);
    Bytes stream = merged_stream(song);
    EXPECT_EQ(4 * 8180 + 10, song_timeline.event_count);
    EXPECT_EQ(4u * 8180 * 3, stream.size());
    EXPECT_EQ(hex("00 C0 05  00 C0 05  00 C0 05  00 C0 05  00 C0 05"),
              Bytes(stream.begin(), stream.begin() + 15));
}
