// What a user does with the real keyboard and mouse: every key and click here is an X event
// in the Wine desktop, going where the X server sends a real keyboard's keys (the X focus) and
// a real mouse's clicks. Nothing re-focuses a window between the steps.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>

#include "data/clsShellIniFiles.hpp"
#include "support/E2EMain.hpp"
#include "support/JourneyFixture.hpp"
#include "support/KestrumFixture.hpp"
#include "support/KestrumProcess.hpp"
#include "support/RemoteMemory.hpp"
#include "support/TestSupport.hpp"
#include "support/XInput.hpp"
#include "toolkit/Handles.hpp"

TEST_F(JourneyE2E, EveryOpeningByTheHotKeyTakesTheKeys) {
    StartWithCatalogue();
    for (const auto& [letter, argument] : {std::pair{"a", "-A"}, {"b", "-B"}, {"c", "-C"}}) {
        XKeys("ctrl+k");
        LauncherTakesTheKeys();
        XKeys(std::string("1 ") + letter);
        EXPECT_EQ(Launched(), Record(argument));
        EXPECT_TRUE(Gone(L"TfmShow")) << letter;
    }
    for (int round = 0; round < 3; ++round) {
        XKeys("ctrl+k");
        LauncherTakesTheKeys();
        XKeys("2");
        if (round == 0) SaveScreenshot(L"journey-launcher-by-keys");
        XKeys("Escape");
        EXPECT_TRUE(Gone(L"TfmShow")) << round;
    }
    EXPECT_TRUE(NothingStartedBefore()) << "Escape starts nothing";
}

TEST_F(JourneyE2E, KeysTypedWithoutWaitingForTheLauncherStartTheItemOnceAndLeaveTheFocusOffKestrum) {
    StartWithCatalogue();
    for (const auto& [keys, argument] : {std::pair{"ctrl+k 1 b", "-B"}, {"ctrl+k 2 d", "-D"}, {"ctrl+k 1 c", "-C"}}) {
        XKeys(keys, 30);  // nothing waits for the launcher to appear
        EXPECT_EQ(Launched(), Record(argument)) << keys;
        EXPECT_TRUE(Gone(L"TfmShow")) << keys;
        EXPECT_FALSE(KestrumInFront()) << keys;
    }
    XKeys("ctrl+k");
    LauncherTakesTheKeys();
    XKeys("Escape");
    ASSERT_TRUE(Gone(L"TfmShow"));
    EXPECT_TRUE(NothingStartedBefore()) << "no key was applied twice";
}

TEST_F(JourneyE2E, EscapeGivesTheKeyboardBackToTheWindowThatHadIt) {
    StartWithCatalogue();
    TypeHere onTop(L"On top");  // next below the launcher: where activation would fall by itself
    ASSERT_TRUE(onTop.Ready());
    TypeHere editor;
    ASSERT_TRUE(editor.Ready());
    ASSERT_TRUE(XFocusComesTo("Type here"));
    XType("ab");
    XKeys("Left ctrl+k");  // the caret between a and b
    LauncherTakesTheKeys();
    XKeys("Escape x y");  // typed on as a user types, nothing waits for the focus
    EXPECT_TRUE(Gone(L"TfmShow"));
    EXPECT_TRUE(WaitFor([&] { return editor.Text() == L"axyb"; })) << ToUtf8(editor.Text());
    EXPECT_EQ(onTop.Text(), L"");
    EXPECT_TRUE(NothingStartedBefore());
}

TEST_F(JourneyE2E, ADoubleClickOnTheTrayIconOpensALauncherThatTakesTheKeys) {
    StartWithCatalogue();
    XKeys("ctrl+k");  // one opening and closing first: the task bar then has the X focus
    LauncherTakesTheKeys();
    XKeys("Escape");
    ASSERT_TRUE(Gone(L"TfmShow"));

    XClick(TrayIconPoint(), 1, 2);
    LauncherTakesTheKeys();
    XKeys("2");
    SaveScreenshot(L"journey-launcher-by-tray");
    XKeys("d");
    EXPECT_EQ(Launched(), Record("-D"));
    EXPECT_TRUE(Gone(L"TfmShow"));

    XClick(TrayIconPoint(), 1, 2);
    LauncherTakesTheKeys();
    XKeys("Escape");
    EXPECT_TRUE(Gone(L"TfmShow"));
}

TEST_F(JourneyE2E, TheTrayMenuIsChosenByMouseAndTheExitQuestionAnsweredByKeys) {
    StartWithCatalogue();
    // An entry of the menu by its place: the first (ﾗﾝﾁｬｰ表示(&V)) or the last (終了(&X)).
    auto chooseByMouse = [&](bool first) {
        XClick(TrayIconPoint(), 3);
        HWND menu = kestrum->WaitWindow(L"#32768");
        if (!menu) return false;
        RECT rect{};
        ::GetWindowRect(menu, &rect);
        XClick({rect.left + 40, first ? rect.top + 12 : rect.bottom - 12});
        return true;
    };
    ASSERT_TRUE(chooseByMouse(true));
    LauncherTakesTheKeys();
    XKeys("1 a");
    EXPECT_EQ(Launched(), Record("-A"));
    ASSERT_TRUE(Gone(L"TfmShow"));

    // Not here: the menu's access keys. Under Wine they go to the window with the X focus (the
    // task bar), as the menu's owner is the hidden resident window, which X cannot focus; the
    // tray menu of a minimal program shows the same, and the menu then stays open. On Windows
    // the owner in the foreground gives the menu the keys.
    ASSERT_TRUE(chooseByMouse(false));
    HWND question = kestrum->WaitWindow(L"#32770", L"確認");
    ASSERT_TRUE(question);
    XKeys("n");
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(question); })) << "いいえ by its key";
    EXPECT_TRUE(kestrum->Running());

    ASSERT_TRUE(chooseByMouse(false));
    ASSERT_TRUE(kestrum->WaitWindow(L"#32770", L"確認"));
    SaveScreenshot(L"journey-exit-question");
    XKeys("y");
    ASSERT_TRUE(kestrum->WaitExit());
    EXPECT_EQ(kestrum->ExitCode(), 0u);
}

TEST_F(JourneyE2E, AnItemAddedByKeyboardOnlyIsStartedByItsKeys) {
    StartResident();  // no INI: an empty catalogue
    XKeys("ctrl+y");
    ASSERT_TRUE(kestrum->WaitWindow(L"TfmOption"));
    ASSERT_TRUE(XFocusComesTo(kOptionsCaption));

    XKeys("Insert");
    ASSERT_TRUE(TypeIntoGroupDialog("7", "Seven"));
    ASSERT_TRUE(XFocusComesTo(kOptionsCaption));
    XKeys("Home ctrl+Insert");
    ASSERT_TRUE(kestrum->WaitWindow(L"TfmItem"));
    ASSERT_TRUE(XFocusComesTo("アイテム操作ダイアログ"));
    XType("q");
    XKeys("Tab");
    XType("Queue");
    XKeys("Tab");
    XType(ToAnsi(helper));
    XKeys("Tab Tab");  // past ">>"
    XType("-q \"x y\"");
    XKeys("Tab");
    XType(RecordedFolder());
    SaveScreenshot(L"journey-item-dialog");
    XKeys("Return");
    ASSERT_TRUE(Gone(L"TfmItem"));
    ASSERT_TRUE(XFocusComesTo(kOptionsCaption));
    XKeys("Return");  // 更新＆終了
    ASSERT_TRUE(Gone(L"TfmOption"));

    XKeys("ctrl+k");
    LauncherTakesTheKeys();
    XKeys("7 q");
    EXPECT_EQ(Launched(), Record("-q \"x y\""));
    EXPECT_TRUE(Gone(L"TfmShow"));
}

TEST_F(JourneyE2E, AnItemDraggedOntoAnotherGroupMovesAndEscapeCancelsOnlyTheDrag) {
    StartWithCatalogue();
    XKeys("ctrl+y");
    HWND options = kestrum->WaitWindow(L"TfmOption");
    ASSERT_TRUE(options);
    ASSERT_TRUE(XFocusComesTo(kOptionsCaption));
    const RemoteTree tree(DescendantWindows(options, L"SysTreeView32").front());
    auto node = [&](int group, int item) { return tree.Node(group, item); };
    auto children = [&](int group) { return tree.Children(group); };
    auto centre = [&](HTREEITEM item) { return tree.Centre(item); };

    // Escape while the button is still down: the drag ends, the dialog and its edits stay.
    XMoveTo(centre(node(1, 2)));
    const HCURSOR plainCursor = [] {
        CURSORINFO info{sizeof info};
        ::GetCursorInfo(&info);
        return info.hCursor;
    }();
    XDragTo(centre(node(1, 2)), centre(node(2, 0)), false);
    // The cursor tells whether a drop is allowed: over a group another cursor than over an
    // item (where an item cannot go), and neither is the plain arrow of before the drag.
    auto cursor = [] {
        CURSORINFO info{sizeof info};
        ::GetCursorInfo(&info);
        return info.hCursor;
    };
    ASSERT_TRUE(WaitFor([&] { return cursor() != plainCursor; })) << "over group 2";
    const HCURSOR overGroup = cursor();
    XMoveTo(centre(node(2, 1)));
    EXPECT_TRUE(WaitFor([&] { return cursor() != overGroup && cursor() != plainCursor; })) << "over an item";
    XMoveTo(centre(node(2, 0)));  // where a release would drop
    ASSERT_TRUE(WaitFor([&] { return cursor() == overGroup; }));
    XKeys("Escape");
    XButtonUp();
    // Input is taken in order: once a later click has selected group 2, the release was handled.
    XClick(centre(node(2, 0)));
    ASSERT_TRUE(WaitFor([&] { return tree.Selected() == node(2, 0); }));
    EXPECT_TRUE(kestrum->WaitWindow(L"TfmOption")) << "the dialog is still open";
    EXPECT_EQ(children(1), 3);
    EXPECT_EQ(children(2), 1);

    XDragTo(centre(node(1, 1)), centre(node(2, 0)));
    ASSERT_TRUE(WaitFor([&] { return children(2) == 2; })) << "item A moved to group 2";
    EXPECT_EQ(children(1), 2);
    SaveWindowShot(options, L"journey-options-after-drag");
    XKeys("Return");  // 更新＆終了
    ASSERT_TRUE(Gone(L"TfmOption"));
    TItemInfo moved;
    TShellIniFile(kestrum->IniPath()).ReadItemInfo(2, 2, moved);
    EXPECT_EQ(moved.Key, L"A");
}

TEST_F(JourneyE2E, TheTreeIsEditedByItsContextMenuAndF2AndAProcessIsPickedByADoubleClick) {
    StartWithCatalogue();
    XKeys("ctrl+y");
    HWND options = kestrum->WaitWindow(L"TfmOption");
    ASSERT_TRUE(options);
    ASSERT_TRUE(XFocusComesTo(kOptionsCaption));
    HWND treeWindow = DescendantWindows(options, L"SysTreeView32").front();
    const RemoteTree tree(treeWindow);
    auto menuComesAndGoesBy = [&](const std::string& keys) {
        if (!kestrum->WaitWindow(L"#32768")) return false;
        XKeys(keys);
        return Gone(L"#32768");
    };

    // A right click: the item's own commands, for the item clicked.
    XClick(tree.Centre(tree.Node(1, 2)), 3);
    ASSERT_TRUE(menuComesAndGoesBy("d"));  // ﾌｧｲﾙ削除(&D)
    ASSERT_TRUE(kestrum->WaitWindow(L"#32770", L"確認"));
    XKeys("y");
    ASSERT_TRUE(WaitFor([&] { return tree.Children(1) == 2; })) << "item B deleted";

    // Shift+F10 on a group: a group added is selected.
    XClick(tree.Centre(tree.Node(2, 0)));
    ASSERT_TRUE(WaitFor([&] { return tree.Selected() == tree.Node(2, 0); }));
    XKeys("shift+F10");
    ASSERT_TRUE(menuComesAndGoesBy("a"));  // ｸﾞﾙｰﾌﾟ追加(&A)
    ASSERT_TRUE(TypeIntoGroupDialog("5", "Five"));
    ASSERT_TRUE(WaitFor([&] { return tree.Groups() == 3 && tree.Selected() == tree.Node(3, 0); }));

    // F2 changes the selected node.
    ASSERT_TRUE(FocusComesTo(treeWindow));
    XKeys("F2");
    ASSERT_TRUE(kestrum->WaitWindow(L"TfmGroup"));
    XKeys("Escape");
    ASSERT_TRUE(Gone(L"TfmGroup"));

    // The Menu key; a double click in the process list picks the row as 選択 does.
    ASSERT_TRUE(FocusComesTo(treeWindow));
    XKeys("Menu");
    ASSERT_TRUE(menuComesAndGoesBy("n"));  // プロセス一覧取得(&N)
    HWND picker = kestrum->WaitWindow(L"TfmProcName");
    ASSERT_TRUE(picker);
    HWND list = DescendantWindows(picker, L"SysListView32").front();
    RemoteMemory memory(list, sizeof(RECT));
    RECT row{LVIR_LABEL};
    memory.Write(0, &row, sizeof row);
    ASSERT_TRUE(::SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(memory.Address())));
    memory.Read(0, &row, sizeof row);
    POINT first{row.left + 20, (row.top + row.bottom) / 2};
    ::ClientToScreen(list, &first);
    XClick(first, 1, 2);
    ASSERT_TRUE(Gone(L"TfmProcName"));
    ASSERT_TRUE(kestrum->WaitWindow(L"TfmItem")) << "the item dialog with the program picked";
    XKeys("Escape");
    ASSERT_TRUE(Gone(L"TfmItem"));

    XKeys("Return");  // 更新＆終了
    ASSERT_TRUE(Gone(L"TfmOption"));
    TShellIniFile stored(kestrum->IniPath());
    TItemInfo added, second;
    stored.ReadItemInfo(3, 0, added);
    stored.ReadItemInfo(1, 2, second);
    EXPECT_EQ(added.Name, L"Five");
    EXPECT_EQ(second.Key, L"C");
}

TEST_F(JourneyE2E, ASecondKestrumTellsInFrontOfAnOpenLauncherThatItsHotKeyIsTaken) {
    StartWithCatalogue();
    XKeys("ctrl+k");
    LauncherTakesTheKeys();
    TempDir otherDir;
    KestrumProcess second(KestrumExePath(), otherDir.Path());
    second.Start();
    HWND box = second.WaitWindow(L"#32770", L"Kestrum");
    ASSERT_TRUE(box);
    HWND ok = ::GetDlgItem(box, IDOK);
    RECT rect{};
    ::GetWindowRect(ok, &rect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    EXPECT_TRUE(WaitFor([&] { return ::WindowFromPoint(centre) == ok; })) << "nothing covers the box";
    EXPECT_TRUE(::GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == box; })) << "in front";
    SaveScreenshot(L"journey-second-kestrum");
    XClick(centre);
    EXPECT_TRUE(second.WaitExit());
    EXPECT_TRUE(kestrum->Running());
}

// The pictures of the release package: the shipped sample catalogue at the default size.
