#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/mfmStart.hpp"
#include "data/comFunc.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"

namespace {

const std::wstring kHotKeyFailed = L"ホットキーが設定できません。終了します";

// The resident form with its openers observed instead of opening windows.
class ObservedMain : public TfmMain {
public:
    int launcherRuns = 0;
    int optionsRuns = 0;
    std::function<void()> whileLauncherOpen, whileOptionsOpen;

protected:
    void RunLauncherWindow() override {
        ++launcherRuns;
        if (whileLauncherOpen) whileLauncherOpen();
    }
    void RunOptionsDialog() override {
        ++optionsRuns;
        if (whileOptionsOpen) whileOptionsOpen();
    }
};

bool QuitPosted() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

bool AtomExists(const wchar_t* name) { return ::GlobalFindAtomW(name) != 0; }

class ResidentTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniFilePathForTests(dir.File(L"Kestrum.INI"));
        Application->Title = L"Kestrum";
        SetMessageBoxAnswerer([this](const MessageBoxRequest& box) {
            boxes.push_back(box);
            return answer;
        });
    }
    void TearDown() override {
        Ending();
        SetMessageBoxAnswerer(nullptr);
        SetIniFilePathForTests(L"");
        QuitPosted();
    }
    void WriteIni(const std::string& text) { WriteFileBytes(dir.File(L"Kestrum.INI"), text); }
    // Creates the resident form and runs its start-up work (the message it posted itself).
    ObservedMain& Start() {
        Application->CreateForm(main);
        PumpMessages();
        return *main;
    }
    void Ending() {
        Application->DestroyForms();
        main = nullptr;
    }
    std::vector<std::wstring> BoxTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& box : boxes) texts.push_back(box.text);
        return texts;
    }

    TempDir dir;
    ObservedMain* main = nullptr;
    std::vector<MessageBoxRequest> boxes;
    int answer = mrOk;
};

}  // namespace

TEST(HotKeyCode, FirstCharacterWithLowerCaseLettersReadAsUpperCase) {
    EXPECT_EQ(HotKeyCode(L"K"), UINT('K'));
    EXPECT_EQ(HotKeyCode(L"k"), UINT('K'));
    EXPECT_EQ(HotKeyCode(L"z"), UINT('Z'));
    EXPECT_EQ(HotKeyCode(L"5"), UINT('5'));
    EXPECT_EQ(HotKeyCode(L"JX"), UINT('J'));
    for (const wchar_t* none : {L"", L"Ｋ", L"ｋ", L"@", L" K"})
        EXPECT_FALSE(HotKeyCode(none).has_value()) << "no key of the keyboard: a failed registration";
}

TEST_F(ResidentTest, StartsHiddenWithCtrlKAndCtrlYThatReachTheOpeners) {
    ObservedMain& resident = Start();
    EXPECT_FALSE(::IsWindowVisible(resident.Handle()));
    EXPECT_TRUE(HotKeyTaken('K'));
    EXPECT_TRUE(HotKeyTaken('Y'));
    EXPECT_TRUE(boxes.empty());

    SendCtrlKey('K');
    EXPECT_TRUE(WaitFor([&] { return resident.launcherRuns == 1; }));
    SendCtrlKey('Y');
    EXPECT_TRUE(WaitFor([&] { return resident.optionsRuns == 1; }));
    EXPECT_EQ(resident.launcherRuns, 1);

    Ending();
    EXPECT_FALSE(HotKeyTaken('K'));
    EXPECT_FALSE(HotKeyTaken('Y'));
    EXPECT_FALSE(AtomExists(L"Zorvik001HotKey"));
    EXPECT_FALSE(AtomExists(L"Zorvik002HotKey"));
    EXPECT_TRUE(boxes.empty()) << "a clean ending reports nothing";
}

// A held Ctrl+Y sends one request, not one per repeat (MOD_NOREPEAT; Wine ignores the flag, so
// what Windows is asked for is what can be seen here).
TEST_F(ResidentTest, LowerCaseSettingsNameTheLetterKeysNotKeypadKeysWithoutAutoRepeat) {
    WriteIni("[EMVDATA]\r\nMAINKEY=j\r\nOPTIONKEY=u\r\n");
    std::vector<std::pair<UINT, UINT>> asked;
    SetHotKeyRegistrarForTests([&](HWND wnd, int id, UINT mods, UINT key) {
        asked.emplace_back(mods, key);
        return ::RegisterHotKey(wnd, id, mods, key);
    });
    ScopeExit restore([] { SetHotKeyRegistrarForTests(nullptr); });
    Start();
    EXPECT_EQ(asked, (std::vector<std::pair<UINT, UINT>>{{MOD_CONTROL | MOD_NOREPEAT, 'J'}, {MOD_CONTROL | MOD_NOREPEAT, 'U'}}));
    EXPECT_TRUE(HotKeyTaken('J'));
    EXPECT_TRUE(HotKeyTaken('U'));
    EXPECT_FALSE(HotKeyTaken(VK_MULTIPLY));  // 'j' used raw
    EXPECT_FALSE(HotKeyTaken(VK_F6));        // 'u' used raw
}

TEST_F(ResidentTest, AKeyOwnedElsewhereIsReportedOnceAndLeavesNothingBehind) {
    ASSERT_TRUE(::RegisterHotKey(nullptr, 77, MOD_CONTROL, 'K'));
    Start();
    ::UnregisterHotKey(nullptr, 77);
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{kHotKeyFailed});
    EXPECT_EQ(boxes[0].caption, L"Kestrum");
    EXPECT_TRUE(QuitPosted()) << "the program ends";
    EXPECT_FALSE(HotKeyTaken('Y')) << "the second key is not tried";

    Ending();
    EXPECT_EQ(boxes.size(), 1u) << "the ending does not report it again";
    EXPECT_FALSE(AtomExists(L"Zorvik001HotKey"));
    EXPECT_FALSE(AtomExists(L"Zorvik002HotKey"));
}

TEST_F(ResidentTest, ABlankKeySettingTakesItsDefaultAsAMissingOneDoes) {
    WriteIni("[EMVDATA]\r\nMAINKEY=\r\nOPTIONKEY=  \r\n");
    Start();
    EXPECT_TRUE(boxes.empty()) << "nothing said of a key taken";
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(HotKeyTaken('K'));
    EXPECT_TRUE(HotKeyTaken('Y'));
}

TEST_F(ResidentTest, OneLauncherAndOneOptionsDialogAtATime) {
    ObservedMain& resident = Start();
    resident.whileLauncherOpen = [&] {
        EXPECT_EQ(resident.ShowCount(), 1);
        ::SendMessageW(resident.Handle(), WM_HOTKEY, kLauncherHotKeyId, 0);
        ::SendMessageW(resident.Handle(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
        resident.Display1Click();
        // The options dialog opens once the launcher has made way for it.
        ::SendMessageW(resident.Handle(), WM_HOTKEY, kOptionsHotKeyId, 0);
        EXPECT_EQ(resident.optionsRuns, 0);
    };
    // Asked for again while it is open, the options dialog comes to the front: no second one.
    resident.whileOptionsOpen = [&] {
        ::SendMessageW(resident.Handle(), WM_HOTKEY, kOptionsHotKeyId, 0);
        resident.N3Click();
        ::PostMessageW(resident.Handle(), ::RegisterWindowMessageW(L"Kestrum.ShowOptions"), 0, 0);
        PumpMessages();
    };
    ::SendMessageW(resident.Handle(), WM_HOTKEY, kLauncherHotKeyId, 0);
    EXPECT_EQ(resident.launcherRuns, 1);
    EXPECT_EQ(resident.optionsRuns, 1);
    EXPECT_EQ(resident.ShowCount(), 0);

    resident.whileLauncherOpen = [] { throw std::runtime_error("launcher failed"); };
    ::SendMessageW(resident.Handle(), WM_HOTKEY, kLauncherHotKeyId, 0);
    EXPECT_EQ(resident.ShowCount(), 0) << "an error in the launcher still counts it closed";
    PumpMessages();
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"launcher failed"}) << "the default error report";
    resident.whileLauncherOpen = nullptr;
    ::SendMessageW(resident.Handle(), WM_HOTKEY, kLauncherHotKeyId, 0);
    EXPECT_EQ(resident.launcherRuns, 3);
}

TEST_F(ResidentTest, TrayMessagesDoubleClickOpensAndOtherClicksDoNothing) {
    ObservedMain& resident = Start();
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MBUTTONDOWN})
        ::SendMessageW(resident.Handle(), WM_TRAYNOTIFY, 1, mouse);
    EXPECT_EQ(resident.launcherRuns + resident.optionsRuns, 0);
    ::SendMessageW(resident.Handle(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(resident.launcherRuns, 1);
}

namespace {
// While a menu is tracked, a thread timer notes where it is and closes it.
RECT g_menuRect;
bool g_menuSeen;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    if (!menu || !::IsWindowVisible(menu)) return;
    g_menuSeen = true;
    ::GetWindowRect(menu, &g_menuRect);
    ::KillTimer(nullptr, id);
    ::EndMenu();
}
}  // namespace

TEST_F(ResidentTest, RightButtonPopsUpTheMenuAtTheMousePosition) {
    ObservedMain& resident = Start();
    // The second of two quick right clicks comes as a double click.
    for (UINT mouse : {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}) {
        ::SetCursorPos(600, 400);
        g_menuSeen = false;
        ::SetTimer(nullptr, 0, 50, CloseMenu);
        ::SendMessageW(resident.Handle(), WM_TRAYNOTIFY, 1, mouse);
        ASSERT_TRUE(g_menuSeen) << mouse;
        EXPECT_EQ(g_menuRect.left, 600);
        EXPECT_EQ(g_menuRect.top, 400);
    }
    EXPECT_EQ(resident.launcherRuns + resident.optionsRuns, 0) << "closing the menu chooses nothing";
}

TEST_F(ResidentTest, TheMenuEntriesInOrder) {
    ObservedMain& resident = Start();
    const auto& items = resident.PopupMenu().Items();
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Display1", L"ﾗﾝﾁｬｰ表示(&V)"}, {L"N1", L"-"},         {L"N3", L"ｵﾌﾟｼｮﾝ画面"},
        {L"VER0981", L"Version : 0.9.8"}, {L"N2", L"-"}, {L"CLOSE1", L"終了(&X)"}};
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].Name, expected[i].first);
        EXPECT_EQ(items[i].Caption, expected[i].second);
    }
    EXPECT_FALSE(items[3].OnClick) << "the version entry does nothing";
    items[0].OnClick();
    items[2].OnClick();
    EXPECT_EQ(resident.launcherRuns, 1);
    EXPECT_EQ(resident.optionsRuns, 1);
    EXPECT_EQ(::GetMenuItemCount(resident.PopupMenu().Handle()), 6);
}

TEST_F(ResidentTest, TheTrayIconsHandleGoesAtTheEnding) {
    const long icons = HandleCount(HandleKind::Icon);
    Start();
    EXPECT_EQ(HandleCount(HandleKind::Icon), icons + 1) << "the tray's icon";
    Ending();
    EXPECT_EQ(HandleCount(HandleKind::Icon), icons);
}

TEST_F(ResidentTest, ATrayIconTheShellRefusesAtLogonIsAddedOnALaterTry) {
    int refusals = 2, adds = 0;
    SetNotifyIconCallerForTests([&](DWORD message, NOTIFYICONDATAW* data) {
        if (message == NIM_ADD && (++adds, refusals-- > 0)) return FALSE;  // the shell not ready yet
        return ::Shell_NotifyIconW(message, data);
    });
    ScopeExit restore([] { SetNotifyIconCallerForTests(nullptr); });
    ObservedMain& resident = Start();
    EXPECT_FALSE(TrayIconPresent(resident.Handle(), 1));
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(resident.Handle(), 1); }, std::chrono::seconds(5)));
    EXPECT_EQ(adds, 3);
    EXPECT_TRUE(HotKeyTaken('K')) << "the hot keys did not wait for the icon";
}

TEST_F(ResidentTest, AnAddRefusedWhileTheIconIsThereEndsTheTries) {
    std::vector<DWORD> calls;
    SetNotifyIconCallerForTests([&](DWORD message, NOTIFYICONDATAW* data) {
        calls.push_back(message);
        const BOOL done = ::Shell_NotifyIconW(message, data);
        return message == NIM_ADD ? FALSE : done;  // the add went through, its answer came too late
    });
    ScopeExit restore([] { SetNotifyIconCallerForTests(nullptr); });
    ObservedMain& resident = Start();
    EXPECT_TRUE(TrayIconPresent(resident.Handle(), 1));
    EXPECT_EQ(calls, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    EXPECT_FALSE(::KillTimer(resident.Handle(), 1)) << "no try is left waiting";
}

TEST_F(ResidentTest, ExitAsksAndOnlyYesEndsTheProgram) {
    ObservedMain& resident = Start();
    answer = mrNo;
    resident.CLOSE1Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"終了してもよろしいですか？");
    EXPECT_EQ(boxes[0].caption, L"確認");
    EXPECT_EQ(boxes[0].style & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_EQ(boxes[0].style & MB_ICONMASK, UINT(MB_ICONQUESTION));
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(HotKeyTaken('K'));

    answer = mrYes;
    resident.CLOSE1Click();
    EXPECT_TRUE(QuitPosted());
}
