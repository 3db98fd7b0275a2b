// The one place that sends to the MIDI output: short and system-exclusive messages, the
// time each is due on the playback clock, the chase, and controllers to a set of
// channels. Each short message that goes out is recorded for the windows
// (channel_record.h).
//
// Threads: the thread that plays sends; that is the tick while the timer runs, and the
// main thread at a start, a pause, a jump and a stop, when no tick runs. While the tick
// runs the main thread may send too (mute, solo and the volume): the midiOut* calls are
// safe from two threads, each taking the output's lock for one call, and a due time is
// the calling thread's own, so a message due at a time (due_next_message_at) must be sent
// next by the same thread. The channels' record is atomics (channel_record.h).
#pragma once

#include <cstdint>
#include <optional>

#include "platform/win32.h"
#include "playback/chase.h"
#include "playback/timeline.h"

constexpr std::uint16_t kEveryChannel = 0xFFFF;

// Any thread that may send (above).
MMRESULT send_short_message(HMIDIOUT output, unsigned char status, unsigned char data1,
                            unsigned char data2);
// Any thread that may send; the slot is the caller's until the call returns.
int send_sysex_message(HMIDIOUT output, const SysexSlot& slot);
// The next message this thread sends on output is due song_us into the song on the
// playback clock (midiOutSetDueTime): an output that can schedule plays it then. Any
// thread that may send (the session's start time it reads is an atomic).
void due_next_message_at(HMIDIOUT output, std::int64_t song_us);
// Sends the chase to the output, its sysex from the Timeline's slots: at once, or each
// message due at due_song_us. The thread that plays (the Timeline is not built meanwhile).
void send_chase_list(HMIDIOUT output, const Timeline& timeline, const ChaseList& list,
                     std::optional<std::int64_t> due_song_us = std::nullopt);
// The controllers (value 0) to each channel of the mask, in order per channel: at once,
// or each due at due_song_us. Any thread that may send.
void send_to_channels(HMIDIOUT output, std::uint16_t channels, const unsigned char* controllers,
                      int count, std::optional<std::int64_t> due_song_us = std::nullopt);
// The channels this output has sent anything on since it opened: only they can have a
// note to end or a controller to reset. On a MIDI cable each message spared is a
// millisecond sooner to the music. Any thread (the record is atomics).
std::uint16_t channels_in_use();
