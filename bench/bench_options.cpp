// The options dialog's cost as the catalogue grows: opening it (the catalogue read into the
// tree) and saving it, for 1, 10, 100 and 400 groups of 26 items, in this process, as ratios to
// the one-group case. Prints figures; asserts nothing.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "options/fmOpt.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Groups of 26 items, every entry with a name, key and file name.
std::vector<std::vector<TItemInfo>> Catalogue(int groups) {
    std::vector<std::vector<TItemInfo>> catalogue;
    for (int g = 0; g < groups; ++g) {
        catalogue.push_back({{std::to_wstring(g % 10), L"グループ " + std::to_wstring(g + 1)}});
        for (int i = 0; i < 26; ++i)
            catalogue.back().push_back({std::wstring(1, wchar_t(L'A' + i)), L"項目 " + std::to_wstring(i + 1),
                                        L"C:\\windows\\notepad.exe"});
    }
    return catalogue;
}

}  // namespace

int main() {
    Application->Title = L"Kestrum";
    TempDir dir;
    const std::wstring ini = dir.File(L"Kestrum.INI");
    SetIniFilePathForTests(ini);
    std::printf("options dialog by catalogue size (best of 3)\n");
    std::printf("  groups x 26   INI size    open      save    open/1   save/1\n");
    double openOne = 0, saveOne = 0;
    for (int groups : {1, 10, 100, 400}) {
        ::DeleteFileW(ini.c_str());
        TShellIniFile(ini).WriteCatalogue(Catalogue(groups));
        double open = 1e9, save = 1e9;
        for (int run = 0; run < 3; ++run) {
            auto start = Clock::now();
            auto dialog = std::make_unique<TfmOption>(nullptr);
            open = std::min(open, MsSince(start));
            start = Clock::now();
            dialog->acSaveShellExecute();
            save = std::min(save, MsSince(start));
        }
        if (groups == 1) openOne = open, saveOne = save;
        std::printf("  %6d      %7zu KB %7.0f ms %7.0f ms %7.1f x %7.1f x\n", groups, ReadFileBytes(ini).size() / 1024,
                    open, save, open / openOne, save / saveOne);
    }
    std::printf("  (goal: 100 groups at most about 10x 10 groups; 10 groups within 1.5x of one)\n");
    SetIniFilePathForTests(L"");
    return 0;
}
