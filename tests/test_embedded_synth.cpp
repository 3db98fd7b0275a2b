// The embedded synthesizer on Windows, under Wine: device 0 beside Windows' own outputs,
// playing into a WAV file as the window would; and lumaroth-cli.exe rendering on it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/synth/synth_engine.h"
#include "platform/synth_effects.h"
#include "platform/win32.h"
#include "tests/click_track.h"

namespace {

std::string file_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// lumaroth-cli.exe beside the test, in the folder ctest runs it in: its exit code.
int run_cli(const std::string& arguments) {
    return std::system(("lumaroth-cli.exe " + arguments + " >nul 2>&1").c_str());
}

}  // namespace

TEST(EmbeddedSynth, IsDeviceZeroAndPlaysEachMessageIntoTheWavOutput) {
    ASSERT_GE(midiOutGetNumDevs(), 1u);
    MIDIOUTCAPSA caps = {};
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutGetDevCapsA(0, &caps, sizeof caps));
    EXPECT_STREQ("内蔵シンセサイザー (FluidSynth)", caps.szPname);
    EXPECT_EQ(MOD_SWSYNTH, caps.wTechnology);
    EXPECT_TRUE(caps.dwSupport & MIDICAPS_VOLUME);

    std::string path = temp_dir() + "/device0.wav";
    ASSERT_EQ(0, _putenv(("LUMAROTH_MIDI_OUT=wav:" + path).c_str()));
    HMIDIOUT output = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&output, 0, 0, 0, CALLBACK_NULL));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutShortMsg(output, 0x7F3C90));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutShortMsg(output, 0x003C80));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(output));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutShortMsg(output, 0x7F3C90)) << "closed";
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(path, rate);
    EXPECT_EQ(44100, rate);
    EXPECT_EQ(1u, detect_onsets(samples, rate).size()) << "the note sounds";
}

TEST(EmbeddedSynth, PlaysWithFluidSynthTwoPointFoursReverbAndChorusAsOnLinux) {
    fluid_synth_t* synth = loaded_synth().synth;
    double value = 0;
    fluid_synth_get_reverb_group_roomsize(synth, 0, &value);
    EXPECT_DOUBLE_EQ(0.5, value);
    set_synth_effects(SynthEffects::kSubtle);
    fluid_synth_get_reverb_group_level(synth, 0, &value);
    EXPECT_DOUBLE_EQ(0.35, value);
    fluid_synth_get_chorus_group_level(synth, 0, &value);
    EXPECT_DOUBLE_EQ(0.3, value);
    set_synth_effects(SynthEffects::kStandard);
}

TEST(EmbeddedSynth, TheTerminalToolRendersEveryClickOnTimeAndTheSameFileEachTime) {
    ClickTrack click = make_click_track(40);
    std::string song = write_temp_file("click.mid", click.song);
    std::string first = temp_dir() + "/first.wav";
    std::string second = temp_dir() + "/second.wav";
    ASSERT_EQ(0, run_cli("render \"" + song + "\" \"" + first + "\""));
    ASSERT_EQ(0, run_cli("render \"" + song + "\" \"" + second + "\""));
    EXPECT_TRUE(file_bytes(first) == file_bytes(second)) << "the same bytes each time";
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(first, rate);
    ASSERT_EQ(44100, rate);
    std::vector<double> onsets = detect_onsets(samples, rate);
    ASSERT_EQ(click.ideal_ms.size(), onsets.size());
    // Each at the 64-frame block nearest its time: 1.45 ms apart, and the found rise.
    EXPECT_LE(compare_onsets(onsets, click.ideal_ms).spread_ms, 2.0);
}
