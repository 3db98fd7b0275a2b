// The synthesizer loading on its own thread as the window starts: an open that comes
// before it is ready waits for the rest, and keeps the window painting meanwhile.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/sound_font.h"
#include "platform/synth/sample_clock.h"
#include "platform/synth/synth_engine.h"
#include "platform/synth/synth_loading.h"
#include "platform/synth_effects.h"
#include "platform/win32.h"
#include "tests/click_track.h"
#include "tests/smf_bytes.h"

namespace {

std::atomic<int> paints{0};

}  // namespace

TEST(SynthLoading, AnOpenBeforeTheLoadEndsWaitsForItPaintingMeanwhile) {
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + temp_dir() + "/loading.wav").c_str(), 1);
    start_loading_synth([] { ++paints; });
    HMIDIOUT output = nullptr;
    ASSERT_EQ(midiOutOpen(&output, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_GT(paints, 0) << "the SoundFont takes far longer than one wait to load";
    EXPECT_EQ(midiOutClose(output), MMSYSERR_NOERROR);
    finish_loading_synth();
}

TEST(SampleClock, FramesPastTheOldWrapStillCountExactly) {
    // 2^63 / 10^9 frames is where frames times 10^9 wrapped: 58 hours at 44.1 kHz.
    for (std::uint64_t frames : {std::uint64_t{1} << 34, (std::uint64_t{1} << 40) + 12345}) {
        auto exact = [](std::uint64_t f) {
            return static_cast<std::int64_t>(static_cast<unsigned __int128>(f) * 1000000000 /
                                             44100);
        };
        EXPECT_EQ(exact(frames), sound_ns(frames, 44100));
        // A 64-frame block past the old wrap lasts what it always did.
        EXPECT_EQ(exact(frames + 64) - exact(frames),
                  sound_ns(frames + 64, 44100) - sound_ns(frames, 44100));
        EXPECT_NEAR(1451247, sound_ns(frames + 64, 44100) - sound_ns(frames, 44100), 1);
    }
}

TEST(SynthLoading, SixteenSoundFontChoicesLeaveOneFontLoaded) {
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + temp_dir() + "/choices.wav").c_str(), 1);
    std::string font = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    for (int choice = 0; choice < 16; ++choice)
        choose_sound_font(font.c_str(), nullptr, 0);
    finish_loading_synth();
    fluid_synth_t* synth = loaded_synth().synth;
    EXPECT_EQ(2, fluid_synth_sfcount(synth)) << "the last choice and the one it replaces";
    HMIDIOUT output = nullptr;
    ASSERT_EQ(midiOutOpen(&output, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(1, fluid_synth_sfcount(synth)) << "the next open lets the replaced one go";
    EXPECT_EQ(midiOutClose(output), MMSYSERR_NOERROR);
}

TEST(SynthLoading, ASoundFontChangedOnDiskPlaysOnAsLoadedOrIsSaidNeverCrashes) {
    const char* const kCases[] = {"deleted", "replaced", "truncated"};
    for (const char* change : kCases) {
        SCOPED_TRACE(change);
        std::string font = temp_dir() + "/" + change + ".sf2";
        ASSERT_EQ(0, std::system(("cp /usr/share/sounds/sf2/FluidR3_GM.sf2 " + font).c_str()));
        choose_sound_font(font.c_str(), nullptr, 0);
        finish_loading_synth();
        if (std::string(change) == "deleted") unlink(font.c_str());
        if (std::string(change) == "replaced") {
            std::string other = write_temp_file("other.sf2", hex("52494646 04000000 7366626B"));
            std::rename(other.c_str(), font.c_str());
        }
        if (std::string(change) == "truncated") {
            ASSERT_EQ(0, truncate(font.c_str(), 4096));
        }
        // A violin, which no Play has asked for: its samples are read now.
        std::string wav = temp_dir() + "/" + change + ".wav";
        setenv("LUMAROTH_MIDI_OUT", ("wav:" + wav).c_str(), 1);
        HMIDIOUT output = nullptr;
        ASSERT_EQ(midiOutOpen(&output, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        midiOutShortMsg(output, 0x28C0);
        midiOutShortMsg(output, 0x7F3C90);
        // The samples load as the note comes: give a slow (sanitized) build time for that.
        for (int waited = 0; waited < 3000 && synth_active_voice_count() == 0; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        midiOutClose(output);
        int rate = 0, peak = 0;
        for (std::int16_t sample : read_wav(wav, rate))
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        bool truncated = std::string(change) == "truncated";
        EXPECT_EQ(truncated, sound_font_unreadable());
        if (truncated) {
            EXPECT_LT(peak, 200) << "what cannot be read is silence";
        } else {
            EXPECT_GT(peak, 1000) << "it plays on as loaded";
        }
    }
}

// Samples above silence once the last voice has ended: the reverb's and the chorus' tail.
int tail_after_a_note(fluid_synth_t* synth) {
    std::int16_t block[64 * 2];
    fluid_synth_noteon(synth, 0, 60, 127);
    for (int i = 0; i < 100; ++i)
        fluid_synth_write_s16(synth, 64, block, 0, 2, block, 1, 2);
    fluid_synth_noteoff(synth, 0, 60);
    for (int i = 0; i < 2000 && fluid_synth_get_active_voice_count(synth) > 0; ++i)
        fluid_synth_write_s16(synth, 64, block, 0, 2, block, 1, 2);
    int loud = 0;
    for (int i = 0; i < 20; ++i) {
        fluid_synth_write_s16(synth, 64, block, 0, 2, block, 1, 2);
        for (std::int16_t sample : block)
            loud += sample > 1 || sample < -1;
    }
    return loud;
}

TEST(SynthEffects, FluidSynthTwoPointFoursReverbAndChorusAtFullHalfOrNone) {
    // A SoundFont that sounds, whatever a test before in this process chose.
    choose_sound_font("/usr/share/sounds/sf2/FluidR3_GM.sf2", nullptr, 0);
    finish_loading_synth();
    fluid_synth_t* synth = loaded_synth().synth;
    fluid_synth_program_reset(synth);
    double value = 0;
    fluid_synth_get_reverb_group_roomsize(synth, 0, &value);
    EXPECT_DOUBLE_EQ(0.5, value) << "not Debian's 2.3 defaults";
    fluid_synth_get_chorus_group_level(synth, 0, &value);
    EXPECT_DOUBLE_EQ(0.6, value);
    EXPECT_GT(tail_after_a_note(synth), 0) << "the reverb rings on after the note";

    set_synth_effects(SynthEffects::kSubtle);
    fluid_synth_get_reverb_group_level(synth, 0, &value);
    EXPECT_DOUBLE_EQ(0.35, value);
    fluid_synth_get_chorus_group_level(synth, 0, &value);
    EXPECT_DOUBLE_EQ(0.3, value);

    set_synth_effects(SynthEffects::kOff);
    EXPECT_EQ(0, tail_after_a_note(synth)) << "nothing after the last voice";
    set_synth_effects(SynthEffects::kStandard);
}
