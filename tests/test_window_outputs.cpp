// The 出力 menu over the recording output's devices, and a device lost while playing.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "playback/scheduler.h"
#include "tests/window_fixture.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/window_state.h"

namespace {

constexpr int kPlay = 101;
constexpr int kOutputMenu = 2;  // after ファイル and 再生, before ヘルプ
constexpr UINT kMapper = 40100;

class OutputMenuTest : public MainWindowTest {
  public:
    // Ends the program and starts it again, as a user would.
    void start_again() {
        DestroyWindow(window);
        pump_messages();
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
        }
        reset_window_state();
        reset_playback_clock();
        static char instance;
        window = create_main_window(reinterpret_cast<HINSTANCE>(&instance), SW_SHOWNORMAL);
    }

    // The device id the last Play opened.
    DWORD opened_device() {
        DWORD device = 0;
        for (const MidiRecord& record : recording_midi_out.copy())
            if (record.call == MidiCall::Open) device = record.message;
        return device;
    }

    std::string checked_output() {
        std::string checked;
        for (const MenuEntry& entry : menu_entries(window, kOutputMenu))
            if (entry.checked) checked += entry.text + ";";
        return checked;
    }
};

std::string settings_file() {
    std::ifstream file(temp_dir() + "/config/lumaroth/lumaroth.ini");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

TEST_F(OutputMenuTest, ListsTheDevicesUsesTheChoiceFromTheNextPlayAndRemembersItByName) {
    recording_midi_out.device_names = {"SC-88Pro", "USB MIDI", "仮想ケーブル"};
    start_again();
    std::vector<MenuEntry> entries = menu_entries(window, kOutputMenu);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].text, "MIDI マッパー");
    EXPECT_EQ(entries[3].text, "仮想ケーブル");
    EXPECT_EQ(menu_entries(window, kOutputMenu + 1)[0].text, "ヘルプ目次(&H)") << "ヘルプ last";
    EXPECT_EQ(checked_output(), "MIDI マッパー;");
    open_song_path(window, demo_song_path().c_str());
    command(kPlay);
    EXPECT_EQ(opened_device(), MIDI_MAPPER);

    command(static_cast<int>(entries[2].id));  // USB MIDI, while playing
    EXPECT_EQ(play_state, 0) << "choosing stops playback";
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
    EXPECT_EQ(checked_output(), "USB MIDI;");
    EXPECT_EQ(settings_file(), "[Output]\nDevice=USB MIDI\n");
    command(kPlay);
    EXPECT_EQ(opened_device(), 1u);

    start_again();
    EXPECT_EQ(checked_output(), "USB MIDI;") << "remembered across runs";
    recording_midi_out.device_names = {"SC-88Pro", "仮想ケーブル"};  // USB MIDI unplugged
    start_again();
    EXPECT_EQ(checked_output(), "MIDI マッパー;");
    open_song_path(window, demo_song_path().c_str());
    command(kPlay);
    EXPECT_EQ(opened_device(), MIDI_MAPPER);
    command(static_cast<int>(kMapper));
    EXPECT_EQ(settings_file(), "[Output]\nDevice=\n");
}

TEST_F(OutputMenuTest, ADeviceThatGoesWhilePlayingStopsPlaybackAndGetsTheResets) {
    recording_midi_out.device_names = {"USB MIDI"};
    start_again();
    command(static_cast<int>(kMapper + 1));
    open_song_path(window, demo_song_path().c_str());
    command(kPlay);
    recording_midi_out.short_result = MMSYSERR_NODRIVER;  // unplugged
    std::size_t before = recording_midi_out.short_messages().size();
    for (DWORD ms = 6; ms <= 60; ms += 6)
        driven_timer.tick_at(ms);
    pump_messages();
    EXPECT_EQ(play_state, 0);
    EXPECT_EQ(drawn_at(700, 430), "停止中");
    std::vector<MidiRecord> records = recording_midi_out.copy();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().call, MidiCall::Close);
    EXPECT_GT(recording_midi_out.short_messages().size(), before + 48)
        << "the song's first messages, then the controller resets, all to the device";
    EXPECT_EQ(driven_timer.running_id, 0u);
}

TEST_F(OutputMenuTest, ASettingsFileThatCannotBeWrittenIsSaidOnce) {
    std::string settings = temp_dir() + "/config/lumaroth/lumaroth.ini";
    std::filesystem::create_directories(temp_dir() + "/config/lumaroth");
    ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
    command(kMapper);
    command(kMapper);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_EQ(scripted_dialogs.message_boxes[0].text,
              "設定ファイルを保存できません。変えた設定は、次に起動したときには元に戻ります。");
    unlink(settings.c_str());
}
