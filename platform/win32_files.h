// KERNEL32's folder listing on Linux, with Windows' names and values: a folder's entries
// for the pattern "FOLDER\*" (or "FOLDER/*"), or the one file an exact name names. Names
// are the program's (code page 932 with the escapes of platform/cp932.h); a name that does
// not fit cFileName is left out, as the program could not hold it.
#pragma once

#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    char cFileName[MAX_PATH];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

// INVALID_HANDLE_VALUE when nothing matches.
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
// FALSE after the last.
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL FindClose(HANDLE find);
