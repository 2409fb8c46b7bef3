#pragma once

// The handheld's soft keyboard (soft input panel) and the task-bar window of
// its system button (handheld build only). One interface, two backends: the
// Linux one, where no soft input panel exists (the keyboard is never shown
// and its rectangle is empty, no task-bar button window is found), and a
// scripted one that tests fill with a keyboard rectangle and that records
// every show, hide and window change.

#include "platform/Export.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// A rectangle as the system writes one: right and bottom lie just outside.
struct SipRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool isEmpty() const { return right <= left || bottom <= top; }
};

// The system's soft-keyboard record; the caller sets cbSize to its size.
struct SIPINFO {
    uint32_t cbSize;
    uint32_t fdwFlags;
    SipRect rcVisibleDesktop;  // the work area left above the keyboard
    SipRect rcSipRect;         // the keyboard itself
    uint32_t dwImDataSize;
    uint32_t pvImData;  // the input method's data (never read here)
};
static_assert(sizeof(SIPINFO) == 48, "SIPINFO is 48 bytes");

constexpr uint32_t SIPF_OFF = 0;
constexpr uint32_t SIPF_ON = 1;

using WindowHandle = uintptr_t;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr unsigned GW_CHILD = 5;

class PLATFORM_API SoftInputBackend {
public:
    virtual ~SoftInputBackend() = default;

    // False when the query fails; else fills the record (cbSize must be 48).
    virtual bool SipGetInfo(SIPINFO* info) = 0;
    // SIPF_ON shows the keyboard, SIPF_OFF hides it. False when it cannot.
    virtual bool SipShowIM(uint32_t flags) = 0;

    // The window manager, as far as the task-bar keyboard button needs it.
    virtual WindowHandle FindWindowW(const wchar_t* className, const wchar_t* title) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
    virtual WindowHandle GetWindow(WindowHandle window, unsigned relation) = 0;
    virtual bool ShowWindow(WindowHandle window, int command) = 0;

    // Called whenever the keyboard comes or goes, which changes the work
    // area (on the thread that made the change). Returns an id for removal.
    int AddWorkAreaListener(std::function<void()> listener);
    void RemoveWorkAreaListener(int id);

protected:
    void NotifyWorkAreaChanged();

private:
    std::mutex listenersMutex_;
    std::map<int, std::function<void()>> listeners_;
    int nextListener_ = 1;
};

// The backend the program uses: the Linux one, unless a test set another.
PLATFORM_API std::shared_ptr<SoftInputBackend> CurrentSoftInputBackend();
// Tests: replaces the backend; null restores the Linux one.
PLATFORM_API void SetSoftInputBackend(std::shared_ptr<SoftInputBackend> backend);
PLATFORM_API std::shared_ptr<SoftInputBackend> MakeLinuxSoftInputBackend();

// The test backend. Thread-safe.
class PLATFORM_API ScriptedSoftInputBackend : public SoftInputBackend {
public:
    // --- the script ---
    // The rectangle the keyboard covers while shown.
    void SetKeyboardRect(const SipRect& rect);
    // A failing SipGetInfo (the program then counts the keyboard as shown).
    void SetGetInfoFails(bool fails);
    // Whether the keyboard is up, without notifying anyone.
    void SetShown(bool shown);
    // Makes the task-bar window "MS_SIPBUTTON" (with a child window when
    // asked), visible at first.
    void AddSipButtonWindow(bool withChild);

    // --- what happened ---
    bool Shown() const;
    std::vector<uint32_t> ShowCalls() const;  // the flags of every SipShowIM
    // Visibility of the button window and its child (false when missing).
    bool ButtonVisible() const;
    bool ButtonChildVisible() const;
    int ShowWindowCalls() const;

    // --- SoftInputBackend ---
    bool SipGetInfo(SIPINFO* info) override;
    bool SipShowIM(uint32_t flags) override;
    WindowHandle FindWindowW(const wchar_t* className, const wchar_t* title) override;
    bool IsWindow(WindowHandle window) override;
    WindowHandle GetWindow(WindowHandle window, unsigned relation) override;
    bool ShowWindow(WindowHandle window, int command) override;

private:
    static constexpr WindowHandle kButton = 0x5100;
    static constexpr WindowHandle kButtonChild = 0x5101;

    mutable std::mutex mu_;
    SipRect rect_;
    bool fails_ = false;
    bool shown_ = false;
    std::vector<uint32_t> showCalls_;
    bool hasButton_ = false;
    bool hasChild_ = false;
    bool buttonVisible_ = false;
    bool childVisible_ = false;
    int showWindowCalls_ = 0;
};

}  // namespace platform
