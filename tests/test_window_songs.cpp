// The songs after the song, through the program's own message loop: the folder's order
// with 次の曲 and 前の曲, repeat when a song is over, and the recent files.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "playback/channel_record.h"
#include "playback/scheduler.h"
#include "tests/window_fixture.h"
#include "ui/app.h"
#include "ui/song_folder.h"
#include "ui/song_opening.h"
#include "ui/window_state.h"

namespace {

constexpr int kNextSong = 40010, kRepeatSong = 40013, kRepeatFolder = 40014, kLoopsThree = 40023;
constexpr int kRecentFirst = 40300;
constexpr int kFileMenu = 0;

// A note at 5 ms, off 100 ms later: over 1.5 s after that with repeat.
Bytes short_song() {
    return song_of(0, 96, {hex("00 C0 05  00 90 3C 40  13 80 3C 00")});
}

std::string folder_with(const std::vector<std::pair<std::string, Bytes>>& files) {
    static int made = 0;
    std::string folder = temp_dir() + "/songs" + std::to_string(++made);
    mkdir(folder.c_str(), 0700);
    for (const auto& [name, bytes] : files)
        write_temp_file("songs" + std::to_string(made) + "/" + name, bytes);
    return folder;
}

std::string title() {
    return file_title;
}

}  // namespace

TEST(SongFolderOrder, NamesAsAFileManagerShowsThem) {
    const char* ordered[] = {"1.mid", "2.mid", "02b.mid", "10.mid",
                             "a.kar", "B.MID", "b2.mid",  "b10.mid"};
    for (std::size_t i = 0; i + 1 < std::size(ordered); ++i)
        EXPECT_LT(compare_song_names(ordered[i], ordered[i + 1]), 0)
            << ordered[i] << " before " << ordered[i + 1];
    EXPECT_EQ(compare_song_names("Song.MID", "song.mid"), 0);
    EXPECT_TRUE(is_song_file_name("x.MIDI"));
    EXPECT_FALSE(is_song_file_name("mid"));
    EXPECT_FALSE(is_song_file_name("notes.txt"));
}

TEST_F(MainWindowTest, NextAndPreviousGoThroughTheFolderPassingOverWhatDoesNotLoad) {
    Bytes too_large = short_song();
    too_large.resize(70000, 0);
    std::string korean = "\xED\x95\x9C.mid";  // a name Shift-JIS cannot hold
    std::string folder = folder_with({{"10.mid", short_song()},
                                      {"2.mid", short_song()},
                                      {"B.MID", short_song()},
                                      {"a.kar", short_song()},
                                      {"big.mid", too_large},
                                      {"notes.mid", hex("4869")},
                                      {korean, short_song()},
                                      {"readme.txt", short_song()}});
    open_file(folder + "/2.mid");
    std::vector<std::string> shown;
    for (int i = 0; i < 5; ++i) {
        command(kNextSong);
        shown.push_back(text_for_display(file_title, std::strlen(file_title)));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"10.mid", "a.kar", "B.MID", korean, "2.mid"}));
    command(kNextSong + 1);  // 前の曲
    EXPECT_EQ(text_for_display(file_title, std::strlen(file_title)), korean);
    EXPECT_TRUE(scripted_dialogs.message_boxes.empty()) << "what does not load is passed over";

    std::string none = folder_with({{"only.mid", short_song()}, {"bad.mid", hex("4869")}});
    open_file(none + "/only.mid");
    std::remove((none + "/only.mid").c_str());
    command(kNextSong);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u) << "one message when none loads";
    EXPECT_NE(scripted_dialogs.message_boxes[0].text.find("再生できる曲がありません"),
              std::string::npos);
}

TEST_F(MainWindowTest, ABackslashIsANamesOwnCharacterAndAShiftJisSecondByteNoSeparator) {
    // ソ is 83 5C in Shift-JIS: its second byte is a backslash's.
    std::string folder = folder_with({{"b\\c.mid", short_song()}, {"d.mid", short_song()}});
    open_file(folder + "/b\\c.mid");
    EXPECT_EQ(title(), "b\\c.mid");
    command(kNextSong);
    EXPECT_EQ(title(), "d.mid") << "the next song of the same folder";
    command(kNextSong);
    EXPECT_EQ(title(), "b\\c.mid");
    EXPECT_STREQ(name_part("\x83\x5C/x\x83\x5C.mid"), "x\x83\x5C.mid");
}

TEST_F(MainWindowTest, RepeatStartsTheSongOrTheFolderNextWithinTwoSecondsOfItsEnd) {
    std::string folder = folder_with({{"1.mid", short_song()}, {"2.mid", short_song()}});
    open_file(folder + "/1.mid");
    command(kRepeatSong);
    command(101);  // 再生
    DWORD start = driven_timer.now;
    driven_timer.tick_at(start + 120);  // the note-off at 105 ms
    driven_timer.tick_at(start + 120 + 1500);
    run_loop(window);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 1) << "not yet";
    driven_timer.tick_at(start + 120 + 1501);
    run_loop(window);
    run_loop(window);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 2) << "the song again";
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    EXPECT_EQ(title(), "1.mid");

    command(kRepeatFolder);
    start = driven_timer.now;
    driven_timer.tick_at(start + 120);
    driven_timer.tick_at(start + 2000);
    run_loop(window);
    run_loop(window);
    EXPECT_EQ(title(), "2.mid") << "the folder's next";
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 3);
}

TEST_F(MainWindowTest, RecentFilesNewestFirstRememberedAndAGoneOneDroppedWithOneMessage) {
    command(kLoopsThree);
    std::string folder = folder_with({{"one & only.mid", short_song()}, {"two.mid", short_song()}});
    open_file(folder + "/one & only.mid");
    open_file(folder + "/two.mid");
    open_file(folder + "/one & only.mid");
    std::vector<MenuEntry> menu = menu_entries(window, kFileMenu);
    ASSERT_GE(menu.size(), 4u);
    EXPECT_EQ(menu[1].text, "最近使ったファイル(&R)");
    EXPECT_EQ(menu[2].text, "&1 one && only.mid");
    EXPECT_EQ(menu[3].text, "&2 two.mid");
    EXPECT_EQ(menu[4].id, 40002u) << "two, then 終了";

    start_again();  // which remembers them
    menu = menu_entries(window, kFileMenu);
    EXPECT_EQ(menu[2].text, "&1 one && only.mid");
    std::vector<MenuEntry> play = menu_entries(window, 1);
    EXPECT_TRUE(play[16].checked) << play[16].text << ": the loop count too";

    std::remove((folder + "/two.mid").c_str());
    command(kRecentFirst + 1);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_NE(scripted_dialogs.message_boxes[0].text.find("two.mid"), std::string::npos);
    menu = menu_entries(window, kFileMenu);
    EXPECT_EQ(menu[3].id, 40002u) << "dropped";
}

TEST_F(MainWindowTest, ASongOpenedAfterAnotherShowsItsOwnChannelsAndInstrumentsBeforePlay) {
    // Channel 2 plays quietly in the first song; the second sets channel 1 before its
    // first note and changes it after, and sends nothing on channel 2.
    open_file(write_temp_file("first.mid", song_of(0, 96,
                                                   {hex("00 C1 05  00 B1 07 00  00 91 3C "
                                                        "40  60 81 3C 00")})));
    command(101);  // 再生
    driven_timer.tick_at(driven_timer.now + 2000);
    command(102);  // 停止
    open_file(write_temp_file("second.mid",
                              song_of(0, 96,
                                      {hex("00 B0 00 08  00 B0 07 5A  00 C0 28  00 90 3C 40 "
                                           " 60 80 3C 00  00 C0 30")})));
    EXPECT_EQ(channel_records[0].program.load(), 0x28) << "as before its first note";
    EXPECT_EQ(channel_records[0].bank_msb.load(), 8);
    EXPECT_EQ(channel_records[0].volume.load(), 0x5A);
    EXPECT_TRUE(channel_in_use(0));
    EXPECT_FALSE(channel_in_use(1)) << "the first song's channel 2 is not this song's";
    EXPECT_NE(channel_voices.voices[0].name, nullptr) << "the instrument list before Play";
    EXPECT_EQ(channel_voices.voices[1].name, nullptr);
}
