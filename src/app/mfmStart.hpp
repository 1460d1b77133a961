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

#include "launcher/LauncherKeys.hpp"
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

class TfmMain : public TForm {
public:
    TfmMain();
    ~TfmMain() override;

    bool SetHotKey();
    bool UnSetHotKey();
    void CloseNotifyIcon(UINT id);
    void ShowDisplay();

    // Menu and message handlers.
    void Display1Click() { ShowDisplay(); }
    void N3Click() { OpenOptions(); }
    void CLOSE1Click();

    int ShowCount() const noexcept { return FShowCount; }
    TPopupMenu& PopupMenu() noexcept { return *ppmMenu; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Create the window, show it modally and destroy it when it closes.
    virtual void RunLauncherWindow();
    // The user asked for a window of ours (hot key, tray): the window in front is noted and
    // the foreground taken while the right to take it is fresh (Windows grants it for the
    // hot key's or the click's message, not after slow work).
    void TakeForegroundForUser();
    // Shows the tray icon; while the shell refuses (not ready yet at logon) a timer tries again.
    void ShowTrayIcon();
    static constexpr UINT_PTR kTrayRetryTimer = 1;
    HWND userWindow_ = nullptr;  // in front when the user asked
    // The launcher's keys, caught from the hot key on, before anything slower; the launcher
    // takes them over.
    std::unique_ptr<TTypeAhead> pendingKeys_;
    virtual void RunOptionsDialog();

private:
    void FormCreate();
    void FormDestroy() noexcept;
    void StartUp();
    void TrayNotify(UINT mouseMessage);
    void WMHotKey(int id);
    void AddNotifyIcon();
    void OpenOptions();
    bool RegisterOneHotKey(int id, const wchar_t* atomName, const std::wstring& setting);

    int FShowCount = 0;
    std::unique_ptr<TPopupMenu> ppmMenu;
    std::unique_ptr<NOTIFYICONDATAW> NotifyIconData;  // from the start-up work to the ending
    UniqueHicon trayIcon_;
    std::vector<UniqueAtom> hotKeyAtoms_;  // every atom added, deleted at the ending
    HotKeyRegistration hotKeys_[2];        // only those that were registered
};

extern TfmMain* fmMain;
