#include "launcher/Main.hpp"

#include <imm.h>
#include <shellapi.h>

#include <algorithm>

#include "data/clsShellIniFiles.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/ShellApi.hpp"

TfmShow::TfmShow(HWND owner, HWND previous, TKeyCatcher* keys)
    : previousForeground_(previous), ownKeys_(keys ? nullptr : std::make_unique<TKeyCatcher>()),
      keys_(keys ? keys : ownKeys_.get()) {
    if (ownKeys_) ownKeys_->Catch(false);
    CreateFormWindow({.className = L"TfmShow", .caption = L"Kestrum", .style = WS_POPUP | WS_CLIPCHILDREN,
                      .exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW, .owner = owner});
    FormCreate();
    keys_->DeliverTo(Handle());
}

TfmShow::~TfmShow() {
    // What reads the displays goes first, the displays before their panels.
    accessibility_.reset();
    itemDisplay_.reset();
    groupDisplay_.reset();
}

TLauncherPlace LauncherPlace(int width, int height, int groupWidth, int dpi, const RECT& workArea) {
    constexpr int kMinWidth = 160, kMinHeight = 120, kMinPanel = 40;
    auto fit = [](int value, int low, int high) { return std::max(std::min(value, high), std::min(low, high)); };
    const int w = fit(ScaleToDpi(width, dpi), ScaleToDpi(kMinWidth, dpi), workArea.right - workArea.left);
    const int h = fit(ScaleToDpi(height, dpi), ScaleToDpi(kMinHeight, dpi), workArea.bottom - workArea.top);
    const int panel = ScaleToDpi(kMinPanel, dpi);
    return {{workArea.left, workArea.top, workArea.left + w, workArea.top + h},
            fit(ScaleToDpi(groupWidth, dpi), panel, w - panel)};
}

std::wstring FirstRunHint(const std::wstring& optionKey) {
    if (const std::optional<UINT> key = HotKeyCode(optionKey))
        return L"Ctrl+" + std::wstring(1, static_cast<wchar_t>(*key)) + L" のｵﾌﾟｼｮﾝ画面でグループと項目を追加できます";
    return L"通知領域のｱｲｺﾝのｵﾌﾟｼｮﾝ画面でグループと項目を追加できます";
}

void TfmShow::FormCreate() {
    TEmvData settings;
    LoadEmvData(settings);
    // The sizes are 96-DPI units: the same share of the screen at any scaling.
    const TLauncherPlace place =
        LauncherPlace(settings.WinWidth, settings.WinHeight, settings.GrpWinWidth, Dpi(), WorkAreaOf(nullptr));
    SetBounds(place.bounds.left, place.bounds.top, place.bounds.right - place.bounds.left,
              place.bounds.bottom - place.bounds.top);

    pnLeftParent = std::make_unique<TPanel>(this, TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                 .align = TAlign::alLeft});
    pnLeftParent->SetWidth(place.groupWidth);
    pnLeft = std::make_unique<TPanel>(pnLeftParent.get(), TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                         .bevelInner = TBevelCut::bvRaised,
                                                                         .align = TAlign::alClient});
    pnCle = std::make_unique<TPanel>(this, TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                          .bevelInner = TBevelCut::bvRaised,
                                                          .align = TAlign::alClient});
    Realign();

    groupDisplay_ = std::make_unique<TKestrum>(pnLeft.get());
    SetUpDisplay(*groupDisplay_, settings, TDisplayKind::Groups, 1);
    groupDisplay_->SetOnSelectChange([this](int index) { OnGroupSelectChangeAfter(index); });

    itemDisplay_ = std::make_unique<TKestrum>(pnCle.get());
    SetUpDisplay(*itemDisplay_, settings, TDisplayKind::Items, 1);
    itemDisplay_->SetOnSelectChange([this](int index) { OnItemSelectChangeAfter(index); });

    groupDisplay_->LoadLines(0);
    if (groupDisplay_->EntryCount() == 0) itemDisplay_->LoadText(FirstRunHint(settings.OptionKey));
    accessibility_ = std::make_unique<TLauncherAccessibility>(Handle(), *groupDisplay_, *itemDisplay_);
}

void TfmShow::FormShow() {
    groupDisplay_->OpenScreenCanvas();
    itemDisplay_->OpenScreenCanvas();
    // The snapshot is of what the window is about to cover.
    groupDisplay_->DrawBackground();
    itemDisplay_->DrawBackground();
    // Keys reach the window as plain characters, not as input to a Japanese input method.
    ::ImmAssociateContext(Handle(), nullptr);
    // No foreground call yet: a window made foreground while hidden never gets the keyboard
    // focus of the window system when it appears (under Wine the keys then go elsewhere). The
    // modal showing takes the foreground once the window is visible, and so does UserActive.
    ::PostMessageW(Handle(), WM_USERACTIVE, 0, 0);
}

void TfmShow::UserActive() {
    if (leaving_) return;
    // Windows may refuse the foreground (the right to take it was used up): a top-most window
    // that cannot get the keys would only sit in the way.
    if (!TakeForeground(Handle())) {
        Leave();
        return;
    }
    AskForFocus();
    groupDisplay_->StartTyping();
    itemDisplay_->StartTyping();
}

LRESULT TfmShow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) KeyFromWindowSystem();
    switch (msg) {
        case WM_USERACTIVE: UserActive(); return 0;
        case WM_TAKEKEYBOARDBACK: TakeKeyboardBack(); return 0;
        case WM_LAUNCHERKEY: LauncherKey(static_cast<UINT>(wParam)); return 0;
        case WM_KEYDOWN: FormKeyDown(static_cast<UINT>(wParam)); return 0;
        case WM_CHAR: FormKeyPress(static_cast<wchar_t>(wParam)); return 0;
        case WM_KILLFOCUS: WMKillFocus(reinterpret_cast<HWND>(wParam)); return 0;
        // Either may come while the window is still being made, before the displays exist.
        case WM_GETOBJECT:
            if (!accessibility_) return TForm::WndProc(msg, wParam, lParam);
            if (const std::optional<LRESULT> answer = accessibility_->Answer(wParam, lParam)) return *answer;
            return TForm::WndProc(msg, wParam, lParam);
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            if (accessibility_) {  // made last
                groupDisplay_->FollowSystemLook(msg);
                itemDisplay_->FollowSystemLook(msg);
            }
            return TForm::WndProc(msg, wParam, lParam);
        case WM_TIMER:
            if (wParam != kFocusTimer) return TForm::WndProc(msg, wParam, lParam);
            AskForFocusAgain();
            return 0;
        default: return TForm::WndProc(msg, wParam, lParam);
    }
}

// Under Wine the window system takes a focus request only when the request's time stamp lies
// between the last focus change and the X server's clock, and Wine guesses that clock per
// process, a tick or so off; a request that lands in the "future" is dropped and the keys keep
// going to the window that had them (the task bar after a click on the tray icon). Asking again
// over the first few timer ticks gets one through. On Windows the focus is the launcher's from
// the first request, and moving it to the launcher's own panel and back changes nothing.
void TfmShow::AskForFocusAgain() {
    if (--focusRequestsLeft_ <= 0) ::KillTimer(Handle(), kFocusTimer);
    if (leaving_ || ::GetForegroundWindow() != Handle()) return;
    ::SetFocus(pnLeft->Handle());
    ::SetFocus(Handle());
}

void TfmShow::AskForFocus() {
    ::SetFocus(Handle());
    focusRequestsLeft_ = kFocusRequests;
    ::SetTimer(Handle(), kFocusTimer, USER_TIMER_MINIMUM, nullptr);
}

void TfmShow::WMKillFocus(HWND newFocus) {
    // The focus moving inside the launcher is not a loss of the keyboard.
    if (newFocus && ::IsChild(Handle(), newFocus)) return;
    // Another program's window: decided once this message has returned, with the change of the
    // foreground done.
    if (!newFocus && !leaving_) {
        ::PostMessageW(Handle(), WM_TAKEKEYBOARDBACK, 0, 0);
        return;
    }
    Leave();  // the keys are for the window the user went to
}

// A program an earlier start brought up may show its first window only now, over the launcher
// the user asked for after that start: the launcher is not left for it, and its keys are caught
// again meanwhile, as from the hot key on. Any other window in front is where the user went.
void TfmShow::TakeKeyboardBack() {
    const HWND front = ::GetForegroundWindow();
    if (leaving_ || front == Handle()) return;
    if (!IsWindowOfProgramJustStarted(front)) {
        Leave();
        return;
    }
    keys_->Catch(false);
    keys_->DeliverTo(Handle());
    handedOver_ = false;
    if (!TakeForeground(Handle())) {
        Leave();
        return;
    }
    AskForFocus();
}

// A key came the window system's way: the keyboard is the launcher's, no catching is needed.
void TfmShow::KeyFromWindowSystem() {
    if (!std::exchange(handedOver_, true) && !leaving_) keys_->HandOver();
}

void TfmShow::Leave() {
    if (std::exchange(leaving_, true)) return;
    keys_->Release();
    if (OnLeave) OnLeave();
    Close();
}

void TfmShow::LauncherKey(UINT key) {
    // The hot key typed among the keys changes nothing while the launcher stays open; once it
    // is leaving, the keys after it are the next launcher's.
    if (key == kLauncherHotKeyMark) {
        if (!leaving_) keys_->Resume();
        return;
    }
    if (key == VK_ESCAPE || key == VK_RETURN) FormKeyDown(key);
    else FormKeyPress(static_cast<wchar_t>(key));
}

// Escape hands the keyboard back to the window that had it before the launcher was asked for;
// that window's program puts the focus back where it was (its edit, with the caret). Done while
// a window of this program is in front (only the program in front may bring another one
// forward), as the first thing on the key, so the keys typed after it go there. Windows of this
// program are activated again by the end of the modal showing.
void TfmShow::GiveKeyboardBack() {
    const HWND previous = previousForeground_;
    if (!previous || !::IsWindow(previous) || !::IsWindowVisible(previous) || ::GetForegroundWindow() == previous)
        return;
    if (!IsOwnProcessWindow(previous)) ::SetForegroundWindow(previous);
}

void TfmShow::FormKeyDown(UINT key) {
    if (leaving_) return;  // typed after Escape, for the window the keyboard went back to
    if (key == VK_ESCAPE) {
        GiveKeyboardBack();
        Leave();
    } else if (key == VK_RETURN) {
        groupDisplay_->DrawAllLines();
        itemDisplay_->DrawAllLines();  // the items of the group selected, or the first run's line
    }
}

void TfmShow::FormKeyPress(wchar_t character) {
    if (leaving_) return;
    const std::wstring key(1, LauncherKeyOfChar(character));
    if (const int group = groupDisplay_->FindKey(key); group >= 0) {
        groupDisplay_->EraseLines();
        groupDisplay_->SelectLine(group);
        groupDisplay_->DrawAllLines();
    } else if (const int item = itemDisplay_->FindKey(key); item >= 0) {
        itemDisplay_->SelectLine(item);
        groupDisplay_->StopTyping();
        itemDisplay_->StopTyping();
        Close();
    }
}

void TfmShow::OnGroupSelectChangeAfter(int index) {
    itemDisplay_->SelectLine(-1);
    itemDisplay_->LoadLines(index + 1);
    itemDisplay_->StartTyping();
    accessibility_->GroupPicked(index);
}

void TfmShow::OnItemSelectChangeAfter(int) {
    const int group = groupDisplay_->SelectIndex, item = itemDisplay_->SelectIndex;
    TItemInfo info;
    TShellIniFile().ReadItemInfo(group + 1, item + 1, info);
    chosen_ = std::move(info);
    Leave();  // keys typed from now on are for the program started, the failure's box or a next launcher
}

void TfmShow::Run() {
    ShowModal();
    if (chosen_) ExecFile(chosen_->FileName, chosen_->Param, chosen_->DirName);
}
