// The synthesizer loading on its own thread as the window starts: an open that comes
// before it is ready waits for the rest, and keeps the window painting meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "platform/linux/synth.h"
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
