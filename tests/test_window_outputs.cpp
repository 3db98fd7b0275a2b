// The 出力 menu over the recording output's devices, and a device lost while playing.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "playback/scheduler.h"
#include "tests/window_fixture.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/song_opening.h"
#include "ui/window_state.h"

namespace {

constexpr int kPlay = 101;
constexpr int kOutputMenu = 3;  // after ファイル, 再生 and 表示, before ヘルプ
constexpr UINT kMapper = 40100;
constexpr int kVolumeDown = 40221, kSoundFont = 40230, kVolumeText = 203;
constexpr UINT kFirstVolume = 40200;  // the 音量 pop-up's items, after the devices'

class OutputMenuTest : public MainWindowTest {
  public:
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
            if (entry.checked && entry.id < kFirstVolume) checked += entry.text + ";";
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

TEST_F(OutputMenuTest, ListsTheDevicesUsesTheChoiceFromTheNextPlayAndRemembersWhatItIs) {
    // ALSA numbers a port anew each time its device comes back: "20:0" now, "24:0" later.
    recording_midi_out.device_names = {"SC-88Pro", "20:0 USB MIDI:Port 1", "仮想ケーブル"};
    start_again();
    std::vector<MenuEntry> entries = menu_entries(window, kOutputMenu);
    ASSERT_GE(entries.size(), 4u);
    EXPECT_EQ(entries[0].text, "SC-88Pro") << "device 0, the embedded synthesizer, first";
    EXPECT_EQ(entries[1].text, "MIDI マッパー");
    EXPECT_EQ(entries[3].text, "仮想ケーブル");
    EXPECT_EQ(menu_entries(window, kOutputMenu + 1)[0].text, "ヘルプ目次(&H)\tF1") << "ヘルプ last";
    EXPECT_EQ(checked_output(), "SC-88Pro;") << "nothing chosen: device 0";
    open_song_path(window, demo_song_path().c_str());
    command(kPlay);
    EXPECT_EQ(opened_device(), 0u);

    command(static_cast<int>(entries[2].id));  // USB MIDI, while playing
    EXPECT_EQ(playback_state(), PlayState::kStopped) << "choosing stops playback";
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
    EXPECT_EQ(checked_output(), "20:0 USB MIDI:Port 1;");
    EXPECT_NE(settings_file().find("[Output]\nDevice=USB MIDI:Port 1\n"), std::string::npos);
    command(kPlay);
    EXPECT_EQ(opened_device(), 1u);

    recording_midi_out.device_names = {"24:0 USB MIDI:Port 1", "SC-88Pro"};  // plugged again
    start_again();
    EXPECT_EQ(checked_output(), "24:0 USB MIDI:Port 1;") << "remembered by what it is";
    recording_midi_out.device_names = {"SC-88Pro", "仮想ケーブル"};  // unplugged
    start_again();
    EXPECT_EQ(checked_output(), "MIDI マッパー;");
    open_song_path(window, demo_song_path().c_str());
    command(kPlay);
    EXPECT_EQ(opened_device(), MIDI_MAPPER);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u) << "the missing device is said";
    EXPECT_EQ(scripted_dialogs.message_boxes[0].text,
              "出力 USB MIDI:Port 1 が見つかりません。MIDI マッパーで再生します。");
    command(kPlay);
    EXPECT_EQ(scripted_dialogs.message_boxes.size(), 1u) << "once";
    command(static_cast<int>(kMapper));
    EXPECT_NE(settings_file().find(u8"[Output]\nDevice=MIDI マッパー\n"), std::string::npos);
    start_again();
    EXPECT_EQ(checked_output(), "MIDI マッパー;") << "the mapper chosen stays chosen";
    EXPECT_TRUE(scripted_dialogs.message_boxes.size() == 1u) << "and is never missing";
}

TEST_F(OutputMenuTest, TheVolumeStepsAppliesWhilePlayingShowsAndIsRemembered) {
    recording_midi_out.device_names = {"FluidSynth", "USB MIDI"};
    recording_midi_out.device_support = MIDICAPS_VOLUME;  // the mapper's, as device 0's
    start_again();
    open_song_path(window, demo_song_path().c_str());
    command(kPlay);
    command(kVolumeDown);
    command(kVolumeDown);
    std::vector<DWORD> volumes;
    for (const MidiRecord& record : recording_midi_out.copy())
        if (record.call == MidiCall::SetVolume) volumes.push_back(record.message);
    // Full as it opens, then 90 % and 80 % of 0xFFFF, on both sides.
    EXPECT_EQ(volumes, (std::vector<DWORD>{0xFFFFFFFFu, 0xE665E665u, 0xCCCCCCCCu}));
    PostMessageA(window, WM_TIMER, 1, 0);
    pump_messages();
    EXPECT_EQ(control_text(window, kVolumeText), u8"音量 80%");
    EXPECT_NE(settings_file().find("Volume=80\n"), std::string::npos);

    // A device without a volume of its own gets the Master Volume message, as it opens.
    recording_midi_out.device_support = 0;
    start_again();
    command(static_cast<int>(kMapper + 2));  // USB MIDI
    open_song_path(window, demo_song_path().c_str());
    recording_midi_out.records.clear();
    command(kPlay);
    std::vector<MidiRecord> records = recording_midi_out.copy();
    auto sysex = std::find_if(records.begin(), records.end(),
                              [](const MidiRecord& r) { return r.call == MidiCall::LongMsg; });
    ASSERT_NE(sysex, records.end());
    // 80 % of 0x3FFF is 0x3332: LSB 0x32, MSB 0x66.
    EXPECT_EQ(sysex->bytes,
              (std::vector<unsigned char>{0xF0, 0x7F, 0x7F, 0x04, 0x01, 0x32, 0x66, 0xF7}));
}

TEST_F(OutputMenuTest, ASoundFontChosenLoadsForTheNextPlayAndOneThatIsNoneIsSaid) {
    scripted_dialogs.open_answers = {"/music/Piano.sf2", "/music/notes.txt"};
    command(kSoundFont);
    pump_messages();
    ASSERT_EQ(scripted_dialogs.open_files.size(), 1u);
    EXPECT_EQ(scripted_dialogs.open_files[0].initial_file, "/usr/share/sounds/sf2/default-GM.sf2")
        << "the dialog opens at the one in use";
    EXPECT_STREQ(scripted_dialogs.open_files[0].request.lpstrTitle, "音色ファイル(SoundFont)を開く")
        << "not the songs' 開く";
    EXPECT_EQ(scripted_sound_font.chosen, std::vector<std::string>{"/music/Piano.sf2"});
    EXPECT_NE(settings_file().find("SoundFont=/music/Piano.sf2\n"), std::string::npos);

    scripted_sound_font.loads = false;
    command(kSoundFont);
    pump_messages();
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_NE(scripted_dialogs.message_boxes[0].text.find("/music/notes.txt"), std::string::npos);
    EXPECT_NE(settings_file().find("SoundFont=/music/Piano.sf2\n"), std::string::npos)
        << "the one before stays";
    scripted_sound_font.loads = true;
    start_again();
    pump_messages();
    EXPECT_EQ(scripted_sound_font.chosen.back(), "/music/Piano.sf2") << "loaded at the start";
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
    EXPECT_EQ(playback_state(), PlayState::kStopped);
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

TEST_F(OutputMenuTest, TheEffectsChosenApplyAtOnceAndAreTakenUpAtTheNextStart) {
    constexpr int kSubtle = 40241;
    EXPECT_EQ(scripted_sound_font.effects, SynthEffects::kStandard);
    open_song_path(window, demo_song_path().c_str());
    command(kPlay);
    command(kSubtle);
    EXPECT_EQ(scripted_sound_font.effects, SynthEffects::kSubtle) << "while playing";
    EXPECT_EQ(playback_state(), PlayState::kPlaying) << "the song plays on";
    EXPECT_NE(settings_file().find("Effects=subtle\n"), std::string::npos);
    scripted_sound_font.effects = SynthEffects::kStandard;
    start_again();
    EXPECT_EQ(scripted_sound_font.effects, SynthEffects::kSubtle);
}
