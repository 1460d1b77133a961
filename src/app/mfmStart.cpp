#include "app/mfmStart.hpp"

#include <shellapi.h>

#include "app/RunningCopy.hpp"
#include "data/comFunc.hpp"
#include "launcher/Environment.hpp"
#include "launcher/Main.hpp"
#include "options/fmOpt.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Module.hpp"
#include "toolkit/ShellApi.hpp"

TfmMain* fmMain = nullptr;

namespace {

const wchar_t kHotKeyFailed[] = L"ホットキーが設定できません。終了します";
const wchar_t kAtomFailed[] = L"ホットキー用の登録準備に失敗しました";

// The shell broadcasts this when the notification area is created anew (after a restart of
// the shell); icons must then be added again.
UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

HotKeyRegistrar& Registrar() {
    static HotKeyRegistrar registrar;
    return registrar;
}

BOOL RegisterOneKey(HWND wnd, int id, UINT modifiers, UINT key) {
    return Registrar() ? Registrar()(wnd, id, modifiers, key) : ::RegisterHotKey(wnd, id, modifiers, key);
}

NotifyIconCaller& NotifyCaller() {
    static NotifyIconCaller caller;
    return caller;
}

BOOL CallNotifyIcon(DWORD message, NOTIFYICONDATAW* data) {
    return NotifyCaller() ? NotifyCaller()(message, data) : ::Shell_NotifyIconW(message, data);
}

}  // namespace

void SetNotifyIconCallerForTests(NotifyIconCaller caller) { NotifyCaller() = std::move(caller); }

void SetHotKeyRegistrarForTests(HotKeyRegistrar registrar) { Registrar() = std::move(registrar); }

UINT HandleCountMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Kestrum.HandleCount");
    return message;
}

TfmMain::TfmMain() {
    CreateFormWindow({.className = L"TfmMain",
                      .caption = L"Kestrum",
                      .style = WS_POPUP,
                      .exStyle = WS_EX_TOOLWINDOW,
                      .left = 0, .top = 0, .width = 0, .height = 0,
                      .icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1))});
    ppmMenu = std::make_unique<TPopupMenu>(Handle(), std::vector<TMenuItem>{
        {L"Display1", L"ﾗﾝﾁｬｰ表示(&V)", [this] { Display1Click(); }},
        {L"N1", L"-", nullptr},
        {L"N3", L"ｵﾌﾟｼｮﾝ画面", [this] { N3Click(); }},
        {L"VER0981", L"Version : 0.9.8", nullptr},
        {L"N2", L"-", nullptr},
        {L"CLOSE1", L"終了(&X)", [this] { CLOSE1Click(); }},
    });
    TaskbarCreatedMessage();
    // A second start of the program asks through this message, also from less rights.
    ::ChangeWindowMessageFilterEx(Handle(), ShowOptionsMessage(), MSGFLT_ALLOW, nullptr);
    FormCreate();
}

TfmMain::~TfmMain() { FormDestroy(); }

void TfmMain::FormCreate() { ::PostMessageW(Handle(), WM_STARTUP, 1, 0); }

void TfmMain::FormDestroy() noexcept {
    UnSetHotKey();
    CloseNotifyIcon(1);
    NotifyIconData.reset();
    trayIcon_.reset();
}

LRESULT TfmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_STARTUP: StartUp(); return 0;
        case WM_TRAYNOTIFY: TrayNotify(static_cast<UINT>(lParam)); return 0;
        case WM_HOTKEY: WMHotKey(static_cast<int>(wParam)); return 0;
        case WM_NEXTLAUNCHER: Request(TResidentRequest::Launcher, true); return 0;
        case WM_TIMER:
            if (wParam != kTrayRetryTimer || !NotifyIconData) return TForm::WndProc(msg, wParam, lParam);
            ShowTrayIcon();
            return 0;
        case WM_SETTINGCHANGE:
            if (IsEnvironmentChange(reinterpret_cast<const wchar_t*>(lParam))) RefreshEnvironment();
            return TForm::WndProc(msg, wParam, lParam);
        default:
            if (msg == TaskbarCreatedMessage() && NotifyIconData) {
                ShowTrayIcon();
                return 0;
            }
            if (msg == ShowOptionsMessage()) {
                if (resident_) Request(TResidentRequest::Options, false);
                return 0;
            }
            if (msg == HandleCountMessage())
                return wParam < static_cast<WPARAM>(HandleKind::Count) ? HandleCount(static_cast<HandleKind>(wParam)) : -1;
            return TForm::WndProc(msg, wParam, lParam);
    }
}

void TfmMain::StartUp() {
    AddNotifyIcon();
    if (!SetHotKey()) {
        Close();  // ends the program, without the exit question
        return;
    }
    resident_ = true;
    NoteStoredEnvironment();
}

void TfmMain::AddNotifyIcon() {
    std::wstring exe = ExePath();
    exe.resize(std::max<size_t>(exe.size() + 1, MAX_PATH));  // the call may write into it
    WORD index = 0;
    trayIcon_.reset(::ExtractAssociatedIconW(::GetModuleHandleW(nullptr), exe.data(), &index));

    auto data = std::make_unique<NOTIFYICONDATAW>();
    data->cbSize = NOTIFYICONDATAW_V1_SIZE;
    data->hWnd = Handle();
    data->uID = 1;
    data->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data->uCallbackMessage = WM_TRAYNOTIFY;
    data->hIcon = trayIcon_.get();
    wcsncpy(data->szTip, L"Kestrum", 63);
    NotifyIconData = std::move(data);
    // The shell announces itself when it comes (TaskbarCreated); an elevated Kestrum must let
    // that message through from the shell, which runs with less rights.
    ::ChangeWindowMessageFilterEx(Handle(), TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    ShowTrayIcon();  // a failure leaves the hot keys working
}

void TfmMain::ShowTrayIcon() {
    // A refused add may still have put the icon there (the shell answered late), or it was
    // there already (the shell announces itself again on a change of the display or a remote
    // session): the icon is there when the shell takes a change of it.
    if (CallNotifyIcon(NIM_ADD, NotifyIconData.get()) || CallNotifyIcon(NIM_MODIFY, NotifyIconData.get())) {
        ::KillTimer(Handle(), kTrayRetryTimer);
        return;
    }
    ::SetTimer(Handle(), kTrayRetryTimer, 1000, nullptr);
}

void TfmMain::CloseNotifyIcon(UINT id) {
    if (!NotifyIconData) return;
    NotifyIconData->cbSize = NOTIFYICONDATAW_V1_SIZE;
    NotifyIconData->hWnd = Handle();
    NotifyIconData->uID = id;
    ::KillTimer(Handle(), kTrayRetryTimer);
    CallNotifyIcon(NIM_DELETE, NotifyIconData.get());
}

bool TfmMain::RegisterOneHotKey(int id, const wchar_t* atomName, const std::wstring& setting) {
    UniqueAtom atom(::GlobalAddAtomW(atomName));
    if (!atom) {
        ShowMessage(kAtomFailed, MB_TOPMOST);
        return false;
    }
    hotKeyAtoms_.push_back(std::move(atom));
    std::optional<UINT> key = HotKeyCode(setting);
    // No auto-repeat: a held Ctrl+Y would otherwise stack options dialogs whose saves overwrite
    // each other (Windows 7 and later; older systems refuse the flag, so it is tried without).
    if (!key || (!RegisterOneKey(Handle(), id, MOD_CONTROL | MOD_NOREPEAT, *key) &&
                 !RegisterOneKey(Handle(), id, MOD_CONTROL, *key))) {
        // In front of everything, also of the top-most launcher of a Kestrum already running.
        ShowMessage(kHotKeyFailed, MB_TOPMOST);
        return false;
    }
    hotKeys_[id - 1] = HotKeyRegistration(Handle(), id);
    if (id == kLauncherHotKeyId) keys_ = std::make_unique<TKeyCatcher>(*key, Handle());
    return true;
}

bool TfmMain::SetHotKey() {
    TEmvData settings;
    LoadEmvData(settings);
    // The second key is not tried when the first one failed.
    return RegisterOneHotKey(kLauncherHotKeyId, L"Zorvik001HotKey", settings.MainKey) &&
           RegisterOneHotKey(kOptionsHotKeyId, L"Zorvik002HotKey", settings.OptionKey);
}

bool TfmMain::UnSetHotKey() {
    bool released = true;
    for (HotKeyRegistration& hotKey : hotKeys_)
        if (hotKey && !hotKey.Unregister()) released = false;
    if (!released) ShowMessage(kHotKeyFailed);
    hotKeyAtoms_.clear();
    return released;
}

void TfmMain::TrayNotify(UINT mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDBLCLK: Request(TResidentRequest::Launcher, false); break;
        // A second right click soon after the first comes as a double click: it too wants the menu.
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: {
            userWindow_ = ::GetForegroundWindow();  // the menu takes the foreground
            POINT pt{};
            ::GetCursorPos(&pt);
            ppmMenu->Popup(pt.x, pt.y);
            break;
        }
        default: break;  // a single click does nothing
    }
}

void TfmMain::WMHotKey(int id) {
    if (id == kLauncherHotKeyId) Request(TResidentRequest::Launcher, true);
    else Request(TResidentRequest::Options, false);
}

TKeyCatcher& TfmMain::Keys() {
    if (!keys_) keys_ = std::make_unique<TKeyCatcher>(0, Handle());  // asked before the hot keys were set
    return *keys_;
}

void TfmMain::TakeForegroundForUser() {
    userWindow_ = ::GetForegroundWindow();
    if (!IsOwnProcessWindow(userWindow_)) ::SetForegroundWindow(Handle());  // ours in front already: kept
}

namespace {
// A window of ours that is up already comes to the front, with the box it may be showing.
void BringToFront(HWND window) {
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(window));
}
}  // namespace

void TfmMain::Request(TResidentRequest request, bool byHotKey) {
    const TResidentAction action = state_.Request(request);
    // The launcher's keys are caught first of all, before anything slower.
    const bool launcherWanted = request == TResidentRequest::Launcher && action != TResidentAction::Nothing &&
                                action != TResidentAction::FrontBox;
    if (launcherWanted) Keys().Catch(byHotKey);
    switch (action) {
        case TResidentAction::Nothing: return;
        case TResidentAction::LeaveLauncher:
            if (launcher_) launcher_->Leave();
            [[fallthrough]];
        case TResidentAction::AfterLauncher:
            if (launcherWanted) TakeForegroundForUser();
            return;
        case TResidentAction::OpenLauncher:
        case TResidentAction::OpenOptions:
            TakeForegroundForUser();
            [[fallthrough]];
        default: Open(action);
    }
}

void TfmMain::Open(TResidentAction action) {
    while (action != TResidentAction::Nothing) {
        switch (action) {
            case TResidentAction::OpenLauncher:
                RunLauncher();
                action = state_.LauncherClosed();
                if (action != TResidentAction::OpenLauncher) Keys().Stop();
                break;
            case TResidentAction::OpenOptions: {
                state_.OptionsOpened();
                ScopeExit closed([this] { state_.OptionsClosed(); });
                RunOptionsDialog();
                action = TResidentAction::Nothing;
                break;
            }
            case TResidentAction::FrontOptions:
                if (options_) BringToFront(options_->Handle());
                action = TResidentAction::Nothing;
                break;
            case TResidentAction::FrontBox:
                BringToFront(Handle());
                action = TResidentAction::Nothing;
                break;
            default: action = TResidentAction::Nothing; break;
        }
    }
}

// Whatever way the showing ends, also by an error, the launcher counts as closed and no key is
// caught for it any more.
void TfmMain::RunLauncher() {
    state_.LauncherOpened();
    try {
        // A program the last start brought up takes the foreground with its first window: the
        // launcher comes after that window, not under it (its keys are caught meanwhile).
        Application->ProcessMessagesWhile([this] { return !state_.LauncherClosing() && StartedProgramComing(); });
        if (state_.LauncherClosing()) return;  // the options were asked for meanwhile
        RunLauncherWindow();
    } catch (...) {
        state_.LauncherClosed();
        Keys().Stop();
        throw;
    }
}

void TfmMain::CLOSE1Click() {
    state_.BoxOpened();
    ScopeExit closed([this] { state_.BoxClosed(); });
    if (MessageDlg(L"終了してもよろしいですか？", TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        Close();
}

void TfmMain::RunLauncherWindow() {
    TfmShow launcher(Handle(), userWindow_, &Keys());
    launcher.OnLeave = [this] { state_.LauncherLeaving(); };
    launcher_ = &launcher;
    ScopeExit gone([this] { launcher_ = nullptr; });
    launcher.Run();
}

void TfmMain::RunOptionsDialog() {
    TfmOption options(Handle());
    options_ = &options;
    ScopeExit gone([this] { options_ = nullptr; });
    options.ShowModal();
}
