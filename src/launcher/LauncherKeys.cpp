#include "launcher/LauncherKeys.hpp"

#include <utility>

#include "toolkit/Forms.hpp"
#include "toolkit/Strings.hpp"

std::optional<UINT> LauncherKeyOfPress(UINT virtualKey, UINT scanCode) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) return virtualKey;
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) return '0' + (virtualKey - VK_NUMPAD0);
    if (virtualKey == VK_RETURN || virtualKey == VK_ESCAPE) return virtualKey;
    if (virtualKey == VK_PROCESSKEY) {
        const UINT behind = ::MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK);
        if (behind != VK_PROCESSKEY) return LauncherKeyOfPress(behind, 0);
    }
    return std::nullopt;
}

wchar_t LauncherKeyOfChar(wchar_t character) noexcept {
    constexpr wchar_t kFullWidthFirst = 0xFF01, kFullWidthLast = 0xFF5E, kFullWidthOffset = 0xFEE0;
    if (character >= kFullWidthFirst && character <= kFullWidthLast) character -= kFullWidthOffset;
    return UpCaseAscii(character);
}

TTypeAhead* TTypeAhead::catching_ = nullptr;

TTypeAhead::TTypeAhead() : startForeground_(::GetForegroundWindow()) {
    if (catching_) return;  // only the first of nested launchers would get the keys
    hook_.reset(::SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardProc, ::GetModuleHandleW(nullptr), 0));
    if (hook_) catching_ = this;
}

TTypeAhead::~TTypeAhead() { Stop(); }

void TTypeAhead::Stop() noexcept {
    if (catching_ == this) catching_ = nullptr;
    hook_.reset();
    caught_.clear();
}

void TTypeAhead::DeliverTo(HWND window, std::function<void()> onEscape) {
    target_ = window;
    onEscape_ = std::move(onEscape);
    for (UINT key : std::exchange(caught_, {})) Deliver(key);
}

void TTypeAhead::Deliver(UINT launcherKey) {
    if (target_) ::PostMessageW(target_, WM_LAUNCHERKEY, launcherKey, 0);
    else caught_.push_back(launcherKey);
}

// Runs on this thread, inside its message loop; it only notes the key, so the keyboard of the
// whole session never waits on the launcher's work.
LRESULT CALLBACK TTypeAhead::KeyboardProc(int code, WPARAM message, LPARAM info) {
    if (code == HC_ACTION && catching_ && catching_->Catch(message, *reinterpret_cast<KBDLLHOOKSTRUCT*>(info)))
        return 1;
    return ::CallNextHookEx(nullptr, code, message, info);
}

bool TTypeAhead::Catch(WPARAM message, const KBDLLHOOKSTRUCT& key) {
    const UINT vk = key.vkCode & 0xFF;
    if (message == WM_KEYUP || message == WM_SYSKEYUP) {
        const bool ours = pressed_[vk];
        pressed_[vk] = false;
        return ours;
    }
    auto down = [](int modifier) { return (::GetAsyncKeyState(modifier) & 0x8000) != 0; };
    if (message != WM_KEYDOWN || escaped_ || down(VK_CONTROL) || down(VK_MENU) || down(VK_LWIN) || down(VK_RWIN)) return false;
    if (AnotherOfOurWindowsInFront()) return false;
    const std::optional<UINT> launcherKey = LauncherKeyOfPress(vk, key.scanCode);
    if (!launcherKey) return false;
    pressed_[vk] = true;
    Deliver(*launcherKey);
    if (*launcherKey == VK_ESCAPE) {
        escaped_ = true;
        if (onEscape_) onEscape_();  // may stop the catching: nothing of this object is used after it
    }
    return true;
}

// A box or dialog of this program that came up over the launcher (a failed start's message,
// the options dialog) takes its keys the usual way.
bool TTypeAhead::AnotherOfOurWindowsInFront() const {
    const HWND front = ::GetForegroundWindow();
    // The hidden resident window holds the foreground while the launcher opens: not a box.
    if (!front || front == target_ || front == startForeground_ || !::IsWindowVisible(front)) return false;
    return IsOwnProcessWindow(front);
}
