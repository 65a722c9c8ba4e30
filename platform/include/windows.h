// windows.h - the subset of the Windows USER, GDI and kernel interfaces that
// the demos call, with Windows' names, types, constants and calling forms.
//
// Behind it a backend is chosen once, at the first call: a real window through
// SDL2 when a video device is there, otherwise a headless one that writes
// message boxes and captions to standard error. Tests select the scriptable
// backend through "platform/script/script.h".
//
// Only the ANSI ("A") forms exist; the plain names map to them. Text handed
// to MessageBoxA and SetWindowTextA is in the code page of the system locale
// (GetSystemDefaultLCID), as on Windows.
#pragma once
#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define APIENTRY

// ---- basic types -------------------------------------------------------
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int INT;
typedef unsigned int UINT;
typedef int BOOL;
typedef char CHAR;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef void *LPVOID;
typedef const void *LPCVOID;
typedef WORD ATOM;
typedef DWORD LCID;
typedef DWORD COLORREF;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef int32_t HRESULT;
typedef DWORD *LPDWORD;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Handles are distinct opaque pointer types, as with STRICT on Windows.
#define DECLARE_HANDLE(name) struct name##__; typedef struct name##__ *name
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HCURSOR);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HPALETTE);
typedef void *HANDLE;
typedef void *HGDIOBJ;
typedef HINSTANCE HMODULE;

#define MAKEINTRESOURCEA(i) ((LPSTR)((uintptr_t)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define IS_INTRESOURCE(p) (((uintptr_t)(p) >> 16) == 0)

// ---- result codes --------------------------------------------------------
#define S_OK ((HRESULT)0x00000000L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// ---- geometry --------------------------------------------------------------
typedef struct tagPOINT {
    LONG x, y;
} POINT, *LPPOINT;

typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT, *LPRECT;
typedef const RECT *LPCRECT;

// ---- window classes and windows -------------------------------------------
typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSA {
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
} WNDCLASSA, *LPWNDCLASSA;
typedef WNDCLASSA WNDCLASS;

typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define CW_USEDEFAULT ((int)0x80000000)

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020

// Frame metrics of this platform's windows, as AdjustWindowRect applies them:
// a fixed frame of 3 pixels on every side (WS_BORDER or WS_DLGFRAME), a
// sizing frame of 4 (WS_THICKFRAME), and a caption bar of 19 (WS_CAPTION).
#define PLATFORM_FIXED_FRAME 3
#define PLATFORM_SIZING_FRAME 4
#define PLATFORM_CAPTION_HEIGHT 19

// ShowWindow commands.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

// Messages.
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETTEXT 0x000C
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSCOMMAND 0x0112
#define WM_USER 0x0400

// WM_SIZE kinds.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// Virtual keys.
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20

// PeekMessage removal.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)(((WORD)(lo)) | (((DWORD)(WORD)(hi)) << 16)))

// Stock resources (LoadIconA / LoadCursorA with no instance).
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDI_ERROR MAKEINTRESOURCEA(32513)
#define IDI_WARNING MAKEINTRESOURCEA(32515)
#define IDI_INFORMATION MAKEINTRESOURCEA(32516)
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)

// System colours (background brush = colour index + 1).
#define COLOR_WINDOW 5
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8

// Message boxes.
#define MB_OK 0x00000000L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define IDOK 1

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc);
HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
#define CreateWindowA(cls, name, style, x, y, w, h, parent, menu, inst, param) \
    CreateWindowExA(0, cls, name, style, x, y, w, h, parent, menu, inst, param)
BOOL WINAPI DestroyWindow(HWND hwnd);
BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
BOOL WINAPI ShowWindow(HWND hwnd, int command);
BOOL WINAPI UpdateWindow(HWND hwnd);
BOOL WINAPI IsWindow(HWND hwnd);
BOOL WINAPI IsIconic(HWND hwnd);

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove);
BOOL WINAPI TranslateMessage(const MSG *msg);
LRESULT WINAPI DispatchMessageA(const MSG *msg);
BOOL WINAPI WaitMessage(void);
BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
void WINAPI PostQuitMessage(int exit_code);
LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text);
int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int capacity);
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase);
BOOL WINAPI ValidateRect(HWND hwnd, const RECT *rect);
BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect);
BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point);

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// A program carries no resources: LoadIconA of its own instance gives NULL.
// With a NULL instance the stock IDI_* icons and IDC_* cursors exist.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);

#define RegisterClass RegisterClassA
#define CreateWindowEx CreateWindowExA
#define CreateWindow CreateWindowA
#define PeekMessage PeekMessageA
#define DispatchMessage DispatchMessageA
#define PostMessage PostMessageA
#define SendMessage SendMessageA
#define DefWindowProc DefWindowProcA
#define SetWindowText SetWindowTextA
#define GetWindowText GetWindowTextA
#define MessageBox MessageBoxA
#define LoadIcon LoadIconA
#define LoadCursor LoadCursorA

// ---- GDI: device contexts and palettes --------------------------------------
typedef struct tagPALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
} PALETTEENTRY, *LPPALETTEENTRY;

typedef struct tagLOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
} LOGPALETTE, *LPLOGPALETTE;

#define PC_RESERVED 0x01
#define PC_EXPLICIT 0x02
#define PC_NOCOLLAPSE 0x04

// GetDeviceCaps indexes.
#define TECHNOLOGY 2
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define SIZEPALETTE 104
#define NUMRESERVED 106
#define RC_PALETTE 0x0100

// CreateICA("Display", NULL, NULL, NULL) gives an information context of the
// display for GetDeviceCaps; other drivers give NULL. Delete it with DeleteDC.
HDC WINAPI CreateICA(LPCSTR driver, LPCSTR device, LPCSTR port, const void *devmode);
#define CreateIC CreateICA
BOOL WINAPI DeleteDC(HDC dc);
int WINAPI GetDeviceCaps(HDC dc, int index);
// GetDC(NULL) is the whole screen's context; release every GetDC with ReleaseDC.
HDC WINAPI GetDC(HWND hwnd);
int WINAPI ReleaseDC(HWND hwnd, HDC dc);

// At 8 bits per pixel the system palette has 256 entries; entries 0-9 and
// 246-255 always hold the 20 static colours. Realising a foreground logical
// palette puts its entries 10-245 into the same system entries (PC_NOCOLLAPSE
// or not); a background palette changes nothing. At other depths the palette
// calls succeed but the system palette is not there (GetSystemPaletteEntries
// gives 0).
HPALETTE WINAPI CreatePalette(const LOGPALETTE *palette);
HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL force_background);
UINT WINAPI RealizePalette(HDC dc);
UINT WINAPI GetSystemPaletteEntries(HDC dc, UINT start, UINT count, LPPALETTEENTRY entries);
UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries);
BOOL WINAPI DeleteObject(HGDIOBJ object);

// ---- kernel ------------------------------------------------------------------
typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

// Fills the record when its size field is sizeof(OSVERSIONINFOA), else FALSE.
// This platform reports Windows NT 4.0, build 1381, "Service Pack 4".
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);
#define GetVersionEx GetVersionExA
typedef OSVERSIONINFOA OSVERSIONINFO;

// The locale id of the machine: from LC_ALL, LC_MESSAGES or LANG (first one
// set and not empty) by language and territory; 0x0409 for C, POSIX or none.
LCID WINAPI GetSystemDefaultLCID(void);
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define PRIMARYLANGID(lgid) ((WORD)(lgid) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))

// Milliseconds since an arbitrary start, wrapping at 2^32.
DWORD WINAPI GetTickCount(void);

typedef int64_t LONGLONG;
typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

// A monotonic counter finer than a millisecond and the counts it makes per
// second (fixed while the system runs). Both answer TRUE and fill the value;
// FALSE and nothing filled for a null pointer.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER *count);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER *frequency);
void WINAPI Sleep(DWORD milliseconds);

HMODULE WINAPI GetModuleHandleA(LPCSTR name);
#define GetModuleHandle GetModuleHandleA

// The full path of the program's own file (module NULL) in `name`, cut to
// size - 1 characters; the length copied, size when cut, 0 when unknown.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size);
#define GetModuleFileName GetModuleFileNameA

// Ends the process with the status. Under the scriptable backend it returns
// control to the test that ran the program (see script_run).
[[noreturn]] void WINAPI ExitProcess(UINT exit_code);
