#include "platform/windows/winmm_calls.h"

namespace {

template <typename Function>
void look_up(HMODULE library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

WinmmCalls look_up_all() {
    HMODULE library = LoadLibraryW(L"winmm.dll");
    WinmmCalls calls;
    look_up(library, "midiOutGetNumDevs", calls.get_num_devs);
    look_up(library, "midiOutOpen", calls.open);
    look_up(library, "midiOutShortMsg", calls.short_msg);
    look_up(library, "midiOutPrepareHeader", calls.prepare_header);
    look_up(library, "midiOutLongMsg", calls.long_msg);
    look_up(library, "midiOutUnprepareHeader", calls.unprepare_header);
    look_up(library, "midiOutCachePatches", calls.cache_patches);
    look_up(library, "midiOutCacheDrumPatches", calls.cache_drum_patches);
    look_up(library, "midiOutSetVolume", calls.set_volume);
    look_up(library, "midiOutClose", calls.close);
    look_up(library, "timeSetEvent", calls.set_event);
    look_up(library, "timeKillEvent", calls.kill_event);
    return calls;
}

}  // namespace

const WinmmCalls& winmm() {
    static const WinmmCalls calls = look_up_all();
    return calls;
}
