// Kestrum at 150 % display scaling (144 DPI): this program sets the user's scaling, runs its
// tests in a copy of itself started under it, and puts the setting back. Its layouts are the
// 96-DPI ones scaled, with no text cut, and the keys still start items.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "options/fmOpt.hpp"
#include "launcher/Main.hpp"
#include "process/frmProcName.hpp"
#include "support/E2EMain.hpp"
#include "support/KestrumFixture.hpp"
#include "support/KestrumProcess.hpp"
#include "support/TestSupport.hpp"
#include "support/XInput.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/SystemLook.hpp"

namespace {

std::wstring g_kestrum, g_recordLaunch;
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr char kChildFlag[] = "--at-144-dpi";

class ScalingTest : public KestrumFixture {};

}  // namespace

const std::wstring& KestrumExePath() { return g_kestrum; }
const std::wstring& RecordLaunchExePath() { return g_recordLaunch; }

// Windows' message for a move to a monitor of the DPI, with the bounds it suggests for the
// client area.
void MoveToMonitorOf(TForm& form, int dpi, SIZE client) {
    RECT suggested{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&suggested, ::GetWindowLongW(form.Handle(), GWL_STYLE), ::GetMenu(form.Handle()) != nullptr,
                         ::GetWindowLongW(form.Handle(), GWL_EXSTYLE));
    ::SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();
}

int FontHeight(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

int PictureSize(HIMAGELIST images) {
    int width = 0, height = 0;
    ::ImageList_GetIconSize(images, &width, &height);
    return width;
}

TEST_F(ScalingTest, TheOptionsDialogAndThePickerAreWholeAtEveryDpiTheyMoveTo) {
    ASSERT_EQ(ScreenDpi(), 144);
    SetIniFilePathForTests(kestrum->IniPath());
    TfmOption dialog(nullptr);
    dialog.Show();
    TfmProcName picker(nullptr);
    HWND tree = dialog.Catalogue().Tree().Handle();
    HWND toolBar = DescendantWindows(dialog.Handle(), TOOLBARCLASSNAMEW).front();
    HWND cancel = nullptr;
    ForEachChildWindow(dialog.Handle(), [&](HWND child) {
        if (WindowText(child) == L"キャンセル") cancel = child;
        return !cancel;
    });
    const struct {
        int dpi;
        SIZE client, cancel;
        int font, treeFont, indent, pictures, icons, statusPanel;
    } steps[] = {
        {144, {948, 714}, {120, 36}, -18, -18, 29, 30, 24, 750},  // as made
        {96, {632, 476}, {80, 24}, -12, -12, 19, 20, 16, 500},
        {144, {948, 714}, {120, 36}, -18, -18, 29, 30, 24, 750},
        {96, {632, 476}, {80, 24}, -12, -12, 19, 20, 16, 500},
    };
    for (const auto& step : steps) {
        MoveToMonitorOf(dialog, step.dpi, step.client);
        MoveToMonitorOf(picker, step.dpi, {533, 330});
        for (int page = 2; page >= 0; --page) {  // every page whole, the first one left showing
            dialog.Pages().SetActivePageIndex(page);
            PumpMessages();
            EXPECT_EQ(LayoutFaults(dialog.Handle()), std::vector<std::string>{}) << "page " << page << " at " << step.dpi;
            if (step.dpi == 144 && page < 2)
                SaveWindowShot(dialog.Handle(), page ? L"options-appearance-page-144dpi" : L"options-files-page-144dpi");
        }
        RECT client{}, button{};
        ::GetClientRect(dialog.Handle(), &client);
        EXPECT_EQ(client.right, step.client.cx) << step.dpi;
        EXPECT_EQ(client.bottom, step.client.cy) << step.dpi;
        ASSERT_TRUE(cancel);
        ::GetWindowRect(cancel, &button);
        EXPECT_EQ(button.right - button.left, step.cancel.cx) << step.dpi;
        EXPECT_EQ(button.bottom - button.top, step.cancel.cy) << step.dpi;
        EXPECT_EQ(FontHeight(cancel), step.font) << step.dpi;
        EXPECT_EQ(FontHeight(tree), step.treeFont) << step.dpi;
        EXPECT_EQ(::SendMessageW(tree, TVM_GETINDENT, 0, 0), step.indent) << step.dpi;
        EXPECT_EQ(PictureSize(reinterpret_cast<HIMAGELIST>(::SendMessageW(toolBar, TB_GETIMAGELIST, 0, 0))), step.pictures)
            << "the tool bar's and the menus' pictures at " << step.dpi;
        int parts[1] = {};
        ::SendMessageW(dialog.StatusBar().Handle(), SB_GETPARTS, 1, reinterpret_cast<LPARAM>(parts));
        EXPECT_EQ(parts[0], step.statusPanel) << step.dpi;
        HWND list = picker.List().Handle();
        EXPECT_EQ(PictureSize(reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0))),
                  step.icons) << "the picker's icons at " << step.dpi;
        for (const bool selectFont : {false, true}) {
            const TTransparentLabel& sample = dialog.Appearance().FontSample(selectFont);
            EXPECT_EQ(sample.Font.Dpi(), step.dpi);
            EXPECT_LE(sample.BoundsRect().right, sample.Parent()->ClientWidth()) << step.dpi;
        }
    }
    SetIniFilePathForTests(L"");
}

TEST_F(ScalingTest, TheLauncherInHighContrastIsDrawnAtTheDpi) {
    SetIniFilePathForTests(kestrum->IniPath());
    for (const auto& [entry, group, item] : {std::tuple{TItemInfo{L"1", L"ツール"}, 1, 0}, {{L"2", L"Other"}, 2, 0},
                                             {{L"N", L"メモ帳", L"C:\\windows\\notepad.exe"}, 1, 1},
                                             {{L"X", L"Gone", L"C:\\no\\such.exe"}, 1, 2}})
        TShellIniFile().WriteItemInfo(entry, group, item);
    SetSystemLookForTests(TSystemLook{.highContrast = true, .animations = false});
    int selectedLineHeight = 0;
    TForm::SetModalHookForTests([&](TForm& form) {
        PumpMessages();
        ::SendMessageW(form.Handle(), WM_CHAR, L'1', 0);
        PumpMessages();
        auto& launcher = dynamic_cast<TfmShow&>(form);
        selectedLineHeight = launcher.GroupDisplay().Line(0).Height();
        SaveWindowShot(form.Handle(), L"launcher-high-contrast-144dpi");
        ::SendMessageW(form.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    TfmShow(nullptr).Run();
    TForm::SetModalHookForTests(nullptr);
    SetSystemLookForTests(std::nullopt);
    SetIniFilePathForTests(L"");
    EXPECT_GE(selectedLineHeight, 24) << "a 12-point line at 144 DPI";
}

TEST_F(ScalingTest, TheLauncherKeepsItsShareOfTheScreenAndItsKeys) {
    {
        TShellIniFile catalogue(kestrum->IniPath());
        catalogue.WriteItemInfo({L"1", L"Tools"}, 1, 0);
        catalogue.WriteItemInfo({L"A", L"Record", helper, L"-A", startFolder}, 1, 1);
    }
    StartResident();
    XKeys("ctrl+k");
    HWND launcher = kestrum->WaitWindow(L"TfmShow");
    ASSERT_TRUE(launcher);
    ASSERT_TRUE(XFocusComesTo("Kestrum"));
    RECT rect{};
    ::GetWindowRect(launcher, &rect);
    EXPECT_EQ(rect.right - rect.left, 1200) << "800 at 96 DPI";
    MONITORINFO monitor{sizeof monitor};
    ::GetMonitorInfoW(::MonitorFromWindow(launcher, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    EXPECT_EQ(rect.bottom - rect.top, std::min<LONG>(900, work.bottom - work.top)) << "600 at 96 DPI, cut to the work area";
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    XKeys("1");
    SaveWindowShot(launcher, L"launcher-group-selected-144dpi");
    XKeys("a");
    const std::wstring record = dir.File(L"launched.txt");
    EXPECT_NE(WaitForText(record), "");
}

// Runs the tests in a copy of this program started at 144 DPI, the prefix's setting put back
// afterwards.
int RunAt144Dpi() {
    const TestRegistryValue scaling(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");  // the prefix has none: 96 DPI
    const DWORD dpi = 144;
    scaling.Set(REG_DWORD, &dpi, sizeof dpi);
    std::wstring command = std::wstring(::GetCommandLineW()) + L" --at-144-dpi";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        std::fprintf(stderr, "cannot start the scaled run\n");
        return 1;
    }
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(child.hProcess, &code);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    return static_cast<int>(code);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <Kestrum.exe> <record_launch.exe>\n", argv[0]);
        return 2;
    }
    if (std::string(argv[argc - 1]) != kChildFlag) return RunAt144Dpi();
    // Aware of each monitor's scaling, as Kestrum.exe declares itself in its manifest.
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    if (auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext"))))
        setContext(reinterpret_cast<HANDLE>(-4));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    --argc;
    ::testing::InitGoogleTest(&argc, argv);
    g_kestrum = WindowsPath(argv[1]);
    g_recordLaunch = WindowsPath(argv[2]);
    return RUN_ALL_TESTS();
}
