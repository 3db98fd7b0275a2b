// Plays the Timeline on the chosen MIDI output from a periodic multimedia timer. Each
// event goes out at the tick whose window holds its time, with its exact time on the
// playback clock (midiOutSetDueTime), so that an output that can schedule plays it there.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/win32.h"
#include "playback/chase.h"
#include "playback/timeline.h"

constexpr std::uint32_t kDueWindow = 12;        // ms on either side of an event's time
constexpr std::uint32_t kSmallestPeriod = 6;    // ms
constexpr std::int32_t kEndOfSongIdle = 10000;  // ms without a short message
// When another start follows (repeat, the next song): the last notes have died away.
constexpr std::int32_t kRepeatTail = 1500;
// Posted to the window when the song has ended; wParam kOutputLost when the output
// stopped taking messages (a device unplugged while playing).
constexpr UINT kEndOfSongMessage = WM_USER + 2;
constexpr WPARAM kOutputLost = 1;

// Threads: the main thread writes every field in start_playback and resume_playback,
// before the timer exists, and in stop_playback and pause_playback, after timeKillEvent
// has returned (no tick runs or will run then). In between, the timer thread reads output
// and notify_window and writes last_send_time and idle_time; start_time is the one field
// both threads use while the tick runs (a loop's jump moves it, the window reads the
// position from it): an atomic. The timer thread's only message to the main thread is
// the end-of-song message, posted on each tick once the song is over.
struct PlaybackClock {
    HMIDIOUT output;                        // main thread; read by the tick
    std::uint32_t timer_id;                 // main thread only
    std::uint32_t timer_period;             // main thread only
    std::atomic<std::uint32_t> start_time;  // main thread; the tick while playing
    std::uint32_t last_send_time;  // the tick while playing; 0: nothing sent since the start
    std::int32_t idle_time;        // the tick while playing
    int output_lost;               // the tick while playing: the output refused a message
    int open;                      // main thread only
    MMRESULT open_result;          // main thread only: why the last start opened no output
    int paused;                    // main thread only: open, its timer stopped
    std::uint32_t paused_elapsed;  // main thread only: the song's place when paused, in ms
    HWND notify_window;            // main thread; read by the tick
};

extern PlaybackClock playback_clock;
// The output the next start opens: a device id, or MIDI_MAPPER. Main thread only.
extern UINT midi_output_device;
// The silence after the last event that ends the song: kEndOfSongIdle, or kRepeatTail.
// Set by the main thread at any time (a repeat chosen while playing); read by the tick.
extern std::atomic<std::int32_t> song_end_idle;

// Stops playback and clears the clock, as at the program's start.
void reset_playback_clock();
// Plays the Timeline from its start; the song's loop (loop_points.h) plays loop_count
// times, then the song goes on, or fades out over loop_fade_ms when the loop is its end.
int start_playback(HWND window);
void stop_playback();
// Pause stops the timer and silences the sounding notes at once (on the channels this
// Play has sent anything on), keeping the output open with every channel's state, and
// the song's place. Resume goes on from that place (0 when the timer cannot start again:
// then playback has stopped). Time while paused never counts towards the end of the song.
void pause_playback();
int resume_playback();
// A jump to song_ms on the current Timeline while paused (it stays paused there): the
// channels this Play has sent anything on are reset, then every channel is chased to the
// state the song has built before the point, and the events from the point on, those
// exactly at it included, play on at resume. 0 when nothing is paused.
int seek_playback(std::uint32_t song_ms);
// The same jump while playing or paused, to a point within the song (one past its ends is
// its start or its last event): playing goes on from the point, paused stays paused there.
// 0 when stopped, or when the timer cannot start again (playback stopped).
int jump_playback(std::uint32_t song_ms);
// Play from song_ms: the output opens, the song is chased to the point and plays on.
int start_playback_at(HWND window, std::uint32_t song_ms);
// The place playback has reached in the song, playing or paused, within the song (from 0
// to its end, also while a loop's jump, due up to kDueWindow early, has just moved the
// clock); 0 when stopped.
std::uint32_t playback_position_ms();
// How long the song has played from where it started or was last jumped to: the place in
// the song plus the time each of the loop's jumps went back since.
std::uint32_t playing_time_ms();
void CALLBACK on_timer_tick(UINT id, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                            DWORD_PTR reserved2);
int is_due(std::uint32_t elapsed, std::uint32_t time, std::uint32_t window);
MMRESULT send_short_message(HMIDIOUT output, unsigned char status, unsigned char data1,
                            unsigned char data2);
int send_sysex_message(HMIDIOUT output, const SysexSlot& slot);
// The next message this thread sends on output is due song_us into the song on the
// playback clock (midiOutSetDueTime): an output that can schedule plays it then.
void send_next_at(HMIDIOUT output, std::int64_t song_us);
// Sends the chase to the output, its sysex from the Timeline's slots: at once, or each
// message due at due_song_us.
void send_chase_list(HMIDIOUT output, const Timeline& timeline, const ChaseList& list,
                     std::optional<std::int64_t> due_song_us = std::nullopt);
