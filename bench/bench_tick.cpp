// One scheduler tick over a full Timeline: event_count 32,778, as the densest song gives.
#include <benchmark/benchmark.h>

#include "platform/testing/test_platform.h"
#include "playback/scheduler.h"

namespace {

void fill_timeline() {
    for (int i = 0; i < kTimelineEvents; ++i) {
        song_timeline.event_times[i] = 5 + i / 4;  // four events a millisecond
        song_timeline.event_slots[i] = {0x90, static_cast<unsigned char>(i & 0x7F), 0x40, 0};
    }
    song_timeline.event_count = kTimelineEvents + 10;
}

// A tick in the middle of the song: a handful of events due, the rest compared.
void TickAtFullTimeline(benchmark::State& state) {
    fill_timeline();
    driven_timer.now = 0;
    start_playback(reinterpret_cast<HWND>(1));
    DWORD now = 12;
    for (auto _ : state) {
        driven_timer.tick_at(now);
        now += 6;
        if (now > 8000) {
            state.PauseTiming();
            fill_timeline();
            recording_midi_out.reset();
            now = 12;
            state.ResumeTiming();
        }
    }
    stop_playback();
    state.SetLabel("event_count 32778");
}
BENCHMARK(TickAtFullTimeline)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
