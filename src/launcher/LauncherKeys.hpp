// The launcher's keys as the hands type them. From the moment the launcher is asked for, a
// low-level keyboard hook catches its keys (digits, letters, Enter, Escape) in order, so keys
// typed before its window is on the screen, or while the window system still gives the
// keyboard to the window that had it, reach the launcher and nowhere else; and they are taken
// by the key pressed, so a Japanese input method in its composing mode never turns them into
// composition. Keys held with Ctrl, Alt or the Windows key pass by.
#pragma once

#include <windows.h>

#include <bitset>
#include <functional>
#include <optional>
#include <vector>

#include "toolkit/Handles.hpp"

constexpr UINT WM_LAUNCHERKEY = WM_USER + 0x66;  // wParam: a launcher key (below)

// The launcher key of a key press: '0'..'9' and 'A'..'Z' as themselves, the keypad's digits as
// digits, VK_RETURN and VK_ESCAPE; a key taken by an input method (VK_PROCESSKEY) as the key
// behind it, from its scan code. Other keys: none.
std::optional<UINT> LauncherKeyOfPress(UINT virtualKey, UINT scanCode);
// The key text of a typed character: full-width letters, digits and signs as their ASCII
// forms, then a to z upper-cased; other characters as they are.
wchar_t LauncherKeyOfChar(wchar_t character) noexcept;

class TTypeAhead {
public:
    // Starts catching (when the hook cannot be set, keys take the window system's way).
    TTypeAhead();
    ~TTypeAhead();
    TTypeAhead(const TTypeAhead&) = delete;
    TTypeAhead& operator=(const TTypeAhead&) = delete;

    // Posts each key caught to the window as WM_LAUNCHERKEY, the ones caught so far first.
    // onEscape runs as Escape is caught, before the next key is: what it brings to the front
    // gets the keys typed after Escape, which are no longer caught.
    void DeliverTo(HWND window, std::function<void()> onEscape);
    // Stops catching: later keys go wherever the window system sends them (to a box that
    // reports a failed start, to the program started).
    void Stop() noexcept;

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM info);
    // True when the key is the launcher's: it is then kept from every other window.
    bool Catch(WPARAM message, const KBDLLHOOKSTRUCT& key);
    void Deliver(UINT launcherKey);
    bool AnotherOfOurWindowsInFront() const;

    static TTypeAhead* catching_;  // the hook's object; one launcher is open at a time
    std::function<void()> onEscape_;
    bool escaped_ = false;
    HWND startForeground_;  // the window in front when the launcher was asked for
    UniqueHhook hook_;
    HWND target_ = nullptr;
    std::vector<UINT> caught_;  // before there is a window to post to
    std::bitset<256> pressed_;  // keys whose press was caught: their release is theirs too
};
