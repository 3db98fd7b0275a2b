#include "playback/scheduler.h"

#include <cstring>

#include "playback/channel_mute.h"
#include "playback/channel_record.h"
#include "playback/chase.h"
#include "playback/exact_times.h"
#include "playback/loop_run.h"
#include "playback/output.h"
#include "playback/position.h"
#include "playback/volume.h"

PlaybackSession playback_session;
UINT midi_output_device = MIDI_MAPPER;
std::atomic<std::int32_t> song_end_idle{kEndOfSongIdle};

namespace {

constexpr unsigned char kResetControllers[3] = {120, 121, 123};  // sound off, reset, notes off
constexpr unsigned char kSilence[2] = {120, 123};                // sound off, notes off
constexpr unsigned char kReset[1] = {121};

// The smallest period the timer supports, at least 6 ms, at most its largest; the
// previous period when the timer cannot say.
void choose_timer_period() {
    TIMECAPS caps;
    if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) return;
    UINT m = caps.wPeriodMin > kSmallestPeriod ? caps.wPeriodMin : kSmallestPeriod;
    playback_session.timer_period = m < caps.wPeriodMax ? m : caps.wPeriodMax;
}

ChaseList chase_list;

// What spares the tick a look at every event, found anew whenever the sent marks are set
// (a start, a jump, a loop's jump) and changing nothing the tick sends: how many events
// still hold something to send, and whether the times never go back, so that the first
// event not yet due ends the look (none after it can be due then).
struct TickShortcut {
    int holding;
    int first_holding;  // every event before it holds nothing
    bool in_time_order;
};
TickShortcut shortcut;

bool holds_something(int i) {
    const EventSlot& slot = song_timeline.event_slots[i];
    const SysexSlot* sysex = i < kSysexSlots ? &song_timeline.sysex_slots[i] : nullptr;
    return (slot.status != 0 && slot.sent == 0) ||
           (sysex != nullptr && sysex->bytes[0] == 0xF0 && sysex->sent == 0);
}

void pass_what_holds_nothing() {
    int count = timeline_count();
    while (shortcut.first_holding < count && !holds_something(shortcut.first_holding))
        ++shortcut.first_holding;
}

void find_tick_shortcut() {
    shortcut = TickShortcut{0, 0, true};
    auto time = [](int i) { return static_cast<std::uint32_t>(song_timeline.event_times[i]); };
    for (int i = 0; i < timeline_count(); ++i) {
        shortcut.holding += holds_something(i) ? 1 : 0;
        if (i > 0 && time(i) < time(i - 1)) shortcut.in_time_order = false;
    }
    pass_what_holds_nothing();
}

// Sends event i if due; 1 while it still holds something to send.
int send_event_if_due(int i, bool due) {
    EventSlot& slot = song_timeline.event_slots[i];
    SysexSlot* sysex = i < kSysexSlots ? &song_timeline.sysex_slots[i] : nullptr;
    bool short_pending = slot.status != 0 && slot.sent == 0;
    bool sysex_pending = sysex != nullptr && sysex->bytes[0] == 0xF0 && sysex->sent == 0;
    if (!short_pending && !sysex_pending) return 0;
    if (!due) return 1;
    --shortcut.holding;
    // An output that can schedule plays the event at its own time, not the tick's.
    std::int64_t due_us = exact_event_time_us(i);
    if (short_pending) {
        // A note of a channel that does not sound (muted, or another soloed) is not sent.
        bool silenced =
            (slot.status & 0xF0) == 0x90 && slot.data2 != 0 && !channel_sounds(slot.status & 0x0F);
        if (!silenced) due_next_message_at(playback_session.output, due_us);
        MMRESULT result = silenced ? MMSYSERR_NOERROR
                                   : send_short_message(playback_session.output, slot.status,
                                                        slot.data1, slot.data2);
        // A device that is gone refuses every message: the window hears of it once.
        bool lost = result == MMSYSERR_NODRIVER || result == MIDIERR_NODEVICE;
        if (lost && playback_session.output_lost == 0) {
            playback_session.output_lost = 1;
            PostMessageA(playback_session.notify_window, kEndOfSongMessage, kOutputLost, 0);
        }
        slot.sent = 1;
        playback_session.last_send_time = timeGetTime();
    }
    if (sysex_pending) {
        due_next_message_at(playback_session.output, due_us);
        send_sysex_message(playback_session.output, *sysex);
        sysex->sent = 1;
    }
    return 0;
}

// What the song's program changes select, asked for before the first tick, so that a
// synthesizer that loads its samples on demand loads them now and not while playing.
void cache_song_patches(HMIDIOUT output, int count) {
    WORD patches[128] = {};
    WORD drum_keys[128] = {};
    bool drum_kits[128] = {};
    bool any_program = false;
    for (int i = 0; i < count; ++i) {
        const EventSlot& slot = song_timeline.event_slots[i];
        int channel = slot.status & 0x0F;
        if ((slot.status & 0xF0) == 0xC0 && channel == kDrumChannel) {
            drum_kits[slot.data1 & 0x7F] = true;
        } else if ((slot.status & 0xF0) == 0xC0) {
            patches[slot.data1 & 0x7F] |= static_cast<WORD>(1u << channel);
            any_program = true;
        } else if ((slot.status & 0xF0) == 0x90 && channel == kDrumChannel) {
            drum_keys[slot.data1 & 0x7F] |= static_cast<WORD>(1u << channel);
        }
    }
    if (any_program) midiOutCachePatches(output, 0, patches, MIDI_CACHE_ALL);
    for (int kit = 0; kit < 128; ++kit) {
        if (drum_kits[kit])
            midiOutCacheDrumPatches(output, static_cast<UINT>(kit), drum_keys, MIDI_CACHE_ALL);
    }
}

int send_due_event(int i, std::uint32_t elapsed) {
    return send_event_if_due(
        i, is_due(elapsed, static_cast<std::uint32_t>(song_timeline.event_times[i]), kDueWindow));
}

// The periodic timer at the smallest period it supports; false when it cannot start.
bool start_timer() {
    choose_timer_period();
    timeBeginPeriod(playback_session.timer_period);
    playback_session.timer_id =
        timeSetEvent(playback_session.timer_period, playback_session.timer_period, on_timer_tick, 0,
                     TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
    if (playback_session.timer_id != 0) return true;
    timeEndPeriod(playback_session.timer_period);
    return false;
}

void send_chase(int point) {
    chase_messages(song_timeline, point, chase_list);
    send_chase_list(playback_session.output, song_timeline, chase_list);
}

bool open_output(HWND window) {
    playback_session.notify_window = window;
    stop_playback();
    playback_session.state = PlayState::kOpening;
    playback_session.open_result =
        midiOutOpen(&playback_session.output, midi_output_device, 0, 0, CALLBACK_NULL);
    if (playback_session.open_result != MMSYSERR_NOERROR) {
        playback_session.state = PlayState::kStopped;
        return false;
    }
    reset_channel_records();
    // The Timeline changes only while stopped or before a jump: its end is found once.
    playback_session.song_end = song_end_ms();
    apply_output_volume(playback_session.output, midi_output_device, true);
    cache_song_patches(playback_session.output, timeline_count());
    start_loop_run(playback_session.output, midi_output_device);
    return true;
}

void post_end_of_song() {
    PostMessageA(playback_session.notify_window, kEndOfSongMessage, 0, 0);
}

}  // namespace

void reset_playback_session() {
    stop_playback();
    playback_session.output = nullptr;
    playback_session.timer_id = 0;
    playback_session.timer_period = 0;
    playback_session.start_time = 0;
    playback_session.last_send_time = 0;
    playback_session.idle_time = 0;
    playback_session.output_lost = 0;
    playback_session.state = PlayState::kStopped;
    playback_session.open_result = MMSYSERR_NOERROR;
    playback_session.paused_elapsed = 0;
    playback_session.song_end = 0;
    playback_session.notify_window = nullptr;
    midi_output_device = MIDI_MAPPER;
}

int start_playback(HWND window) {
    if (!open_output(window)) return 0;
    // The first tick may come on the timer's thread as soon as the timer exists: the
    // clock it reads must be set before.
    playback_session.start_time = timeGetTime();
    playback_session.last_send_time = 0;
    playback_session.idle_time = 0;
    playback_session.output_lost = 0;
    find_tick_shortcut();
    if (!start_timer()) {
        midiOutClose(playback_session.output);
        playback_session.state = PlayState::kStopped;
        return 0;
    }
    playback_session.state = PlayState::kPlaying;
    return 1;
}

void stop_playback() {
    if (!playback_open()) return;
    if (playback_session.state == PlayState::kPlaying) {
        timeKillEvent(playback_session.timer_id);
        timeEndPeriod(playback_session.timer_period);
    }
    send_to_channels(playback_session.output, kEveryChannel, kResetControllers, 3);
    end_loop_fade();
    midiOutClose(playback_session.output);
    playback_session.state = PlayState::kStopped;
    playback_session.last_send_time = 0;
}

void pause_playback() {
    if (playback_session.state != PlayState::kPlaying) return;
    timeKillEvent(playback_session.timer_id);
    timeEndPeriod(playback_session.timer_period);
    playback_session.state = PlayState::kPaused;
    playback_session.paused_elapsed = timeGetTime() - playback_session.start_time;
    send_to_channels(playback_session.output, channels_in_use(), kSilence, 2);
}

int resume_playback() {
    if (playback_session.state != PlayState::kPaused) return 0;
    // The clock moves on by the time paused, the last message's time with it.
    std::uint32_t start = timeGetTime() - playback_session.paused_elapsed;
    if (playback_session.last_send_time != 0)
        playback_session.last_send_time += start - playback_session.start_time;
    shift_loop_fade(start - playback_session.start_time);
    playback_session.start_time = start;
    if (start_timer()) {
        playback_session.state = PlayState::kPlaying;
        return 1;
    }
    stop_playback();  // paused: no timer to stop
    return 0;
}

namespace {

// The song's clock, paused, moved to song_ms: the chase's doing.
void move_paused_to(std::uint32_t song_ms) {
    int count = timeline_count();
    int point = first_event_at(song_ms);
    // What comes before the point is the chase's; the rest plays on, from the event at
    // the point itself.
    playback_session.song_end = song_end_ms();
    mark_events_sent(0, point, true);
    mark_events_sent(point, count, false);
    find_tick_shortcut();
    // Pause has silenced the notes: the reset leaves the chase a known state to build on.
    send_to_channels(playback_session.output, channels_in_use(), kReset, 1);
    send_chase(point);
    seek_loop_run(song_ms);
    // As if paused at the point just now, the chase the last message sent.
    std::uint32_t now = timeGetTime();
    playback_session.start_time = now - song_ms;
    playback_session.paused_elapsed = song_ms;
    playback_session.last_send_time = now;
    playback_session.idle_time = 0;
}

// The playback clock's time in the song; it may stand a little ahead of now just after a
// loop's jump, which comes up to kDueWindow early: a negative time then.
std::int64_t clock_ms() {
    if (playback_session.state == PlayState::kPaused) return playback_session.paused_elapsed;
    if (playback_session.state != PlayState::kPlaying) return 0;
    return static_cast<std::int32_t>(timeGetTime() - playback_session.start_time);
}

}  // namespace

int start_playback_at(HWND window, std::uint32_t song_ms) {
    if (song_ms == 0) return start_playback(window);
    if (!open_output(window)) return 0;
    playback_session.state = PlayState::kPaused;
    playback_session.output_lost = 0;
    move_paused_to(song_ms);
    return resume_playback();
}

std::uint32_t playback_position_ms() {
    return within_song(clock_ms(), playback_session.song_end);
}

std::uint32_t playing_time_ms() {
    std::int64_t played = clock_ms() + looped_back_ms();
    return played < 0 ? 0 : static_cast<std::uint32_t>(played);
}

int jump_playback(std::uint32_t song_ms) {
    if (!playback_open()) return 0;
    song_ms = within_song(song_ms, song_length_ms());
    bool playing = playback_session.state == PlayState::kPlaying;
    if (playing) pause_playback();
    move_paused_to(song_ms);
    return playing ? resume_playback() : 1;
}

void CALLBACK on_timer_tick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    std::uint32_t now = timeGetTime();
    std::uint32_t elapsed = now - playback_session.start_time;
    int count = timeline_count();
    if (loop_jump_due(elapsed)) {
        // The loop's last events, then the jump, then its first events in the same tick,
        // due by their time alone: the start's window does not hold them back.
        const LoopPoints& loop = loop_run_points();
        for (int i = 0; i < loop.end_index; ++i)
            send_due_event(i, elapsed);
        jump_to_loop_start(now);
        find_tick_shortcut();
        elapsed = now - playback_session.start_time;
        for (int i = loop.start_index; i < loop.end_index; ++i)
            send_event_if_due(
                i, static_cast<std::int32_t>(song_timeline.event_times[i]) <
                       static_cast<std::int64_t>(static_cast<std::int32_t>(elapsed)) + kDueWindow);
    }
    for (int i = shortcut.first_holding; i < count; ++i) {
        bool due = is_due(elapsed, static_cast<std::uint32_t>(song_timeline.event_times[i]),
                          kDueWindow) != 0;
        if (!due && shortcut.in_time_order) break;
        send_event_if_due(i, due);
    }
    pass_what_holds_nothing();
    if (loop_fade_over(now)) post_end_of_song();
    // Silence counts from the last short message, or from the start when none went out.
    std::uint32_t since = playback_session.last_send_time != 0 ? playback_session.last_send_time
                                                               : playback_session.start_time.load();
    playback_session.idle_time = static_cast<std::int32_t>(now - since);
    // A long rest is no end while events wait to be sent.
    if (shortcut.holding == 0 && playback_session.idle_time > song_end_idle) post_end_of_song();
}
