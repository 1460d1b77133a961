// Hot key to launcher on screen, and the resident program's footprint. Starts the real
// Kestrum.exe (argument 1) with the sample catalogue (argument 2) in the same virtual desktop.
// Prints figures; asserts nothing.
//  - open time: Ctrl+K until the launcher window is visible with its background drawn, as a
//    ratio to the floor: creating, showing and painting a bare top-most window of the same size;
//  - idle: CPU time the resident program uses in 3 s with no window open (no timer, no polling);
//  - memory: working set and private bytes after the first and after 100 open/close cycles.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "support/KestrumProcess.hpp"
#include "support/TestSupport.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The background is drawn once the pixel is neither the desktop's colour nor unset.
bool Painted(POINT at, COLORREF desktop) {
    WindowDC screen(nullptr);
    const COLORREF c = ::GetPixel(screen.get(), at.x, at.y);
    return c != CLR_INVALID && c != desktop;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(wnd, &ps);
        UniqueHbrush brush(::CreateSolidBrush(RGB(200, 200, 250)));
        ::FillRect(dc, &ps.rcPaint, brush.get());
        ::EndPaint(wnd, &ps);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

double BareWindowMs(POINT probe, COLORREF desktop) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrumBenchBare";
    ::RegisterClassW(&wc);
    const auto start = Clock::now();
    HWND wnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                 800, 600, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetForegroundWindow(wnd);
    WaitFor([&] { return Painted(probe, desktop); }, std::chrono::seconds(10));
    const double took = Ms(Clock::now() - start);
    ::DestroyWindow(wnd);
    WaitFor([&] { return !Painted(probe, desktop); }, std::chrono::seconds(10));
    return took;
}

struct Footprint {
    double workingSetKb, privateKb;
};

Footprint Memory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine leaves PrivateUsage at 0 for another process; PagefileUsage is the same figure on Windows.
    const SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return {counters.WorkingSetSize / 1024.0, privateBytes / 1024.0};
}

double CpuMs(HANDLE process) {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(process, &created, &ended, &kernel, &user);
    auto ticks = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_launcher <Kestrum.exe> <Kestrum.INI>\n");
        return 2;
    }
    TempDir dir;
    KestrumProcess kestrum(WindowsPath(argv[1]), dir.Path(), ReadFileBytes(WindowsPath(argv[2])));
    kestrum.Start();
    if (!kestrum.WaitResident()) {
        std::fprintf(stderr, "Kestrum did not become resident\n");
        return 1;
    }
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, kestrum.Id()));
    const POINT probe{150, 300};  // inside the group display
    COLORREF desktop;
    {
        WindowDC screen(nullptr);
        desktop = ::GetPixel(screen.get(), probe.x, probe.y);
    }

    auto openAndClose = [&](double* openMs) {
        const auto start = Clock::now();
        SendCtrlKey('K');
        WaitFor([&] { return !kestrum.Windows(L"TfmShow").empty() && Painted(probe, desktop); },
                std::chrono::seconds(10));
        if (openMs) *openMs = Ms(Clock::now() - start);
        SendKey(VK_ESCAPE);
        WaitFor([&] { return kestrum.Windows(L"TfmShow").empty() && !Painted(probe, desktop); },
                std::chrono::seconds(10));
    };

    openAndClose(nullptr);  // the first opening loads what later ones find ready
    const Footprint first = Memory(process.get());
    std::vector<double> launcher, floor;
    for (int round = 0; round < 15; ++round) {
        double ms = 0;
        openAndClose(&ms);
        launcher.push_back(ms);
        floor.push_back(BareWindowMs(probe, desktop));
    }
    for (int cycle = 16; cycle < 100; ++cycle) openAndClose(nullptr);
    const Footprint hundred = Memory(process.get());

    // Two windows of 3 s: the first may still hold the end of the last closing.
    std::vector<double> idleCpu;
    for (int window = 0; window < 2; ++window) {
        const double cpuBefore = CpuMs(process.get());
        ::Sleep(3000);  // this process stays still too
        idleCpu.push_back(CpuMs(process.get()) - cpuBefore);
    }

    std::printf("hot key to launcher on screen (median of 15)\n");
    std::printf("  launcher (Ctrl+K -> visible, background drawn)  %8.1f ms\n", Median(launcher));
    std::printf("  floor (bare top-most 800x600 window painted)      %8.1f ms\n", Median(floor));
    std::printf("  ratio                                              %8.2f x   (target: 1.5x or less)\n",
                Median(launcher) / Median(floor));
    std::printf("resident, no window open\n");
    std::printf("  CPU time used in 3 s idle, then 3 s more           %6.1f, %.1f ms  (target: 0)\n", idleCpu[0],
                idleCpu[1]);
    std::printf("memory                        after 1st cycle   after 100 cycles\n");
    std::printf("  working set                 %10.0f KB   %10.0f KB\n", first.workingSetKb, hundred.workingSetKb);
    std::printf("  private bytes               %10.0f KB   %10.0f KB\n", first.privateKb, hundred.privateKb);
    return 0;
}
