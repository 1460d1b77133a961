// The launcher window: groups on the left, the items of the selected group on the right; a
// digit selects a group, a letter starts an item through the shell.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "display/DisplaySetUp.hpp"
#include "launcher/Launch.hpp"
#include "launcher/KeyCatcher.hpp"
#include "launcher/LauncherAccessible.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Forms.hpp"

constexpr UINT WM_USERACTIVE = WM_USER + 0x65;  // posted to itself once it is on the screen
constexpr UINT WM_TAKEKEYBOARDBACK = WM_USER + 0x68;  // posted to itself: see WMKillFocus

// Where the launcher goes: its sizes from the settings (96-DPI units) at the DPI, at the work
// area's top-left corner, never larger than the work area (it would run off the screen) nor
// smaller than a usable launcher (a width of 0 would show nothing and take the keyboard); the
// group panel likewise, leaving both panels usable. The settings keep the numbers as typed.
struct TLauncherPlace {
    RECT bounds;
    int groupWidth;
};
TLauncherPlace LauncherPlace(int width, int height, int groupWidth, int dpi, const RECT& workArea);

// The line a launcher without groups shows: where groups and items are added, through the options
// hot key when the setting names one, else through the tray icon's command.
std::wstring FirstRunHint(const std::wstring& optionKey);

class TfmShow : public TForm {
public:
    // previous: the window that had the keyboard when the launcher was asked for, which Escape
    // gives it back to.
    // keys: the catcher that catches the launcher's keys since the user asked for it (none: a
    // catcher of its own, catching from now on).
    explicit TfmShow(HWND owner, HWND previous = ::GetForegroundWindow(), TKeyCatcher* keys = nullptr);
    ~TfmShow() override;

    // Shows the launcher modally until it closes; the item chosen then starts, with the launcher
    // off the screen: a program's first window takes the foreground from no window of ours.
    void Run();
    // Closes the launcher without starting anything; OnLeave is told first.
    void Leave();
    std::function<void()> OnLeave;

    TKestrum& GroupDisplay() noexcept { return *groupDisplay_; }
    TKestrum& ItemDisplay() noexcept { return *itemDisplay_; }
    TPanel& LeftParentPanel() noexcept { return *pnLeftParent; }

    void FormKeyDown(UINT key);
    void FormKeyPress(wchar_t character);
    void OnGroupSelectChangeAfter(int index);
    void OnItemSelectChangeAfter(int index);

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;

private:
    void FormCreate();
    void UserActive();
    void AskForFocusAgain();
    void WMKillFocus(HWND newFocus);
    void LauncherKey(UINT key);
    void KeyFromWindowSystem();
    void TakeKeyboardBack();
    void AskForFocus();
    void GiveKeyboardBack();

    HWND previousForeground_;
    std::optional<TItemInfo> chosen_;  // to start once the launcher is off the screen
    bool leaving_ = false;  // closing: keys and focus are no longer its business
    bool handedOver_ = false;
    // Made in the constructor's list, so the keys are caught from before the window exists.
    std::unique_ptr<TKeyCatcher> ownKeys_;
    TKeyCatcher* keys_;

    static constexpr UINT_PTR kFocusTimer = 1;
    static constexpr int kFocusRequests = 15;
    int focusRequestsLeft_ = 0;

    std::unique_ptr<TPanel> pnLeftParent;
    std::unique_ptr<TPanel> pnLeft;
    std::unique_ptr<TPanel> pnCle;
    std::unique_ptr<TKestrum> groupDisplay_;
    std::unique_ptr<TKestrum> itemDisplay_;
    std::unique_ptr<TLauncherAccessibility> accessibility_;  // reads the displays
};
