// The resident form: hidden for the whole run, it owns the tray icon with its menu and the two
// global hot keys, and opens the launcher window and the options dialog.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ResidentState.hpp"
#include "launcher/KeyCatcher.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/Menus.hpp"

constexpr UINT WM_STARTUP = WM_USER + 0xA1;     // posted to itself: the start-up work
constexpr UINT WM_TRAYNOTIFY = WM_USER + 0xA2;  // the tray icon's callback message

// Answered by the resident window with the live count of one kind of handle (wParam: the
// HandleKind), so a long-running test can see that nothing leaks.
UINT HandleCountMessage();

// Registers the hot keys in place of RegisterHotKey (tests see the modifiers); nullptr: the system.
using HotKeyRegistrar = std::function<BOOL(HWND, int, UINT modifiers, UINT key)>;
void SetHotKeyRegistrarForTests(HotKeyRegistrar registrar);

// Calls Shell_NotifyIcon in its place (tests make the shell refuse); nullptr: the shell.
using NotifyIconCaller = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;
void SetNotifyIconCallerForTests(NotifyIconCaller caller);

constexpr int kLauncherHotKeyId = 1;
constexpr int kOptionsHotKeyId = 2;

class TfmShow;
class TfmOption;

class TfmMain : public TForm {
public:
    TfmMain();
    ~TfmMain() override;

    bool SetHotKey();
    bool UnSetHotKey();
    void CloseNotifyIcon(UINT id);
    // Opens the launcher window, unless one is open; returns when it has closed.
    void ShowDisplay() { Request(TResidentRequest::Launcher, false); }

    // Menu and message handlers.
    void Display1Click() { ShowDisplay(); }
    void N3Click() { Request(TResidentRequest::Options, false); }
    void CLOSE1Click();

    int ShowCount() const noexcept { return state_.LauncherOpen() ? 1 : 0; }
    TPopupMenu& PopupMenu() noexcept { return *ppmMenu; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Create the window, show it modally and destroy it when it closes.
    virtual void RunLauncherWindow();
    virtual void RunOptionsDialog();
    // Shows the tray icon; while the shell refuses (not ready yet at logon) a timer tries again.
    void ShowTrayIcon();
    static constexpr UINT_PTR kTrayRetryTimer = 1;

private:
    void FormCreate();
    void FormDestroy() noexcept;
    void StartUp();
    void TrayNotify(UINT mouseMessage);
    void WMHotKey(int id);
    void AddNotifyIcon();
    bool RegisterOneHotKey(int id, const wchar_t* atomName, const std::wstring& setting);
    // A window of ours asked for (byHotKey: by the launcher's hot key): the resident's state
    // decides what happens.
    void Request(TResidentRequest request, bool byHotKey);
    // Opens the window, then the ones asked for while it was closing, one after another.
    void Open(TResidentAction action);
    void RunLauncher();
    // The user asked for a window of ours (hot key, tray): the window in front is noted and
    // the foreground taken while the right to take it is fresh (Windows grants it for the
    // hot key's or the click's message, not after slow work).
    void TakeForegroundForUser();
    TKeyCatcher& Keys();

    TResidentState state_;
    bool resident_ = false;      // the start-up work is done: requests of a second start count
    HWND userWindow_ = nullptr;  // in front when the user asked
    TfmShow* launcher_ = nullptr;   // while it is open, not owned
    TfmOption* options_ = nullptr;  // while it is open, not owned
    // The launcher's keys, caught from the hot key on, before anything slower.
    std::unique_ptr<TKeyCatcher> keys_;
    std::unique_ptr<TPopupMenu> ppmMenu;
    std::unique_ptr<NOTIFYICONDATAW> NotifyIconData;  // from the start-up work to the ending
    UniqueHicon trayIcon_;
    std::vector<UniqueAtom> hotKeyAtoms_;  // every atom added, deleted at the ending
    HotKeyRegistration hotKeys_[2];        // only those that were registered
};

extern TfmMain* fmMain;
