// The launcher's keys as the hands type them: which key press is a launcher key, and what the
// key catcher does with each key event while a launcher is asked for, open or closing.
#pragma once

#include <windows.h>

#include <bitset>
#include <functional>
#include <optional>

constexpr UINT WM_LAUNCHERKEY = WM_USER + 0x66;  // wParam: a launcher key (below), or the mark:
// the launcher's hot key was typed here, among the launcher's keys.
constexpr UINT kLauncherHotKeyMark = 0xFFFF;

// The launcher key of a key press: '0'..'9' and 'A'..'Z' as themselves, the keypad's digits as
// digits, VK_RETURN and VK_ESCAPE; a key taken by an input method (VK_PROCESSKEY) as the key
// behind it, from its scan code. Other keys: none.
std::optional<UINT> LauncherKeyOfPress(UINT virtualKey, UINT scanCode);
// The key text of a typed character: full-width letters, digits and signs as their ASCII
// forms, then a to z upper-cased; other characters as they are.
wchar_t LauncherKeyOfChar(wchar_t character) noexcept;

// The decisions of the key catcher, one key event at a time, without calling Windows.
//   Catching: the launcher's keys are kept from every other window and handed to the launcher;
//             a digit or letter typed while the Ctrl of the hot key is still held counts too.
//             The hot key typed again is told of: the keys before it may close this launcher.
//   Watching: the launcher is leaving; nothing is caught, but the launcher's hot key typed now
//             begins Catching for the next launcher (its keys must not reach the program
//             just started).
// Modifiers are known from the events themselves: which ones are held when the filter starts
// is told to it.
class TKeyFilter {
public:
    enum class TMode { Off, Catching, Watching };
    struct TVerdict {
        bool eat = false;              // kept from every other window
        std::optional<UINT> key;       // a launcher key for the launcher
        bool nextLauncher = false;     // the hot key began catching for the next launcher
        bool hotKey = false;           // the hot key, typed while catching
    };

    // hotKey: the virtual key that with Ctrl is the launcher's hot key (0: none).
    explicit TKeyFilter(UINT hotKey = 0) noexcept : hotKey_(hotKey) {}

    // Catching from now on; ctrlOfHotKey: the user asked by the hot key, whose Ctrl may be held.
    void Catch(bool ctrlOfHotKey) noexcept;
    void Watch() noexcept { mode_ = TMode::Watching; }
    void Stop() noexcept;
    // The modifiers held when the hook was set (virtual keys), before any event was seen.
    void StartWithHeld(const std::function<bool(UINT virtualKey)>& held);
    TMode Mode() const noexcept { return mode_; }

    // What the filter asks of the window system, only where a decision needs it.
    struct TAsk {
        // A box or dialog of this program is in front: it takes its keys the usual way.
        std::function<bool()> anotherOfOursInFront;
        // The window system holds Ctrl down: the hot key's letter is then the hot key, which must
        // pass, whatever events were seen (under Wine a Ctrl pressed while the keyboard moved
        // between programs comes as a state, not as an event).
        std::function<bool()> ctrlDown;
    };
    // One event of the keyboard (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP).
    TVerdict Key(WPARAM message, UINT virtualKey, UINT scanCode, const TAsk& ask);

private:
    enum TModifier { kShift, kCtrl, kAlt, kWin, kModifiers };
    static std::optional<TModifier> ModifierOf(UINT virtualKey) noexcept;
    bool CtrlDown() const noexcept { return held_[kCtrl] || ctrlOfHotKey_; }
    bool IsHotKey(UINT virtualKey, const TAsk& ask) const;
    TVerdict Press(UINT virtualKey, UINT scanCode, const TAsk& ask);

    UINT hotKey_;
    TMode mode_ = TMode::Off;
    std::bitset<kModifiers> held_;
    bool ctrlOfHotKey_ = false;   // the Ctrl pressed for the hot key, not released since
    std::bitset<256> caught_;     // keys whose press was caught: their release is the launcher's too
};
