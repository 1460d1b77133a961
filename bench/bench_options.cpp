// The options dialog's cost as the catalogue grows: opening it (the catalogue read into the
// tree) and saving it, for 1, 10, 100 and 400 groups of 26 items and a catalogue of about 4.7 MB,
// in this process, as ratios to the one-group case; and the launcher window made with its list
// of groups, what the resident program does at each hot key. Prints figures; asserts nothing.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "launcher/Main.hpp"
#include "options/fmOpt.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The longest time this thread's messages waited: a 10 ms timer notes the gaps between its ticks.
Clock::time_point g_lastTick;
double g_longestWait = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const Clock::time_point now = Clock::now();
    g_longestWait = std::max(g_longestWait, std::chrono::duration<double, std::milli>(now - g_lastTick).count());
    g_lastTick = now;
}
// The longest wait of the thread's messages while the work ran.
double LongestWaitDuring(const std::function<void()>& work) {
    g_longestWait = 0;
    g_lastTick = Clock::now();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &Tick);
    work();
    Tick(nullptr, 0, 0, 0);
    ::KillTimer(nullptr, timer);
    return g_longestWait;
}

// Groups of 26 items, every entry with a name, key and file name, as the file holds them.
std::string Catalogue(int groups) {
    std::wstring text = L"[EMVDATA]\r\nMAINKEY=K\r\nOPTIONKEY=Y\r\n[DATA]\r\n";
    auto entry = [&](int g, int i, const std::wstring& key, const std::wstring& name, const std::wstring& file) {
        text += EntryKeyName(g, L"NAME-", i) + L"=" + name + L"\r\n" + EntryKeyName(g, L"FILENAME-", i) + L"=" + file +
                L"\r\n" + EntryKeyName(g, L"KEY-", i) + L"=" + key + L"\r\n";
    };
    for (int g = 1; g <= groups; ++g) {
        entry(g, 0, std::to_wstring(g % 10), L"グループ " + std::to_wstring(g), L"");
        for (int i = 1; i <= 26; ++i)
            entry(g, i, std::wstring(1, wchar_t(L'A' + i - 1)), L"項目 " + std::to_wstring(i), L"C:\\windows\\notepad.exe");
    }
    return ToAnsi(text);
}

}  // namespace

int main(int argc, char** argv) {
    const int largest = argc > 1 ? std::atoi(argv[1]) : 2000;  // the largest catalogue to measure
    Application->Title = L"Kestrum";
    TempDir dir;
    const std::wstring ini = dir.File(L"Kestrum.INI");
    SetIniFilePathForTests(ini);
    std::printf("options dialog and launcher by catalogue size (best of 3)\n");
    std::printf("  groups x 26   INI size    read    open      save    open/1   save/1   launcher  longest wait of other windows: open, save\n");
    double openOne = 0, saveOne = 0;
    for (int groups : {1, 10, 100, 400, 975, 2000}) {
        if (groups > largest) break;
        ::DeleteFileW(ini.c_str());
        WriteFileBytes(ini, Catalogue(groups));
        double read = 1e9, open = 1e9, save = 1e9, launcher = 1e9, openWait = 0, saveWait = 0;
        for (int run = 0; run < 3; ++run) {
            auto start = Clock::now();
            const auto catalogue = TShellIniFile().ReadCatalogue();
            read = std::min(read, MsSince(start));
            start = Clock::now();
            TfmShow{nullptr};
            launcher = std::min(launcher, MsSince(start));
            std::unique_ptr<TfmOption> dialog;
            openWait = std::max(openWait, LongestWaitDuring([&] {
                start = Clock::now();
                dialog = std::make_unique<TfmOption>(nullptr);
                open = std::min(open, MsSince(start));
            }));
            saveWait = std::max(saveWait, LongestWaitDuring([&] {
                start = Clock::now();
                dialog->acSaveShellExecute();
                save = std::min(save, MsSince(start));
            }));
        }
        if (groups == 1) openOne = open, saveOne = save;
        std::printf("  %6d      %7zu KB %5.0f ms %7.0f ms %7.0f ms %7.1f x %7.1f x %7.0f ms   %7.0f ms %7.0f ms\n",
                    groups, ReadFileBytes(ini).size() / 1024, read, open, save, open / openOne, save / saveOne, launcher, openWait,
                    saveWait);
    }
    std::printf("  (goals: 10 groups within 1.5x of one, 400 groups opened within 1.5 s, no wait over 2 s)\n");
    SetIniFilePathForTests(L"");
    return 0;
}
