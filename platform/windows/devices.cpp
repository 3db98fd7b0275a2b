// WINMM's device names through the wide API: a device named in any language shows as
// it is named, whatever the system's code page.
#include <cstring>
#include <string>

#include "platform/cp932.h"
#include "platform/windows/program_text.h"
#include "platform/windows/route_import.h"

namespace {

MMRESULT WINAPI device_caps(UINT_PTR device, LPMIDIOUTCAPSA caps, UINT size) {
    if (caps == nullptr || size < sizeof *caps) return MMSYSERR_INVALPARAM;
    MIDIOUTCAPSW wide = {};
    MMRESULT result = midiOutGetDevCapsW(device, &wide, sizeof wide);
    if (result != MMSYSERR_NOERROR) return result;
    std::memset(caps, 0, sizeof *caps);
    caps->wMid = wide.wMid;
    caps->wPid = wide.wPid;
    caps->vDriverVersion = wide.vDriverVersion;
    copy_cp932_text(program_from_wide(wide.szPname, wcsnlen(wide.szPname, MAXPNAMELEN)),
                    caps->szPname, sizeof caps->szPname);
    caps->wTechnology = wide.wTechnology;
    caps->wVoices = wide.wVoices;
    caps->wNotes = wide.wNotes;
    caps->wChannelMask = wide.wChannelMask;
    caps->dwSupport = wide.dwSupport;
    return MMSYSERR_NOERROR;
}

// The system's text in its own language, whatever the code page.
MMRESULT WINAPI error_text(MMRESULT error, LPSTR text, UINT size) {
    if (text == nullptr || size == 0) return MMSYSERR_INVALPARAM;
    wchar_t wide[MAXERRORLENGTH] = {};
    MMRESULT result = midiOutGetErrorTextW(error, wide, MAXERRORLENGTH);
    if (result != MMSYSERR_NOERROR) return result;
    copy_cp932_text(program_from_wide(wide, wcsnlen(wide, MAXERRORLENGTH)), text, size);
    return MMSYSERR_NOERROR;
}

}  // namespace

ROUTE_IMPORT(midiOutGetDevCapsA, device_caps)
ROUTE_IMPORT(midiOutGetErrorTextA, error_text)
