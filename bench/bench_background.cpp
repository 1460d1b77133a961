// Times the tinted-glass background of a display at full-screen sizes: the gradient, the
// screen snapshot, the blend, and the whole DrawBackground; the blend is compared with copying
// the same number of bytes (memcpy) in the same run. Prints figures; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "display/clsKestrum.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Forms.hpp"

namespace {

// Best of several rounds, in milliseconds per call: the least disturbed measurement.
double BestMs(const std::function<void()>& work, int repeats) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i) work();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / repeats);
    }
    return best;
}

class Host : public TForm {
public:
    Host(int width, int height) {
        CreateFormWindow({.className = L"KestrumBenchHost", .style = WS_POPUP, .width = width, .height = height});
        panel = std::make_unique<TPanel>(this, TPanel::Params{.width = width, .height = height,
                                                              .bevelOuter = TBevelCut::bvNone,
                                                              .align = TAlign::alClient});
        Realign();
    }
    std::unique_ptr<TPanel> panel;
};

void Measure(int width, int height) {
    const COLORREF top = RGB(180, 180, 250), bottom = RGB(40, 60, 120);
    TBitmap gradient(width, height), snapshot(width, height);
    UniqueHdc screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    const size_t bytes = snapshot.Stride() * height;
    std::vector<uint8_t> from(bytes, 0x5A), to(bytes);

    const double gradientMs = BestMs([&] { PaintGradient(gradient, top, bottom); ::GdiFlush(); }, 5);
    const double snapshotMs = BestMs([&] {
        ::BitBlt(snapshot.DC(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    }, 5);
    const double blendMs = BestMs([&] { BlendRows(snapshot.Bits(), gradient.Bits(), snapshot.Stride(), height); }, 20);
    const double onePassMs =
        BestMs([&] { BlendGradientRows(snapshot.Bits(), snapshot.Stride(), width, height, top, bottom); }, 20);
    const double copyMs = BestMs([&] {
        std::memcpy(to.data(), from.data(), bytes);
        from[to[bytes / 2] & 1] ^= 1;  // keeps the copy from being optimised away
    }, 20);

    Host host(width, height);
    TKestrum display(host.panel.get());
    display.SetTopColor(top);
    display.SetBottomColor(bottom);
    display.OpenScreenCanvas();
    const double wholeMs = BestMs([&] { display.DrawBackground(); }, 3);

    std::printf("%dx%d (%zu bytes a bitmap)\n", width, height, bytes);
    std::printf("  gradient (102 bands)   %8.2f ms\n", gradientMs);
    std::printf("  screen snapshot        %8.2f ms\n", snapshotMs);
    std::printf("  blend                  %8.2f ms\n", blendMs);
    std::printf("  memcpy of same bytes   %8.2f ms\n", copyMs);
    std::printf("  blend / memcpy         %8.2f x   (target: within 2x)\n", blendMs / copyMs);
    std::printf("  one pass (no gradient) %8.2f ms  (what DrawBackground does after the snapshot)\n", onePassMs);
    std::printf("  DrawBackground, whole  %8.2f ms\n", wholeMs);
}

}  // namespace

int main() {
    Measure(1920, 1080);
    Measure(3840, 2160);
    return 0;
}
