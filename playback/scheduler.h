// Plays the Timeline on the default MIDI output from a periodic multimedia timer.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "playback/timeline.h"

constexpr std::uint32_t kDueWindow = 12;        // ms on either side of an event's time
constexpr std::uint32_t kSmallestPeriod = 6;    // ms
constexpr std::int32_t kEndOfSongIdle = 10000;  // ms without a short message
constexpr UINT kEndOfSongMessage = WM_USER + 2;

struct PlaybackClock {
    HMIDIOUT output;
    std::uint32_t timer_id;
    std::uint32_t timer_period;
    std::uint32_t start_time;
    std::uint32_t last_send_time;  // 0: nothing sent since the start
    std::int32_t idle_time;
    int open;
    HWND notify_window;
};

extern PlaybackClock playback_clock;

int start_playback(HWND window);
void stop_playback();
void CALLBACK on_timer_tick(UINT id, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                            DWORD_PTR reserved2);
int is_due(std::uint32_t elapsed, std::uint32_t time, std::uint32_t window);
MMRESULT send_short_message(HMIDIOUT output, unsigned char status, unsigned char data1,
                            unsigned char data2);
int send_sysex_message(HMIDIOUT output, const SysexSlot& slot);
