// A floor for the launcher benchmark: a resident program that, on its own hot key (Ctrl + the
// key given), opens a top-most 800x600 popup at the top-left corner and closes it on Escape.
//   bench_floor bare  <vk>   paints the popup one flat colour;
//   bench_floor glass <vk>   first does what any glass look must: reads the screen behind the
//                            popup into a bitmap and blends a gradient over it, then shows that.
// It ends when its parent ends it.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "display/clsKestrum.hpp"
#include "toolkit/Graphics.hpp"
#include "toolkit/Handles.hpp"

namespace {

constexpr int kWidth = 800, kHeight = 600;
bool g_glass = false;
std::unique_ptr<TBitmap> g_picture;
HWND g_popup = nullptr;

LRESULT CALLBACK PopupProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PaintDC paint(wnd);
            if (g_picture) {
                ::BitBlt(paint.get(), 0, 0, kWidth, kHeight, g_picture->DC(), 0, 0, SRCCOPY);
            } else {
                UniqueHbrush brush(::CreateSolidBrush(RGB(200, 200, 250)));
                ::FillRect(paint.get(), &paint.area(), brush.get());
            }
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) ::DestroyWindow(wnd);
            return 0;
        default: return ::DefWindowProcW(wnd, msg, wParam, lParam);
    }
}

void Open() {
    if (g_popup && ::IsWindow(g_popup)) return;
    if (g_glass) {
        g_picture = std::make_unique<TBitmap>(kWidth, kHeight);
        UniqueHdc screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
        ::BitBlt(g_picture->DC(), 0, 0, kWidth, kHeight, screen.get(), 0, 0, SRCCOPY);
        ::GdiFlush();
        BlendGradientRows(g_picture->Bits(), g_picture->Stride(), kWidth, kHeight, RGB(180, 180, 250),
                          RGB(20, 100, 0));
    }
    HWND wnd = g_popup = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"KestrumBenchFloor", L"floor", WS_POPUP, 0, 0,
                                 kWidth, kHeight, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::ShowWindow(wnd, SW_SHOW);
    ::SetForegroundWindow(wnd);
    ::SetFocus(wnd);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    g_glass = std::strcmp(argv[1], "glass") == 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrumBenchFloor";
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&wc);
    if (!::RegisterHotKey(nullptr, 1, MOD_CONTROL, static_cast<UINT>(std::atoi(argv[2])))) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_HOTKEY) Open();
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
