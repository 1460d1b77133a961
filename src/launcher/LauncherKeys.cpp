#include "launcher/LauncherKeys.hpp"

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

void TKeyFilter::Catch(bool ctrlOfHotKey) noexcept {
    mode_ = TMode::Catching;
    if (!ctrlOfHotKey) return;
    // The Ctrl held now is the hot key's, however it was learnt of.
    ctrlOfHotKey_ = true;
    held_[kCtrl] = false;
}

void TKeyFilter::Stop() noexcept {
    mode_ = TMode::Off;
    held_.reset();
    ctrlOfHotKey_ = false;
    caught_.reset();
}

void TKeyFilter::StartWithHeld(const std::function<bool(UINT)>& held) {
    constexpr UINT kKeys[kModifiers][2] = {
        {VK_LSHIFT, VK_RSHIFT}, {VK_LCONTROL, VK_RCONTROL}, {VK_LMENU, VK_RMENU}, {VK_LWIN, VK_RWIN}};
    for (int modifier = 0; modifier < kModifiers; ++modifier)
        held_[modifier] = held(kKeys[modifier][0]) || held(kKeys[modifier][1]);
}

std::optional<TKeyFilter::TModifier> TKeyFilter::ModifierOf(UINT virtualKey) noexcept {
    switch (virtualKey) {
        case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return kShift;
        case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return kCtrl;
        case VK_MENU: case VK_LMENU: case VK_RMENU: return kAlt;
        case VK_LWIN: case VK_RWIN: return kWin;
        default: return std::nullopt;
    }
}

// The hot key is Ctrl and its letter alone, as it was registered.
bool TKeyFilter::IsHotKey(UINT virtualKey, const TAsk& ask) const {
    return hotKey_ != 0 && virtualKey == hotKey_ && !held_[kShift] && !held_[kAlt] && !held_[kWin] &&
           (CtrlDown() || ask.ctrlDown());
}

TKeyFilter::TVerdict TKeyFilter::Key(WPARAM message, UINT virtualKey, UINT scanCode, const TAsk& ask) {
    const UINT vk = virtualKey & 0xFF;
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (const std::optional<TModifier> modifier = ModifierOf(vk)) {
        // A held key repeats its press: the Ctrl of the hot key stays the hot key's.
        if (down && !(*modifier == kCtrl && ctrlOfHotKey_)) held_[*modifier] = true;
        if (!down) {
            held_[*modifier] = false;
            if (*modifier == kCtrl) ctrlOfHotKey_ = false;
        }
        return {};
    }
    if (!down) {
        const bool ours = caught_[vk];
        caught_[vk] = false;
        return {.eat = ours};
    }
    return Press(vk, scanCode, ask);
}

TKeyFilter::TVerdict TKeyFilter::Press(UINT vk, UINT scanCode, const TAsk& ask) {
    const bool hotKey = IsHotKey(vk, ask);
    if (mode_ == TMode::Watching && hotKey) {
        Catch(true);
        return {.nextLauncher = true};  // the key itself goes on to be the hot key
    }
    if (mode_ != TMode::Catching) return {};
    if (hotKey) return {.hotKey = true};  // the key itself goes on to be the hot key
    // With Ctrl, Alt or the Windows key pressed on purpose the key is another program's.
    if (held_[kCtrl] || held_[kAlt] || held_[kWin]) return {};
    const std::optional<UINT> key = LauncherKeyOfPress(vk, scanCode);
    if (!key || ask.anotherOfOursInFront()) return {};
    caught_[vk] = true;
    // After Escape the keys are for the window the launcher gives the keyboard back to.
    if (*key == VK_ESCAPE) mode_ = TMode::Watching;
    return {.eat = true, .key = key};
}
