// The multimedia timer: one thread per periodic timer, ticking at absolute deadlines so
// that a late tick does not shift the ones after it. While a WAV file renders offline,
// the clock and the timer are its sample clock's (sample_clock.h).

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/synth/realtime.h"
#include "platform/synth/sample_clock.h"
#include "platform/win32.h"

namespace {

struct PeriodicTimer {
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

std::mutex timers_lock;
std::map<UINT, std::unique_ptr<PeriodicTimer>> timers;
UINT last_timer_id = 0;
thread_local UINT running_timer_id = 0;

void run_timer(PeriodicTimer* timer, UINT id, UINT period, LPTIMECALLBACK callback,
               DWORD_PTR user) {
    running_timer_id = id;
    raise_thread_priority();
    auto deadline = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> guard(timer->lock);
    for (;;) {
        deadline += std::chrono::milliseconds(period);
        if (timer->wake.wait_until(guard, deadline, [timer] { return timer->stopping; })) return;
        guard.unlock();
        callback(id, 0, user, 0, 0);
        guard.lock();
        if (timer->stopping) return;
    }
}

}  // namespace

DWORD timeGetTime() {
    if (sample_clock_running()) return sample_clock_ms();
    return static_cast<DWORD>(monotonic_ns() / 1000000);
}

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size) {
    if (caps == nullptr || size < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
    caps->wPeriodMin = 1;
    caps->wPeriodMax = 1000000;
    return TIMERR_NOERROR;
}

// Timer resolution is not a system-wide setting here: the thread sleeps to the deadline.
MMRESULT timeBeginPeriod(UINT) {
    return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT) {
    return TIMERR_NOERROR;
}

MMRESULT timeSetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    if (delay == 0 || callback == nullptr || (flags & TIME_PERIODIC) == 0) return 0;
    std::lock_guard<std::mutex> guard(timers_lock);
    UINT id = ++last_timer_id;
    if (sample_clock_running()) {
        set_sample_clock_timer(id, delay, callback, user);
        return id;
    }
    auto timer = std::make_unique<PeriodicTimer>();
    timer->thread = std::thread(run_timer, timer.get(), id, delay, callback, user);
    timers[id] = std::move(timer);
    return id;
}

// Returns only when no callback of the timer runs or will run; from inside its own
// callback it can only stop the ticks that follow.
MMRESULT timeKillEvent(UINT id) {
    if (kill_sample_clock_timer(id)) return TIMERR_NOERROR;
    std::unique_ptr<PeriodicTimer> timer;
    {
        std::lock_guard<std::mutex> guard(timers_lock);
        auto found = timers.find(id);
        if (found == timers.end()) return MMSYSERR_INVALPARAM;
        timer = std::move(found->second);
        timers.erase(found);
    }
    {
        std::lock_guard<std::mutex> guard(timer->lock);
        timer->stopping = true;
    }
    timer->wake.notify_all();
    if (running_timer_id == id) {
        timer->thread.detach();
        timer.release();  // the detached thread still reads it as it returns
    } else {
        timer->thread.join();
    }
    return TIMERR_NOERROR;
}
