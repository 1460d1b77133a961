#include "toolkit/Forms.hpp"

#include <vector>

#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Exceptions.hpp"

namespace {

void RegisterFormClass(const FormParams& params, WNDPROC proc) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (::GetClassInfoExW(instance, params.className, &existing)) return;
    WNDCLASSEXW wc{sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = params.icon;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = params.className;
    if (!::RegisterClassExW(&wc)) throw Exception(L"ウィンドウクラスを登録できません");
}

// Windows of the thread that a modal form disables, as Windows does for its own dialogs.
struct DisabledWindows {
    HWND except;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND wnd, LPARAM lParam) {
    auto* state = reinterpret_cast<DisabledWindows*>(lParam);
    if (wnd != state->except && ::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) {
        ::EnableWindow(wnd, FALSE);
        state->windows.push_back(wnd);
    }
    return TRUE;
}

}  // namespace

TForm::~TForm() {
    if (HWND wnd = handle_.get()) {
        // The derived part is gone: stop dispatching to this object before the window goes.
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    }
}

void TForm::CreateFormWindow(const FormParams& params) {
    RegisterFormClass(params, &TForm::StaticWndProc);
    HWND wnd = ::CreateWindowExW(params.exStyle, params.className, params.caption.c_str(),
                                 params.style, params.left, params.top, params.width, params.height,
                                 params.owner, nullptr, ::GetModuleHandleW(nullptr), this);
    // WM_NCCREATE has bound the window to this object already.
    if (!wnd) throw Exception(L"ウィンドウを作成できません");
}

TForm* TForm::FromHandle(HWND wnd) noexcept {
    return reinterpret_cast<TForm*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
}

LRESULT CALLBACK TForm::StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->handle_.reset(wnd);
    }
    TForm* form = FromHandle(wnd);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        if (form) form->handle_.release();
        form = nullptr;
    }
    if (!form) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    LRESULT result = 0;
    try {
        result = form->WndProc(msg, wParam, lParam);
    } catch (...) {
        Application->HandleException(std::current_exception());
        result = ::DefWindowProcW(wnd, msg, wParam, lParam);
    }
    return result;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        Close();
        return 0;
    }
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT TForm::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(Handle(), msg, wParam, lParam);
}

void TForm::Show() { ::ShowWindow(Handle(), SW_SHOW); }

void TForm::Hide() { ::ShowWindow(Handle(), SW_HIDE); }

void TForm::Close() {
    if (modal_) {
        ModalResult = mrCancel;
    } else if (Application->MainForm() == this) {
        Application->Terminate();
    } else {
        Hide();
    }
}

int TForm::ShowModal() {
    ModalResult = mrNone;
    DisabledWindows disabled{Handle(), {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    modal_ = true;
    Show();
    ::SetActiveWindow(Handle());

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

    modal_ = false;
    // Enable the owners before hiding, so activation goes back to the right window.
    for (HWND wnd : disabled.windows) ::EnableWindow(wnd, TRUE);
    Hide();
    return ModalResult == mrNone ? mrCancel : ModalResult;
}

void TForm::SetBounds(int left, int top, int width, int height) {
    ::SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetLeftTop(int left, int top) {
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TForm::TranslateFormKeys(MSG& msg) {
    if (!msg.hwnd || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    if (!root || ::GetWindowLongPtrW(root, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&StaticWndProc))
        return false;
    TForm* form = FromHandle(root);
    return form && form->accelerators_ &&
           ::TranslateAcceleratorW(root, form->accelerators_.get(), &msg) != 0;
}
