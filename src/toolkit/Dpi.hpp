// Display scaling. Layouts are written in 96-DPI units (what a 100 % screen shows as pixels)
// and scaled to the DPI of the window they are shown in, so the program looks the same, only
// larger and as sharp, at 125, 150 or 200 %.
#pragma once

#include <windows.h>

constexpr int kDesignDpi = 96;

// A length in 96-DPI units at the DPI, to the nearest pixel (halves away from zero).
int ScaleToDpi(int value, int dpi) noexcept;
// The screen's DPI (the system's setting).
int ScreenDpi() noexcept;
// The DPI a window is drawn at: its monitor's on Windows 10 1607 and later (the program is
// aware of each monitor's scaling), else the screen's; the screen's for no window.
int WindowDpi(HWND wnd) noexcept;
// The window rectangle around a client rectangle at the DPI: AdjustWindowRectExForDpi where
// Windows has it (1607 and later), else AdjustWindowRectEx, which measures at the screen's DPI.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD exStyle, int dpi) noexcept;
// The work area (the screen less the task bar) of the monitor a window is mostly on: of its
// owner's for a window not yet placed, of the primary monitor for no window.
RECT WorkAreaOf(HWND wnd) noexcept;
