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

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD exStyle, int dpi) noexcept {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi && adjustForDpi(&rect, style, hasMenu, exStyle, static_cast<UINT>(dpi))) return;
    ::AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
}

RECT WorkAreaOf(HWND wnd) noexcept {
    HWND owner = wnd ? ::GetWindow(wnd, GW_OWNER) : nullptr;
    HMONITOR monitor = ::MonitorFromWindow(owner ? owner : wnd, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{sizeof info};
    if (monitor && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}
