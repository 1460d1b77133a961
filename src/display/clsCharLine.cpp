#include "display/clsCharLine.hpp"

TLineDataMgr::TLineDataMgr(TWinControl* parent) {
    // Transparent: what the parent paints beneath the line (the display's image) stays visible.
    CreateControlWindow({.className = L"TLineMgr",
                         .style = WS_VISIBLE | WS_CLIPSIBLINGS,
                         .exStyle = WS_EX_TRANSPARENT},
                        parent);
}

LRESULT TLineDataMgr::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            // The line never fills its background; the default handling finds no class brush.
            ::SendMessageW(Handle(), WM_ICONERASEBKGND, wParam, 0);
            return 1;
        case WM_LBUTTONUP: {
            TCustomControl::WndProc(msg, wParam, lParam);
            if (OnLineClick) OnLineClick(LineIndex);
            return 0;
        }
        default: return TCustomControl::WndProc(msg, wParam, lParam);
    }
}
