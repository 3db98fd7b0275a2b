// lumaroth-cli under hostile conditions: FIFOs, broken SoundFonts, full disks, a song as
// its own output, signals, songs that end late or never, and what a stop leaves in the
// file. Every run has a time-out, so that a regression fails instead of hanging.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli_run.h"
#include "tests/click_track.h"
#include "tests/smf_bytes.h"

extern char** environ;

namespace {

const std::string kTimeout = "timeout 60";
constexpr std::size_t kHeaderBytes = 44;
constexpr std::size_t kBytesPerSecond = 44100 * 4;

struct Wav {
    std::size_t file_size;
    std::uint32_t riff_size;
    std::uint32_t data_size;
    std::vector<std::int16_t> samples;
};

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

Wav read_wav(const std::string& path) {
    std::string bytes = read_all(path);
    Wav wav{bytes.size(), 0, 0, {}};
    if (bytes.size() < kHeaderBytes) return wav;
    wav.riff_size = le32(bytes, 4);
    wav.data_size = le32(bytes, 40);
    wav.samples.resize((bytes.size() - kHeaderBytes) / 2);
    std::memcpy(wav.samples.data(), bytes.data() + kHeaderBytes, wav.samples.size() * 2);
    return wav;
}

// The header counts the whole frames the file holds.
void expect_header_describes(const Wav& wav) {
    ASSERT_GE(wav.file_size, kHeaderBytes);
    std::size_t data = wav.file_size - kHeaderBytes;
    EXPECT_EQ(wav.data_size, data / 4 * 4);
    EXPECT_EQ(wav.riff_size, 36 + wav.data_size);
}

// The loudest sample among frames [from, to), in dBFS.
double peak_dbfs(const Wav& wav, std::size_t from, std::size_t to) {
    int peak = 1;
    for (std::size_t i = from * 2; i < to * 2 && i < wav.samples.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(wav.samples[i])));
    return 20 * std::log10(peak / 32768.0);
}

std::string song_with(const std::string& events) {
    return write_temp_file("song.mid", song_of(0, 96, {hex(events)}));
}

// A render in the background, in real time so that it is still under way when it is
// signalled once audio has reached the file.
class BackgroundRender {
  public:
    BackgroundRender(const std::string& song, const std::string& wav) : wav_(wav) {
        std::vector<std::string> args = {LUMAROTH_CLI, "render", song, wav, "--realtime"};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        started_ = posix_spawn(&pid_, LUMAROTH_CLI, nullptr, nullptr, argv.data(), environ) == 0;
    }
    ~BackgroundRender() {
        if (!started_ || ended_) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    // Waits (at most 30 s) until the file holds this many seconds of audio.
    bool wait_for_audio(double seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            struct stat info;
            if (stat(wav_.c_str(), &info) == 0 &&
                static_cast<double>(info.st_size) > kHeaderBytes + seconds * kBytesPerSecond)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // Sends the signal; the exit code, or -1 when the render did not end within 10 s.
    int signal_and_wait(int signal) {
        kill(pid_, signal);
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
    bool started() const { return started_; }

  private:
    std::string wav_;
    pid_t pid_ = 0;
    bool started_ = false;
    bool ended_ = false;
};

int lines_in(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

const char kOneNote[] = "00 90 3C 40  60 80 3C 00";

}  // namespace

TEST(CliHostile, FifosAreNeverOpenedAsSongsSoundFontsOrWavFiles) {
    std::string fifo = temp_dir() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(cli("info " + fifo, kTimeout).exit_code, 1);
    std::string song = song_with(kOneNote);
    CliRun to_fifo = cli("render " + song + " " + fifo, kTimeout);
    EXPECT_EQ(to_fifo.exit_code, 3);
    EXPECT_EQ(to_fifo.err,
              "lumaroth: MIDI output: cannot write " + fifo + ": not a regular file\n");
    CliRun font = cli("render " + song + " " + temp_dir() + "/out.wav",
                      "LUMAROTH_SOUNDFONT=" + fifo + " " + kTimeout);
    EXPECT_EQ(font.exit_code, 3);
    EXPECT_EQ(lines_in(font.err), 1) << font.err;
}

TEST(CliHostile, BrokenSoundFontsFailWithOneLineAndNoLibraryChatter) {
    std::string song = song_with(kOneNote);
    std::string real = read_all("/usr/share/sounds/sf2/FluidR3_GM.sf2").substr(0, 100000);
    for (const std::string& font :
         {write_temp_file("empty.sf2", {}), write_temp_file("random.sf2", Bytes(5000, 0x5A)),
          write_temp_file("cut.sf2", Bytes(real.begin(), real.end())), temp_dir()}) {
        CliRun run = cli("render " + song + " " + temp_dir() + "/out.wav",
                         "LUMAROTH_SOUNDFONT=" + font + " " + kTimeout);
        EXPECT_EQ(run.exit_code, 3) << font;
        EXPECT_EQ(run.err, "lumaroth: MIDI output: cannot load the SoundFont " + font +
                               ": not a readable SoundFont file\n");
    }
}

TEST(CliHostile, AChosenSoundFontThatIsNoneFailsWithOneLineAndAGoodOnePlays) {
    std::string song = song_with(kOneNote);
    std::string wav = temp_dir() + "/chosen.wav";
    std::string text = write_temp_file("notes.sf2", Bytes(5000, 0x5A));
    CliRun bad = cli("render " + song + " " + wav + " --soundfont " + text, kTimeout);
    EXPECT_EQ(bad.exit_code, 3);
    EXPECT_EQ(bad.err, "lumaroth-cli: cannot load the SoundFont " + text +
                           ": not a readable SoundFont file\n");
    // Even when the default one is broken: the chosen one is the one that plays.
    CliRun good = cli("render " + song + " " + wav +
                          " --soundfont /usr/share/sounds/sf2/FluidR3_GM.sf2 --end 0:01",
                      "LUMAROTH_SOUNDFONT=" + text + " " + kTimeout);
    EXPECT_EQ(good.exit_code, 0) << good.err;
    int rate = 0;
    std::vector<std::int16_t> sound = read_wav(wav, rate);
    EXPECT_NE(std::count(sound.begin(), sound.end(), 0), static_cast<long>(sound.size()));
    CliRun muted = cli("render " + song + " " + wav + " --volume 0 --end 0:01", kTimeout);
    EXPECT_EQ(muted.exit_code, 0) << muted.err;
    std::vector<std::int16_t> silence = read_wav(wav, rate);
    ASSERT_FALSE(silence.empty());
    EXPECT_EQ(std::count(silence.begin(), silence.end(), 0), static_cast<long>(silence.size()))
        << "volume 0 is silence";
}

TEST(CliHostile, OutputThatCannotBeWrittenFailsTheCommand) {
    std::string song = song_with(kOneNote);
    for (const char* command : {"info", "timeline", "merged"}) {
        int status = std::system(
            (kTimeout + " " + LUMAROTH_CLI + " " + command + " " + song + " >/dev/full 2>/dev/null")
                .c_str());
        EXPECT_EQ(WEXITSTATUS(status), 74) << command;
    }
    CliRun full = cli("render " + song + " /dev/full", kTimeout);
    EXPECT_EQ(full.exit_code, 3);
    EXPECT_EQ(full.err, "lumaroth: MIDI output: cannot write /dev/full: No space left on device\n");

    // A file-size limit of 64 KiB stands for a full disk: a third of a second of audio.
    std::string wav = temp_dir() + "/limited.wav";
    CliRun limited = cli("render " + song + " " + wav, "prlimit --fsize=65536 " + kTimeout);
    EXPECT_EQ(limited.exit_code, 3);
    EXPECT_EQ(lines_in(limited.err), 1) << limited.err;
    Wav written = read_wav(wav);
    EXPECT_EQ(written.file_size, 65536u);
    expect_header_describes(written);
}

TEST(CliHostile, TheSongIsNeverItsOwnOutput) {
    Bytes bytes = song_of(0, 96, {hex(kOneNote)});
    std::string song = write_temp_file("own.mid", bytes);
    std::string link = temp_dir() + "/link.wav";
    ASSERT_EQ(symlink(song.c_str(), link.c_str()), 0);
    for (const std::string& out : {song, link}) {
        CliRun run = cli("render " + song + " " + out, kTimeout);
        EXPECT_EQ(run.exit_code, 64) << out;
        EXPECT_EQ(read_all(song), std::string(bytes.begin(), bytes.end())) << out;
    }
}

TEST(CliHostile, TheSoundFontInUseIsNeverTheOutput) {
    std::string song = write_temp_file("tune.mid", song_of(0, 96, {hex(kOneNote)}));
    std::string font = write_temp_file("font.sf2", hex("52494646 04000000 7366626B"));
    std::string link = temp_dir() + "/font-link.wav";
    ASSERT_EQ(symlink(font.c_str(), link.c_str()), 0);
    const std::pair<std::string, std::string> runs[] = {
        {"render " + song + " " + font + " --soundfont " + font, ""},
        {"render " + song + " " + link, "LUMAROTH_SOUNDFONT=" + font + " " + kTimeout},
    };
    for (const auto& [arguments, prefix] : runs) {
        CliRun run = cli(arguments, prefix.empty() ? kTimeout : prefix);
        EXPECT_EQ(run.exit_code, 64) << arguments << run.err;
        EXPECT_EQ(lines_in(run.err), 1) << run.err;
        EXPECT_EQ(read_all(font), std::string("RIFF\x04\0\0\0sfbk", 12)) << arguments;
    }
}

TEST(CliHostile, ARenderLongerThanAWavFileHoldsIsRefusedBeforeItStarts) {
    // A note, then one 7 hours on: 4,838,400 ticks of 5.2 ms at the default tempo.
    std::string song =
        write_temp_file("long.mid", song_of(0, 96, {hex("00 90 3C 40  82 A7 A8 00 80 3C 00")}));
    std::string wav = temp_dir() + "/long.wav";
    CliRun run = cli("render " + song + " " + wav, kTimeout);
    EXPECT_EQ(run.exit_code, 64);
    EXPECT_EQ(lines_in(run.err), 1) << run.err;
    EXPECT_NE(run.err.find("the render would last 420:0"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--end"), std::string::npos) << run.err;
    EXPECT_FALSE(std::ifstream(wav).good()) << "nothing written";
    CliRun cut = cli("render " + song + " " + wav + " --end 0:01", kTimeout);
    EXPECT_EQ(cut.exit_code, 0) << cut.err;
}

TEST(CliHostile, SighupDuringRenderFinishesTheWav) {
    std::string wav = temp_dir() + "/hup.wav";
    BackgroundRender render(song_with("00 90 3C 40  83 00 80 3C 00"), wav);
    ASSERT_TRUE(render.started());
    ASSERT_TRUE(render.wait_for_audio(0.5));
    EXPECT_EQ(render.signal_and_wait(SIGHUP), 129);
    Wav written = read_wav(wav);
    EXPECT_GT(written.data_size, 0.5 * kBytesPerSecond);
    expect_header_describes(written);
}

TEST(CliHostile, AStoppedRenderEndsInSilenceAfterTheRelease) {
    // An organ chord held for a minute, stopped while it sounds.
    std::string wav = temp_dir() + "/organ.wav";
    BackgroundRender render(
        song_with("00 C0 13  00 90 3C 64  00 90 40 64  00 90 43 64  AD 00 80 3C 00"), wav);
    ASSERT_TRUE(render.started());
    ASSERT_TRUE(render.wait_for_audio(1.0));
    EXPECT_EQ(render.signal_and_wait(SIGINT), 130);
    Wav written = read_wav(wav);
    std::size_t frames = written.samples.size() / 2;
    ASSERT_GT(frames, 44100u);
    EXPECT_GT(peak_dbfs(written, 22050, 44100), -30.0) << "the chord never sounded";
    EXPECT_LT(peak_dbfs(written, frames - 441, frames), -60.0) << "the file ends mid-sound";
}

TEST(CliHostile, ASongWithoutShortMessagesEndsWithinElevenSeconds) {
    std::string wav = temp_dir() + "/silent.wav";
    CliRun run =
        cli("render " + write_temp_file("mthd.mid", hex("4D546864")) + " " + wav, "timeout 20");
    EXPECT_EQ(run.exit_code, 0);
    Wav written = read_wav(wav);
    EXPECT_LE(written.data_size, 11 * kBytesPerSecond);
}

TEST(CliHostile, ASongWithAFifteenSecondRestRendersToItsEnd) {
    // Notes at 0 and 15.5 s, each 0.5 s long.
    std::string wav = temp_dir() + "/rest.wav";
    CliRun run = cli(
        "render " + song_with("00 90 3C 64  60 80 3C 00  96 40 90 3E 64  60 80 3E 00") + " " + wav,
        kTimeout);
    EXPECT_EQ(run.exit_code, 0);
    Wav written = read_wav(wav);
    std::size_t frames = written.samples.size() / 2;
    EXPECT_GT(frames, 16 * 44100u) << "the song ended in its rest";
    EXPECT_GT(peak_dbfs(written, 15 * 44100 + 30000, 16 * 44100 + 20000), -40.0)
        << "the note after the rest is missing";
}
