// The launcher window driven in-process through its messages, with the shell's open operation
// and the message boxes observed through their seams.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "launcher/KeyCatcher.hpp"
#include "launcher/Main.hpp"
#include "support/KeyStopwatch.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/ShellApi.hpp"
#include "toolkit/SystemLook.hpp"

namespace {

// The launcher with a script that runs once it is on the screen and typing.
class ScriptedLauncher : public TfmShow {
public:
    ScriptedLauncher() : TfmShow(nullptr) {}
    std::function<void()> script;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = TfmShow::WndProc(msg, wParam, lParam);
        if (msg == WM_USERACTIVE && script) std::exchange(script, nullptr)();
        return result;
    }
};

class LauncherTest : public ::testing::Test, protected OwnIniFile {
protected:
    void SetUp() override {
        TShellIniFile catalogue;
        catalogue.WriteItemInfo({L"1", L"ツール"}, 1, 0);
        catalogue.WriteItemInfo({L"N", L"Notepad", L"notepad.exe", L"/p a.txt", L"C:\\work"}, 1, 1);
        catalogue.WriteItemInfo({L"R", L"Regedit", L"regedit.exe", L"", L""}, 1, 2);
        catalogue.WriteItemInfo({L"2", L"Other"}, 2, 0);
        catalogue.WriteItemInfo({L"A", L"App", L"app.exe"}, 2, 1);
        catalogue.WriteItemInfo({L"3", L"Empty"}, 3, 0);
        catalogue.WriteItemInfo({L"A", L"Not a group"}, 4, 0);  // a letter held by a group
        SetShellOpenerForTests([this](const ShellOpenRequest& request) {
            launches.push_back(request);
            return shellResult;
        });
    }
    void TearDown() override { SetShellOpenerForTests(nullptr); }
    // Shows the launcher modally and runs the script inside; true when the script's keys
    // closed the window (otherwise Escape closes it afterwards).
    bool Run(const std::function<void(ScriptedLauncher&)>& script) {
        ScriptedLauncher launcher;
        bool closedByScript = false;
        launcher.script = [&] {
            script(launcher);
            closedByScript = launcher.ModalResult != 0;
            if (!closedByScript) Key(launcher, VK_ESCAPE);
        };
        launcher.Run();
        return closedByScript;
    }
    static void Char(TfmShow& form, wchar_t c) { ::SendMessageW(form.Handle(), WM_CHAR, c, 0); }
    static void Key(TfmShow& form, WPARAM vk) { ::SendMessageW(form.Handle(), WM_KEYDOWN, vk, 0); }
    static bool AllTyped(TKestrum& display) {
        return WaitFor([&] { return !display.Typing; });
    }

    std::vector<ShellOpenRequest> launches;
    INT_PTR shellResult = 42;
};

}  // namespace

TEST_F(LauncherTest, WithoutSettingsTheWindowIs800By600AtTheTopLeftWithA300PixelGroupPanel) {
    Run([](ScriptedLauncher& launcher) {
        const RECT bounds = launcher.BoundsRect();
        EXPECT_EQ(bounds.left, 0);
        EXPECT_EQ(bounds.top, 0);
        EXPECT_EQ(launcher.Width(), 800);
        EXPECT_EQ(launcher.Height(), 600);
        EXPECT_EQ(launcher.LeftParentPanel().Width(), 300);
        EXPECT_EQ(launcher.ItemDisplay().Parent()->Width(), 500);
        EXPECT_EQ(launcher.ItemDisplay().Parent()->Left(), 300);
        const LONG_PTR style = ::GetWindowLongPtrW(launcher.Handle(), GWL_STYLE);
        EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
        EXPECT_TRUE(::GetWindowLongPtrW(launcher.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(launcher.GroupDisplay().Lines().size(), 4u);
        EXPECT_TRUE(launcher.ItemDisplay().Lines().empty());
        EXPECT_TRUE(launcher.GroupDisplay().Typing) << "the group lines type themselves out";
    });
}

TEST_F(LauncherTest, TheWindowTakesItsSizesFromTheSettings) {
    WriteFileBytes(dir.File(L"Kestrum.INI"),
                   ReadFileBytes(dir.File(L"Kestrum.INI")) + "[EMVDATA]\r\nWINWIDTH=640\r\nWINHEIGHT=400\r\nGRPWINWIDTH=200\r\n");
    Run([](ScriptedLauncher& launcher) {
        EXPECT_EQ(launcher.Width(), 640);
        EXPECT_EQ(launcher.Height(), 400);
        EXPECT_EQ(launcher.LeftParentPanel().Width(), 200);
        EXPECT_EQ(launcher.GroupDisplay().Width(), 198) << "inside the raised inner bevel";
    });
}

TEST_F(LauncherTest, ALowerCaseLetterStartsTheItemOfThatUpperCaseKeyAndCloses) {
    const bool closed = Run([](ScriptedLauncher& launcher) {
        Char(launcher, '1');
        EXPECT_EQ(launcher.GroupDisplay().SelectIndex, 0);
        EXPECT_EQ(launcher.ItemDisplay().Lines().size(), 2u);
        Char(launcher, 'r');
    });
    EXPECT_TRUE(closed);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, L"regedit.exe");
    EXPECT_EQ(launches[0].verb, L"OPEN");
    EXPECT_EQ(launches[0].show, SW_SHOW);
    EXPECT_EQ(launches[0].owner, Application->Handle());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LauncherTest, FullWidthCharactersAndTheKeypadsDigitsCountAsTheirKeys) {
    EXPECT_TRUE(Run([](ScriptedLauncher& launcher) {
        Char(launcher, L'１');
        Char(launcher, L'ｎ');
    }));
    // Keys pressed reach the launcher through its catching of the keyboard, by the key.
    EXPECT_TRUE(Run([](ScriptedLauncher& launcher) {
        SendKey(VK_NUMPAD1);
        SendKey('N');
        WaitFor([&] { return launcher.ModalResult != 0; });
    }));
    ASSERT_EQ(launches.size(), 2u);
    for (const ShellOpenRequest& launch : launches) EXPECT_EQ(launch.file, L"notepad.exe");
}

TEST_F(LauncherTest, ALauncherRefusedTheForegroundClosesInsteadOfStayingInTheWay) {
    SetForegroundTakerForTests([](HWND) { return false; });  // as Windows may answer
    ScopeExit restore([] { SetForegroundTakerForTests(nullptr); });
    EXPECT_TRUE(Run([](ScriptedLauncher&) {})) << "closed on its own, without Escape";
    EXPECT_TRUE(launches.empty());
}

TEST_F(LauncherTest, AnItemIsStartedWithItsParametersAndStartFolder) {
    Run([](ScriptedLauncher& launcher) {
        Char(launcher, '1');
        Char(launcher, 'N');
    });
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, L"notepad.exe");
    EXPECT_EQ(launches[0].parameters, L"/p a.txt");
    EXPECT_EQ(launches[0].directory, L"C:\\work");
}

TEST_F(LauncherTest, AnotherGroupsDigitReplacesTheItemsAndDrawsTheGroupListComplete) {
    Run([](ScriptedLauncher& launcher) {
        Char(launcher, '1');
        ASSERT_TRUE(AllTyped(launcher.ItemDisplay()));
        Char(launcher, '2');
        EXPECT_EQ(launcher.GroupDisplay().SelectIndex, 1);
        EXPECT_FALSE(launcher.GroupDisplay().Typing);
        for (auto& line : launcher.GroupDisplay().Lines()) EXPECT_GT(line->Height(), 0);
        ASSERT_EQ(launcher.ItemDisplay().Lines().size(), 1u);
        EXPECT_EQ(launcher.ItemDisplay().Line(0).DispName, L"App");
        EXPECT_TRUE(launcher.ItemDisplay().Typing) << "the new items type themselves out";
        EXPECT_EQ(launcher.ItemDisplay().SelectIndex, -1);
    });
    EXPECT_TRUE(launches.empty());
}

TEST_F(LauncherTest, TheSelectedGroupsDigitAgainReloadsAndRetypesItsItems) {
    Run([](ScriptedLauncher& launcher) {
        Char(launcher, '1');
        ASSERT_TRUE(AllTyped(launcher.ItemDisplay()));
        const TLineMgr* before = &launcher.ItemDisplay().Line(0);
        Char(launcher, '1');
        EXPECT_NE(&launcher.ItemDisplay().Line(0), before) << "fresh lines from the catalogue";
        EXPECT_TRUE(launcher.ItemDisplay().Typing);
    });
}

TEST_F(LauncherTest, ItemKeysDoNothingBeforeAGroupIsSelectedAndGroupKeysComeFirst) {
    const bool closed = Run([](ScriptedLauncher& launcher) {
        Char(launcher, 'N');
        Char(launcher, 'x');
        EXPECT_EQ(launcher.ModalResult, 0);
        Char(launcher, '2');
        Char(launcher, 'a');  // A is an item of group 2 and the key of group 4
        EXPECT_EQ(launcher.GroupDisplay().SelectIndex, 3);
        EXPECT_EQ(launcher.ModalResult, 0);
    });
    EXPECT_FALSE(closed);
    EXPECT_TRUE(launches.empty());
}

TEST_F(LauncherTest, EnterCompletesTheListsStillTyping) {
    Run([](ScriptedLauncher& launcher) {
        Key(launcher, VK_RETURN);
        EXPECT_FALSE(launcher.GroupDisplay().Typing);
        EXPECT_TRUE(launcher.ItemDisplay().Lines().empty());

        ::SendMessageW(launcher.GroupDisplay().Line(0).Handle(), WM_LBUTTONUP, 0, 0);
        ASSERT_TRUE(launcher.ItemDisplay().Typing);
        Key(launcher, VK_RETURN);
        EXPECT_FALSE(launcher.ItemDisplay().Typing);
        for (auto& line : launcher.ItemDisplay().Lines()) EXPECT_GT(line->Height(), 0);
    });
}

TEST_F(LauncherTest, EscapeClosesWithoutStartingAnything) {
    const bool closed = Run([](ScriptedLauncher& launcher) {
        Char(launcher, '1');
        Key(launcher, VK_ESCAPE);
    });
    EXPECT_TRUE(closed);
    EXPECT_TRUE(launches.empty());
}

TEST_F(LauncherTest, LosingTheKeyboardFocusClosesTheWindow) {
    const bool closed = Run([](ScriptedLauncher& launcher) {
        HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 900, 500, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(other);
        ::SetFocus(other);
        WaitFor([&] { return launcher.ModalResult != 0; }, std::chrono::seconds(5));
        ::DestroyWindow(other);
    });
    EXPECT_TRUE(closed);
}

TEST_F(LauncherTest, AClickOnAGroupLineSelectsItWithoutRedrawingTheGroupList) {
    Run([](ScriptedLauncher& launcher) {
        TKestrum& groups = launcher.GroupDisplay();
        ASSERT_TRUE(groups.Typing);
        ::SendMessageW(groups.Line(0).Handle(), WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(groups.SelectIndex, 0);
        EXPECT_EQ(launcher.ItemDisplay().Lines().size(), 2u);
        EXPECT_TRUE(groups.Typing) << "unlike the key, a click leaves the group list typing";
    });
}

TEST_F(LauncherTest, AFailedStartIsReportedAndTheWindowClosesAllTheSame) {
    shellResult = ERROR_FILE_NOT_FOUND;
    const bool closed = Run([](ScriptedLauncher& launcher) {
        Char(launcher, '1');
        Char(launcher, 'N');
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(boxes, std::vector<std::wstring>{
                         L"指定されたファイルが見つかりませんでした。もう一度登録内容を調べてください。"});
}

TEST_F(LauncherTest, AnEmptyCatalogueTypesOutWhereToAddGroupsAndEveryKeyIsIgnored) {
    SetIniFilePathForTests(dir.File(L"none.INI"));
    const bool closed = Run([](ScriptedLauncher& launcher) {
        EXPECT_TRUE(launcher.GroupDisplay().Lines().empty());
        TKestrum& items = launcher.ItemDisplay();
        ASSERT_EQ(items.Lines().size(), 1u);
        EXPECT_TRUE(items.Typing);
        EXPECT_EQ(items.Line(0).LineText(), FirstRunHint(L"Y"));
        for (wchar_t c : std::wstring(L"1aZ9\r")) Char(launcher, c);
        Key(launcher, VK_RETURN);
        EXPECT_FALSE(items.Typing);
        EXPECT_EQ(launcher.ModalResult, 0);
    });
    EXPECT_FALSE(closed);
    EXPECT_TRUE(launches.empty());
}

TEST_F(LauncherTest, TurningHighContrastOnOrOffRedrawsTheOpenLauncher) {
    Run([](ScriptedLauncher& launcher) {
        Char(launcher, '1');
        SetSystemLookForTests(TSystemLook{.highContrast = true});
        ::SendMessageW(launcher.Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_TRUE(launcher.GroupDisplay().HighContrast && launcher.ItemDisplay().HighContrast);
        EXPECT_TRUE(launcher.ItemDisplay().Line(0).HighContrast);
        const TLineMgr& picked = launcher.GroupDisplay().Line(0);
        WindowDC dc(picked.Handle());
        EXPECT_EQ(::GetPixel(dc.get(), picked.Width() - 2, 1), ::GetSysColor(COLOR_HIGHLIGHT)) << "the group picked";
        SaveWindowShot(launcher.Handle(), L"launcher-high-contrast");
        SetSystemLookForTests(std::nullopt);
        ::SendMessageW(launcher.Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_FALSE(launcher.GroupDisplay().HighContrast || launcher.ItemDisplay().Line(0).HighContrast);
    });
}

std::vector<std::wstring> g_events;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object <= 0) return;  // the window's own objects: the system's
    const wchar_t* name = event == EVENT_OBJECT_FOCUS ? L"focus" : event == EVENT_OBJECT_SELECTION ? L"selection" : L"reorder";
    g_events.push_back(std::wstring(name) + L" " + std::to_wstring(object) + L"." + std::to_wstring(child));
}

TEST_F(LauncherTest, AScreenReaderHearsTheGroupsAndTheItemsOfTheGroupPicked) {
    ComInitializer com;
    g_events.clear();
    const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION, nullptr, RecordEvent,
                                                 ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ScopeExit unhook([hook] { ::UnhookWinEvent(hook); });
    Run([](ScriptedLauncher& launcher) {
        ComPtr<IAccessible> object;
        ASSERT_EQ(::AccessibleObjectFromWindow(launcher.Handle(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                               object.put()), S_OK);
        IAccessible* pane = object.get();
        EXPECT_EQ(ReadAloud(pane), L"pane Kestrum\n"
                                   L"  list グループ\n    item ツール 1\n    item Other 2\n    item Empty 3\n"
                                   L"    item Not a group A\n"
                                   L"  list アイテム\n");
        Char(launcher, '1');
        PumpMessages();
        EXPECT_EQ(ReadAloud(pane), L"pane Kestrum\n"
                                   L"  list グループ\n    item ツール 1 (selected)\n    item Other 2\n"
                                   L"    item Empty 3\n    item Not a group A\n"
                                   L"  list アイテム\n    item Notepad N 未存在\n    item Regedit R 未存在\n")
            << "the names whole while the lines still type";
    });
    EXPECT_EQ(g_events, (std::vector<std::wstring>{L"selection 1.1", L"focus 1.1", L"reorder 2.0"}));
}

TEST_F(LauncherTest, NoProgramsKeyWaitsWhileTheLaunchersThreadIsBusy) {
    KeyStopwatch stopwatch(VK_F7);
    std::chrono::steady_clock::time_point typed;
    Run([&](ScriptedLauncher& launcher) {
        // Keys typed from another thread while this one is busy for 1.5 s: a key for another
        // program (F7), then the launcher's.
        std::thread typist([&] {
            ::Sleep(100);
            typed = std::chrono::steady_clock::now();
            for (WORD key : {WORD(VK_F7), WORD('1'), WORD('N')}) SendKey(key);
        });
        ::Sleep(1500);
        typist.join();
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(stopwatch.SeenAt() - typed);
        EXPECT_GE(waited.count(), 0) << "F7 came by";
        EXPECT_LT(waited.count(), 50) << "F7 waited for the launcher's thread";
        WaitFor([&] { return launcher.ModalResult != 0; });
    });
    ASSERT_EQ(launches.size(), 1u) << "the launcher's keys typed meanwhile count, once";
    EXPECT_EQ(launches[0].file, L"notepad.exe");
}

TEST_F(LauncherTest, WithoutItsHookTheLauncherGetsEachKeyOnceByItsOwnMessages) {
    TKeyCatcher::SetHookFiresForTests(false);  // as after Windows removed a hook
    ScopeExit restore([] { TKeyCatcher::SetHookFiresForTests(true); });
    EXPECT_TRUE(Run([](ScriptedLauncher& launcher) {
        for (WORD key : {'2', '1', 'R'}) SendKey(key);
        WaitFor([&] { return launcher.ModalResult != 0; });
    }));
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, L"regedit.exe");
}
