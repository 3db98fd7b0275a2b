// lumaroth-cli as a user runs it: its exact output and exit codes.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#include "tests/cli_run.h"
#include "tests/click_track.h"
#include "tests/smf_bytes.h"

namespace {

// UTF-8 spelled out in bytes: this file's own literals are Shift-JIS.
const std::string kUtf8FullWidthSpace = "\xE3\x80\x80";

std::string song_file() {
    Bytes events = hex("00") + meta(0x03, "Demo") + hex("00") + set_tempo(500000) +
                   hex("00 F0 05 7E 7F 09 01 F7  00 C0 00  00 C9 10  00 90 3C 40  60 80 3C 00");
    return write_temp_file("demo.mid", song_of(0, 96, {events}));
}

constexpr char kNoTerminal[] = "no pseudo-terminal can be made here (no devpts mounted)";

bool can_make_terminal() {
    int pty = posix_openpt(O_RDWR | O_NOCTTY);
    if (pty < 0) return false;
    close(pty);
    return true;
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
    ASSERT_EQ(2, run.exit_code) << "the lines, then the exit code of a file that is no SMF";
    EXPECT_EQ("not a Standard MIDI File\n", run.err);
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

TEST(CliTimeline, StartPrintsTheChaseThenTheEventsFromThePointOn) {
    CliRun run = cli("timeline " + song_file() + " --start 0:00.505");
    ASSERT_EQ(0, run.exit_code) << run.err;
    EXPECT_EQ(0u, run.out.find("chase\t00 00 00\tF0 7E 7F 09 01 F7\n"
                               "chase\tC0 00 00\t-\n"
                               "chase\tC9 10 00\t-\n"
                               "event_count 17\n"
                               "6\t505\t80 3C 00\t-\n"))
        << run.out;
    EXPECT_EQ(64, cli("timeline " + song_file() + " --start 1:60").exit_code);
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

TEST(CliErrors, HelpAndVersionSucceedAndAUsageErrorNamesTheArgumentAtFault) {
    for (const char* help : {"--help", "-h", "info --help"}) {
        CliRun run = cli(help);
        EXPECT_EQ(0, run.exit_code) << help;
        EXPECT_EQ(0u, run.out.find("usage: lumaroth-cli info FILE")) << help;
        EXPECT_EQ("", run.err) << help;
    }
    CliRun version = cli("--version");
    EXPECT_EQ(0, version.exit_code);
    EXPECT_EQ(0u, version.out.find("lumaroth-cli 1.")) << version.out;
    std::string song = song_file();
    std::string wav = temp_dir() + "/named.wav";
    const std::pair<std::string, std::string> faults[] = {
        {"info " + song + " --switch 17:1", "lumaroth-cli: --switch 17:1: not CH:PROG"},
        {"info --speed-steps 5 " + song, "lumaroth-cli: '--speed-steps' where FILE is expected"},
        {"render " + song + " --raw", "lumaroth-cli: '--raw' where OUT.wav is expected"},
        {"timeline " + song + " --raw", "lumaroth-cli: '--raw' is not an option of timeline"},
        {"play " + song + " --device", "lumaroth-cli: --device needs a value"},
        {"render " + song + " " + wav + " --loops 0",
         "lumaroth-cli: --loops 0: not a whole number from 0 (play only) to 1000"},
        {"play " + song + " --fade 2", "lumaroth-cli: '--fade' is not an option of play"},
        {"bogus " + song, "lumaroth-cli: unknown command 'bogus'"},
        {"render " + song + " " + wav + " --end 0:00",
         "lumaroth-cli: --end must come after the song's start"},
        {"render " + song + " " + wav + " --start 0:05 --end 0:00",
         "lumaroth-cli: --end must come after --start"},
        {"render " + song + " " + wav + " --volume ' 3'", "lumaroth-cli: --volume  3: not a"},
        {"render " + song + " " + wav + " --volume +1", "lumaroth-cli: --volume +1: not a"},
        {"render " + song + " " + wav + " --mute '1, 2'", "lumaroth-cli: --mute 1, 2: not"},
        {"render " + song + " " + wav + " --fade 0x10", "lumaroth-cli: --fade 0x10: not a"},
        {"render " + song + " " + wav + " --fade 1e1", "lumaroth-cli: --fade 1e1: not a"},
    };
    for (const auto& [arguments, line] : faults) {
        CliRun run = cli(arguments);
        EXPECT_EQ(64, run.exit_code) << arguments;
        EXPECT_EQ(0u, run.err.find(line)) << arguments << "\n" << run.err;
        EXPECT_NE(std::string::npos, run.err.find("\nusage: lumaroth-cli")) << arguments;
    }
    EXPECT_FALSE(std::ifstream("--raw").good()) << "no file named after an option";
    CliRun late = cli("render " + song + " " + wav + " --start 50:00");
    EXPECT_EQ(64, late.exit_code);
    EXPECT_EQ(0u, late.err.find("lumaroth-cli: --start 50:00 is not within the song, which lasts "))
        << late.err;
}

TEST(CliPlay, TheLiveLineFitsANarrowTerminal) {
    if (!can_make_terminal()) GTEST_SKIP() << kNoTerminal;
    // A terminal of 50 columns; the song's sixteen programs make the line longer than that.
    Bytes events;
    for (int channel = 0; channel < 16; ++channel)
        events += Bytes{0x00, static_cast<unsigned char>(0xC0 + channel), 0x7F};
    events += hex("00 90 3C 40  87 40 80 3C 00");
    std::string song = write_temp_file("sixteen.mid", song_of(0, 96, {events}));
    std::string wav = temp_dir() + "/narrow.wav";
    std::string screen = temp_dir() + "/narrow.out";
    std::system(("script -q -c 'stty cols 50 rows 20; LUMAROTH_MIDI_OUT=wav:" + wav +
                 " timeout --foreground -k 5 -s INT 3 " + LUMAROTH_CLI + " play " + song +
                 "' /dev/null >" + screen)
                    .c_str());
    std::string out = read_all(screen);
    std::size_t shown = 0;
    for (std::size_t start = 0, end; start < out.size(); start = end + 1) {
        end = out.find_first_of("\r\n", start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        if (line.find(" / ") == std::string::npos) continue;
        ++shown;
        EXPECT_LE(line.size() - std::string("\033[K").size(), 49u) << line;
    }
    EXPECT_GT(shown, 0u) << out;
}

TEST(CliRender, OnATerminalTheLiveLineGoesToTheEnd) {
    if (!can_make_terminal()) GTEST_SKIP() << kNoTerminal;
    std::string song =
        write_temp_file("short.mid", song_of(0, 96, {hex("00 90 3C 40  87 40 80 3C 00")}));
    std::string screen = temp_dir() + "/render.out";
    std::system(("script -q -c '" + std::string(LUMAROTH_CLI) + " render " + song + " " +
                 temp_dir() + "/render.wav' /dev/null >" + screen)
                    .c_str());
    std::string out = read_all(screen);
    EXPECT_NE(out.rfind("00:05 / 00:05 [########################]"), std::string::npos) << out;
}

TEST(CliPlay, SpaceAndTheArrowsPauseResumeAndJumpOnATerminal) {
    if (!can_make_terminal()) GTEST_SKIP() << kNoTerminal;
    // One long note; Right jumps 5 s in, Space pauses there until the end of the run.
    std::string song =
        write_temp_file("minute.mid", song_of(0, 96, {hex("00 90 3C 40  83 E1 00 80 3C 00")}));
    std::string screen = temp_dir() + "/keys.out";
    std::system(("(sleep 0.5; printf '\\033[C'; sleep 0.3; printf ' '; sleep 3) | script -q -c "
                 "'LUMAROTH_MIDI_OUT=wav:" +
                 temp_dir() + "/keys.wav timeout --foreground -k 5 -s INT 2.5 " + LUMAROTH_CLI +
                 " play " + song + "' /dev/null >" + screen)
                    .c_str());
    std::string out = read_all(screen);
    std::size_t last = out.rfind(" / ");
    ASSERT_NE(std::string::npos, last) << out;
    EXPECT_EQ("00:05", out.substr(last - 5, 5)) << "paused just after the jump: " << out;
}

// The root mean square of the left channel from from_s to to_s.
double loudness(const std::vector<std::int16_t>& stereo, int rate, double from_s, double to_s) {
    double sum = 0;
    std::size_t n = 0;
    for (auto i = static_cast<std::size_t>(from_s * rate); i < to_s * rate && 2 * i < stereo.size();
         ++i, ++n)
        sum += static_cast<double>(stereo[2 * i]) * stereo[2 * i];
    return n == 0 ? 0 : std::sqrt(sum / n);
}

// The stereo samples lumaroth-cli renders of a one-tick-a-millisecond song with the
// events in hex, and the options; none, the rate 0 and the reason said, when it fails.
std::vector<std::int16_t> render_ms_song(const std::string& events, const std::string& options,
                                         int& rate) {
    rate = 0;
    std::string song = write_temp_file("rendered.mid", ms_song(hex(events)));
    std::string wav = temp_dir() + "/rendered.wav";
    CliRun run = cli("render " + song + " " + wav + " " + options);
    EXPECT_EQ(0, run.exit_code) << run.err;
    return run.exit_code == 0 ? read_wav(wav, rate) : std::vector<std::int16_t>{};
}

TEST(CliRender, LoopsAndAFadeMakeALoopingGameTrackFinite) {
    // One tick a millisecond: a note, then controller 111 at 305 ms and a held note to 1005.
    int rate = 0;
    std::vector<std::int16_t> sound = render_ms_song(
        "00 C0 00  00 90 3C 64  82 2C 80 3C 00"
        "  00 B0 6F 00  00 90 40 64  85 3C 80 40 00",
        "--loops 2 --fade 1", rate);
    ASSERT_GT(rate, 0);
    // Two passes of the loop (to 1.705 s), a third fading over a second: not the 10 s of
    // silence a song without a loop would wait.
    double seconds = static_cast<double>(sound.size()) / 2 / rate;
    EXPECT_GT(seconds, 2.6);
    EXPECT_LT(seconds, 3.6);
    EXPECT_LT(loudness(sound, rate, 2.35, 2.65), loudness(sound, rate, 1.1, 1.4) / 2)
        << "the end fades";
}

TEST(CliRender, ASegmentStartsAtItsPointWithoutRestartingEarlierNotesAndEndsAtItsEnd) {
    // One tick a millisecond: a note held from 0 to 3 s, another from 2 s to 2.5 s.
    int rate = 0;
    std::vector<std::int16_t> sound =
        render_ms_song("00 90 3C 64  8F 50 90 48 64  83 74 80 48 00  83 74 80 3C 00",
                       "--start 0:01.500 --end 0:02.700", rate);
    ASSERT_GT(rate, 0);
    EXPECT_LT(loudness(sound, rate, 0.0, 0.45), 1.0) << "the note begun at 0 is not restarted";
    EXPECT_GT(loudness(sound, rate, 0.55, 0.95), 100.0) << "the note at 2 s, 0.5 s in";
    double seconds = static_cast<double>(sound.size()) / 2 / rate;
    EXPECT_GT(seconds, 1.2);
    EXPECT_LT(seconds, 2.0) << "it ends at 2.7 s, its release after";
}

TEST(CliRender, EndIsATimeOfPlayingWhenTheSongLoops) {
    // A 2 s song looping from its first tick, and from 0.5 s: three passes last 6 s and 5 s.
    for (const char* loop_start : {"00 B0 6F 00  00 90 3C 64", "00 90 3C 64  83 74 B0 6F 00"}) {
        int rate = 0;
        std::string events = std::string(loop_start) + "  8F 50 80 3C 00";
        std::vector<std::int16_t> sound = render_ms_song(events, "--end 0:04.500 --loops 3", rate);
        ASSERT_GT(rate, 0);
        double seconds = static_cast<double>(sound.size()) / 2 / rate;
        EXPECT_GT(seconds, 4.5) << loop_start;
        EXPECT_LT(seconds, 5.3) << loop_start << ": it ends at 4.5 s of playing, its release after";
    }
}

TEST(CliRender, AShortSongEndsWithItsSound) {
    // One tick a millisecond: a half-second note, its note-off at 505 ms.
    int rate = 0;
    std::vector<std::int16_t> sound =
        render_ms_song("00 C0 00  00 90 3C 64  83 74 80 3C 00", "", rate);
    ASSERT_GT(rate, 0);
    double seconds = static_cast<double>(sound.size()) / 2 / rate;
    EXPECT_GT(seconds, 0.6) << "the release and the reverb";
    EXPECT_LT(seconds, 0.505 + 3.0) << "not the player's ten silent seconds";
    EXPECT_LT(loudness(sound, rate, seconds - 0.05, seconds), 1.0) << "it ends in silence";
}

TEST(CliDevices, ListsTheOutputsAndAnUnknownOneIsAUsageError) {
    CliRun run = cli("devices");
    ASSERT_EQ(0, run.exit_code) << run.err;
    EXPECT_EQ(0u, run.out.find("0\tFluidSynth\n")) << run.out;
    CliRun unknown = cli("play " + song_file() + " --device nosuch");
    EXPECT_EQ(64, unknown.exit_code);
    EXPECT_EQ("lumaroth-cli: no MIDI output nosuch (see lumaroth-cli devices)\n", unknown.err);
}
