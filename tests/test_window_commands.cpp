// The window's commands, sent as the buttons and the menu send them.
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include <QtCore/qnamespace.h>

#include "playback/channel_mute.h"
#include "playback/scheduler.h"
#include "tests/window_fixture.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/song_opening.h"
#include "ui/window_state.h"

namespace {

constexpr int kPlay = 101, kStop = 102, kSwitch = 103, kChannel = 104, kProgram = 105, kStep = 106,
              kFaster = 107, kSlower = 108, kNormal = 109;
constexpr int kOpen = 40001, kExit = 40002, kVersion = 40003, kHelp = 40004;
constexpr int kControllerResets = 48;

std::string program_text_for(int shown, const char* name) {
    char text[64];
    std::snprintf(text, sizeof text, "%d   %s  ", shown, name);
    return text;
}

int shown_program() {
    return std::atoi(setting_texts.program_text);
}

}  // namespace

TEST_F(MainWindowTest, StartsUntitledWithTheStartSettings) {
    EXPECT_EQ(window_caption(window), "Lumaroth - (untitled)");
    EXPECT_STREQ(setting_texts.switch_text, "無効");
    EXPECT_STREQ(setting_texts.channel_text, "1  ");
    EXPECT_EQ(setting_texts.program_text,
              program_text_for(1, "生のグランドピアノ　　　　　　　　　　　"));
    EXPECT_EQ(std::strlen(setting_texts.program_text), 46u);
    EXPECT_STREQ(setting_texts.step_text, "1 ");
    EXPECT_STREQ(setting_texts.speed_text, "0%  ");
    EXPECT_EQ(speed_factor, 1.0);
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 804);
    EXPECT_EQ(client.bottom, 461);
    EXPECT_EQ(client_size.width, 804);
    EXPECT_EQ(client_size.height, 461);
}

TEST_F(MainWindowTest, PlayWithoutASongDoesNothingAndDoesNotRepaint) {
    int paints = draw_log.paints;
    command(kPlay);
    EXPECT_EQ(draw_log.paints, paints);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 0);
    EXPECT_EQ(playback_state(), PlayState::kStopped);
}

TEST_F(MainWindowTest, ChannelWrapsFrom16To1) {
    std::string shown;
    for (int press = 0; press < 16; ++press) {
        command(kChannel);
        shown += std::string(setting_texts.channel_text) + "|";
    }
    EXPECT_EQ(shown, "2  |3  |4  |5  |6  |7  |8  |9  |10  |11  |12  |13  |14  |15  |16  |1  |");
}

TEST_F(MainWindowTest, ProgramStepsBy8WrapToProgram1AndBy1From128) {
    command(kStep);
    EXPECT_STREQ(setting_texts.step_text, "8 ");
    std::vector<int> shown;
    for (int press = 0; press < 16; ++press) {
        command(kProgram);
        shown.push_back(shown_program());
    }
    EXPECT_EQ(shown,
              (std::vector<int>{9, 17, 25, 33, 41, 49, 57, 65, 73, 81, 89, 97, 105, 113, 121, 1}));

    command(kStep);
    EXPECT_STREQ(setting_texts.step_text, "1 ");
    for (int press = 0; press < 127; ++press)
        command(kProgram);
    EXPECT_EQ(shown_program(), 128);
    EXPECT_EQ(setting_texts.program_text,
              program_text_for(128, "ガン・ショット（拳銃の発射音）　　　　　"));
    command(kProgram);
    EXPECT_EQ(shown_program(), 1);
}

TEST_F(MainWindowTest, ChangingTheChannelKeepsTheProgramName) {
    command(kProgram);
    std::string before = setting_texts.program_text;
    command(kChannel);
    EXPECT_EQ(setting_texts.program_text, before);
    EXPECT_EQ(voice_override.channel, 1);
    EXPECT_EQ(voice_override.program, 1);
}

TEST_F(MainWindowTest, SwitchTogglesOnAndOff) {
    command(kSwitch);
    EXPECT_STREQ(setting_texts.switch_text, "有効");
    EXPECT_EQ(voice_override.enabled, 1);
    command(kSwitch);
    EXPECT_STREQ(setting_texts.switch_text, "無効");
    EXPECT_EQ(voice_override.enabled, 0);
}

TEST_F(MainWindowTest, SpeedStepsStopAt50EitherWayAndCentreResets) {
    std::vector<std::string> faster;
    for (int press = 0; press < 30; ++press) {
        command(kFaster);
        faster.push_back(setting_texts.speed_text);
    }
    EXPECT_EQ(faster[0], "2%  ");
    EXPECT_EQ(faster[4], "10%  ");
    EXPECT_EQ(faster[24], "50%  ");
    EXPECT_EQ(faster[29], "50%  ");
    EXPECT_LT(speed_factor, 0.5);

    command(kNormal);
    EXPECT_STREQ(setting_texts.speed_text, "0%  ");
    EXPECT_EQ(speed_factor, 1.0);
    for (int press = 0; press < 30; ++press)
        command(kSlower);
    EXPECT_STREQ(setting_texts.speed_text, "-50%  ");
    EXPECT_GT(speed_factor, 1.5);
    int paints = draw_log.paints;
    command(kSlower);
    EXPECT_EQ(draw_log.paints, paints + 1) << "a press at the bound still repaints";
}

TEST_F(MainWindowTest, PlayMergesStartsAndShowsPlaying) {
    open_file(write_temp_file("twelve.mid", twelve_instrument_song()));
    draw_log.clear();
    command(kPlay);
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    EXPECT_EQ(recording_midi_out.open_outputs, 1);
    EXPECT_NE(driven_timer.running_id, 0u);
    EXPECT_EQ(drawn_at(700, 430), "再生中");
    EXPECT_STREQ(channel_voices.voices[11].name, "フィドル（バイオリンの遠い祖先）　　　　");
}

TEST_F(MainWindowTest, PlayWhilePlayingStopsAndStartsAgainWithTheCurrentSettings) {
    open_file(write_temp_file("twelve.mid", twelve_instrument_song()));
    command(kPlay);
    command(kSwitch);  // channel 1 onto program 1 (shown): switched
    recording_midi_out.reset();
    command(kPlay);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Close), 1);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 1);
    EXPECT_EQ(recording_midi_out.short_messages().size(),
              static_cast<std::size_t>(kControllerResets));
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    EXPECT_EQ(channel_voices.voices[0].program, 0) << "the switch applies at the next Play";
}

TEST_F(MainWindowTest, PlayWithoutAnOutputSaysWhyAndShowsTheWindowAsBeforePlay) {
    open_file(demo_song_path());
    std::string listing = drawn_at(10, 200);
    recording_midi_out.open_result = MMSYSERR_NODRIVER;
    recording_midi_out.error_text = "no SoundFont";
    draw_log.clear();
    command(kPlay);
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    ASSERT_EQ(draw_log.paints, 2);
    EXPECT_EQ(drawn_at(700, 430), "停止中");
    EXPECT_EQ(drawn_at(10, 200), listing) << "the instruments as before Play";
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_EQ(scripted_dialogs.message_boxes[0].text, "再生を始められません。\nno SoundFont");
    EXPECT_EQ(scripted_dialogs.message_boxes[0].type, static_cast<UINT>(MB_ICONWARNING));
}

TEST_F(MainWindowTest, StopAndTheEndOfTheSongStopPlayback) {
    open_file(demo_song_path());
    command(kPlay);
    command(kStop);
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
    EXPECT_EQ(drawn_at(700, 430), "停止中");

    command(kPlay);
    for (int end = 0; end < 3; ++end)
        PostMessageA(window, WM_USER + 2, 0, 0);
    pump_messages();
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
    EXPECT_EQ(driven_timer.running_id, 0u);
    EXPECT_EQ(drawn_at(700, 430), "停止中");
}

TEST_F(MainWindowTest, ASongWithAFifteenSecondRestPlaysToItsEnd) {
    // Notes at 0 and 15.5 s (96 ticks a beat, 120 beats a minute), each 0.5 s long.
    Bytes events = hex("00 90 3C 40  60 80 3C 00  96 40 90 3E 40  60 80 3E 00");
    open_file(write_temp_file("rest.mid", song_of(0, 96, {events})));
    command(kPlay);
    for (DWORD ms : {20u, 520u, 12000u}) {
        driven_timer.tick_at(ms);
        pump_messages();
    }
    EXPECT_EQ(playback_state(), PlayState::kPlaying) << "the song stopped in its rest";
    for (DWORD ms : {15500u, 16000u, 26000u}) {
        driven_timer.tick_at(ms);
        pump_messages();
    }
    EXPECT_EQ(recording_midi_out.short_messages().size(), 4u);
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    driven_timer.tick_at(26001);
    pump_messages();
    EXPECT_EQ(playback_state(), PlayState::kStopped) << "10 s after the last note the song is over";
}

TEST_F(MainWindowTest, OpenLoadsTitlesResetsSpeedAndKeepsTheSwitch) {
    command(kSwitch);
    command(kFaster);
    open_file(demo_song_path());
    EXPECT_EQ(window_caption(window), "Lumaroth - lumaroth-demo.mid");
    EXPECT_STREQ(file_path, demo_song_path().c_str());
    EXPECT_EQ(is_smf_header(view_of(song_image)), 1);
    EXPECT_STREQ(setting_texts.speed_text, "0%  ");
    EXPECT_STREQ(setting_texts.switch_text, "有効");
    ASSERT_EQ(scripted_dialogs.open_files.size(), 1u);
    const OPENFILENAMEA& request = scripted_dialogs.open_files[0].request;
    EXPECT_EQ(request.lStructSize, OPENFILENAME_SIZE_VERSION_400A);
    EXPECT_EQ(request.Flags, 0x2004u);
    EXPECT_EQ(request.nMaxFile, 260u);
    EXPECT_EQ(request.hwndOwner, window);
    EXPECT_STREQ(request.lpstrDefExt, "TEXT");
    // The specified texts; the songs' patterns include the other names MIDI files go by.
    const char filters[] =
        "Standard MIDI Files(*.MID)\0*.mid;*.midi;*.kar;*.rmi\0Text Files(*.TXT)\0*.txt\0"
        "All Files(*.*)\0*.*\0";
    EXPECT_EQ(std::string(request.lpstrFilter, sizeof filters - 1),
              std::string(filters, sizeof filters - 1));
}

TEST_F(MainWindowTest, OpenStartsFromTheLastFileAndTheLastFilter) {
    scripted_dialogs.filter_index_answer = 3;
    open_file(demo_song_path());
    command(kOpen);  // cancelled
    ASSERT_EQ(scripted_dialogs.open_files.size(), 2u);
    EXPECT_EQ(scripted_dialogs.open_files[1].initial_file, demo_song_path());
    EXPECT_EQ(scripted_dialogs.open_files[1].request.nFilterIndex, 3u);
}

TEST_F(MainWindowTest, CancelledOpenKeepsTheSongAtNormalSpeedWithItsInstruments) {
    open_file(write_temp_file("twelve.mid", twelve_instrument_song()));
    command(kPlay);
    command(kFaster);
    command(kOpen);  // the dialog answers Cancel
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
    EXPECT_EQ(window_caption(window), "Lumaroth - twelve.mid");
    EXPECT_STREQ(setting_texts.speed_text, "0%  ");
    EXPECT_NE(channel_voices.voices[0].name, nullptr) << "the song kept, its instruments shown";
    command(kPlay);
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
}

TEST_F(MainWindowTest, FailedOpenWarnsTitlesUntitledAndKeepsThePreviousSong) {
    open_file(demo_song_path());
    std::string missing = temp_dir() + "/missing.mid";
    open_file(missing);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_EQ(scripted_dialogs.message_boxes[0].text, "ファイルを読み込めません " + missing + "!");
    EXPECT_EQ(scripted_dialogs.message_boxes[0].caption, "Lumaroth");
    EXPECT_EQ(scripted_dialogs.message_boxes[0].type, MB_ICONWARNING);
    EXPECT_EQ(window_caption(window), "Lumaroth - (untitled)");
    EXPECT_STREQ(file_path, "");
    command(kPlay);
    EXPECT_EQ(playback_state(), PlayState::kPlaying) << "the previous song still plays";
}

TEST_F(MainWindowTest, TooLargeAndDirectoryOpensFailLikeAMissingFile) {
    open_file(write_temp_file("large.mid", Bytes(65537, 0)));
    open_file(temp_dir());
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 2u);
    EXPECT_EQ(window_caption(window), "Lumaroth - (untitled)");
}

TEST_F(MainWindowTest, ANonSmfFileLoadsSilentlyAndPlayDoesNothing) {
    open_file(write_temp_file("notes.txt", hex("41 42 43 0A")));
    EXPECT_TRUE(scripted_dialogs.message_boxes.empty());
    EXPECT_EQ(window_caption(window), "Lumaroth - notes.txt");
    int paints = draw_log.paints;
    command(kPlay);
    EXPECT_EQ(draw_log.paints, paints);
    EXPECT_EQ(playback_state(), PlayState::kStopped);
}

TEST_F(MainWindowTest, APathGivenAtStartOpensWithoutTheDialog) {
    open_song_path(window, demo_song_path().c_str());
    EXPECT_TRUE(scripted_dialogs.open_files.empty());
    EXPECT_EQ(window_caption(window), "Lumaroth - lumaroth-demo.mid");
    EXPECT_STREQ(file_title, "lumaroth-demo.mid");
    open_song_path(window, (temp_dir() + "/missing.mid").c_str());
    EXPECT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_EQ(window_caption(window), "Lumaroth - (untitled)");
}

TEST_F(MainWindowTest, ExitStopsDeletesThePenAndEndsTheLoopWithoutDestroying) {
    open_file(demo_song_path());
    command(kPlay);
    HPEN pen = rule_pen;
    int paints = draw_log.paints;
    command(kExit);
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
    EXPECT_EQ(draw_log.paints, paints);
    EXPECT_EQ(DeleteObject(pen), FALSE) << "already deleted";
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(window_caption(window), "Lumaroth - lumaroth-demo.mid") << "the window still exists";
}

TEST_F(MainWindowTest, ClosingTheWindowDestroysItAndQuits) {
    open_file(demo_song_path());
    command(kPlay);
    MSG close{window, WM_CLOSE, 0, 0, 0, {0, 0}};
    DispatchMessageA(&close);
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
    EXPECT_EQ(window_caption(window), "");
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
}

TEST_F(MainWindowTest, VersionBoxShowsTheVersionCopyrightAndLicences) {
    int paints = draw_log.paints;
    command(kVersion);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_EQ(scripted_dialogs.message_boxes[0].text,
              "Lumaroth ver.1.4.1.7\n Copyright (C) 2026 Lumaroth developers\n MIT License\n\n"
              "音源: FluidSynth (GNU LGPL 2.1 以降)");
    EXPECT_EQ(scripted_dialogs.message_boxes[0].caption, "バージョン情報");
    EXPECT_EQ(scripted_dialogs.message_boxes[0].type, MB_OK);
    EXPECT_EQ(draw_log.paints, paints);
}

TEST_F(MainWindowTest, HelpOpensTheHtmlPageBesideTheProgramOrSaysWhyNot) {
    command(kHelp);
    ASSERT_EQ(scripted_dialogs.shell_calls.size(), 1u);
    EXPECT_EQ(scripted_dialogs.shell_calls[0].operation, "open");
    EXPECT_EQ(scripted_dialogs.shell_calls[0].file, "Lumaroth.html");
    char program[4096];
    ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    ASSERT_GT(length, 0);
    std::string folder(program, static_cast<std::size_t>(length));
    folder.erase(folder.rfind('/') + 1);
    EXPECT_EQ(scripted_dialogs.shell_calls[0].directory, folder);
    EXPECT_TRUE(scripted_dialogs.message_boxes.empty());
    EXPECT_EQ(open_help(window), 1);

    for (UINT_PTR failure : {2u, 31u, 32u}) {
        scripted_dialogs.shell_result = failure;
        EXPECT_EQ(open_help(window), 0) << failure;
    }
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 3u);
    EXPECT_EQ(scripted_dialogs.message_boxes[0].text, "ヘルプが見つかりません。");
    EXPECT_EQ(scripted_dialogs.message_boxes[0].caption, "ERROR");
    // The page is there but nothing can show it: the box says so and where the page is.
    for (int box = 1; box < 3; ++box)
        EXPECT_EQ(
            scripted_dialogs.message_boxes[box].text,
            "ヘルプ " + folder +
                "Lumaroth.html を表示できません。\nこのページを開くプログラム（ウェブブラウザー）"
                "が見つかりません。");
}

TEST_F(MainWindowTest, ButtonsPostTheirCommands) {
    ASSERT_TRUE(click_button(window, kChannel));
    ASSERT_TRUE(click_button(window, kFaster));
    EXPECT_STREQ(setting_texts.channel_text, "1  ") << "nothing happens before the loop runs";
    pump_messages();
    EXPECT_STREQ(setting_texts.channel_text, "2  ");
    EXPECT_STREQ(setting_texts.speed_text, "2%  ");
    for (int id = 101; id <= 109; ++id)
        EXPECT_TRUE(click_button(window, id)) << id;
    EXPECT_FALSE(click_button(window, 110));
}

TEST_F(MainWindowTest, AKeyThatIsACommandIsNotAlsoTheCharacterItTypes) {
    open_file(demo_song_path());
    // On a French layout the 6 key types "-" unshifted: it mutes channel 6 and no more.
    press_key(window, 0, Qt::Key_Minus, "-", false, false, 15);
    run_loop(window);
    EXPECT_TRUE(channel_muted(5));
    EXPECT_STREQ(setting_texts.speed_text, "0%  ") << "not slower too";
}

TEST_F(MainWindowTest, KeysSendTheCommandsOfTheirButtonsAndMenuItems) {
    open_file(demo_song_path());
    ASSERT_TRUE(press_key(window, kStop, Qt::Key_Space, " ", false));
    run_loop(window);
    EXPECT_EQ(playback_state(), PlayState::kPlaying)
        << "Space plays, and a focused Stop button does not click";
    press_key(window, 0, Qt::Key_Escape, "\x1B", false);
    press_key(window, 0, Qt::Key_Plus, "+", false);
    press_key(window, 0, Qt::Key_Plus, "+", false);
    run_loop(window);
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    EXPECT_STREQ(setting_texts.speed_text, "4%  ");
    press_key(window, 0, Qt::Key_Minus, "-", false);
    run_loop(window);
    EXPECT_STREQ(setting_texts.speed_text, "2%  ");
    press_key(window, 0, Qt::Key_Equal, "=", false);
    run_loop(window);
    EXPECT_STREQ(setting_texts.speed_text, "0%  ") << "= is the normal speed; 0 is channel 10's";

    press_key(window, 0, Qt::Key_O, "o", false);
    press_key(window, 0, Qt::Key_F1, "", false);
    run_loop(window);
    EXPECT_EQ(scripted_dialogs.open_files.size(), 1u) << "O without Control opens nothing";
    EXPECT_EQ(scripted_dialogs.shell_calls.size(), 1u) << "F1: the help page";
    press_key(window, 0, Qt::Key_O, "\x0F", true);
    run_loop(window);
    EXPECT_EQ(scripted_dialogs.open_files.size(), 2u) << "Ctrl+O: the open dialog";
}

TEST_F(MainWindowTest, ADroppedFileOpensAsIfChosenOfSeveralTheFirst) {
    std::string first =
        write_temp_file("Caf\xC3\xA9 \xED\x95\x9C \xF0\x9F\x8E\xB5.mid", twelve_instrument_song());
    drop_files(window, {first, demo_song_path()});
    pump_messages();
    EXPECT_TRUE(scripted_dialogs.open_files.empty());
    EXPECT_EQ(shown_caption(window), "Lumaroth - Caf\xC3\xA9 \xED\x95\x9C \xF0\x9F\x8E\xB5.mid");
    command(kPlay);
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    EXPECT_STREQ(channel_voices.voices[11].name, "フィドル（バイオリンの遠い祖先）　　　　");
}
