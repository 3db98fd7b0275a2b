#include "platform/synth/sample_clock.h"

#include <atomic>

#include "platform/wav_output.h"

namespace {

std::atomic<bool> running{false};
std::atomic<DWORD> now_ms{0};
RenderUntil render = nullptr;
void* renderer = nullptr;

struct ClockTimer {
    UINT id;
    UINT period;
    LPTIMECALLBACK callback;
    DWORD_PTR user;
};
ClockTimer timer = {};

}  // namespace

void start_sample_clock(DWORD start_ms, RenderUntil render_until, void* rendering) {
    render = render_until;
    renderer = rendering;
    timer = ClockTimer{};
    now_ms = start_ms;
    running = true;
}

void stop_sample_clock() {
    running = false;
    timer = ClockTimer{};
    render = nullptr;
    renderer = nullptr;
}

bool sample_clock_running() {
    return running;
}

DWORD sample_clock_ms() {
    return now_ms;
}

void set_sample_clock_timer(UINT id, UINT period, LPTIMECALLBACK callback, DWORD_PTR user) {
    timer = ClockTimer{id, period, callback, user};
}

bool kill_sample_clock_timer(UINT id) {
    if (!running || timer.callback == nullptr || timer.id != id) return false;
    timer = ClockTimer{};
    return true;
}

bool render_next_tick() {
    if (!running || timer.callback == nullptr) return false;
    DWORD next = now_ms + timer.period;
    if (!render(renderer, next)) return false;
    now_ms = next;
    timer.callback(timer.id, 0, timer.user, 0, 0);
    return true;
}

std::int64_t sound_ns(std::uint64_t frames, int sample_rate) {
    auto rate = static_cast<std::uint64_t>(sample_rate);
    return static_cast<std::int64_t>(frames / rate * 1000000000 +
                                     frames % rate * 1000000000 / rate);
}
