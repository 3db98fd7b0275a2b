// WINMM's own functions, for the calls that platform/ routes to itself (route_import.h)
// and then hands on: Windows' MIDI devices and its multimedia timer.
#pragma once

#include "platform/win32.h"

struct WinmmCalls {
    decltype(&::midiOutGetNumDevs) get_num_devs;
    decltype(&::midiOutOpen) open;
    decltype(&::midiOutShortMsg) short_msg;
    decltype(&::midiOutPrepareHeader) prepare_header;
    decltype(&::midiOutLongMsg) long_msg;
    decltype(&::midiOutUnprepareHeader) unprepare_header;
    decltype(&::midiOutCachePatches) cache_patches;
    decltype(&::midiOutCacheDrumPatches) cache_drum_patches;
    decltype(&::midiOutSetVolume) set_volume;
    decltype(&::midiOutClose) close;
    decltype(&::timeSetEvent) set_event;
    decltype(&::timeKillEvent) kill_event;
};

// Looked up in winmm.dll at the first call.
const WinmmCalls& winmm();
