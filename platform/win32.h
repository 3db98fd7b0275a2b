// The one header through which the program reaches the operating system.
// On Windows it is the real Win32 and WINMM API; elsewhere it declares exactly the
// subset the program uses, with Windows' names, types and values, implemented in
// platform/linux over real components.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
// windows.h first: the others build on its types.
#include <windows.h>

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#else

#include <cstddef>
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
typedef std::uintptr_t ULONG_PTR;
typedef void* HANDLE;
typedef DWORD* LPDWORD;
typedef DWORD_PTR* PDWORD_PTR;
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

// USER32: windows and the message queue
struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
struct HMENU__;
typedef HMENU__* HMENU;
struct HICON__;
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HDC__;
typedef HDC__* HDC;
struct HGDIOBJ__;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define MAX_PATH 260
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xFFFF))
#define MAKEWPARAM(low, high)                                        \
    (static_cast<WPARAM>(static_cast<DWORD>(static_cast<WORD>(low) | \
                                            static_cast<DWORD>(static_cast<WORD>(high)) << 16)))
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<WORD>(i))))
#define RGB(r, g, b)                                                                             \
    (static_cast<COLORREF>(static_cast<BYTE>(r) | static_cast<WORD>(static_cast<BYTE>(g)) << 8 | \
                           static_cast<DWORD>(static_cast<BYTE>(b)) << 16))
#define GetRValue(rgb) (static_cast<BYTE>(rgb))
#define GetGValue(rgb) (static_cast<BYTE>((rgb) >> 8))
#define GetBValue(rgb) (static_cast<BYTE>((rgb) >> 16))

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;

#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_SIZE 0x0005u
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_COMMAND 0x0111u
#define BN_CLICKED 0
#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u
#define WS_OVERLAPPEDWINDOW 0x00CF0000u
#define WS_VISIBLE 0x10000000u
#define WS_CHILD 0x40000000u
#define CW_USEDEFAULT (static_cast<int>(0x80000000u))
#define SW_SHOWNORMAL 1
#define SW_SHOWDEFAULT 10
#define COLOR_WINDOW 5
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define GWLP_HINSTANCE (-6)
#define MB_OK 0x00000000u
#define MB_YESNO 0x00000004u
#define MB_ICONWARNING 0x00000030u
#define IDOK 1
#define IDYES 6
#define IDNO 7
#define PS_SOLID 0

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

typedef WORD ATOM;
ATOM RegisterClassExA(const WNDCLASSEXA* window_class);
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL ShowWindow(HWND window, int show);
BOOL UpdateWindow(HWND window);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL DestroyWindow(HWND window);
BOOL SetWindowTextA(HWND window, LPCSTR text);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int wsprintfA(LPSTR out, LPCSTR format, ...);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
DWORD GetSysColor(int index);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
int lstrlenA(LPCSTR text);

// GDI32
HPEN CreatePen(int style, int width, COLORREF color);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
COLORREF SetBkColor(HDC dc, COLORREF color);

// COMDLG32 and SHELL32
typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile;
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
};
typedef OPENFILENAMEA* LPOPENFILENAMEA;

#define OPENFILENAME_SIZE_VERSION_400A (offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR))
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_FILEMUSTEXIST 0x00001000u
#define OFN_CREATEPROMPT 0x00002000u
#define FNERR_BUFFERTOOSMALL 0x3003u

BOOL GetOpenFileNameA(LPOPENFILENAMEA request);
// Why the last GetOpenFileNameA returned FALSE; 0 when the user cancelled. On
// FNERR_BUFFERTOOSMALL the Linux layer leaves the chosen name, cut, in lpstrFile.
DWORD CommDlgExtendedError();
// Settings files: on Linux an .ini file named beside the program is kept in the user's
// ~/.config/lumaroth/ (its name in lower case), where a user may write.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_text, LPSTR out,
                               DWORD size, LPCSTR file_name);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file_name);
// A result of 32 or less is an error: these two say the file or its folder is missing.
#define SE_ERR_FNF 2u
#define SE_ERR_PNF 3u
HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, int show);
DWORD GetModuleFileNameA(HINSTANCE module, LPSTR file_name, DWORD size);
// The name made absolute against the current folder; when it does not fit, the size it
// needs with its terminating nul.
DWORD GetFullPathNameA(LPCSTR file_name, DWORD size, LPSTR buffer, LPSTR* file_part);

// Resources: the program links a table of its menus and icons, the counterpart of its
// .rc file on Windows, found by id as Windows finds them in the executable.
struct MenuResourceItem {
    // 0: a pop-up on the menu bar, 1: an item of the last pop-up (with id 0 and a text: a
    // sub-menu), 2: an item of the last sub-menu
    int depth;
    const char* text;  // nullptr: a separator
    UINT id;
};
struct MenuResource {
    UINT id;
    const MenuResourceItem* items;
    int count;
};
struct IconResource {
    UINT id;
    const unsigned char* png;
    unsigned size;
};
// ACCEL as in an ACCELERATORS resource: fVirt 0 matches a typed character (WM_CHAR),
// FVIRTKEY a key (WM_KEYDOWN) with exactly the FSHIFT/FCONTROL/FALT given.
struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
struct AcceleratorResource {
    UINT id;
    const ACCEL* entries;
    int count;
};
extern const MenuResource program_menus[];
extern const int program_menu_count;
extern const IconResource program_icons[];
extern const int program_icon_count;
extern const AcceleratorResource program_accelerators[];
extern const int program_accelerator_count;

// The keyboard: for each key pressed on the program's windows the layer posts WM_KEYDOWN
// (wParam the virtual key; lParam bits 24 and 25 set with Control and Shift held, where
// Windows asks GetKeyState) and WM_CHAR for the character it types. Keys with Alt stay
// the menu bar's.
#define WM_KEYDOWN 0x0100u
#define WM_CHAR 0x0102u
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define FVIRTKEY 0x01
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10
#define kKeyControlBit (1 << 24)
#define kKeyShiftBit (1 << 25)
struct HACCEL__;
typedef HACCEL__* HACCEL;
HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name);
int TranslateAcceleratorA(HWND window, HACCEL table, LPMSG msg);

// Menus built while the program runs, beside the resource's.
#define MF_STRING 0x0000u
#define MF_ENABLED 0x0000u
#define MF_GRAYED 0x0001u
#define MF_BYCOMMAND 0x0000u
#define MF_UNCHECKED 0x0000u
#define MF_CHECKED 0x0008u
#define MF_POPUP 0x0010u
#define MF_SEPARATOR 0x0800u
#define MF_BYPOSITION 0x0400u
HMENU GetMenu(HWND window);
HMENU CreatePopupMenu();
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
// Before the item at position (MF_BYPOSITION): a pop-up on a menu bar; in a pop-up, a
// sub-menu, an item or a separator.
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text);
int GetMenuItemCount(HMENU menu);
// By command (MF_BYCOMMAND), in the menu and its sub-menus.
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check);
// MF_GRAYED or MF_ENABLED; a greyed item's accelerator sends nothing, as on Windows.
BOOL EnableMenuItem(HMENU menu, UINT id, UINT enable);
BOOL DeleteMenu(HMENU menu, UINT id, UINT flags);
HMENU GetSubMenu(HMENU menu, int position);
BOOL DrawMenuBar(HWND window);

// Files dropped on a window that accepts them: WM_DROPFILES with the HDROP in wParam.
#define WM_DROPFILES 0x0233u
struct HDROP__;
typedef HDROP__* HDROP;
void DragAcceptFiles(HWND window, BOOL accept);
// index 0xFFFFFFFF: the number of files; no buffer: the length of a name.
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size);
void DragFinish(HDROP drop);

// One program at a time: a named mutex tells a second start that one runs, which then
// finds the running window by its class and hands it data (WM_COPYDATA).
#define WM_COPYDATA 0x004Au
#define ERROR_ALREADY_EXISTS 183u
#define SW_RESTORE 9
#define SMTO_ABORTIFHUNG 0x0002u
struct COPYDATASTRUCT {
    ULONG_PTR dwData;
    DWORD cbData;
    LPVOID lpData;
};
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL initial_owner, LPCSTR name);
DWORD GetLastError();
HWND FindWindowA(LPCSTR class_name, LPCSTR window_name);
// Non-zero when the window answered within the timeout; its answer in result.
LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT flags,
                            UINT timeout_ms, PDWORD_PTR result);
BOOL SetForegroundWindow(HWND window);
BOOL IsIconic(HWND window);
void Sleep(DWORD milliseconds);

#define WM_QUIT 0x0012u
#define WM_USER 0x0400u
#define PM_REMOVE 0x0001u  // the one way PeekMessageA takes

// The program's entry, called by the platform's main with the command line's arguments
// (a name with blanks in double quotes).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

BOOL GetMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max);
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max, UINT remove);
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int exit_code);

#include "platform/win32_files.h"
#include "platform/win32_winmm.h"

#endif

#include "platform/win32_controls.h"
#include "platform/win32_due_time.h"
