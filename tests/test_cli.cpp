// lumaroth-cli as a user runs it: its exact output and exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/cli_run.h"
#include "tests/smf_bytes.h"

namespace {

// UTF-8 spelled out in bytes: this file's own literals are Shift-JIS.
const std::string kUtf8FullWidthSpace = "\xE3\x80\x80";

std::string song_file() {
    Bytes events = hex("00") + meta(0x03, "Demo") + hex("00") + set_tempo(500000) +
                   hex("00 F0 05 7E 7F 09 01 F7  00 C0 00  00 C9 10  00 90 3C 40  60 80 3C 00");
    return write_temp_file("demo.mid", song_of(0, 96, {events}));
}

}  // namespace

TEST(CliInfo, PrintsTheInformationAndInstrumentLinesInUtf8) {
    CliRun run = cli("info " + song_file());
    ASSERT_EQ(0, run.exit_code) << run.err;
    std::string expected_name =
        "\xE5\x90\x8D\xE5\x89\x8D\xEF\xBC\x9A"
        "Demo\n";  // 名前：Demo
    EXPECT_NE(std::string::npos, run.out.find(expected_name));
    EXPECT_NE(std::string::npos, run.out.find("=120.00"));
    EXPECT_NE(std::string::npos, run.out.find("No.1 ")) << run.out;
    int lines = 0;
    for (char c : run.out)
        lines += c == '\n';
    EXPECT_EQ(11, lines);
}

TEST(CliInfo, RawPrintsTheShiftJisBytesAndTheOptionsApply) {
    CliRun run = cli("info " + song_file() + " --raw --speed-steps 25 --switch 1:41");
    ASSERT_EQ(0, run.exit_code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("名前：Demo\n"));
    EXPECT_NE(std::string::npos, run.out.find("=240.00")) << "25 presses of faster reach 0.5";
    EXPECT_NE(std::string::npos, run.out.find("■1  No.41  バイオリン（ボーイング）"));
    CliRun slower = cli("info " + song_file() + " --raw --speed-steps -30");
    EXPECT_NE(std::string::npos, slower.out.find("=80.00"));
    EXPECT_NE(std::string::npos, slower.out.find("=750000"));
}

TEST(CliInfo, ANonSmfFileShowsItsLinesAndBlankInstruments) {
    CliRun run = cli("info " + write_temp_file("notes.txt", hex("48656C6C6F")));
    ASSERT_EQ(0, run.exit_code);
    std::string blank_pair = kUtf8FullWidthSpace + kUtf8FullWidthSpace + "\n";
    std::string tail;
    for (int i = 0; i < 6; ++i)
        tail += blank_pair;
    EXPECT_EQ(tail, run.out.substr(run.out.size() - tail.size()));
}

TEST(CliInfo, InvalidShiftJisBytesAreEscaped) {
    Bytes events = hex("00 FF 03 04 41 81 FF 42");
    CliRun run = cli("info " + write_temp_file("bad.mid", song_of(0, 96, {events})));
    EXPECT_NE(std::string::npos, run.out.find("A\\x81\\xFFB\n")) << run.out;
}

TEST(CliTimeline, PrintsEveryEventWithItsTimeMessageAndSysex) {
    CliRun run = cli("timeline " + song_file());
    ASSERT_EQ(0, run.exit_code) << run.err;
    std::string head =
        "event_count 17\n"
        "0\t5\t00 00 00\t-\n"
        "1\t5\t00 00 00\t-\n"
        "2\t5\t00 00 00\tF0 7E 7F 09 01 F7\n"
        "3\t5\tC0 00 00\t-\n"
        "4\t5\tC9 10 00\t-\n"
        "5\t5\t90 3C 40\t-\n"
        "6\t505\t80 3C 00\t-\n"
        "7\t505\t00 00 00\t-\n";
    EXPECT_EQ(head, run.out.substr(0, head.size()));
    int lines = 0;
    for (char c : run.out)
        lines += c == '\n';
    EXPECT_EQ(1 + 17, lines);
}

TEST(CliTimeline, SpeedAndSwitchShapeTheTimeline) {
    CliRun run = cli("timeline " + song_file() + " --speed-steps -25 --switch 10:1");
    EXPECT_NE(std::string::npos, run.out.find("4\t5\tC9 00 00\t-\n"));
    EXPECT_NE(std::string::npos, run.out.find("6\t755\t80 3C 00\t-\n"));
}

TEST(CliMerged, PrintsTheStream32BytesALine) {
    Bytes events;
    for (int i = 0; i < 10; ++i)
        events += hex("00 90 3C 40");
    CliRun run = cli("merged " + write_temp_file("ten.mid", song_of(0, 96, {events})));
    ASSERT_EQ(0, run.exit_code);
    std::string line =
        "00 90 3C 40 00 90 3C 40 00 90 3C 40 00 90 3C 40 00 90 3C 40 00 90 3C 40 00 90 3C 40 00 90 3C 40\n";
    EXPECT_EQ(line + "00 90 3C 40 00 90 3C 40\n", run.out);
    CliRun empty = cli("merged " + write_temp_file("none.mid", song_of(0, 96, {})));
    EXPECT_EQ(0, empty.exit_code);
    EXPECT_EQ("", empty.out);
}

TEST(CliErrors, UnreadableTooLargeNotSmfAndBadArguments) {
    CliRun missing = cli(temp_dir() + "/missing.mid");
    EXPECT_EQ(64, missing.exit_code);
    std::string path = temp_dir() + "/missing.mid";
    CliRun unreadable = cli("info " + path);
    EXPECT_EQ(1, unreadable.exit_code);
    // ファイルを読み込めません in UTF-8
    EXPECT_EQ(
        "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x82\x92\xE8\xAA\xAD\xE3\x81\xBF"
        "\xE8\xBE\xBC\xE3\x82\x81\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93 " +
            path + "!\n",
        unreadable.err);
    EXPECT_EQ(1, cli("timeline " + write_temp_file("big.mid", Bytes(65537, 0))).exit_code);
    CliRun not_smf = cli("merged " + write_temp_file("text.txt", hex("41")));
    EXPECT_EQ(2, not_smf.exit_code);
    EXPECT_EQ("not a Standard MIDI File\n", not_smf.err);
    EXPECT_EQ(2, cli("timeline " + write_temp_file("text.txt", hex("41"))).exit_code);
    std::string song = song_file();
    for (const char* bad : {"--switch 17:1", "--switch 0:1", "--switch 1:129", "--switch 1",
                            "--speed-steps x", "--speed-steps", "--bogus", "--raw"}) {
        std::string command = std::string(bad) == "--raw" ? "timeline " : "info ";
        EXPECT_EQ(64, cli(command + song + " " + bad).exit_code) << bad;
    }
    EXPECT_EQ(64, cli("merged " + song + " --speed-steps 1").exit_code);
}

TEST(CliDevices, ListsTheOutputsAndAnUnknownOneIsAUsageError) {
    CliRun run = cli("devices");
    ASSERT_EQ(0, run.exit_code) << run.err;
    EXPECT_EQ(0u, run.out.find("0\tFluidSynth\n")) << run.out;
    CliRun unknown = cli("play " + song_file() + " --device nosuch");
    EXPECT_EQ(64, unknown.exit_code);
    EXPECT_EQ("lumaroth-cli: no MIDI output nosuch (see lumaroth-cli devices)\n", unknown.err);
}
