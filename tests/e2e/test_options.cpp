// The options dialog of the real exe, opened by its hot key over the running program and driven
// as a user drives it: its three pages, the whole road from an empty catalogue through the group
// and item dialogs and the save to the launcher starting the new item, and the delete questions.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "support/E2EMain.hpp"
#include "support/KestrumFixture.hpp"
#include "support/KestrumProcess.hpp"
#include "support/RemoteMemory.hpp"
#include "support/TestSupport.hpp"
#include "support/XInput.hpp"
#include "toolkit/Handles.hpp"

namespace {

constexpr wchar_t kOptionsCaption[] = L"オプション設定";

std::wstring TabCaption(HWND tabs, int index) {
    wchar_t text[64] = {};
    RemoteMemory memory(tabs, sizeof(TCITEMW) + sizeof text);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(memory.Address(sizeof item));
    item.cchTextMax = static_cast<int>(std::size(text));
    memory.Write(0, &item, sizeof item);
    ::SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(memory.Address()));
    memory.Read(sizeof item, text, sizeof text - sizeof(wchar_t));
    return text;
}

// The text of the first node of the tree (the first group's).
std::wstring FirstNodeText(HWND tree) {
    wchar_t text[128] = {};
    RemoteMemory memory(tree, sizeof(TVITEMW) + sizeof text);
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    item.pszText = reinterpret_cast<wchar_t*>(memory.Address(sizeof item));
    item.cchTextMax = static_cast<int>(std::size(text));
    memory.Write(0, &item, sizeof item);
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.Address()));
    memory.Read(sizeof item, text, sizeof text - sizeof(wchar_t));
    return text;
}

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

HWND ButtonWithCaption(HWND window, const wchar_t* caption) {
    for (HWND button : DescendantWindows(window, L"Button"))
        if (WindowText(button) == caption) return button;
    return nullptr;
}

class OptionsE2E : public KestrumFixture {
protected:
    // One group with two items, both starting the helper.
    void WriteCatalogue() {
        TShellIniFile catalogue(kestrum->IniPath());
        catalogue.WriteItemInfo({L"1", L"Tools"}, 1, 0);
        catalogue.WriteItemInfo({L"A", L"Alpha", helper, L"-a", startFolder}, 1, 1);
        catalogue.WriteItemInfo({L"B", L"Beta", helper, L"-b", startFolder}, 1, 2);
    }
    // Ctrl+Y; the dialog comes in front with the focus in the catalogue tree.
    HWND OpenOptions() {
        SendCtrlKey('Y');
        HWND options = kestrum->WaitWindow(L"TfmOption", kOptionsCaption);
        if (!options) return nullptr;
        const std::vector<HWND> trees = DescendantWindows(options, L"SysTreeView32");
        tree = trees.empty() ? nullptr : trees.front();
        EXPECT_TRUE(FocusComesTo(tree)) << "the catalogue tree has the focus";
        return options;
    }
    bool Gone(const wchar_t* className) {
        return WaitFor([&] { return kestrum->Windows(className).empty(); });
    }
    int NodeCount() const { return static_cast<int>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)); }
    // The text of the value label of the detail area beside its caption.
    static std::wstring Detail(HWND options, const wchar_t* caption) {
        for (HWND label : DescendantWindows(options, L"Static"))
            if (WindowText(label) == caption) return ControlText(::GetWindow(label, GW_HWNDNEXT));
        return L"(no such caption)";
    }
    static bool DetailBecomes(HWND options, const wchar_t* caption, const std::wstring& text) {
        return WaitFor([&] { return Detail(options, caption) == text; });
    }
    TItemInfo Stored(int group, int item) const {
        TItemInfo info;
        TShellIniFile(kestrum->IniPath()).ReadItemInfo(group, item, info);
        return info;
    }

    HWND tree = nullptr;
};

}  // namespace

TEST_F(OptionsE2E, CtrlYOpensTheDialogWhosePagesAreChosenByTheirTabsAndCancelWritesNothing) {
    WriteCatalogue();
    const std::string before = ReadFileBytes(kestrum->IniPath());
    StartResident();
    HWND options = OpenOptions();
    ASSERT_TRUE(options);
    ASSERT_TRUE(tree);
    EXPECT_EQ(NodeCount(), 3);
    SendKey(VK_HOME);
    SendKey(VK_DOWN);  // the first item: the detail area shows it
    EXPECT_TRUE(DetailBecomes(options, L"ｱｲﾃﾑ名", L"Alpha"));
    EXPECT_EQ(Detail(options, L"ｸﾞﾙｰﾌﾟ名"), L"Tools");
    EXPECT_EQ(Detail(options, L"ﾌｧｲﾙ名"), helper);

    const std::vector<HWND> tabControls = DescendantWindows(options, L"SysTabControl32");
    ASSERT_EQ(tabControls.size(), 1u);
    HWND tabs = tabControls.front();
    ASSERT_EQ(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    const wchar_t* captions[] = {L"ﾌｧｲﾙ設定", L"外観　設定", L"起動　設定"};
    const wchar_t* shots[] = {L"options-files-page", L"options-appearance-page", L"options-startup-page"};
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(TabCaption(tabs, page), captions[page]);
        ClickAt(Centre(TabOnScreen(tabs, page)));
        EXPECT_TRUE(WaitFor([&] { return ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page; })) << page;
        // Only the chosen page shows: the tree only on the first.
        EXPECT_TRUE(WaitFor([&] { return (::IsWindowVisible(tree) != FALSE) == (page == 0); })) << page;
        SaveWindowShot(options, shots[page]);
    }

    HWND cancel = ButtonWithCaption(options, L"キャンセル");
    ASSERT_TRUE(cancel);
    RECT rect{};
    ::GetWindowRect(cancel, &rect);
    ClickAt(Centre(rect));
    EXPECT_TRUE(Gone(L"TfmOption"));
    EXPECT_TRUE(kestrum->Running());
    EXPECT_EQ(ReadFileBytes(kestrum->IniPath()), before) << "nothing is written without the save";
}

TEST_F(OptionsE2E, AGroupAndAnItemTypedIntoTheDialogsAreSavedAndTheLauncherStartsTheItem) {
    StartResident();  // without an INI: an empty catalogue
    HWND options = OpenOptions();
    ASSERT_TRUE(options);
    ASSERT_TRUE(tree);
    EXPECT_EQ(NodeCount(), 0);

    SendKey(VK_INSERT);  // add a group
    HWND group = kestrum->WaitWindow(L"TfmGroup", L"グループ操作ダイアログ");
    ASSERT_TRUE(group);
    const std::vector<HWND> groupBoxes = DescendantWindows(group, L"Edit");
    ASSERT_EQ(groupBoxes.size(), 2u);
    ASSERT_TRUE(FocusComesTo(groupBoxes[0])) << "the key box has the focus";
    SendText(L"1");
    SendKey(VK_TAB);
    SendText(L"Tools");
    ASSERT_TRUE(WaitFor([&] { return ControlText(groupBoxes[1]) == L"Tools"; }));
    EXPECT_EQ(ControlText(groupBoxes[0]), L"1");
    SaveWindowShot(group, L"options-group-dialog-typed");
    SendKey(VK_RETURN);
    ASSERT_TRUE(Gone(L"TfmGroup"));
    ASSERT_TRUE(FocusComesTo(tree)) << "the focus is back in the tree";
    EXPECT_EQ(NodeCount(), 1);
    SendKey(VK_HOME);  // selects the new group
    ASSERT_TRUE(DetailBecomes(options, L"ｸﾞﾙｰﾌﾟｷｰ", L"1"));
    EXPECT_EQ(Detail(options, L"ｸﾞﾙｰﾌﾟ名"), L"Tools");

    SendCtrlKey(VK_INSERT);  // add an item to the selected group
    HWND item = kestrum->WaitWindow(L"TfmItem", L"アイテム操作ダイアログ");
    ASSERT_TRUE(item);
    const std::vector<HWND> itemBoxes = DescendantWindows(item, L"Edit");
    ASSERT_EQ(itemBoxes.size(), 5u);
    ASSERT_TRUE(FocusComesTo(itemBoxes[0]));
    const std::wstring parameters = L"\"first arg\" second";
    SendText(L"r");
    SendKey(VK_TAB);
    SendText(L"Recorder");
    SendKey(VK_TAB);
    SendText(helper);
    SendKey(VK_TAB);  // past ">>"
    SendKey(VK_TAB);
    SendText(parameters);
    SendKey(VK_TAB);
    SendText(startFolder);
    ASSERT_TRUE(WaitFor([&] { return ControlText(itemBoxes[4]) == startFolder; }));
    EXPECT_EQ(ControlText(itemBoxes[0]), L"r");
    EXPECT_EQ(ControlText(itemBoxes[1]), L"Recorder");
    EXPECT_EQ(ControlText(itemBoxes[2]), helper);
    EXPECT_EQ(ControlText(itemBoxes[3]), parameters);
    SaveWindowShot(item, L"options-item-dialog-typed");
    SendKey(VK_RETURN);
    ASSERT_TRUE(Gone(L"TfmItem"));
    ASSERT_TRUE(FocusComesTo(tree));
    EXPECT_EQ(NodeCount(), 2);
    SaveWindowShot(options, L"options-after-adding");

    SendKey(VK_RETURN);  // the default button: 更新＆終了
    ASSERT_TRUE(Gone(L"TfmOption"));
    EXPECT_EQ(Stored(1, 0), (TItemInfo{L"1", L"Tools"}));
    EXPECT_EQ(Stored(1, 1), (TItemInfo{L"R", L"Recorder", helper, parameters, startFolder, 0}))
        << "the key upper-cased";
    EXPECT_EQ(TShellIniFile(kestrum->IniPath()).GetGroupCount(), 1);

    // Keys as X events: injected ones can lose their way under Wine while the X focus follows
    // the closing dialog and the opening launcher.
    XKeys("ctrl+k");
    ASSERT_TRUE(kestrum->WaitWindow(L"TfmShow"));
    ASSERT_TRUE(XFocusComesTo("Kestrum")) << "the X focus is on " << XFocusName();
    XKeys("1 r");
    const std::wstring record = dir.File(L"launched.txt");
    EXPECT_EQ(WaitForText(record), "\"first arg\" second\n" + ToAnsi(startFolder) + "\n");
    EXPECT_TRUE(Gone(L"TfmShow"));
}

TEST_F(OptionsE2E, DeletingAsksWithKeyAndNameOnThreeLinesEscAnswersNoAndEnterYes) {
    WriteCatalogue();
    StartResident();
    HWND options = OpenOptions();
    ASSERT_TRUE(options);
    ASSERT_TRUE(tree);
    ASSERT_EQ(NodeCount(), 3);
    SendKey(VK_HOME);
    SendKey(VK_DOWN);
    ASSERT_TRUE(DetailBecomes(options, L"ｱｲﾃﾑ名", L"Alpha"));

    const auto askDelete = [&](bool group) {
        if (group) SendKey(VK_DELETE);
        else SendCtrlKey(VK_DELETE);
        return kestrum->WaitWindow(L"#32770", L"確認");
    };
    HWND question = askDelete(false);
    ASSERT_TRUE(question);
    EXPECT_EQ(MessageBoxText(question), L"ｷｰ値 : A\r\n名前 : Alpha\r\nを削除しても良いですか？");
    EXPECT_EQ(DialogItemText(question, IDYES), L"はい(&Y)");
    EXPECT_EQ(DialogItemText(question, IDNO), L"いいえ(&N)");
    SaveWindowShot(question, L"options-delete-item-question");
    SendKey(VK_ESCAPE);
    ASSERT_TRUE(Gone(L"#32770"));
    ASSERT_TRUE(FocusComesTo(tree));
    EXPECT_EQ(NodeCount(), 3) << "No deletes nothing";
    EXPECT_EQ(Detail(options, L"ｱｲﾃﾑ名"), L"Alpha");

    question = askDelete(false);
    ASSERT_TRUE(question);
    SendKey(VK_RETURN);  // Yes is the default button
    ASSERT_TRUE(Gone(L"#32770"));
    ASSERT_TRUE(FocusComesTo(tree));
    EXPECT_EQ(NodeCount(), 2);

    SendKey(VK_HOME);  // the group: the item labels empty
    ASSERT_TRUE(DetailBecomes(options, L"ｱｲﾃﾑ名", L""));
    question = askDelete(true);
    ASSERT_TRUE(question);
    EXPECT_EQ(MessageBoxText(question), L"ｷｰ値 : 1\r\n名前 : Tools\r\nとその配下を削除しても良いですか？");
    SendKey(VK_ESCAPE);
    ASSERT_TRUE(Gone(L"#32770"));
    ASSERT_TRUE(FocusComesTo(tree));
    EXPECT_EQ(NodeCount(), 2);

    SendKey(VK_RETURN);  // save and close: Beta is the group's only item now
    ASSERT_TRUE(Gone(L"TfmOption"));
    EXPECT_EQ(Stored(1, 1).Name, L"Beta");
    EXPECT_EQ(TShellIniFile(kestrum->IniPath()).GetItemCount(1), 1);
}

// Also run with Wine in code page 1252 (scripts/test.sh), as on a Windows that is not Japanese.
TEST_F(OptionsE2E, TheShiftJisSampleShowsItsNamesSavesUnchangedAndStartsAJapanesePathWhateverTheCodePage) {
    WriteFileBytes(kestrum->IniPath(), ReadFileBytes(WindowsPath(KESTRUM_SOURCE_DIR "/examples/Kestrum.INI")));
    const std::wstring folder = dir.File(L"日本語 フォルダ"), program = folder + L"\\記録.exe";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(helper.c_str(), program.c_str(), FALSE));
    {
        TShellIniFile catalogue(kestrum->IniPath());
        const int group = catalogue.GetGroupCount() + 1;
        catalogue.WriteItemInfo({L"9", L"日本"}, group, 0);
        catalogue.WriteItemInfo({L"J", L"記録", program, L"-j", folder}, group, 1);
    }
    const std::string saved = ReadFileBytes(kestrum->IniPath());
    ASSERT_NE(saved.substr(0, 2), "\xFF\xFE") << "Shift-JIS";
    StartResident();

    ASSERT_TRUE(OpenOptions());
    EXPECT_EQ(FirstNodeText(tree), L"1 : ツール");
    SendKey(VK_RETURN);  // 更新＆終了, without an edit
    ASSERT_TRUE(Gone(L"TfmOption"));
    EXPECT_TRUE(ReadFileBytes(kestrum->IniPath()) == saved) << "the same bytes";

    SendCtrlKey('K');
    ASSERT_TRUE(kestrum->WaitWindow(L"TfmShow"));
    SendKey('9');
    SendKey('J');
    const std::wstring record = folder + L"\\launched.txt";
    EXPECT_EQ(WaitForText(record), "-j\n" + ToUtf8(folder) + "\n");
}
