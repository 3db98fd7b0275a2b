#include "platform/synth/realtime.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace {

// Above ordinary threads, below what audio servers and the kernel's own threads use.
constexpr int kRealtimePriority = 10;
constexpr std::int64_t kNsPerSecond = 1000000000;

}  // namespace

void raise_thread_priority() {
    sched_param param{};
    param.sched_priority = kRealtimePriority;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return;
    // RLIMIT_NICE allows nice values down to 20 - its soft limit.
    rlimit limit{};
    if (getrlimit(RLIMIT_NICE, &limit) != 0 || limit.rlim_cur == 0) return;
    long lowest = limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > 40
                      ? -20
                      : 20 - static_cast<long>(limit.rlim_cur);
    pid_t thread = static_cast<pid_t>(syscall(SYS_gettid));
    if (lowest < getpriority(PRIO_PROCESS, static_cast<id_t>(thread)))
        setpriority(PRIO_PROCESS, static_cast<id_t>(thread), static_cast<int>(lowest));
}

std::int64_t monotonic_ns() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

void sleep_until_ns(std::int64_t ns) {
    timespec until{static_cast<time_t>(ns / kNsPerSecond), static_cast<long>(ns % kNsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
    }
}
