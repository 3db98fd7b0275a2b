#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "smf/song_info.h"
#include "tests/smf_bytes.h"

namespace {

SongImage image;

SongInfo scan(const Bytes& song, double factor = 1.0) {
    put_song(image, song);
    return scan_song_info(view_of(image), factor);
}

// A format 0 song whose single track holds the given events.
SongInfo scan_track(const Bytes& events, double factor = 1.0) {
    return scan(song_of(0, 480, {events}), factor);
}

std::string line(const SongInfo& info, int i) {
    return info.lines[i];
}

}  // namespace

TEST(SongInfoLines, AnImageOfZerosIsNotAStandardMidiFile) {
    SongInfo info = scan({});
    EXPECT_EQ("このファイルは、Standard MIDI File　ではありません。 ", line(info, 0));
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ("　", line(info, i));
    EXPECT_EQ(53u, std::strlen(info.lines[0])) << "Shift-JIS bytes";
}

TEST(SongInfoLines, AFileWithoutMetaEventsShowsTheDefaults) {
    SongInfo info = scan_track(hex("00 90 3C 40"));
    EXPECT_EQ("フォーマット：0、 トラック数：1、 分解能：480 ", line(info, 0));
    EXPECT_EQ("名前：no data", line(info, 1));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝4/4", line(info, 2));
    EXPECT_EQ("著作権：no data　　　セットテンポ=0     (0)", line(info, 3));
    EXPECT_EQ("曲のメモ情報：no data", line(info, 4));
    EXPECT_EQ(0, info.format);
    EXPECT_EQ(1, info.track_count);
    EXPECT_EQ(480, info.division);
}

TEST(SongInfoLines, TempoIsShownAtTheSpeedFactor) {
    Bytes events = set_tempo(500000);
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝4/4",
              line(scan_track(events), 2));
    EXPECT_EQ("著作権：no data　　　セットテンポ=500000     (1)", line(scan_track(events), 3));
    EXPECT_EQ("１分間の四分音符数=240.00  　　調(Key)=C Major　　  拍子＝4/4",
              line(scan_track(events, 0.5), 2));
    EXPECT_EQ("著作権：no data　　　セットテンポ=250000     (1)", line(scan_track(events, 0.5), 3));
    EXPECT_EQ("１分間の四分音符数=80.00  　　調(Key)=C Major　　  拍子＝4/4",
              line(scan_track(events, 1.5), 2));
    EXPECT_EQ("著作権：no data　　　セットテンポ=750000     (1)", line(scan_track(events, 1.5), 3));
}

TEST(SongInfoLines, WithoutATempoTheRateIsTheDefaultTempoAtTheSpeedFactor) {
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝4/4",
              line(scan_track({}), 2));
    EXPECT_EQ("１分間の四分音符数=150.00  　　調(Key)=C Major　　  拍子＝4/4",
              line(scan_track({}, 0.8), 2));
    SongInfo zero_tempo = scan_track(set_tempo(0));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝4/4", line(zero_tempo, 2));
    EXPECT_EQ("著作権：no data　　　セットテンポ=0     (1)", line(zero_tempo, 3));
}

TEST(SongInfoLines, TheRateComesFromTheTruncatedScaledTempo) {
    // 500,001 x 0.98 = 490,000.98 -> 490,000 -> 122.448979...
    EXPECT_EQ("１分間の四分音符数=122.45  　　調(Key)=C Major　　  拍子＝4/4",
              line(scan_track(set_tempo(500001), 0.98), 2));
}

TEST(SongInfoLines, TimeAndKeySignatures) {
    Bytes events = hex("00 FF 58 04 06 03 18 08  00 FF 59 02 FD 01");
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Minor　　  拍子＝6/8",
              line(scan_track(events), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C# Major　　  拍子＝4/4",
              line(scan_track(hex("00 FF 59 02 07 00")), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=Cb Major　　  拍子＝4/4",
              line(scan_track(hex("00 FF 59 02 F9 00")), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=A# Minor　　  拍子＝4/4",
              line(scan_track(hex("00 FF 59 02 07 01")), 2));
}

TEST(SongInfoLines, KeysOutsideTheTableAndHugeDenominatorsStayBounded) {
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=Unknown　　  拍子＝4/4",
              line(scan_track(hex("00 FF 59 02 08 00")), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=Unknown　　  拍子＝4/4",
              line(scan_track(hex("00 FF 59 02 00 02")), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=Unknown　　  拍子＝4/4",
              line(scan_track(hex("00 FF 59 02 80 FF")), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝3/1073741824",
              line(scan_track(hex("00 FF 58 04 03 1E 18 08")), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝3/2147483648",
              line(scan_track(hex("00 FF 58 04 03 7F 18 08")), 2));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝-1/1",
              line(scan_track(hex("00 FF 58 04 FF 80 18 08")), 2));
}

TEST(SongInfoMeta, TheLastTextOfAKindWinsAndTheFirstTempo) {
    Bytes events = meta(0x03, "First") + hex("00") + meta(0x03, "Second") + hex("00") +
                   set_tempo(500000) + hex("00") + set_tempo(250000);
    SongInfo info = scan_track(hex("00") + events);
    EXPECT_EQ("名前：Second", line(info, 1));
    EXPECT_EQ("著作権：no data　　　セットテンポ=500000     (2)", line(info, 3));
}

TEST(SongInfoMeta, TextsOfEachKindGoToTheirLines) {
    Bytes events = hex("00") + meta(0x01, "memo") + hex("00") + meta(0x02, "(c) us") + hex("00") +
                   meta(0x04, "piano");
    SongInfo info = scan_track(events);
    EXPECT_EQ("著作権：(c) us　　　セットテンポ=0     (0)", line(info, 3));
    EXPECT_EQ("曲のメモ情報：memo", line(info, 4));
    EXPECT_STREQ("piano", info.meta.instrument_name);
}

TEST(SongInfoMeta, AnEmptyTextIsNotNoDataAndAZeroByteEndsAText) {
    EXPECT_EQ("名前：", line(scan_track(hex("00 FF 03 00")), 1));
    EXPECT_EQ("名前：ab", line(scan_track(hex("00 FF 03 04 61 62 00 63")), 1));
}

TEST(SongInfoMeta, ShiftJisTextsArePassedThroughAsTheyAre) {
    std::string name = "ソ表能";  // each with a 0x5C trail byte
    EXPECT_EQ("名前：ソ表能", line(scan_track(hex("00") + meta(0x03, name)), 1));
}

TEST(SongInfoMeta, ATextLengthIsOneByteNotAVariableLengthQuantity) {
    // 200 bytes written with the length 81 48: the length reads 0x81 = 129 and
    // 0x48 ('H') becomes the first character.
    std::string text(200, 'x');
    Bytes events = hex("00 FF 02 81 48") + Bytes(text.begin(), text.end());
    SongInfo info = scan_track(events);
    EXPECT_EQ("H" + std::string(128, 'x'), std::string(info.meta.copyright));
}

TEST(SongInfoMeta, EveryFFByteTheWalkLandsOnCounts) {
    // FF 51 inside a system-exclusive message is the first tempo and raises the count.
    Bytes events = hex("00 F0 07 7E FF 51 03 07 A1 20 F7") + hex("00") + set_tempo(400000);
    SongInfo info = scan_track(events);
    EXPECT_EQ(2, info.meta.tempo_event_count);
    EXPECT_EQ("著作権：no data　　　セットテンポ=500000     (2)", line(info, 3));
}

TEST(SongInfoMeta, ASecondTempoEventIsWalkedByteByByte) {
    // The second tempo's data bytes 0xFF 0x03 0x04 read as a track name of 4 bytes.
    Bytes events = set_tempo(500000) + hex("00 FF 51 03 FF 03 04 61 62 63 64");
    SongInfo info = scan_track(hex("00") + events);
    EXPECT_EQ("名前：abcd", line(info, 1));
    EXPECT_EQ(2, info.meta.tempo_event_count);
}

TEST(SongInfoMeta, OnlyTheFirstTrackIsScanned) {
    Bytes second = hex("00") + meta(0x03, "Later") + hex("00") + set_tempo(300000) +
                   hex("00 FF 59 02 FD 01 00 FF 58 04 06 03 18 08");
    SongInfo info = scan(song_of(1, 96, {hex("00 90 3C 40"), second}));
    EXPECT_EQ("名前：no data", line(info, 1));
    EXPECT_EQ("１分間の四分音符数=120.00  　　調(Key)=C Major　　  拍子＝4/4", line(info, 2));
    EXPECT_EQ("著作権：no data　　　セットテンポ=0     (0)", line(info, 3));
}

TEST(SongInfoHeader, ADivisionWithBit15IsShownAsAPlainNumber) {
    EXPECT_EQ("フォーマット：1、 トラック数：2、 分解能：59176 ",
              line(scan(smf_header(1, 2, 0xE728)), 0));
}

TEST(SongInfoHeader, NoTrackOrNoChunkGivesTheResetRecordNotThePreviousSong) {
    scan(song_of(0, 96, {hex("00") + meta(0x03, "Previous")}));
    SongInfo no_tracks = scan(smf_header(0, 0, 96) + track(hex("00") + meta(0x03, "Hidden")));
    EXPECT_EQ("名前：no data", line(no_tracks, 1));
    EXPECT_EQ("フォーマット：0、 トラック数：0、 分解能：96 ", line(no_tracks, 0));
    EXPECT_EQ(4, no_tracks.meta.time_sig_numerator);
    EXPECT_EQ(24, no_tracks.meta.clocks_per_click);
    EXPECT_EQ(8, no_tracks.meta.notated_32nds);

    scan(song_of(0, 96, {hex("00") + meta(0x03, "Previous")}));
    SongInfo no_chunk = scan(smf_header(0, 1, 96) + hex("4D54726B 01000000 00") + meta(0x03, "X"));
    EXPECT_EQ("名前：no data", line(no_chunk, 1));
    EXPECT_EQ("著作権：no data　　　セットテンポ=0     (0)", line(no_chunk, 3));
}

TEST(SongInfoHeader, TheChunkIsFoundPastOtherBytesAndItsLengthBoundsTheScan) {
    Bytes song = smf_header(0, 1, 96) + hex("00 00 58 58") + track(hex("00") + meta(0x03, "Found"));
    EXPECT_EQ("名前：Found", line(scan(song), 1));
    Bytes outside = smf_header(0, 1, 96) + hex("4D54726B 00000001") + hex("00") + meta(0x03, "Out");
    EXPECT_EQ("名前：no data", line(scan(outside), 1));
    Bytes starts_inside =
        smf_header(0, 1, 96) + hex("4D54726B 00000002") + hex("00") + meta(0x03, "In");
    EXPECT_EQ("名前：In", line(scan(starts_inside), 1)) << "its type and text lie past the length";
}

TEST(SongInfoHeader, AChunkLengthPastTheImageStopsAtItsEnd) {
    Bytes song = smf_header(0, 1, 96) + hex("4D54726B 00FFFFFF") + hex("00") + meta(0x03, "Big");
    EXPECT_EQ("名前：Big", line(scan(song), 1));
    Bytes near_end = smf_header(0, 1, 96) + hex("4D54726B 0000FFFF");
    near_end.resize(65534, 0);
    near_end = near_end + hex("FF 03");
    EXPECT_EQ("名前：", line(scan(near_end), 1)) << "the length byte past the end reads as 0";
}

TEST(SongInfoHeader, LongTextsKeepTheirWholeLines) {
    std::string text(255, 'a');
    Bytes events =
        hex("00") + meta(0x02, text) + hex("00") + meta(0x01, text) + hex("00") + meta(0x03, text);
    SongInfo info = scan_track(events);
    EXPECT_EQ("名前：" + text, line(info, 1));
    EXPECT_EQ("著作権：" + text + "　　　セットテンポ=0     (0)", line(info, 3));
    EXPECT_EQ("曲のメモ情報：" + text, line(info, 4));
}
