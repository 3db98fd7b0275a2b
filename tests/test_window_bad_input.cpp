// What a file or a user can throw at the window: unreadable, oversized, empty, cut and
// malformed songs, every public test song, and long runs of Play, Stop and the end of
// the song. Nothing crashes or hangs, and a song that loaded before keeps playing.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "playback/scheduler.h"
#include "tests/permissions.h"
#include "tests/window_fixture.h"
#include "ui/main_window.h"
#include "ui/song_opening.h"
#include "ui/window_state.h"

namespace {

constexpr int kPlay = 101, kStop = 102;
constexpr int kControllerResets = 48;

class BadInput : public MainWindowTest {
  public:
    // Opens the demo song and plays it: the song that must survive a failed Open.
    void load_a_good_song() {
        open_file(demo_song_path());
        ASSERT_EQ(window_caption(window), "Lumaroth - lumaroth-demo.mid");
    }
    // The failed Open warned once, left the caption untitled, and the previous song plays.
    void expect_refused_and_previous_song_plays(const std::string& path) {
        std::size_t warnings = scripted_dialogs.message_boxes.size();
        open_file(path);
        ASSERT_EQ(scripted_dialogs.message_boxes.size(), warnings + 1) << path;
        EXPECT_EQ(scripted_dialogs.message_boxes.back().text,
                  "ファイルを読み込めません " + path + "!");
        EXPECT_EQ(window_caption(window), "Lumaroth - (untitled)");
        command(kPlay);
        EXPECT_EQ(playback_state(), PlayState::kPlaying)
            << "the previous song still plays after " << path;
        command(kStop);
    }
    // The file loaded without a word; Play then plays it if it is an SMF, else nothing.
    void expect_loaded_and_playable(const std::string& path) {
        std::size_t warnings = scripted_dialogs.message_boxes.size();
        open_file(path);
        EXPECT_EQ(scripted_dialogs.message_boxes.size(), warnings) << path;
        command(kPlay);
        EXPECT_EQ(playback_state() == PlayState::kPlaying, is_smf_header(view_of(song_image)) != 0)
            << path;
        command(kStop);
        EXPECT_EQ(recording_midi_out.open_outputs, 0);
    }
};

Bytes random_bytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(generator());
    return bytes;
}

}  // namespace

TEST_F(BadInput, MissingDirectoryUnreadableAndOversizedFilesAreRefused) {
    load_a_good_song();
    expect_refused_and_previous_song_plays(temp_dir() + "/no-such-song.mid");
    expect_refused_and_previous_song_plays(temp_dir());
    expect_refused_and_previous_song_plays(write_temp_file("65537.mid", Bytes(65537, 0x4D)));
    std::string locked = write_temp_file("locked.mid", hex("4D546864"));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    WithoutPermissionOverride as_a_user;
    expect_refused_and_previous_song_plays(locked);
}

TEST_F(BadInput, AFifoAndAPathLongerThanTheProgramHoldsAreRefusedWithAWarning) {
    load_a_good_song();
    std::string fifo = temp_dir() + "/fifo.mid";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expect_refused_and_previous_song_plays(fifo);  // a regression waits here for a writer

    // 300 bytes; the name a cut would leave exists, and must not be opened instead.
    std::string folder = temp_dir() + "/" + std::string(150, 'd');
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    std::string path = folder + "/" + std::string(299 - folder.size(), 's') + ".mid";
    ASSERT_EQ(path.size(), 304u);
    std::string cut = path.substr(0, 259);
    write_temp_file(cut.substr(temp_dir().size() + 1), hex("58595A57"));
    scripted_dialogs.message_boxes.clear();
    open_file(path);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u) << "the dialog's choice was dropped";
    EXPECT_EQ(scripted_dialogs.message_boxes.back().text, "ファイルを読み込めません " + cut + "!");
    open_song_path(window, path.c_str());
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 2u) << "the command line's song was dropped";
    EXPECT_EQ(scripted_dialogs.message_boxes.back().text, "ファイルを読み込めません " + cut + "!");
    EXPECT_EQ(window_caption(window), "Lumaroth - (untitled)");
    EXPECT_NE(read_be32(view_of(song_image), 0), 0x58595A57u) << "the cut name was opened";
}

TEST_F(BadInput, ADroppedNameLongerThanTheProgramHoldsIsRefusedNotOpenedCutAtACharacter) {
    // A name of double-byte characters whose cut at a character, one byte short of what
    // the program holds, names a song that exists.
    const std::string a = "\xE3\x81\x82";  // あ: three bytes in UTF-8, two in Shift-JIS
    std::string folder = temp_dir() + "/";
    for (int level = 0; level < 2; ++level) {
        for (int i = 0; i < 50; ++i)
            folder += a;
        folder += "/";
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    }
    std::size_t held = temp_dir().size() + 1 + 2 * 101;  // Shift-JIS bytes so far
    std::string cut = folder + std::string(held % 2, 'x');
    for (held += held % 2; held < kPathSize - 2; held += 2)
        cut += a;
    write_temp_file(cut.substr(temp_dir().size() + 1), hex("58595A57"));
    drop_files(window, {cut + a + ".mid"});
    pump_messages();
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u) << "the cut name was opened";
    EXPECT_EQ(window_caption(window), "Lumaroth - (untitled)");
    EXPECT_NE(read_be32(view_of(song_image), 0), 0x58595A57u);
}

TEST_F(BadInput, EmptyCutRandomAndLyingSongsLoadAndPlayWithoutHarm) {
    Bytes header = hex("4D546864 00000006 0001 0002 01E0");
    expect_loaded_and_playable(write_temp_file("empty.mid", {}));
    expect_loaded_and_playable(
        write_temp_file("header13.mid", Bytes(header.begin(), header.begin() + 13)));
    for (unsigned seed = 1; seed <= 5; ++seed)
        expect_loaded_and_playable(write_temp_file("random.mid", random_bytes(4000 * seed, seed)));
    expect_loaded_and_playable(write_temp_file(
        "tracks65535.mid", hex("4D546864 00000006 0001 FFFF 0060") +
                               track(hex("00 90 3C 40  60 80 3C 00  00 FF 2F 00"))));
    expect_loaded_and_playable(write_temp_file(
        "longtrack.mid",
        hex("4D546864 00000006 0000 0001 0060  4D54726B 0000FFFF  00 90 3C 40  60 80")));
}

TEST_F(BadInput, EveryCorpusSongLoadsAndPlaysOrIsRefusedKeepingThePreviousSong) {
    load_a_good_song();
    int refused = 0, loaded = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(LUMAROTH_CORPUS_DIR)) {
        std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".mid" && extension != ".kar")) continue;
        std::string path = entry.path().string();
        if (entry.file_size() > 65536) {
            expect_refused_and_previous_song_plays(path);
            ++refused;
        } else {
            expect_loaded_and_playable(path);
            ++loaded;
        }
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(loaded, 300);
    EXPECT_GT(refused, 10);
}

TEST_F(BadInput, AThousandPlayStopCyclesResetAndCloseEveryTime) {
    load_a_good_song();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        recording_midi_out.reset();
        command(kPlay);
        ASSERT_EQ(recording_midi_out.open_outputs, 1) << cycle;
        command(kStop);
        ASSERT_EQ(recording_midi_out.open_outputs, 0) << cycle;
        ASSERT_EQ(recording_midi_out.count(MidiCall::Close), 1) << cycle;
        ASSERT_EQ(recording_midi_out.short_messages().size(),
                  static_cast<std::size_t>(kControllerResets))
            << cycle;
    }
}

TEST_F(BadInput, PlayPressedFiftyTimesWhilePlayingRestartsEachTime) {
    load_a_good_song();
    recording_midi_out.reset();
    for (int press = 0; press < 50; ++press)
        command(kPlay);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 50);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Close), 49);
    EXPECT_EQ(recording_midi_out.open_outputs, 1);
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
}

TEST_F(BadInput, AHundredEndOfSongMessagesInARowStopOnce) {
    load_a_good_song();
    command(kPlay);
    recording_midi_out.reset();
    for (int end = 0; end < 100; ++end)
        PostMessageA(window, WM_USER + 2, 0, 0);
    pump_messages();
    EXPECT_EQ(recording_midi_out.count(MidiCall::Close), 1);
    EXPECT_EQ(recording_midi_out.short_messages().size(),
              static_cast<std::size_t>(kControllerResets));
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    EXPECT_EQ(drawn_at(700, 430), "停止中");
}
