// The playback session: the open output, the playback clock and what the window, the
// tick, the loop and the sender share of one Play.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"

constexpr std::uint32_t kDueWindow = 12;        // ms on either side of an event's time
constexpr std::uint32_t kSmallestPeriod = 6;    // ms
constexpr std::int32_t kEndOfSongIdle = 10000;  // ms without a short message
// When another start follows (repeat, the next song): the last notes have died away.
constexpr std::int32_t kRepeatTail = 1500;
// Posted to the window when the song has ended; wParam kOutputLost when the output
// stopped taking messages (a device unplugged while playing).
constexpr UINT kEndOfSongMessage = WM_USER + 2;
constexpr WPARAM kOutputLost = 1;

// Where a Play stands. Opening: the output is being opened (the synthesizer may still be
// loading), and the window shows the song as playing meanwhile.
enum class PlayState { kStopped, kPlaying, kPaused, kOpening };

// Threads: the main thread writes every field in start_playback and resume_playback,
// before the timer exists, and in stop_playback and pause_playback, after timeKillEvent
// has returned (no tick runs or will run then). In between, the timer thread reads output
// and notify_window and writes last_send_time and idle_time; start_time is the one field
// both threads use while the tick runs (a loop's jump moves it, the window reads the
// position from it): an atomic. The timer thread's only message to the main thread is
// the end-of-song message, posted on each tick once the song is over.
struct PlaybackSession {
    HMIDIOUT output;                        // main thread; read by the tick
    std::uint32_t timer_id;                 // main thread only
    std::uint32_t timer_period;             // main thread only
    std::atomic<std::uint32_t> start_time;  // main thread; the tick while playing
    std::uint32_t last_send_time;  // the tick while playing; 0: nothing sent since the start
    std::int32_t idle_time;        // the tick while playing
    int output_lost;               // the tick while playing: the output refused a message
    PlayState state;               // main thread only
    MMRESULT open_result;          // main thread only: why the last start opened no output
    std::uint32_t paused_elapsed;  // main thread only: the song's place when paused, in ms
    std::uint32_t song_end;        // main thread only: song_end_ms() at the open or last jump
    HWND notify_window;            // main thread; read by the tick
};

extern PlaybackSession playback_session;
// The output the next start opens: a device id, or MIDI_MAPPER. Main thread only.
extern UINT midi_output_device;
// The silence after the last event that ends the song: kEndOfSongIdle, or kRepeatTail.
// Set by the main thread at any time (a repeat chosen while playing); read by the tick.
extern std::atomic<std::int32_t> song_end_idle;

// Main thread only.
inline PlayState playback_state() {
    return playback_session.state;
}
// Playing or paused: the output is open and takes messages.
inline bool playback_open() {
    return playback_session.state == PlayState::kPlaying ||
           playback_session.state == PlayState::kPaused;
}

// Nothing is due before the window has elapsed; from then on an event is due from up to
// 11 ms before its time, and stays due until it is sent, so a late tick sends it late
// rather than never.
inline int is_due(std::uint32_t elapsed, std::uint32_t time, std::uint32_t window) {
    return elapsed >= window && time < elapsed + window ? 1 : 0;
}
