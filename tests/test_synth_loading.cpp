// The synthesizer loading on its own thread as the window starts: an open that comes
// before it is ready waits for the rest, and keeps the window painting meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "platform/linux/sample_clock.h"
#include "platform/linux/synth.h"
#include "platform/linux/synth_engine.h"
#include "platform/sound_font.h"
#include "platform/win32.h"
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
