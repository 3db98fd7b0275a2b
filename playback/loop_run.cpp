#include "playback/loop_run.h"

#include <atomic>

#include "playback/channel_record.h"
#include "playback/chase.h"
#include "playback/output.h"
#include "playback/session.h"
#include "playback/volume.h"

namespace {

constexpr int kLeftTheLoop = 1 << 30;  // passes after a jump past the loop's end
// Notes off (the release sounds), then the controllers reset, the pedal too.
constexpr unsigned char kReleaseAndReset[2] = {123, 121};

struct LoopRun {
    HMIDIOUT output;
    LoopPoints points;
    ChaseList chase;  // the state at the loop's start
    int passes;       // begun, this one included
    int pass_limit;   // before the song goes on
    std::atomic<bool> fading;
    std::uint32_t fade_start;
    std::atomic<int> level;  // what the fade starts from, percent: the user's volume
    int faded_to;            // what it set last
    bool own_volume;
    std::atomic<std::uint32_t> looped_back;  // ms the jumps went back
};

LoopRun loop_run;

void plan_loop() {
    loop_run.points = find_loop_points();
    if (loop_run.points.start_index >= 0)
        chase_messages(song_timeline, loop_run.points.start_index, loop_run.chase);
    loop_run.pass_limit = loop_count == kLoopForEver ? kLeftTheLoop : loop_count;
}

void set_level(int percent) {
    if (percent != loop_run.faded_to)
        set_output_level(loop_run.output, loop_run.own_volume, percent);
    loop_run.faded_to = percent;
}

}  // namespace

void start_loop_run(HMIDIOUT output, UINT device) {
    loop_run.output = output;
    plan_loop();
    loop_run.passes = 1;
    loop_run.fading = false;
    loop_run.looped_back = 0;
    loop_run.level = output_volume;
    loop_run.faded_to = output_volume;
    loop_run.own_volume = output_has_own_volume(device);
}

void seek_loop_run(std::uint32_t song_ms) {
    plan_loop();
    loop_run.looped_back = 0;
    if (loop_run.fading) {
        set_level(loop_run.level);
        loop_run.fading = false;
        loop_run.passes = loop_run.pass_limit;
    }
    if (loop_run.points.way_out && song_ms >= loop_run.points.end_ms)
        loop_run.passes = kLeftTheLoop;
}

void shift_loop_fade(std::uint32_t paused_ms) {
    if (loop_run.fading) loop_run.fade_start += paused_ms;
}

void end_loop_fade() {
    set_level(loop_run.level);
}

bool loop_fade_takes_volume(int percent) {
    loop_run.level = percent;
    return loop_run.fading;
}

std::uint32_t looped_back_ms() {
    return loop_run.looped_back;
}

const LoopPoints& loop_run_points() {
    return loop_run.points;
}

bool loop_jump_due(std::uint32_t elapsed) {
    const LoopPoints& loop = loop_run.points;
    if (loop.start_index < 0 || !is_due(elapsed, loop.end_ms, kDueWindow)) return false;
    return loop_run.passes < loop_run.pass_limit || !loop.way_out;
}

void jump_to_loop_start(std::uint32_t now) {
    const LoopPoints& loop = loop_run.points;
    // The jump is due when the loop's end is, after the last of its events.
    std::int64_t jump_us = std::int64_t{loop.end_ms} * 1000;
    send_to_channels(loop_run.output, channels_in_use(), kReleaseAndReset, 2, jump_us);
    send_chase_list(loop_run.output, song_timeline, loop_run.chase, jump_us);
    mark_events_sent(loop.start_index, loop.end_index, false);
    playback_session.start_time += loop.end_ms - loop.start_ms;
    loop_run.looped_back += loop.end_ms - loop.start_ms;
    playback_session.last_send_time = now;
    if (++loop_run.passes <= loop_run.pass_limit || loop_run.fading) return;
    loop_run.fading = true;
    loop_run.fade_start = now;
}

bool loop_fade_over(std::uint32_t now) {
    if (!loop_run.fading) return false;
    std::uint32_t gone = now - loop_run.fade_start;
    if (gone >= loop_fade_ms) return true;
    set_level(static_cast<int>(loop_run.level * static_cast<std::uint64_t>(loop_fade_ms - gone) /
                               loop_fade_ms));
    return false;
}
