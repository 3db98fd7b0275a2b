#include <gtest/gtest.h>

#include <cstring>

#include "smf/song_image.h"
#include "tests/smf_bytes.h"

namespace {

ByteView view(const Bytes& bytes) {
    return {bytes.data(), static_cast<std::uint32_t>(bytes.size())};
}

SongImage image;

Bytes filled(std::size_t size, unsigned char value) {
    return Bytes(size, value);
}

}  // namespace

TEST(SongLoading, AFileOfExactly64KiBFillsTheWholeImage) {
    ASSERT_EQ(1, load_song_file(write_temp_file("full.mid", filled(65536, 0xAB)).c_str(), image));
    EXPECT_EQ(0xAB, image.bytes[0]);
    EXPECT_EQ(0xAB, image.bytes[65535]);
}

TEST(SongLoading, ALargerFileIsRefusedAndThePreviousSongStays) {
    put_song(image, hex("4D546864 0000"));
    EXPECT_EQ(0, load_song_file(write_temp_file("big.mid", filled(65537, 1)).c_str(), image));
    EXPECT_EQ(1, is_smf_header(view_of(image)));
    EXPECT_EQ(0, image.bytes[6]);
}

TEST(SongLoading, AnEmptyFileLoadsAsAnAllZeroImage) {
    put_song(image, filled(100, 0x4D));
    ASSERT_EQ(1, load_song_file(write_temp_file("empty.mid", {}).c_str(), image));
    for (unsigned char b : image.bytes)
        ASSERT_EQ(0, b);
    EXPECT_EQ(0, is_smf_header(view_of(image)));
}

TEST(SongLoading, AShorterFileLeavesNothingOfTheLongerOne) {
    ASSERT_EQ(1, load_song_file(write_temp_file("long.mid", filled(5000, 0x11)).c_str(), image));
    ASSERT_EQ(1, load_song_file(write_temp_file("short.mid", filled(10, 0x22)).c_str(), image));
    EXPECT_EQ(0x22, image.bytes[9]);
    for (std::size_t i = 10; i < sizeof image.bytes; ++i)
        ASSERT_EQ(0, image.bytes[i]) << i;
}

TEST(SongLoading, WhatCannotBeOpenedIsRefusedWithTheImageUnchanged) {
    put_song(image, hex("4D546864"));
    EXPECT_EQ(0, load_song_file((temp_dir() + "/does-not-exist.mid").c_str(), image));
    EXPECT_EQ(0, load_song_file(temp_dir().c_str(), image)) << "a directory is no song";
    EXPECT_EQ(1, is_smf_header(view_of(image)));
}

TEST(SongLoading, AnRmidFileLoadsAsTheSongItHoldsWithinTheSizeLimit) {
    // RIFF chunks: a tag, a little-endian length, the bytes, a pad byte after an odd length.
    auto chunk = [](const std::string& tag, const Bytes& bytes) {
        std::uint32_t n = static_cast<std::uint32_t>(bytes.size());
        Bytes out(tag.begin(), tag.end());
        out += Bytes{static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                     static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
        return out + bytes + (n % 2 ? Bytes{0} : Bytes{});
    };
    auto riff = [&](const std::string& form, const Bytes& chunks) {
        return chunk("RIFF", Bytes(form.begin(), form.end()) + chunks);
    };
    Bytes smf = song_of(0, 96, {hex("00 90 3C 40  60 80 3C 00")});
    Bytes info = chunk("LIST", Bytes(100001, 'i'));  // odd: a pad byte follows
    ASSERT_EQ(
        1, load_song_file(
               write_temp_file("song.rmi", riff("RMID", info + chunk("data", smf))).c_str(), image))
        << "a container over 64 KiB around a small song";
    EXPECT_EQ(0, std::memcmp(image.bytes, smf.data(), smf.size()));
    EXPECT_EQ(0, image.bytes[smf.size()]);

    Bytes largest = smf + Bytes(65536 - smf.size(), 0);
    EXPECT_EQ(1, load_song_file(
                     write_temp_file("largest.rmi", riff("RMID", chunk("data", largest))).c_str(),
                     image));
    EXPECT_EQ(
        0, load_song_file(
               write_temp_file("over.rmi", riff("RMID", chunk("data", largest + Bytes{0}))).c_str(),
               image))
        << "the song inside over 64 KiB";
    ASSERT_EQ(1, load_song_file(
                     write_temp_file("wave.wav", riff("WAVE", chunk("data", smf))).c_str(), image));
    EXPECT_EQ(0, is_smf_header(view_of(image))) << "another RIFF form is no song";
}

TEST(Primitives, HeaderTestLooksAtTheFirstFourBytesOnly) {
    EXPECT_EQ(1, is_smf_header(view(hex("4D546864"))));
    EXPECT_EQ(1, is_smf_header(view(hex("4D546864 FFFFFFFF"))));
    EXPECT_EQ(0, is_smf_header(view(hex("4D54726B"))));
    EXPECT_EQ(0, is_smf_header(view(hex("4D5468"))));
}

TEST(Primitives, BigEndianReadsAndBytesPastTheEndReadAsZero) {
    Bytes bytes = hex("12 34 56 78 9A");
    EXPECT_EQ(0x12345678u, read_be32(view(bytes), 0));
    EXPECT_EQ(0x9A00u, read_be16(view(bytes), 4));
    EXPECT_EQ(0x789A0000u, read_be32(view(bytes), 3));
    EXPECT_EQ(0u, read_be32(view(bytes), 0xFFFFFFFEu));
}

TEST(Primitives, VlqReadsUpToFourBytes) {
    struct Case {
        const char* bytes;
        std::uint32_t value;
        int size;
    } cases[] = {{"00", 0, 1},
                 {"7F", 0x7F, 1},
                 {"81 00", 128, 2},
                 {"FF 7F", 0x3FFF, 2},
                 {"FF FF FF 7F", 0x0FFFFFFF, 4},
                 {"80 80 80 80", 0, 1},
                 {"80 80 80 80 00", 0, 1}};
    for (const Case& c : cases) {
        Bytes bytes = hex(c.bytes);
        VlqValue v = vlq_read(view(bytes), 0);
        EXPECT_EQ(c.value, v.value) << c.bytes;
        EXPECT_EQ(c.size, v.size) << c.bytes;
    }
    Bytes cut = hex("81");
    EXPECT_EQ(128u, vlq_read(view(cut), 0).value) << "the missing byte reads as 0";
}

TEST(Primitives, VlqWritesTheShortestFormAndRefusesTooLargeValues) {
    struct Case {
        std::uint32_t value;
        const char* bytes;
    } cases[] = {{0x7F, "7F"},
                 {0x80, "81 00"},
                 {0x3FFF, "FF 7F"},
                 {0x4000, "81 80 00"},
                 {0x1FFFFF, "FF FF 7F"},
                 {0x200000, "81 80 80 00"},
                 {0x0FFFFFFF, "FF FF FF 7F"}};
    for (const Case& c : cases) {
        unsigned char out[4] = {};
        int size = vlq_write(out, c.value);
        EXPECT_EQ(hex(c.bytes), Bytes(out, out + size)) << c.value;
    }
    unsigned char out[4] = {1, 2, 3, 4};
    EXPECT_EQ(0, vlq_write(out, 0x10000000));
    EXPECT_EQ(0, vlq_write(out, 0xFFFFFFFF));
    EXPECT_EQ(1, out[0]) << "nothing written";
}

TEST(Primitives, ClassifierGivesKindAndLength) {
    struct Case {
        const char* bytes;
        int length;
        EventKind kind;
    } cases[] = {{"3C", 2, RunningStatus},      {"90", 3, ChannelMessage},
                 {"BF", 3, ChannelMessage},     {"C5", 2, ChannelMessage},
                 {"DF", 2, ChannelMessage},     {"E0", 3, ChannelMessage},
                 {"F0 05", 7, SystemExclusive}, {"F0 81", 131, SystemExclusive},
                 {"FF 2F 00", 3, EndOfTrack},   {"FF 51 03", 6, SetTempo},
                 {"FF 03 0A", 13, MetaEvent},   {"FF 01 81 00", 132, MetaEvent},
                 {"F7", 0, OtherStatus},        {"F8", 0, OtherStatus},
                 {"F1", 0, OtherStatus},        {"FE", 0, OtherStatus}};
    for (const Case& c : cases) {
        Bytes bytes = hex(c.bytes);
        EventClass e = classify_event(view(bytes), 0);
        EXPECT_EQ(c.length, e.length) << c.bytes;
        EXPECT_EQ(c.kind, e.kind) << c.bytes;
    }
}

TEST(Primitives, ClassifierAtTheEndOfABufferReadsZerosBeyondIt) {
    Bytes bytes = hex("FF 01");
    EXPECT_EQ(3, classify_event(view(bytes), 0).length);
    Bytes sysex = hex("F0");
    EXPECT_EQ(2, classify_event(view(sysex), 0).length);
    EXPECT_EQ(RunningStatus, classify_event(view(sysex), 1).kind);
}

TEST(Primitives, TrackChunkSearchWantsTheTagFollowedByAZeroByte) {
    Bytes bytes = hex("00 4D54726B 01 00 4D54726B 20 4D54726B 0000002A 4D54726B 00000000");
    // Tags at 1 (then 01), 7 (then a space), 12 and 20 (then 00).
    EXPECT_EQ(12, find_track_chunk(view(bytes), 0));
    EXPECT_EQ(12, find_track_chunk(view(bytes), 12)) << "starting at a tag finds that tag";
    EXPECT_EQ(20, find_track_chunk(view(bytes), 13));
    EXPECT_EQ(kNoTrackChunk, find_track_chunk(view(bytes), 21));
    Bytes tail = hex("00 4D54726B");
    EXPECT_EQ(kNoTrackChunk, find_track_chunk(view(tail), 0))
        << "its five bytes lie within the image";
}

TEST(Primitives, TrackChunkSearchStopsBelow64KiBEvenInALargerImage) {
    Bytes big(70000, 0);
    std::memcpy(big.data() + 65536, "MTrk", 4);
    EXPECT_EQ(kNoTrackChunk, find_track_chunk(view(big), 60000));
    std::memset(big.data() + 65536, 0, 4);
    std::memcpy(big.data() + 65535, "MTrk", 4);
    EXPECT_EQ(65535, find_track_chunk(view(big), 60000));
}

TEST(Primitives, ClearsZeroExactlyTheirTables) {
    std::vector<std::int32_t> times(kTimelineEvents + 1, 7);
    clear_event_times(times.data());
    EXPECT_EQ(0, times[kTimelineEvents - 1]);
    EXPECT_EQ(7, times[kTimelineEvents]);
    Bytes area(kClearedSlotBytes + 1, 9);
    clear_event_slots(area.data());
    EXPECT_EQ(0, area[kClearedSlotBytes - 1]);
    EXPECT_EQ(9, area[kClearedSlotBytes]);
    area.assign(kClearedSlotBytes + 1, 9);
    clear_sysex_slots(area.data());
    EXPECT_EQ(0, area[0]);
    EXPECT_EQ(9, area[kClearedSlotBytes]);
}
