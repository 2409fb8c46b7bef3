// The home-screen item: one row with the program's icon and title that
// starts the program when tapped. The shell (here: the host program) loads
// the library, calls its one exported entry to make the item window, and
// sends the window its messages.

#include "today/TodayMetrics.h"
#include "today/TodayPlatform.h"
#include "today/TodayResources.h"

#include <cwchar>

// The host supplies its calls; a process that offers none gets no item.
extern "C" __attribute__((weak)) const today::TodayPlatform* TodayHostPlatform();

namespace today {

namespace {

constexpr int kTextCapacity = 260;  // 259 characters and the terminating zero
const wchar_t kClassName[] = L"Fjarnis";

// What the launcher keeps for the life of the process.
struct LauncherState {
    const TodayPlatform* os = nullptr;
    HINSTANCE module = 0;
    HWND window = 0;
    HICON icon = 0;
    wchar_t title[kTextCapacity] = {};
    wchar_t path[kTextCapacity] = {};
    TodayMetrics metrics;
    int iconLeft = 0;
    int iconTop = 0;
    RECT row{};   // as created, in the parent's coordinates
    RECT text{};  // the title's place, in the item's own coordinates
    SHELLEXECUTEINFO launch{};
};

LauncherState g;

// The library's own address stands for its module handle.
HINSTANCE ModuleHandle() { return HINSTANCE(&g); }

void PrepareLaunchRecord() {
    g.launch = SHELLEXECUTEINFO{};
    g.launch.cbSize = 60;
    g.launch.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    g.launch.hwnd = 0;
    g.launch.lpVerb = nullptr;
    g.launch.lpFile = g.path;
    g.launch.lpParameters = nullptr;
    g.launch.lpDirectory = nullptr;
    g.launch.nShow = 5;
}

void ReportLaunchFailure(uint32_t code) {
    const wchar_t* text = nullptr;
    const wchar_t* caption = nullptr;
    switch (code) {
    case 2:
        text = caption = L"File Not Found!";
        break;
    case 3:
        text = caption = L"Path Not Found!";
        break;
    case 5:
        text = L"Access Denied!";
        caption = L"Acess Denied!";  // the caption users have always seen
        break;
    default:
        if (code == 1 || code == 4 || (code >= 6 && code <= 32)) text = caption = L"Unknown Error!";
        break;
    }
    if (text) g.os->MessageBox(0, text, caption, MB_OK);
}

void Launch() {
    PrepareLaunchRecord();
    if (!g.os->ShellExecuteEx(&g.launch)) ReportLaunchFailure(g.os->GetLastError());
}

void Paint(HWND window) {
    PAINTSTRUCT ps{};
    const HDC dc = g.os->BeginPaint(window, &ps);
    if (!dc) return;
    g.os->SetBkMode(dc, TRANSPARENT);
    if (g.icon) g.os->DrawIcon(dc, g.iconLeft, g.iconTop, g.icon);
    const HWND parent = g.os->GetParent(window);
    const COLORREF color = COLORREF(g.os->SendMessage(parent, TODAYM_GETCOLOR, TODAYCOLOR_TEXT, 0));
    g.os->SetTextColor(dc, color);
    RECT measured = g.text;
    g.os->DrawText(dc, g.title, -1, &measured, DT_CALCRECT);
    RECT place = CentreTitle(measured, g.metrics);
    g.os->DrawText(dc, g.title, -1, &place, DT_LEFT);
    g.os->EndPaint(window, &ps);
}

LRESULT QueryRefresh(TODAYLISTITEM* item) {
    if (!item) return 0;
    if (g.os->WaitForNamedEvent(L"SYSTEM/ShellAPIReady", 0) != WAIT_OBJECT_0) return 0;
    if (item->cyp != 0) return 0;
    item->cyp = g.metrics.itemHeight;
    return 1;
}

LRESULT WindowProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (const auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam)) {
            g.row = RECT{create->x, create->y, create->x + create->cx, create->y + int32_t(g.metrics.itemHeight)};
            // Painting and taps happen in the window's own coordinates.
            g.text = TextRect(RowInClient(create->cx, g.metrics), g.metrics);
        }
        break;
    case WM_PAINT:
        Paint(window);
        break;
    case WM_ERASEBKGND: {
        TODAYDRAWWATERMARKINFO info{};
        info.hdc = HDC(wParam);
        g.os->GetClientRect(window, &info.rc);
        info.hwnd = window;
        g.os->SendMessage(g.os->GetParent(window), TODAYM_DRAWWATERMARK, 0, LPARAM(&info));
        return 1;
    }
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE:
        return QueryRefresh(reinterpret_cast<TODAYLISTITEM*>(wParam));
    case WM_LBUTTONUP: {
        const int x = int(uint32_t(lParam) & 0xFFFF);
        if (IsTapOnRow(x, RowInClient(g.row.right - g.row.left, g.metrics))) Launch();
        break;
    }
    default:
        break;
    }
    return g.os->DefWindowProc(window, message, wParam, lParam);
}

// Library load: the resources, the window class.
__attribute__((constructor)) void Attach() {
    g.os = TodayHostPlatform ? TodayHostPlatform() : nullptr;
    if (!g.os || g.os->size < sizeof(TodayPlatform)) {
        g.os = nullptr;
        return;
    }
    g.module = ModuleHandle();
    g.os->SetLastError(0);
    LoadStringResource(IDS_PROGRAM, g.path, kTextCapacity);
    size_t size = 0;
    const uint8_t* metrics = FindRawResource(L"METRICS", &size);
    ReadTodayMetrics(metrics, size, &g.metrics);
    if (const uint8_t* png = FindIconResource(IDI_PROGRAM, &size))
        g.icon = g.os->CreateIconFromPng(png, size, g.metrics.iconSize, g.metrics.iconSize);
    LoadStringResource(IDS_TITLE, g.title, kTextCapacity);
    g.iconLeft = IconLeftOffset(g.metrics);
    g.iconTop = IconTopOffset(g.metrics);
    g.os->RegisterClass(kClassName, &WindowProc, g.os->GetStockObject(0), g.module);
    g.window = 0;
}

// Library unload.
__attribute__((destructor)) void Detach() {
    if (g.os && g.icon) g.os->DestroyIcon(g.icon);
    g.icon = 0;
}

}  // namespace

}  // namespace today

// The shell's call that makes the item window (the handheld's ordinal 240).
extern "C" __attribute__((visibility("default"))) today::HWND InitializeCustomItem(today::TODAYLISTITEM* /*item*/,
                                                                                   today::HWND parent) {
    using namespace today;
    if (!g.os) return 0;
    g.os->SetLastError(0);
    g.window = g.os->CreateWindowEx(0, kClassName, g.title, WS_CHILD | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                    g.metrics.windowWidth, g.metrics.windowHeight, parent, g.module);
    if (!g.window) return 0;
    g.os->SetWindowProc(g.window, &WindowProc);
    g.os->ShowWindow(g.window, SW_SHOWNORMAL);
    g.os->UpdateWindow(g.window);
    return g.window;
}
