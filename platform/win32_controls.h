// Beyond the first window: the common controls' trackbar, static texts, window timers and
// dialog boxes from the resources, with Windows' names, types and values.
#pragma once

#ifdef _WIN32
#include <commctrl.h>
#else
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define SW_HIDE 0
#define SW_SHOW 5
#define SW_MINIMIZE 6
// Windows a top-level window owns are hidden while it is minimised and come back with it.
// The smallest size a user may give a window: WM_GETMINMAXINFO, lParam a MINMAXINFO whose
// ptMinTrackSize the window procedure sets (the frame's outer size); AdjustWindowRect
// turns a client area's size into that.
#define WM_GETMINMAXINFO 0x0024u
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
// A child control's place in its parent's client area, or a top-level window's.
// A second top-level window's place and size: the frame's outer edges, on the screen.
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL IsWindowVisible(HWND window);
// GW_OWNER: the window that owns a top-level window, or nullptr.
#define GW_OWNER 4
HWND GetWindow(HWND window, UINT relation);
// The screens: each one's area and work area (the screen less its panels).
struct HMONITOR__;
typedef HMONITOR__* HMONITOR;
#define MONITOR_DEFAULTTONULL 0x00000000u
#define MONITOR_DEFAULTTONEAREST 0x00000002u
#define MONITORINFOF_PRIMARY 0x00000001u
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
typedef MONITORINFO* LPMONITORINFO;
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info);
#define IDCANCEL 2
#define WM_INITDIALOG 0x0110u
#define WM_TIMER 0x0113u
// A static control (the trackbar too) asks its parent for its background brush, the
// device context in wParam.
#define WM_CTLCOLORSTATIC 0x0138u
HBRUSH GetSysColorBrush(int index);
// A trackbar's move: WM_HSCROLL to its parent, the kind of move in LOWORD(wParam) and the
// trackbar in lParam; every move ends with TB_ENDTRACK.
#define WM_HSCROLL 0x0114u
#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBPOSITION 4
#define TB_THUMBTRACK 5
#define TB_ENDTRACK 8

// The common controls: the trackbar, a "STATIC" text beside it.
struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
#define ICC_BAR_CLASSES 0x00000004u
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
#define TRACKBAR_CLASSA "msctls_trackbar32"
#define TBS_NOTICKS 0x0010u
#define TBM_GETPOS (WM_USER)
#define TBM_SETPOS (WM_USER + 5)
#define TBM_SETRANGEMAX (WM_USER + 8)
#define TBM_SETPAGESIZE (WM_USER + 21)
#define TBM_SETLINESIZE (WM_USER + 23)
// A "BUTTON" that stays pressed while checked (BS_PUSHLIKE); the program sets its state.
#define BS_CHECKBOX 0x00000002u
#define BS_PUSHLIKE 0x00001000u
#define BM_GETCHECK 0x00F0u
#define BM_SETCHECK 0x00F1u
#define BST_UNCHECKED 0x0000u
#define BST_CHECKED 0x0001u
// A message answered at once by the window or control, as the window procedure would.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// A window timer: WM_TIMER with the id in wParam every elapse ms, through the queue.
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);

// Modal dialog boxes from the resources.
typedef LONG_PTR INT_PTR;
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure,
                        LPARAM init);
BOOL EndDialog(HWND dialog, INT_PTR result);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
// A dialog resource, the counterpart of a DIALOGEX in the .rc file: its controls in
// dialog units (a quarter of the font's average width, an eighth of its height).
struct DialogResourceItem {
    const char* class_name;  // "STATIC", "EDIT" or "BUTTON"
    const char* text;
    int id;
    int x;
    int y;
    int width;
    int height;
};
struct DialogResource {
    UINT id;
    const char* title;
    int width;
    int height;
    const DialogResourceItem* items;
    int count;
};
extern const DialogResource program_dialogs[];
extern const int program_dialog_count;
#endif
