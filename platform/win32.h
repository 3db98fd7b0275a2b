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

#endif
