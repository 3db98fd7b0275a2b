// The one header through which the program reaches the operating system.
// On Windows it is the real Win32 and WINMM API; elsewhere it declares exactly the
// subset the program uses, with Windows' names, types and values, implemented in
// platform/linux over real components.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <windows.h>

#else

#include <cstdint>

// Windows' integer types: DWORD and LONG are 32 bits, the *_PTR types pointer-sized.
typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::int32_t BOOL;
typedef unsigned int UINT;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t LONG_PTR;
typedef std::uintptr_t DWORD_PTR;
typedef void* HANDLE;
typedef DWORD* LPDWORD;
typedef void* LPVOID;
typedef const char* LPCSTR;
typedef char* LPSTR;

#define WINAPI
#define CALLBACK

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// KERNEL32: files
#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x00000001u
#define OPEN_EXISTING 3u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
#define INVALID_FILE_SIZE 0xFFFFFFFFu

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags, HANDLE templ);
DWORD GetFileSize(HANDLE file, LPDWORD size_high);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD to_read, LPDWORD read, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE object);

// USER32: the message queue
struct HWND__;
typedef HWND__* HWND;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

#define WM_QUIT 0x0012u
#define WM_USER 0x0400u

BOOL GetMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max);
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int exit_code);

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
#define MIDIERR_NODEVICE 68u
#define MIDIERR_INVALIDSETUP 69u
#define MIDI_MAPPER (static_cast<UINT>(-1))
#define CALLBACK_NULL 0x00000000u
#define MHDR_PREPARED 0x00000002u

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

MMRESULT midiOutOpen(LPHMIDIOUT output, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                     DWORD flags);
MMRESULT midiOutShortMsg(HMIDIOUT output, DWORD message);
MMRESULT midiOutPrepareHeader(HMIDIOUT output, LPMIDIHDR header, UINT size);
MMRESULT midiOutLongMsg(HMIDIOUT output, LPMIDIHDR header, UINT size);
MMRESULT midiOutUnprepareHeader(HMIDIOUT output, LPMIDIHDR header, UINT size);
MMRESULT midiOutClose(HMIDIOUT output);

// WINMM: the multimedia timer
#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u
#define TIME_ONESHOT 0x0000u
#define TIME_PERIODIC 0x0001u

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

#endif
