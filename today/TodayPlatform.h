#pragma once

// What the home-screen launcher needs of the system, as one table of calls
// that the program hosting the home screen hands it: the window manager,
// painting, text measuring, the shell's ready event, starting a program,
// message boxes and the last-error code. The records and message numbers are
// those of the handheld's shell. The launcher links nothing else of ours; it
// finds the table through the host's exported TodayHostPlatform().

#include <cstddef>
#include <cstdint>

namespace today {

using HWND = uintptr_t;
using HDC = uintptr_t;
using HICON = uintptr_t;
using HBRUSH = uintptr_t;
using HINSTANCE = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using COLORREF = uint32_t;
using WNDPROC = LRESULT (*)(HWND, uint32_t, WPARAM, LPARAM);

// Window messages.
constexpr uint32_t WM_CREATE = 1;
constexpr uint32_t WM_PAINT = 15;
constexpr uint32_t WM_ERASEBKGND = 20;
constexpr uint32_t WM_LBUTTONDOWN = 513;
constexpr uint32_t WM_LBUTTONUP = 514;
// Today-screen messages.
constexpr uint32_t TODAYM_GETCOLOR = 1124;
constexpr uint32_t TODAYM_DRAWWATERMARK = 1125;
constexpr uint32_t WM_TODAYCUSTOM_QUERYREFRESHCACHE = 1267;
constexpr WPARAM TODAYCOLOR_TEXT = 0x10000004;

constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr int CW_USEDEFAULT = int(0x80000000);
constexpr int SW_SHOWNORMAL = 1;
constexpr int TRANSPARENT = 1;
constexpr uint32_t DT_LEFT = 0;
constexpr uint32_t DT_CALCRECT = 1024;
constexpr uint32_t WAIT_OBJECT_0 = 0;
constexpr uint32_t WAIT_TIMEOUT = 258;
constexpr uint32_t MB_OK = 0;
constexpr uint32_t SEE_MASK_NOCLOSEPROCESS = 0x40;
constexpr uint32_t SEE_MASK_FLAG_NO_UI = 0x400;

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// What a window sees of its creation.
struct CREATESTRUCT {
    void* lpCreateParams;
    HINSTANCE hInstance;
    uintptr_t hMenu;
    HWND hwndParent;
    int32_t cy;
    int32_t cx;
    int32_t y;
    int32_t x;
    uint32_t style;
    const wchar_t* lpszName;
    const wchar_t* lpszClass;
    uint32_t dwExStyle;
};

struct PAINTSTRUCT {
    HDC hdc;
    int32_t fErase;
    RECT rcPaint;
};

// The shell's record of one home-screen item.
struct TODAYLISTITEM {
    wchar_t szName[32];
    uint32_t tlit;
    uint32_t dwOrder;
    uint32_t cyp;  // the item's height; 0 until the item reports it
    uint32_t fEnabled;
    uint32_t fOptions;
    uint32_t grfFlags;
    wchar_t szDLLPath[260];
    HINSTANCE hinstDLL;
    HWND hwndCustom;
    uint32_t fSizeOnDraw;
};

struct TODAYDRAWWATERMARKINFO {
    HDC hdc;
    RECT rc;
    HWND hwnd;
};

// The shell's record for starting a program.
struct SHELLEXECUTEINFO {
    uint32_t cbSize;
    uint32_t fMask;
    HWND hwnd;
    const wchar_t* lpVerb;
    const wchar_t* lpFile;
    const wchar_t* lpParameters;
    const wchar_t* lpDirectory;
    int32_t nShow;
    HINSTANCE hInstApp;
    void* lpIDList;
    const wchar_t* lpClass;
    uintptr_t hkeyClass;
    uint32_t dwHotKey;
    uintptr_t hIcon;
    uintptr_t hProcess;  // with SEE_MASK_NOCLOSEPROCESS: the new process (its id here)
};

// The calls, one field each; a host fills every one.
struct TodayPlatform {
    uint32_t size;  // sizeof(TodayPlatform) of the host

    // --- errors ---
    uint32_t (*GetLastError)();
    void (*SetLastError)(uint32_t code);

    // --- windows ---
    bool (*RegisterClass)(const wchar_t* className, WNDPROC proc, HBRUSH background, HINSTANCE instance);
    HWND (*CreateWindowEx)(uint32_t exStyle, const wchar_t* className, const wchar_t* title, uint32_t style, int x,
                           int y, int width, int height, HWND parent, HINSTANCE instance);
    void (*SetWindowProc)(HWND window, WNDPROC proc);
    bool (*ShowWindow)(HWND window, int command);
    bool (*UpdateWindow)(HWND window);
    LRESULT (*DefWindowProc)(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
    LRESULT (*SendMessage)(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
    HWND (*GetParent)(HWND window);
    bool (*GetClientRect)(HWND window, RECT* rect);
    HBRUSH (*GetStockObject)(int index);

    // --- painting and text ---
    HDC (*BeginPaint)(HWND window, PAINTSTRUCT* paint);
    bool (*EndPaint)(HWND window, const PAINTSTRUCT* paint);
    int (*SetBkMode)(HDC dc, int mode);
    COLORREF (*SetTextColor)(HDC dc, COLORREF color);
    // Height of the text; with DT_CALCRECT only measures, growing *rect to
    // the text's extent, and draws nothing.
    int (*DrawText)(HDC dc, const wchar_t* text, int length, RECT* rect, uint32_t format);
    // An icon of width x height pixels from a PNG picture; 0 when it cannot.
    HICON (*CreateIconFromPng)(const uint8_t* png, size_t size, int width, int height);
    bool (*DrawIcon)(HDC dc, int x, int y, HICON icon);
    bool (*DestroyIcon)(HICON icon);

    // --- the shell ---
    // Waits for a named event: WAIT_OBJECT_0 when it is signalled, else
    // WAIT_TIMEOUT after timeoutMs.
    uint32_t (*WaitForNamedEvent)(const wchar_t* name, uint32_t timeoutMs);
    // Starts the program named by the record; false with the last error set.
    bool (*ShellExecuteEx)(SHELLEXECUTEINFO* info);
    int (*MessageBox)(HWND owner, const wchar_t* text, const wchar_t* caption, uint32_t type);
};

}  // namespace today

// Provided by the program that hosts the home screen.
extern "C" const today::TodayPlatform* TodayHostPlatform();
