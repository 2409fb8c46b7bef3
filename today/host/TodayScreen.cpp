#include "today/host/TodayScreen.h"

#include "platform/ErrorCodes.h"
#include "platform/Paths.h"
#include "platform/Time.h"

#include <QApplication>
#include <QDate>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <dlfcn.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cwchar>
#include <map>
#include <string>

extern char** environ;

namespace todayhost {

using namespace today;

namespace {

class ItemWindow;

// Everything the calls share. Made once and never destroyed: the launcher's
// unload may run after the host's static objects are gone.
struct HostState {
    struct WindowClass {
        WNDPROC proc = nullptr;
        HBRUSH background = 0;
    };
    std::map<std::wstring, WindowClass> classes;
    struct Window {
        QPointer<QWidget> widget;
        WNDPROC proc = nullptr;  // null for the screen itself
        HWND parent = 0;
        TodayScreen* screen = nullptr;
    };
    std::map<HWND, Window> windows;
    HWND nextHandle = 0x1000;
    struct Dc {
        QPainter* painter = nullptr;
        COLORREF textColor = 0;
    };
    std::map<HDC, Dc> dcs;
    HDC nextDc = 0x2000;
    std::map<HWND, HDC> painting;  // the window's DC during its paint
    std::map<HICON, QImage> icons;
    HICON nextIcon = 0x3000;
    bool ready = false;
};

HostState& S() {
    static HostState* state = new HostState;
    return *state;
}

thread_local uint32_t t_lastError = 0;

QColor FromColorRef(COLORREF c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

QString Text(const wchar_t* text, int length) {
    if (!text) return QString();
    return QString::fromWCharArray(text, length < 0 ? int(std::wcslen(text)) : length);
}

HDC OpenDc(QPainter* painter) {
    const HDC dc = S().nextDc++;
    S().dcs[dc] = HostState::Dc{painter, 0};
    return dc;
}

void CloseDc(HDC dc) { S().dcs.erase(dc); }

QPainter* Painter(HDC dc) {
    const auto it = S().dcs.find(dc);
    return it == S().dcs.end() ? nullptr : it->second.painter;
}

LRESULT Send(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);

// The item window: its own paint and taps become the shell's messages.
class ItemWindow : public QWidget {
public:
    ItemWindow(QWidget* parent, HWND handle) : QWidget(parent), handle_(handle) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const HDC dc = OpenDc(&painter);
        S().painting[handle_] = dc;
        if (Send(handle_, WM_ERASEBKGND, WPARAM(dc), 0) == 0) painter.fillRect(rect(), Qt::white);
        Send(handle_, WM_PAINT, 0, 0);
        S().painting.erase(handle_);
        CloseDc(dc);
    }
    void mousePressEvent(QMouseEvent* event) override { Send(handle_, WM_LBUTTONDOWN, 1, Position(event)); }
    void mouseReleaseEvent(QMouseEvent* event) override { Send(handle_, WM_LBUTTONUP, 0, Position(event)); }

private:
    static LPARAM Position(QMouseEvent* event) {
        const QPoint p = event->position().toPoint();
        return LPARAM((uint32_t(uint16_t(p.y())) << 16) | uint16_t(p.x()));
    }
    HWND handle_;
};

LRESULT Send(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    const auto it = S().windows.find(window);
    if (it == S().windows.end()) return 0;
    if (it->second.screen) return it->second.screen->handleMessage(message, wParam, lParam);
    if (it->second.proc) return it->second.proc(window, message, wParam, lParam);
    return 0;
}

// Reaps a started program when it ends, through the event loop: the
// process's descriptor becomes readable then (or, where the system has no
// process descriptors, a precise poll of its state).
void ReapWhenEnded(pid_t pid) {
    const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, fd, pid] {
            if (::waitpid(pid, nullptr, WNOHANG) == 0) return;
            notifier->setEnabled(false);
            ::close(fd);
            notifier->deleteLater();
        });
        return;
    }
    auto* poll = new QTimer(qApp);
    poll->setTimerType(Qt::PreciseTimer);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, pid] {
        if (::waitpid(pid, nullptr, WNOHANG) == 0) return;
        poll->stop();
        poll->deleteLater();
    });
    poll->start(200);
}

// "\Program Files\Brantor\Brantor.exe" is the program Brantor in the
// program folder.
std::string ProgramPath(const wchar_t* file) {
    QString name = Text(file, -1);
    const int slash = int(std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/'))));
    name = name.mid(slash + 1);
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) name.chop(4);
    return platform::ProgramFolder() + "/" + name.toStdString();
}

// --- the table ---

uint32_t GetLastErrorImpl() { return t_lastError; }
void SetLastErrorImpl(uint32_t code) { t_lastError = code; }

bool RegisterClassImpl(const wchar_t* className, WNDPROC proc, HBRUSH background, HINSTANCE) {
    if (!className || !proc) return false;
    S().classes[className] = HostState::WindowClass{proc, background};
    return true;
}

HWND CreateWindowExImpl(uint32_t, const wchar_t* className, const wchar_t* title, uint32_t style, int x, int y,
                        int width, int height, HWND parent, HINSTANCE instance) {
    if (!className) return 0;
    const auto cls = S().classes.find(className);
    const auto owner = S().windows.find(parent);
    if (cls == S().classes.end() || owner == S().windows.end() || !owner->second.widget) {
        t_lastError = platform::winerr::kInvalidParameter;
        return 0;
    }
    // A child at the default place goes to the parent's corner.
    if (x == CW_USEDEFAULT) x = 0;
    if (y == CW_USEDEFAULT) y = 0;
    const HWND handle = S().nextHandle++;
    auto* window = new ItemWindow(owner->second.widget, handle);
    window->setWindowTitle(Text(title, -1));
    window->setGeometry(x, y, width, height);
    S().windows[handle] = HostState::Window{window, cls->second.proc, parent, nullptr};
    CREATESTRUCT create{};
    create.hInstance = instance;
    create.hwndParent = parent;
    create.x = x;
    create.y = y;
    create.cx = width;
    create.cy = height;
    create.style = style;
    create.lpszName = title;
    create.lpszClass = className;
    if (cls->second.proc(handle, WM_CREATE, 0, LPARAM(&create)) == -1) {
        S().windows.erase(handle);
        delete window;
        return 0;
    }
    if (style & WS_VISIBLE) window->show();
    return handle;
}

void SetWindowProcImpl(HWND window, WNDPROC proc) {
    const auto it = S().windows.find(window);
    if (it != S().windows.end() && !it->second.screen) it->second.proc = proc;
}

QWidget* WidgetOf(HWND window) {
    const auto it = S().windows.find(window);
    return it == S().windows.end() ? nullptr : it->second.widget.data();
}

bool ShowWindowImpl(HWND window, int command) {
    QWidget* w = WidgetOf(window);
    if (!w) return false;
    w->setVisible(command != 0);
    return true;
}

bool UpdateWindowImpl(HWND window) {
    QWidget* w = WidgetOf(window);
    if (!w) return false;
    w->update();
    return true;
}

LRESULT DefWindowProcImpl(HWND, uint32_t, WPARAM, LPARAM) { return 0; }

HWND GetParentImpl(HWND window) {
    const auto it = S().windows.find(window);
    return it == S().windows.end() ? 0 : it->second.parent;
}

bool GetClientRectImpl(HWND window, RECT* rect) {
    QWidget* w = WidgetOf(window);
    if (!w || !rect) return false;
    *rect = RECT{0, 0, w->width(), w->height()};
    return true;
}

HBRUSH GetStockObjectImpl(int index) { return HBRUSH(index + 1); }

HDC BeginPaintImpl(HWND window, PAINTSTRUCT* paint) {
    const auto it = S().painting.find(window);
    if (it == S().painting.end() || !paint) return 0;
    paint->hdc = it->second;
    paint->fErase = 0;
    GetClientRectImpl(window, &paint->rcPaint);
    return it->second;
}

bool EndPaintImpl(HWND, const PAINTSTRUCT*) { return true; }

int SetBkModeImpl(HDC dc, int mode) {
    QPainter* p = Painter(dc);
    if (!p) return 0;
    const int previous = p->backgroundMode() == Qt::TransparentMode ? TRANSPARENT : 2;
    p->setBackgroundMode(mode == TRANSPARENT ? Qt::TransparentMode : Qt::OpaqueMode);
    return previous;
}

COLORREF SetTextColorImpl(HDC dc, COLORREF color) {
    const auto it = S().dcs.find(dc);
    if (it == S().dcs.end()) return 0;
    const COLORREF previous = it->second.textColor;
    it->second.textColor = color;
    return previous;
}

int DrawTextImpl(HDC dc, const wchar_t* text, int length, RECT* rect, uint32_t format) {
    const auto it = S().dcs.find(dc);
    if (it == S().dcs.end() || !rect || !it->second.painter) return 0;
    QPainter& p = *it->second.painter;
    const QString s = Text(text, length);
    const QFontMetrics metrics(p.font());
    if (format & DT_CALCRECT) {
        rect->right = rect->left + metrics.horizontalAdvance(s);
        rect->bottom = rect->top + metrics.height();
        return metrics.height();
    }
    p.save();
    p.setPen(FromColorRef(it->second.textColor));
    const QRect box(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    p.setClipRect(box);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, s);
    p.restore();
    return metrics.height();
}

HICON CreateIconFromPngImpl(const uint8_t* png, size_t size, int width, int height) {
    QImage image;
    if (!png || size == 0 || width <= 0 || height <= 0 || !image.loadFromData(png, int(size), "PNG")) return 0;
    const HICON icon = S().nextIcon++;
    S().icons[icon] = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return icon;
}

bool DrawIconImpl(HDC dc, int x, int y, HICON icon) {
    QPainter* p = Painter(dc);
    const auto it = S().icons.find(icon);
    if (!p || it == S().icons.end()) return false;
    p->drawImage(x, y, it->second);
    return true;
}

bool DestroyIconImpl(HICON icon) { return S().icons.erase(icon) > 0; }

uint32_t WaitForNamedEventImpl(const wchar_t* name, uint32_t) {
    if (name && std::wcscmp(name, L"SYSTEM/ShellAPIReady") == 0 && S().ready) return WAIT_OBJECT_0;
    return WAIT_TIMEOUT;
}

bool ShellExecuteExImpl(SHELLEXECUTEINFO* info) {
    if (!info || !info->lpFile) {
        t_lastError = platform::winerr::kInvalidParameter;
        return false;
    }
    const std::string path = ProgramPath(info->lpFile);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ);
    if (rc != 0) {
        t_lastError = platform::SystemErrorFromErrno(rc);
        return false;
    }
    ReapWhenEnded(pid);
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) info->hProcess = uintptr_t(pid);
    info->hInstApp = 33;  // above 32: started
    return true;
}

int MessageBoxImpl(HWND, const wchar_t* text, const wchar_t* caption, uint32_t) {
    QMessageBox box(QMessageBox::NoIcon, Text(caption, -1), Text(text, -1), QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? 1 : 0;
}

const TodayPlatform kTable = {
    sizeof(TodayPlatform),
    &GetLastErrorImpl,
    &SetLastErrorImpl,
    &RegisterClassImpl,
    &CreateWindowExImpl,
    &SetWindowProcImpl,
    &ShowWindowImpl,
    &UpdateWindowImpl,
    &DefWindowProcImpl,
    &Send,
    &GetParentImpl,
    &GetClientRectImpl,
    &GetStockObjectImpl,
    &BeginPaintImpl,
    &EndPaintImpl,
    &SetBkModeImpl,
    &SetTextColorImpl,
    &DrawTextImpl,
    &CreateIconFromPngImpl,
    &DrawIconImpl,
    &DestroyIconImpl,
    &WaitForNamedEventImpl,
    &ShellExecuteExImpl,
    &MessageBoxImpl,
};

}  // namespace

const TodayPlatform& QtTodayPlatform() { return kTable; }

// ---------------------------------------------------------------------------

TodayScreen::TodayScreen() {
    setWindowTitle(QStringLiteral("Today"));
    setFixedSize(240, 320);
    handle_ = S().nextHandle++;
    S().windows[handle_] = HostState::Window{this, nullptr, 0, this};
    record_.dwOrder = 1;
    record_.fEnabled = 1;
    std::wcsncpy(record_.szName, L"Brantor", 31);
}

TodayScreen::~TodayScreen() {
    // The item window goes before the library whose procedure it calls.
    if (QWidget* w = item()) delete w;
    S().windows.erase(itemHandle_);
    S().windows.erase(handle_);
    if (library_) ::dlclose(library_);
}

QWidget* TodayScreen::item() const { return WidgetOf(itemHandle_); }

bool TodayScreen::loadItem(const QString& library, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    library_ = ::dlopen(library.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) return fail(QString::fromLocal8Bit(::dlerror()));
    using Entry = HWND (*)(TODAYLISTITEM*, HWND);
    auto entry = reinterpret_cast<Entry>(::dlsym(library_, "InitializeCustomItem"));
    if (!entry) return fail(QStringLiteral("no InitializeCustomItem in %1").arg(library));
    itemHandle_ = entry(&record_, handle_);
    QWidget* w = item();
    if (!w) return fail(QStringLiteral("the launcher made no item window"));
    record_.hwndCustom = itemHandle_;
    w->move(0, kItemTop);
    refreshTimer_ = startTimer(2000, Qt::PreciseTimer);
    return true;
}

void TodayScreen::setShellReady(bool ready) { S().ready = ready; }

LRESULT TodayScreen::queryRefresh() {
    if (!itemHandle_) return 0;
    const LRESULT changed = Send(itemHandle_, WM_TODAYCUSTOM_QUERYREFRESHCACHE, WPARAM(&record_), 0);
    if (changed && item()) item()->resize(item()->width(), int(record_.cyp));
    return changed;
}

void TodayScreen::timerEvent(QTimerEvent* event) {
    if (event->timerId() == refreshTimer_) queryRefresh();
}

void TodayScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The shell is ready once its screen is up; the item learns its height
    // at the first query after that.
    setShellReady(true);
    QTimer::singleShot(0, this, [this] { queryRefresh(); });
}

void TodayScreen::paintWatermark(QPainter& painter, const QRect& area, const QPoint& origin) const {
    QLinearGradient gradient(QPointF(0, -origin.y()), QPointF(0, height() - origin.y()));
    gradient.setColorAt(0, QColor(0xDD, 0xE8, 0xF6));
    gradient.setColorAt(1, QColor(0xF8, 0xFB, 0xFF));
    painter.fillRect(area, gradient);
}

void TodayScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintWatermark(painter, rect(), QPoint(0, 0));
    // The date band at the top, as the home screen shows it.
    painter.fillRect(QRect(0, 0, width(), 24), QColor(0x1F, 0x4E, 0x8C));
    painter.setPen(Qt::white);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(6, 0, width() - 12, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Start"));
    painter.setFont(font());
    painter.setPen(QColor(0x20, 0x20, 0x20));
    // The platform's clock, which tests fix.
    const platform::UtcTime now = platform::UtcNow();
    const QString date =
        QLocale::c().toString(QDate(now.year, now.month, now.day), QStringLiteral("dddd, d MMMM yyyy"));
    painter.drawText(QRect(6, 28, width() - 12, 28), Qt::AlignLeft | Qt::AlignVCenter, date);
    painter.setPen(QColor(0xB0, 0xB8, 0xC8));
    painter.drawLine(0, kItemTop - 2, width(), kItemTop - 2);
}

LRESULT TodayScreen::handleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TODAYM_GETCOLOR:
        return wParam == TODAYCOLOR_TEXT ? LRESULT(0x00202020) : 0;
    case TODAYM_DRAWWATERMARK: {
        auto* info = reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lParam);
        QPainter* painter = info ? Painter(info->hdc) : nullptr;
        QWidget* w = info ? WidgetOf(info->hwnd) : nullptr;
        if (!painter || !w) return 0;
        const QRect area(info->rc.left, info->rc.top, info->rc.right - info->rc.left, info->rc.bottom - info->rc.top);
        paintWatermark(*painter, area, w->pos());
        return 1;
    }
    default:
        return 0;
    }
}

}  // namespace todayhost
