// A program for the focus tests: a window with an edit box, as a user's editor is; started with
// "on-top", an always-on-top one, as a sticky note is. Activated
// again, it gives the edit box the focus back with its caret where it was, as editors do.
// Under Wine a window activated by another program asks the X server for the keyboard with a
// time stamp that is often refused, so this one asks again over a few timer ticks, as the
// launcher does for itself; on Windows activation brings the keyboard with it.
#include <windows.h>

#include <string_view>

namespace {

HWND edit = nullptr;
int focusRequestsLeft = 0;
constexpr UINT_PTR kFocusTimer = 1;

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 8, 8, 300, 24,
                                     wnd, nullptr, nullptr, nullptr);
            return 0;
        case WM_SETFOCUS: ::SetFocus(edit); return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                focusRequestsLeft = 15;
                ::SetTimer(wnd, kFocusTimer, USER_TIMER_MINIMUM, nullptr);
            }
            return ::DefWindowProcW(wnd, msg, wParam, lParam);
        case WM_TIMER:
            if (--focusRequestsLeft <= 0) ::KillTimer(wnd, kFocusTimer);
            if (::GetForegroundWindow() == wnd) {
                ::SetFocus(wnd);
                ::SetFocus(edit);
            }
            return 0;
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
        default: return ::DefWindowProcW(wnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    const bool onTop = std::wstring_view(arguments) == L"on-top";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"KestrumTypeHere";
    ::RegisterClassW(&windowClass);
    HWND wnd = ::CreateWindowExW(onTop ? WS_EX_TOPMOST : 0, L"KestrumTypeHere", onTop ? L"On top" : L"Type here",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, onTop ? 400 : 200, 340, 90, nullptr, nullptr,
                                 instance, nullptr);
    ::SetForegroundWindow(wnd);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
