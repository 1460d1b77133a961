#include "toolkit/Forms.hpp"

#include <algorithm>
#include <vector>

#include "toolkit/Application.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/Dialogs.hpp"

namespace {

std::function<void(TForm&)>& ModalHook() {
    static std::function<void(TForm&)> hook;
    return hook;
}

// A visible, enabled control with the identifier anywhere in the window.
HWND FindDescendant(HWND window, int id) {
    HWND found = nullptr;
    ForEachChildWindow(window, [&](HWND wnd) {
        if (::GetDlgCtrlID(wnd) != id || !::IsWindowVisible(wnd) || !::IsWindowEnabled(wnd)) return true;
        found = wnd;
        return false;
    });
    return found;
}

}  // namespace

namespace {
std::function<bool(HWND)>& ForegroundTaker() {
    static std::function<bool(HWND)> taker;
    return taker;
}
}  // namespace

bool TakeForeground(HWND wnd) {
    if (ForegroundTaker()) return ForegroundTaker()(wnd);
    return ::SetForegroundWindow(wnd) && ::GetForegroundWindow() == wnd;
}

bool IsOwnProcessWindow(HWND wnd) noexcept {
    DWORD process = 0;
    return wnd && ::GetWindowThreadProcessId(wnd, &process) && process == ::GetCurrentProcessId();
}

void SetForegroundTakerForTests(std::function<bool(HWND)> taker) { ForegroundTaker() = std::move(taker); }

void TForm::CreateFormWindow(const WindowParams& params) {
    WindowParams form = params;
    if (!form.background) form.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Application->PrepareErrorReports();  // on the thread of the forms
    CreateControlWindow(form);
    Font.SetDpi(Dpi());  // the controls take the form's font at the form's scaling
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        Close();
        return 0;
    }
    if (msg == WM_ACTIVATE && dialogKeys_) return DialogActivate(wParam, lParam);
    if (msg == WM_DPICHANGED) {
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    if (msg == WM_COMMAND && lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        // Enter or Esc from the dialog keys: the default or cancel button may sit on a panel,
        // where the dialog manager does not look for it.
        if (HWND button = FindDescendant(Handle(), LOWORD(wParam))) {
            ::SendMessageW(button, BM_CLICK, 0, 0);
            return 0;
        }
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

LRESULT TForm::DialogActivate(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        // Left for another window (a box, a dialog of its own): remember where the focus was.
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) activeControl_ = focus;
        return TWinControl::WndProc(WM_ACTIVATE, wParam, lParam);
    }
    // The default handling focuses the form itself; the focus belongs to a control.
    const LRESULT result = TWinControl::WndProc(WM_ACTIVATE, wParam, lParam);
    if (!::IsIconic(Handle())) FocusActiveControl();
    return result;
}

void TForm::FocusActiveControl() {
    HWND target = activeControl_;
    if (!target || !::IsChild(Handle(), target) || !::IsWindowVisible(target) || !::IsWindowEnabled(target))
        target = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target) ::SetFocus(target);
}

void TForm::Close() {
    if (modal_) {
        ModalResult = mrCancel;
        // The modal loop looks at the result when it takes its next message. A close from a sent
        // message (the loss of the focus to another program's window) arrives inside the wait
        // for one, and no other message may come for a long time.
        ::PostMessageW(Handle(), WM_NULL, 0, 0);
    } else if (Application->MainForm() == this) {
        Application->Terminate();
    } else {
        Hide();
    }
}

int TForm::ShowModal() {
    ModalResult = mrNone;
    // The windows disabled for the showing are enabled again however it ends (also by an
    // error), before the form hides, so activation goes back to the right window.
    // The other windows of the thread are disabled, as Windows does for its own dialogs.
    std::vector<HWND> disabled;
    ScopeExit restore([&] {
        modal_ = false;
        for (HWND wnd : disabled) ::EnableWindow(wnd, TRUE);
        Hide();
    });
    ForEachThreadWindow(::GetCurrentThreadId(), [&](HWND wnd) {
        if (wnd != Handle() && ::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) {
            ::EnableWindow(wnd, FALSE);
            disabled.push_back(wnd);
        }
        return true;
    });
    modal_ = true;
    FormShow();
    Show();
    // Opened by a hot key while another program is in front: the form comes to the front.
    ::SetForegroundWindow(Handle());
    ::SetActiveWindow(Handle());
    if (ModalHook()) ModalHook()(*this);

    MSG msg;
    while (ModalResult == mrNone) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {  // the program is ending: pass the quit on to the outer loop
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            ModalResult = mrCancel;
            break;
        }
        Application->ProcessMessage(msg);
    }
    return ModalResult == mrNone ? mrCancel : ModalResult;
}

void TForm::DpiChanged(int dpi, const RECT& suggested) {
    const int previous = Font.Dpi() ? Font.Dpi() : ScreenDpi();
    if (dpi <= 0 || dpi == previous) return;
    // Compared by value only: the old font is gone once the new one is made.
    const HFONT oldFont = Font.Handle();
    dpi_ = dpi;
    Font.SetDpi(dpi);
    ScaleChildren(previous, dpi, oldFont, Font.Handle());
    RescaleForDpi(previous, dpi);
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TForm::SetModalHookForTests(std::function<void(TForm&)> hook) { ModalHook() = std::move(hook); }

void TForm::SetLeftTop(int left, int top) {
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TForm::TranslateFormKeys(MSG& msg) {
    if (!msg.hwnd || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    auto* form = dynamic_cast<TForm*>(FromHandle(::GetAncestor(msg.hwnd, GA_ROOT)));
    if (!form) return false;
    // A control that holds the mouse (a node being dragged) has the keys: Escape ends the drag
    // there and does not reach the dialog's cancel button.
    if (HWND capture = ::GetCapture(); capture && (capture == form->Handle() || ::IsChild(form->Handle(), capture))) {
        msg.hwnd = capture;
        return false;
    }
    if (form->accelerators_ && ::TranslateAcceleratorW(form->Handle(), form->accelerators_.get(), &msg))
        return true;
    return form->dialogKeys_ && ::IsDialogMessageW(form->Handle(), &msg);
}

void TForm::SetClientSizeCentered(int clientWidth, int clientHeight) {
    RECT rect{0, 0, ScaleToDpi(clientWidth, Dpi()), ScaleToDpi(clientHeight, Dpi())};
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
    AdjustWindowRectForDpi(rect, style, ::GetMenu(Handle()) != nullptr, exStyle, Dpi());
    CenterWithSize(rect.right - rect.left, rect.bottom - rect.top);
}

void TForm::SetSizeCentered(int width, int height) {
    CenterWithSize(ScaleToDpi(width, Dpi()), ScaleToDpi(height, Dpi()));
}

// Centred on the work area of the monitor the dialog belongs to and kept inside it: a dialog
// scaled for a high DPI on a short screen keeps its title bar and its status bar in sight.
void TForm::CenterWithSize(int width, int height) {
    const RECT area = WorkAreaOf(Handle());
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    width = std::min(width, areaWidth);
    height = std::min(height, areaHeight);
    SetBounds(area.left + (areaWidth - width) / 2, area.top + (areaHeight - height) / 2, width, height);
}
