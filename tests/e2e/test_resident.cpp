// The real Kestrum.exe, resident in the virtual desktop: tray icon, menu, exit, hot keys.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "support/E2EMain.hpp"
#include "support/KestrumProcess.hpp"
#include "support/TestSupport.hpp"

namespace {

constexpr UINT WM_TRAYNOTIFY = WM_USER + 0xA2;

class ResidentE2E : public ::testing::Test {
protected:
    void StartResident(const std::string& ini = {}) {
        kestrum = std::make_unique<KestrumProcess>(KestrumExePath(), dir.Path(), ini);
        kestrum->Start();
        ASSERT_TRUE(kestrum->WaitResident()) << "hidden window and tray icon";
    }
    // Right-clicks the tray icon (as the shell reports it) and waits for the menu.
    HWND OpenTrayMenu() {
        ::SetCursorPos(1100, 700);
        ::PostMessageW(kestrum->MainWindow(), WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
        return kestrum->WaitWindow(L"#32768");
    }
    // Chooses "終了(&X)" in the open menu and waits for the question.
    HWND ChooseExit() {
        SendKey('X');
        return kestrum->WaitWindow(L"#32770", L"確認");
    }

    TempDir dir;
    std::unique_ptr<KestrumProcess> kestrum;
};

}  // namespace

TEST_F(ResidentE2E, StaysHiddenInTheTrayAndEndsOnlyAfterYes) {
    StartResident();
    HWND main = kestrum->MainWindow();
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(HotKeyTaken('K')) << "Ctrl+K belongs to Kestrum";
    EXPECT_TRUE(HotKeyTaken('Y')) << "Ctrl+Y belongs to Kestrum";
    SaveScreenshot(L"resident-tray");

    ASSERT_TRUE(OpenTrayMenu());
    SaveScreenshot(L"tray-menu");
    HWND question = ChooseExit();
    ASSERT_TRUE(question);
    EXPECT_EQ(MessageBoxText(question), L"終了してもよろしいですか？");
    EXPECT_EQ(DialogItemText(question, IDYES), L"はい(&Y)");
    EXPECT_EQ(DialogItemText(question, IDNO), L"いいえ(&N)");
    SaveScreenshot(L"exit-question");

    SendKey('N');
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(question); }));
    EXPECT_TRUE(kestrum->Running());
    EXPECT_TRUE(TrayIconPresent(main, 1));

    ASSERT_TRUE(OpenTrayMenu());
    question = ChooseExit();
    ASSERT_TRUE(question);
    SendKey('Y');
    ASSERT_TRUE(kestrum->WaitExit());
    EXPECT_EQ(kestrum->ExitCode(), 0u);
    EXPECT_FALSE(TrayIconPresent(main, 1)) << "the icon is removed at the ending";
    EXPECT_FALSE(HotKeyTaken('K'));
    EXPECT_FALSE(HotKeyTaken('Y'));
    EXPECT_EQ(::GlobalFindAtomW(L"Zorvik001HotKey"), 0);
    EXPECT_EQ(::GlobalFindAtomW(L"Zorvik002HotKey"), 0);
}

TEST_F(ResidentE2E, ClosingTheMenuElsewhereChoosesNothing) {
    StartResident();
    HWND menu = OpenTrayMenu();
    ASSERT_TRUE(menu);
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return kestrum->Windows(L"#32768").empty(); }));
    EXPECT_TRUE(kestrum->Windows(L"#32770").empty());
    EXPECT_TRUE(kestrum->Running());
}

TEST_F(ResidentE2E, AddsItsIconAgainWhenTheNotificationAreaIsRecreated) {
    StartResident();
    HWND main = kestrum->MainWindow();
    // As if the shell had restarted: the icon is gone and the new shell announces itself.
    NOTIFYICONDATAW gone{};
    gone.cbSize = NOTIFYICONDATAW_V1_SIZE;
    gone.hWnd = main;
    gone.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(TrayIconPresent(main, 1));
    ::PostMessageW(main, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(main, 1); }));
}

TEST_F(ResidentE2E, AHotKeyOwnedByAnotherProgramEndsTheStartWithOneMessage) {
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL, 'K'));
    kestrum = std::make_unique<KestrumProcess>(KestrumExePath(), dir.Path());
    kestrum->Start();
    HWND box = kestrum->WaitWindow(L"#32770", L"Kestrum");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), L"ホットキーが設定できません。終了します");
    SaveScreenshot(L"hotkey-taken");
    HWND main = ::FindWindowW(L"TfmMain", nullptr);
    SendKey(VK_RETURN);

    // No second box on the way out.
    int boxes = 1;
    HWND last = box;
    WaitFor([&] {
        for (HWND other : kestrum->Windows(L"#32770"))
            if (other != last) {
                ++boxes;
                last = other;
                ::PostMessageW(other, WM_COMMAND, IDOK, 0);
            }
        return !kestrum->Running();
    });
    ::UnregisterHotKey(nullptr, 1);
    EXPECT_FALSE(kestrum->Running());
    EXPECT_EQ(boxes, 1);
    ASSERT_TRUE(main);
    EXPECT_FALSE(TrayIconPresent(main, 1)) << "no tray icon remains";
    EXPECT_FALSE(HotKeyTaken('Y')) << "the second key was never registered";
    EXPECT_EQ(::GlobalFindAtomW(L"Zorvik001HotKey"), 0);
}
