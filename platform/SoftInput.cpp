#include "platform/SoftInput.h"

#include <cwchar>

namespace platform {

// ---------------------------------------------------------------------------
// Listeners

int SoftInputBackend::AddWorkAreaListener(std::function<void()> listener) {
    std::lock_guard<std::mutex> lock(listenersMutex_);
    const int id = nextListener_++;
    listeners_[id] = std::move(listener);
    return id;
}

void SoftInputBackend::RemoveWorkAreaListener(int id) {
    std::lock_guard<std::mutex> lock(listenersMutex_);
    listeners_.erase(id);
}

void SoftInputBackend::NotifyWorkAreaChanged() {
    // Copied out so that a listener may add or remove listeners.
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard<std::mutex> lock(listenersMutex_);
        for (const auto& [id, listener] : listeners_) calls.push_back(listener);
    }
    for (const auto& call : calls)
        if (call) call();
}

// ---------------------------------------------------------------------------
// Linux: no soft input panel and no task bar of the handheld shell.

namespace {

class LinuxSoftInput : public SoftInputBackend {
public:
    bool SipGetInfo(SIPINFO* info) override {
        if (!info || info->cbSize != sizeof(SIPINFO)) return false;
        info->fdwFlags = SIPF_OFF;
        info->rcSipRect = SipRect{};
        info->dwImDataSize = 0;
        return true;
    }
    // There is no panel to show; saying it was shown would be a lie.
    bool SipShowIM(uint32_t) override { return false; }
    WindowHandle FindWindowW(const wchar_t*, const wchar_t*) override { return 0; }
    bool IsWindow(WindowHandle) override { return false; }
    WindowHandle GetWindow(WindowHandle, unsigned) override { return 0; }
    bool ShowWindow(WindowHandle, int) override { return false; }
};

std::mutex& BackendMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<SoftInputBackend>& BackendSlot() {
    static std::shared_ptr<SoftInputBackend> backend;
    return backend;
}

}  // namespace

std::shared_ptr<SoftInputBackend> MakeLinuxSoftInputBackend() { return std::make_shared<LinuxSoftInput>(); }

std::shared_ptr<SoftInputBackend> CurrentSoftInputBackend() {
    std::lock_guard<std::mutex> lock(BackendMutex());
    if (!BackendSlot()) BackendSlot() = MakeLinuxSoftInputBackend();
    return BackendSlot();
}

void SetSoftInputBackend(std::shared_ptr<SoftInputBackend> backend) {
    std::lock_guard<std::mutex> lock(BackendMutex());
    BackendSlot() = std::move(backend);
}

// ---------------------------------------------------------------------------
// The scripted backend

void ScriptedSoftInputBackend::SetKeyboardRect(const SipRect& rect) {
    std::lock_guard<std::mutex> lock(mu_);
    rect_ = rect;
}

void ScriptedSoftInputBackend::SetGetInfoFails(bool fails) {
    std::lock_guard<std::mutex> lock(mu_);
    fails_ = fails;
}

void ScriptedSoftInputBackend::SetShown(bool shown) {
    std::lock_guard<std::mutex> lock(mu_);
    shown_ = shown;
}

void ScriptedSoftInputBackend::AddSipButtonWindow(bool withChild) {
    std::lock_guard<std::mutex> lock(mu_);
    hasButton_ = true;
    hasChild_ = withChild;
    buttonVisible_ = true;
    childVisible_ = withChild;
}

bool ScriptedSoftInputBackend::Shown() const {
    std::lock_guard<std::mutex> lock(mu_);
    return shown_;
}

std::vector<uint32_t> ScriptedSoftInputBackend::ShowCalls() const {
    std::lock_guard<std::mutex> lock(mu_);
    return showCalls_;
}

bool ScriptedSoftInputBackend::ButtonVisible() const {
    std::lock_guard<std::mutex> lock(mu_);
    return hasButton_ && buttonVisible_;
}

bool ScriptedSoftInputBackend::ButtonChildVisible() const {
    std::lock_guard<std::mutex> lock(mu_);
    return hasChild_ && childVisible_;
}

int ScriptedSoftInputBackend::ShowWindowCalls() const {
    std::lock_guard<std::mutex> lock(mu_);
    return showWindowCalls_;
}

bool ScriptedSoftInputBackend::SipGetInfo(SIPINFO* info) {
    std::lock_guard<std::mutex> lock(mu_);
    if (fails_ || !info || info->cbSize != sizeof(SIPINFO)) return false;
    info->fdwFlags = shown_ ? SIPF_ON : SIPF_OFF;
    info->rcSipRect = shown_ ? rect_ : SipRect{};
    info->dwImDataSize = 0;
    return true;
}

bool ScriptedSoftInputBackend::SipShowIM(uint32_t flags) {
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(mu_);
        showCalls_.push_back(flags);
        const bool on = (flags & SIPF_ON) != 0;
        changed = on != shown_;
        shown_ = on;
    }
    // As on the device: the work area changes only when the keyboard does.
    if (changed) NotifyWorkAreaChanged();
    return true;
}

WindowHandle ScriptedSoftInputBackend::FindWindowW(const wchar_t* className, const wchar_t* title) {
    std::lock_guard<std::mutex> lock(mu_);
    if (!hasButton_ || !className || !title) return 0;
    if (std::wcscmp(className, L"MS_SIPBUTTON") != 0 || std::wcscmp(title, L"MS_SIPBUTTON") != 0) return 0;
    return kButton;
}

bool ScriptedSoftInputBackend::IsWindow(WindowHandle window) {
    std::lock_guard<std::mutex> lock(mu_);
    return (window == kButton && hasButton_) || (window == kButtonChild && hasChild_);
}

WindowHandle ScriptedSoftInputBackend::GetWindow(WindowHandle window, unsigned relation) {
    std::lock_guard<std::mutex> lock(mu_);
    return window == kButton && relation == GW_CHILD && hasChild_ ? kButtonChild : 0;
}

bool ScriptedSoftInputBackend::ShowWindow(WindowHandle window, int command) {
    std::lock_guard<std::mutex> lock(mu_);
    ++showWindowCalls_;
    const bool visible = command != SW_HIDE;
    if (window == kButton && hasButton_) {
        buttonVisible_ = visible;
        return true;
    }
    if (window == kButtonChild && hasChild_) {
        childVisible_ = visible;
        return true;
    }
    return false;
}

}  // namespace platform
