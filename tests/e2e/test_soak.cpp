// Resident for weeks: the real program through many launcher and options-dialog openings.
// Every kind of handle it holds returns to its count after a few warm-up cycles, and its private
// bytes stay flat. The suite runs a shortened soak; KESTRUM_SOAK_CYCLES sets the launcher
// openings (the options dialog opens a tenth as often), as bench/ does for the full run.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "support/E2EMain.hpp"
#include "support/KestrumProcess.hpp"
#include "support/TestSupport.hpp"
#include "support/XInput.hpp"
#include "toolkit/Handles.hpp"

namespace {

const char* const kKindNames[] = {"window", "GDI object", "DC", "icon", "menu", "hook", "atom", "accelerator",
                                  "image list", "kernel", "memory", "timer", "hot key", "COM", "module", "pidl",
                                  "input context"};
static_assert(std::size(kKindNames) == static_cast<size_t>(HandleKind::Count));

std::vector<long> Counts(HWND main) {
    std::vector<long> counts;
    const UINT message = ::RegisterWindowMessageW(L"Kestrum.HandleCount");
    for (int kind = 0; kind < static_cast<int>(HandleKind::Count); ++kind) {
        DWORD_PTR count = 0;
        ::SendMessageTimeoutW(main, message, kind, 0, SMTO_BLOCK, 5000, &count);
        counts.push_back(static_cast<long>(count));
    }
    return counts;
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace

TEST(Soak, HandlesAndMemoryStayFlatOverManyOpenings) {
    const char* env = std::getenv("KESTRUM_SOAK_CYCLES");
    const int launcherCycles = env ? std::atoi(env) : 40;
    const int optionsCycles = std::max(2, launcherCycles / 10);

    TempDir dir;
    KestrumProcess kestrum(KestrumExePath(), dir.Path());
    SetIniFilePathForTests(kestrum.IniPath());
    {
        TShellIniFile catalogue;
        catalogue.WriteItemInfo({L"1", L"ツール"}, 1, 0);
        for (int i = 0; i < 6; ++i)
            catalogue.WriteItemInfo({std::wstring(1, wchar_t(L'A' + i)), L"項目", L"C:\\windows\\notepad.exe"}, 1, i + 1);
        catalogue.WriteItemInfo({L"2", L"フォルダ"}, 2, 0);
        catalogue.WriteItemInfo({L"W", L"Windows", L"C:\\windows"}, 2, 1);
    }
    SetIniFilePathForTests(L"");
    kestrum.Start();
    ASSERT_TRUE(kestrum.WaitResident());
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, kestrum.Id()));

    // Keys as X events, as a keyboard makes them: injected ones lose their Ctrl under Wine when
    // the X focus moves between the Ctrl and the letter. Keys go to the X focus: wait for it.
    auto cycle = [&](const char* hotKey, const wchar_t* className, const std::wstring& caption, const char* keys) {
        XKeys(hotKey);
        ASSERT_TRUE(kestrum.WaitWindow(className));
        ASSERT_TRUE(XFocusComesTo(ToUtf8(caption))) << "the X focus is on " << XFocusName();
        XKeys(keys);
        ASSERT_TRUE(WaitFor([&] { return kestrum.Windows(className).empty(); }));
    };
    auto launcherCycle = [&] { cycle("ctrl+k", L"TfmShow", L"Kestrum", "1 Return Escape"); };
    auto optionsCycle = [&] { cycle("ctrl+y", L"TfmOption", L"オプション設定", "Escape"); };

    // Warm-up: what the first openings make once (caches of the system and of Wine, which can
    // reach a megabyte in one step) is not counted as growth.
    for (int i = 0; i < 3; ++i) {
        launcherCycle();
        optionsCycle();
    }
    const std::vector<long> first = Counts(kestrum.MainWindow());
    const SIZE_T firstBytes = PrivateBytes(process.get());
    for (int i = 1; i < launcherCycles; ++i) {
        launcherCycle();
        if (i % 10 == 0) optionsCycle();
    }
    for (int i = launcherCycles / 10; i < optionsCycles; ++i) optionsCycle();
    // The last window's objects may still be on their way out when its window is gone from the
    // list; a leak never settles.
    std::vector<long> last;
    WaitFor([&] { return (last = Counts(kestrum.MainWindow())) == first; });
    const SIZE_T lastBytes = PrivateBytes(process.get());

    std::printf("soak: %d launcher and %d options openings\n", launcherCycles, optionsCycles);
    for (size_t kind = 0; kind < first.size(); ++kind) {
        std::printf("  %-13s after the warm-up %4ld, at the end %4ld\n", kKindNames[kind], first[kind], last[kind]);
        EXPECT_EQ(last[kind], first[kind]) << kKindNames[kind] << " handles leak";
    }
    std::printf("  private bytes after the warm-up %zu KB, at the end %zu KB\n", size_t(firstBytes / 1024),
                size_t(lastBytes / 1024));
    EXPECT_LT(lastBytes, firstBytes + 1024 * 1024) << "private bytes grow with use";
    EXPECT_TRUE(kestrum.Running());
}
