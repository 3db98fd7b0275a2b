// Real-time figures of the whole path through the embedded FluidSynth into a WAV file:
// Play -> first note latency (first and second Play) and the onset spread of a click
// track, on an idle machine and with the other core busy. Prints; judges nothing.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "playback/scheduler.h"
#include "playback/track_merger.h"
#include "tests/click_track.h"

namespace {

using Clock = std::chrono::steady_clock;
HWND const kWindow = reinterpret_cast<HWND>(1);
SongImage song;
ChannelVoiceTable voices;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int first_short_message_index() {
    for (int i = 0; i < kTimelineEvents; ++i) {
        if (song_timeline.event_slots[i].status != 0) return i;
    }
    return -1;
}

// From the start of the merge to the first short message leaving the scheduler.
double play_to_first_note_ms(const Bytes& bytes) {
    put_song(song, bytes);
    Clock::time_point start = Clock::now();
    merge_tracks(song, voices, {0, 0, 0}, 1.0);
    int first = first_short_message_index();
    if (first < 0 || !start_playback(kWindow)) return -1;
    while (song_timeline.event_slots[first].sent == 0)
        std::this_thread::yield();
    double latency = ms_since(start);
    stop_playback();
    return latency;
}

OnsetErrors click_track_errors(const std::string& wav, std::size_t& found, std::size_t& expected) {
    ClickTrack click = make_click_track(40);
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + wav).c_str(), 1);
    put_song(song, click.song);
    merge_tracks(song, voices, {0, 0, 0}, 1.0);
    start_playback(kWindow);
    std::this_thread::sleep_for(
        std::chrono::milliseconds(static_cast<int>(click.ideal_ms.back()) + 400));
    stop_playback();
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(wav, rate);
    std::vector<double> onsets = detect_onsets(samples, rate);
    found = onsets.size();
    expected = click.ideal_ms.size();
    return compare_onsets(onsets, click.ideal_ms);
}

void report_onsets(const char* condition, const std::string& wav) {
    std::size_t found = 0;
    std::size_t expected = 0;
    std::clock_t cpu_start = std::clock();
    OnsetErrors errors = click_track_errors(wav, found, expected);
    double cpu_ms = 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    std::printf(
        "onsets %-16s found %zu of %zu, offset %.1f ms, spread %.1f ms, max error %.1f ms, "
        "CPU %.0f ms\n",
        condition, found, expected, errors.offset_ms, errors.spread_ms, errors.max_error_ms,
        cpu_ms);
}

}  // namespace

int main() {
    std::string wav = "/tmp/lumaroth-bench-realtime.wav";
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + wav).c_str(), 1);
    Bytes note = song_of(0, 96, {hex("00 C0 00  00 90 3C 40  60 80 3C 00")});
    std::printf("play -> first note, first Play (loads the SoundFont): %.1f ms\n",
                play_to_first_note_ms(note));
    std::printf("play -> first note, second Play: %.1f ms\n", play_to_first_note_ms(note));
    std::printf("play -> first note, third Play: %.1f ms\n", play_to_first_note_ms(note));

    report_onsets("idle", wav);
    std::atomic<bool> busy{true};
    std::thread spinner([&busy] {
        volatile unsigned long long n = 0;
        while (busy)
            n = n + 1;
    });
    report_onsets("other core busy", wav);
    busy = false;
    spinner.join();
    return 0;
}
