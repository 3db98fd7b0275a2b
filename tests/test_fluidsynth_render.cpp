// The real path: merger, scheduler on the real timer thread, the embedded FluidSynth
// rendering in real time into a WAV file. Each test takes a few seconds of real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/synth/synth_loading.h"
#include "platform/synth_effects.h"
#include "playback/scheduler.h"
#include "tests/cli_run.h"
#include "tests/click_track.h"
#include "tests/merge_helpers.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x77);

std::string render_to_wav(const Bytes& song, const std::string& name, int play_ms) {
    std::string path = temp_dir() + "/" + name;
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + path).c_str(), 1);
    play_song(song);
    EXPECT_EQ(1, start_playback(kWindow));
    std::this_thread::sleep_for(std::chrono::milliseconds(play_ms));
    stop_playback();
    return path;
}

// Samples at full scale, and the largest size of any.
int clipped_samples(const std::vector<std::int16_t>& samples, int& peak) {
    int clipped = 0;
    for (std::int16_t sample : samples) {
        int size = sample < 0 ? -sample : sample;
        clipped += size >= 32767;
        peak = std::max(peak, size);
    }
    return clipped;
}

}  // namespace

std::string file_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(FluidSynthRender, EveryClickSoundsOnTimeToTheSampleAsInTheOfflineRender) {
    ClickTrack click = make_click_track(40);
    std::string path =
        render_to_wav(click.song, "click.wav", static_cast<int>(click.ideal_ms.back()) + 500);
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(path, rate);
    ASSERT_EQ(44100, rate);
    std::vector<double> onsets = detect_onsets(samples, rate);
    ASSERT_EQ(click.ideal_ms.size(), onsets.size());
    OnsetErrors errors = compare_onsets(onsets, click.ideal_ms);
    // Each at the 64-frame block nearest its time: 1.45 ms apart, and the found rise.
    EXPECT_LE(errors.spread_ms, 2.0) << "offset " << errors.offset_ms << " ms";

    std::string song = write_temp_file("click.mid", click.song);
    std::string offline = temp_dir() + "/click-offline.wav";
    ASSERT_EQ(0, cli("render " + song + " " + offline).exit_code);
    std::string first = file_bytes(offline);
    ASSERT_EQ(0, cli("render " + song + " " + offline).exit_code);
    EXPECT_TRUE(first == file_bytes(offline)) << "the same file every time";
    samples = read_wav(offline, rate);
    std::vector<double> rendered = detect_onsets(samples, rate);
    ASSERT_EQ(onsets.size(), rendered.size());
    EXPECT_LE(compare_onsets(onsets, rendered).spread_ms, 2.0) << "the real-time path agrees";
}

TEST(FluidSynthRender, StopLeavesNoVoiceSoundingEvenWithTheSustainPedalDown) {
    // Pedal down, then a chord that would ring for seconds.
    Bytes events = hex("00 C0 00  00 B0 40 7F  00 90 3C 7F  00 90 40 7F  00 90 43 7F  10 80 3C 00");
    std::string path = temp_dir() + "/pedal.wav";
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + path).c_str(), 1);
    play_song(song_of(0, 96, {events}));
    ASSERT_EQ(1, start_playback(kWindow));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_GT(synth_active_voice_count(), 0) << "the chord sounds before the stop";
    stop_playback();
    EXPECT_EQ(0, synth_active_voice_count());
}

TEST(FluidSynthRender, PauseEndsEveryNoteWithin50MsEvenWithTheSustainPedalDown) {
    // Without reverb and chorus, a note that still sounds after the pause is all there is.
    set_synth_effects(SynthEffects::kOff);
    Bytes events = hex("00 C0 00  00 B0 40 7F  00 90 3C 7F  00 90 40 7F  00 90 43 7F  10 80 3C 00");
    std::string path = temp_dir() + "/pause.wav";
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + path).c_str(), 1);
    play_song(song_of(0, 96, {events}));
    ASSERT_EQ(1, start_playback(kWindow));
    auto opened = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    pause_playback();
    double paused_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - opened)
            .count();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(0, synth_active_voice_count()) << "every note has ended, held by the pedal or not";
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    stop_playback();
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(path, rate);  // stereo
    auto loudest = [&](double from_ms, double to_ms) {
        int peak = 0;
        for (auto i = static_cast<std::size_t>(from_ms * rate / 1000) * 2;
             i < static_cast<std::size_t>(to_ms * rate / 1000) * 2 && i < samples.size(); ++i)
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        return peak;
    };
    int chord = loudest(200, 380);
    int after = loudest(paused_ms + 50, paused_ms + 400);
    EXPECT_GT(chord, 1000) << "the chord sounds before the pause";
    EXPECT_LE(after * 100, chord) << after << " after the pause, " << chord << " before";
    set_synth_effects(SynthEffects::kStandard);
}

TEST(FluidSynthRender, AnOutputThatCannotExistFailsTheStartWithOneLine) {
    setenv("LUMAROTH_MIDI_OUT", "wav:/nonexistent-folder/out.wav", 1);
    play_song(song_of(0, 96, {hex("00 90 3C 40")}));
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, start_playback(kWindow));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        "lumaroth: MIDI output: cannot write /nonexistent-folder/out.wav: No such file or directory\n",
        said);
    setenv("LUMAROTH_MIDI_OUT", "speakers", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, start_playback(kWindow));
    EXPECT_EQ(
        "lumaroth: MIDI output: unknown LUMAROTH_MIDI_OUT 'speakers' (use synth or wav:PATH)\n",
        testing::internal::GetCapturedStderr());
}

TEST(FluidSynthRender, EachOpenStartsTheFileAnew) {
    // No note: a stop adds no release to either file.
    Bytes song = song_of(0, 96, {hex("00 B0 07 64")});
    std::string path = render_to_wav(song, "again.wav", 600);
    int rate = 0;
    std::size_t first = read_wav(path, rate).size();
    render_to_wav(song, "again.wav", 300);
    std::size_t second = read_wav(path, rate).size();
    EXPECT_GT(first, second);
    EXPECT_NEAR(300.0, 1000.0 * second / 2 / rate, 60.0);
}

TEST(FluidSynthRender, AHundredPlayStopCyclesLeaveNoVoiceSoundingAfterAnyStop) {
    Bytes events = hex("00 C0 00  00 B0 40 7F  00 90 3C 7F  00 90 40 7F  00 90 43 7F");
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + temp_dir() + "/cycles.wav").c_str(), 1);
    int sounding_before_stop = 0;
    for (int cycle = 0; cycle < 100; ++cycle) {
        play_song(song_of(0, 96, {events}));  // as Play rebuilds the song each time
        ASSERT_EQ(1, start_playback(kWindow)) << "cycle " << cycle;
        // The chord goes out at the first ticks after 12 ms.
        for (int wait = 0; wait < 200 && synth_active_voice_count() == 0; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sounding_before_stop += synth_active_voice_count() > 0;
        stop_playback();
        ASSERT_EQ(0, synth_active_voice_count()) << "cycle " << cycle;
    }
    EXPECT_EQ(sounding_before_stop, 100);
}

TEST(FluidSynthRender, AWallOfSoundNeverClips) {
    // Fifteen channels of sawtooth chords at full velocity, volume and expression: far
    // past full scale at the full gain, unless held under it.
    Bytes events;
    for (int channel = 0; channel < 16; ++channel) {
        if (channel == 9) continue;
        auto status = static_cast<unsigned char>(channel);
        events += Bytes{0x00,
                        static_cast<unsigned char>(0xC0 | status),
                        81,
                        0x00,
                        static_cast<unsigned char>(0xB0 | status),
                        7,
                        127,
                        0x00,
                        static_cast<unsigned char>(0xB0 | status),
                        11,
                        127};
        for (unsigned char key : {36, 43, 48, 52, 55, 60})
            events += Bytes{0x00, static_cast<unsigned char>(0x90 | status), key, 127};
    }
    std::string wav = render_to_wav(song_of(0, 96, {events}), "wall.wav", 1500);
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(wav, rate);
    int peak = 0;
    int clipped = clipped_samples(samples, peak);
    EXPECT_EQ(clipped, 0);
    EXPECT_GT(peak, 30000) << "as loud as it may be";
}

TEST(FluidSynthRender, TheLoudestCorpusSongNeverClips) {
    // Rendered whole by `fluidsynth -F` at its own gain, freedoom's d_e4m2 clips 41,510
    // samples, the first 11.6 s in: more than any other song of the corpus.
    std::string wav = temp_dir() + "/loudest.wav";
    CliRun run = cli("render " + std::string(LUMAROTH_CORPUS_DIR) + "/freedoom/musics_d_e4m2.mid " +
                     wav + " --end 0:16");
    ASSERT_EQ(0, run.exit_code) << run.err;
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(wav, rate);
    ASSERT_FALSE(samples.empty());
    int peak = 0;
    int clipped = clipped_samples(samples, peak);
    EXPECT_EQ(clipped, 0);
    // FluidSynth 2.4's chorus is a third of 2.3's, and its reverb quieter.
    EXPECT_GT(peak, 12000) << "its loud part, under full scale";
}
