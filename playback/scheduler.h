// Plays the Timeline on the chosen MIDI output from a periodic multimedia timer. Each
// event goes out at the tick whose window holds its time, with its exact time on the
// playback clock (midiOutSetDueTime), so that an output that can schedule plays it there.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "playback/output.h"
#include "playback/session.h"

// Stops playback and clears the session, as at the program's start.
void reset_playback_session();
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
// A jump to song_ms, playing or paused, within the song (one past its ends is its start
// or its end): the channels this Play has sent anything on are reset, then every channel
// is chased to the state the song has built before the point, and the events from the
// point on, those exactly at it included, play on; playing goes on from the point, paused
// stays paused there. 0 when stopped, or when the timer cannot start again (playback
// stopped).
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
