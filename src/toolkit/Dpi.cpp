#include "toolkit/Dpi.hpp"

#include "toolkit/Handles.hpp"

int ScaleToDpi(int value, int dpi) noexcept { return ::MulDiv(value, dpi, kDesignDpi); }

int ScreenDpi() noexcept {
    static const int dpi = [] {
        WindowDC screen(nullptr);
        const int logical = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        return logical > 0 ? logical : kDesignDpi;
    }();
    return dpi;
}

int WindowDpi(HWND wnd) noexcept {
    // Looked up, not linked: older Windows lacks it, and the program must still start there.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (wnd && getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(wnd)) return static_cast<int>(dpi);
    return ScreenDpi();
}
