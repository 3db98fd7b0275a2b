// The multimedia subset on systems other than Windows: MIDI output and the multimedia
// timer, with Windows' names, types and values. Only platform/win32.h includes it, after
// the types it builds on.
#pragma once

// WINMM: MIDI output
typedef UINT MMRESULT;
struct HMIDIOUT__;
typedef HMIDIOUT__* HMIDIOUT;
typedef HMIDIOUT* LPHMIDIOUT;

#define MMSYSERR_NOERROR 0u
#define MMSYSERR_ERROR 1u
#define MMSYSERR_BADDEVICEID 2u
#define MMSYSERR_INVALHANDLE 5u
#define MMSYSERR_NODRIVER 6u
#define MMSYSERR_INVALPARAM 11u
#define MIDIERR_UNPREPARED 64u
#define MIDIERR_NOTREADY 67u
#define MIDIERR_NODEVICE 68u
#define MIDIERR_INVALIDSETUP 69u
#define MIDI_MAPPER (static_cast<UINT>(-1))
#define CALLBACK_NULL 0x00000000u
#define MHDR_PREPARED 0x00000002u
#define MIDI_CACHE_ALL 1u
#define MMSYSERR_NOTSUPPORTED 8u
typedef WORD* LPWORD;

struct MIDIHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    MIDIHDR* lpNext;
    DWORD_PTR reserved;
    DWORD dwOffset;
    DWORD_PTR dwReserved[8];
};
typedef MIDIHDR* LPMIDIHDR;

// The outputs: devices 0 to midiOutGetNumDevs() - 1, each named in its MIDIOUTCAPSA; or
// MIDI_MAPPER, the system's default.
#define MAXPNAMELEN 32
#define MOD_MIDIPORT 1
#define MOD_SWSYNTH 7
struct MIDIOUTCAPSA {
    WORD wMid;
    WORD wPid;
    UINT vDriverVersion;
    char szPname[MAXPNAMELEN];
    WORD wTechnology;
    WORD wVoices;
    WORD wNotes;
    WORD wChannelMask;
    DWORD dwSupport;
};
typedef MIDIOUTCAPSA* LPMIDIOUTCAPSA;
UINT midiOutGetNumDevs();
MMRESULT midiOutGetDevCapsA(UINT_PTR device, LPMIDIOUTCAPSA caps, UINT size);
#define MAXERRORLENGTH 256
// Why a multimedia call failed, as the user may read it; the Linux layer gives the
// reason of its last failed open where it has one.
MMRESULT midiOutGetErrorTextA(MMRESULT error, LPSTR text, UINT size);
MMRESULT midiOutOpen(LPHMIDIOUT output, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                     DWORD flags);
MMRESULT midiOutShortMsg(HMIDIOUT output, DWORD message);
MMRESULT midiOutPrepareHeader(HMIDIOUT output, LPMIDIHDR header, UINT size);
MMRESULT midiOutLongMsg(HMIDIOUT output, LPMIDIHDR header, UINT size);
MMRESULT midiOutUnprepareHeader(HMIDIOUT output, LPMIDIHDR header, UINT size);
MMRESULT midiOutClose(HMIDIOUT output);
// Asks a synthesizer to load patches before they are played: patches[p] has bit c set
// when channel c uses program p of the bank; keys[k] likewise for key k of drum kit patch.
MMRESULT midiOutCachePatches(HMIDIOUT output, UINT bank, LPWORD patches, UINT flags);
MMRESULT midiOutCacheDrumPatches(HMIDIOUT output, UINT patch, LPWORD keys, UINT flags);
// The output's own volume, left in the low word, right in the high, 0 to 0xFFFF; an output
// has one where its MIDIOUTCAPSA's dwSupport says MIDICAPS_VOLUME.
#define MIDICAPS_VOLUME 0x0001u
MMRESULT midiOutSetVolume(HMIDIOUT output, DWORD volume);

// WINMM: the multimedia timer
#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u
#define TIME_ONESHOT 0x0000u
#define TIME_PERIODIC 0x0001u
#define TIME_KILL_SYNCHRONOUS 0x0100u

struct TIMECAPS {
    UINT wPeriodMin;
    UINT wPeriodMax;
};
typedef TIMECAPS* LPTIMECAPS;
typedef void(CALLBACK* LPTIMECALLBACK)(UINT id, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                       DWORD_PTR reserved2);

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size);
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
MMRESULT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                      UINT flags);
MMRESULT timeKillEvent(UINT id);
DWORD timeGetTime();
