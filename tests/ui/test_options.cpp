// The options dialog with its catalogue tree, against real INI files.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <chrono>

#include <functional>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "options/fmOpt.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/IniFiles.hpp"
#include "toolkit/ShellApi.hpp"

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_APP + 7;

// The dialog with a script that runs inside its modal showing.
class ScriptedOptions : public TfmOption {
public:
    ScriptedOptions() : TfmOption(nullptr) {}
    std::function<void()> script;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_RUN_SCRIPT && script) {
            std::exchange(script, nullptr)();
            return 0;
        }
        return TfmOption::WndProc(msg, wParam, lParam);
    }
};

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniFilePathForTests(ini);
    }
    void TearDown() override {
        ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        SetShellOpenerForTests(nullptr);
        SetIniFilePathForTests(L"");
    }
    void WriteIni(const std::string& text) { WriteFileBytes(ini, text); }
    std::vector<std::wstring> Texts(TfmOption& dialog, TTreeView::Node parent) {
        std::vector<std::wstring> texts;
        for (auto node : dialog.Catalogue().Tree().Children(parent)) texts.push_back(dialog.Catalogue().Tree().NodeText(node));
        return texts;
    }
    TItemInfo Stored(int group, int item) {
        TItemInfo info;
        TShellIniFile().ReadItemInfo(group, item, info);
        return info;
    }

    TempDir dir;
    std::wstring ini = dir.File(L"Kestrum.INI");
    BoxRecorder recorder;
    std::vector<std::wstring>& boxes = recorder.texts;
};

// An entry of the catalogue section; an address as file name, so no missing mark.
std::string Entry(int g, int i, const std::string& key, const std::string& name,
                  const std::string& file = "http://item") {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "GROUP-%05d", g);
    char item[8];
    std::snprintf(item, sizeof item, "%05d", i);
    return std::string(prefix) + "KEY-" + item + "=" + key + "\r\n" + prefix + "NAME-" + item + "=" + name + "\r\n" +
           prefix + "FILENAME-" + item + "=" + file + "\r\n";
}

}  // namespace

TEST_F(OptionsTest, LoadShowsTheCatalogueUpToTheFirstGapWithMissingMarks) {
    const std::wstring existing = dir.File(L"tool.exe");
    WriteFileBytes(existing, "MZ");
    WriteIni("[DATA]\r\n" + Entry(1, 0, "1", "Tools") + Entry(1, 1, "A", "Here", ToAnsi(existing)) +
             Entry(1, 2, "B", "Web", "hTtP://example.invalid/") + Entry(1, 3, "C", "Folder", ToAnsi(dir.Path())) +
             Entry(1, 4, "D", "Gone", "C:\\nowhere\\gone.exe") + Entry(2, 0, "2", "Empty") +
             Entry(4, 0, "4", "After a gap"));
    TfmOption dialog(nullptr);
    EXPECT_EQ(Texts(dialog, nullptr), (std::vector<std::wstring>{L"1 : Tools", L"2 : Empty"}));
    const auto groups = dialog.Catalogue().Tree().Children(nullptr);
    EXPECT_EQ(Texts(dialog, groups[0]),
              (std::vector<std::wstring>{L"A : Here", L"B : Web", L"C : Folder", L"D : 《未存在》Gone"}));
    EXPECT_TRUE(Texts(dialog, groups[1]).empty());
    EXPECT_EQ(dialog.Catalogue().Tree().RecordCount(), 6u);
}

TEST_F(OptionsTest, MissingMarkRules) {
    ::SetEnvironmentVariableW(L"KESTRUM_SHARE", L"\\\\no-such-server\\share");
    ScopeExit unset([] { ::SetEnvironmentVariableW(L"KESTRUM_SHARE", nullptr); });
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"http://x", false}, {L"HTTPS://x", false}, {L"Http", false}, {L"htt", true}, {L"", true},
        {L"C:\\windows\\notepad.exe", false}, {L"C:\\windows\\no-such.exe", true},
        {L"C:\\windows", false},  // a folder starts too
        {L"%WINDIR%\\notepad.exe", false}, {L"%windir%", false},  // expanded as at a start
        {L"%KESTRUM_UNDEFINED%\\notepad.exe", true},
        // A share is not asked (it may not answer for seconds): no mark, also through a variable.
        {L"\\\\no-such-server\\share\\gone.exe", false}, {L"%KESTRUM_SHARE%\\gone.exe", false},
    };
    for (const auto& [path, marked] : cases) EXPECT_EQ(ShowsMissingMark(path), marked) << ToUtf8(path);
}

TEST_F(OptionsTest, SaveNumbersDenselyInTreeOrderAndKeepsTheSettings) {
    const std::string settings = "[EMVDATA]\r\nMAINKEY=J\r\nWINWIDTH=640\r\n";
    WriteIni(settings + "[OTHER]\r\nX=1\r\n[DATA]\r\n" + Entry(1, 0, "1", "A") + Entry(1, 1, "Q", "q") +
             Entry(2, 0, "2", "B") + Entry(4, 0, "4", "lost"));
    {
        TfmOption dialog(nullptr);
        const auto groups = dialog.Catalogue().Tree().Children(nullptr);
        dialog.Catalogue().AddItemInfoToTree({L"Z", L"z", L"z.exe"}, groups[1]);
        dialog.acSaveShellExecute();
    }
    EXPECT_EQ(Stored(1, 1).Key, L"Q");
    EXPECT_EQ(Stored(2, 0).Name, L"B");
    EXPECT_EQ(Stored(2, 1), (TItemInfo{L"Z", L"z", L"z.exe"}));
    EXPECT_EQ(TShellIniFile().GetGroupCount(), 2) << "group 4 behind the gap is gone";
    const std::string bytes = ReadFileBytes(ini);
    EXPECT_NE(bytes.find("[OTHER]\r\nX=1\r\n"), std::string::npos);
    TEmvData saved{};
    LoadEmvData(saved);
    EXPECT_EQ(saved.MainKey, L"J");
    EXPECT_EQ(saved.WinWidth, 640);
    EXPECT_EQ(saved.OptionKey, L"Y") << "the loaded record is written back whole";
    EXPECT_FALSE(FileExists(ini + L".saving"));
}

TEST_F(OptionsTest, AnEmptyCatalogueSavesAnEmptySection) {
    TfmOption dialog(nullptr);
    EXPECT_TRUE(dialog.Catalogue().Tree().AllNodes().empty());
    dialog.acSaveShellExecute();
    EXPECT_EQ(TShellIniFile().GetGroupCount(), 0);
    EXPECT_EQ(ReadFileBytes(ini).find("[DATA]"), std::string::npos);
}

TEST_F(OptionsTest, AFailedSaveLeavesTheFileAsItWasAndTheDialogOpen) {
    WriteIni("[DATA]\r\n" + Entry(1, 0, "1", "Keep me") + Entry(1, 1, "A", "a", "a.exe"));
    const std::string before = ReadFileBytes(ini);
    ScriptedOptions dialog;
    dialog.Catalogue().Tree().DeleteNode(dialog.Catalogue().Tree().Children(nullptr)[0]);
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    dialog.script = [&] {
        ::SetForegroundWindow(dialog.Handle());
        dialog.Catalogue().Tree().SetFocus();
        SendKey(VK_RETURN);  // the default button, 更新＆終了
        EXPECT_TRUE(WaitFor([&] { return !boxes.empty(); }));
        EXPECT_EQ(dialog.ModalResult, 0) << "the dialog stays open after a failed save";
        dialog.RunCommand(cmSaveShell);
        EXPECT_EQ(boxes.size(), 2u);
        dialog.ModalResult = mrCancel;
    };
    ::PostMessageW(dialog.Handle(), WM_RUN_SCRIPT, 0, 0);
    dialog.ShowModal();
    EXPECT_EQ(ReadFileBytes(ini), before);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0], ini + L" に書き込めません");

    // A copy that cannot be made (its place is taken by a folder) fails the same way.
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::CreateDirectoryW((ini + L".saving").c_str(), nullptr);
    EXPECT_THROW(dialog.acSaveShellExecute(), EIniFileException);
    EXPECT_EQ(ReadFileBytes(ini), before);
    ::RemoveDirectoryW((ini + L".saving").c_str());
}

TEST_F(OptionsTest, TextChangesSortOnlyTheSiblingsOfTheChangedNode) {
    WriteIni("[DATA]\r\n" + Entry(1, 0, "3", "c") + Entry(1, 1, "B", "b") + Entry(1, 2, "A", "a") +
             Entry(2, 0, "1", "a") + Entry(3, 0, "2", "b"));
    TfmOption dialog(nullptr);
    TTreeView& tree = dialog.Catalogue().Tree();
    EXPECT_EQ(Texts(dialog, nullptr), (std::vector<std::wstring>{L"3 : c", L"1 : a", L"2 : b"}));
    tree.SetNodeText(tree.Children(nullptr)[0], L"3 : c");  // the same text sorts nothing
    EXPECT_EQ(Texts(dialog, nullptr), (std::vector<std::wstring>{L"3 : c", L"1 : a", L"2 : b"}));
    tree.SetNodeText(tree.Children(nullptr)[2], L"1 : 0");
    EXPECT_EQ(Texts(dialog, nullptr), (std::vector<std::wstring>{L"1 : 0", L"1 : a", L"3 : c"}));
    EXPECT_EQ(Texts(dialog, tree.Children(nullptr)[2]), (std::vector<std::wstring>{L"B : b", L"A : a"}))
        << "the items of another group keep their order";
}

TEST_F(OptionsTest, CtrlOReloadsWithoutShowingAnythingTwice) {
    WriteIni("[DATA]\r\n" + Entry(1, 0, "1", "A") + Entry(1, 1, "Q", "q"));
    TfmOption dialog(nullptr);
    dialog.Catalogue().AddGroupToTree({L"9", L"unsaved"});
    dialog.RunCommand(cmLoadShell);
    EXPECT_EQ(Texts(dialog, nullptr), std::vector<std::wstring>{L"1 : A"});
    EXPECT_EQ(dialog.Catalogue().Tree().RecordCount(), 2u);
}

TEST_F(OptionsTest, SelectionFillsTheDetailsAndReopensCollapsedGroups) {
    WriteIni("[DATA]\r\n" + Entry(1, 0, "1", "Tools") + Entry(1, 1, "N", "Notepad", "C:\\windows\\notepad.exe") +
             Entry(2, 0, "2", "Other") + Entry(2, 1, "X", "x"));
    TfmOption dialog(nullptr);
    TTreeView& tree = dialog.Catalogue().Tree();
    const auto groups = tree.Children(nullptr);
    tree.Select(tree.Children(groups[0])[0]);
    EXPECT_EQ(dialog.Catalogue().DetailText(L"lbGName"), L"Tools");
    EXPECT_EQ(dialog.Catalogue().DetailText(L"lbIKey"), L"N");
    EXPECT_EQ(dialog.Catalogue().DetailText(L"lbIFileName"), L"C:\\windows\\notepad.exe");
    ::SendMessageW(tree.Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(groups[1]));
    tree.Select(groups[1]);
    EXPECT_EQ(dialog.Catalogue().DetailText(L"lbGKey"), L"2");
    EXPECT_EQ(dialog.Catalogue().DetailText(L"lbIName"), L"") << "a group empties the item block";
    const UINT state = static_cast<UINT>(::SendMessageW(tree.Handle(), TVM_GETITEMSTATE,
                                                        reinterpret_cast<WPARAM>(groups[1]), TVIS_EXPANDED));
    EXPECT_TRUE(state & TVIS_EXPANDED);
}

TEST_F(OptionsTest, OnlyItemsCanBeDroppedAndOnlyOnGroups) {
    WriteIni("[DATA]\r\n" + Entry(1, 0, "1", "A") + Entry(1, 1, "P", "p") + Entry(1, 2, "Q", "q") +
             Entry(2, 0, "2", "B") + Entry(2, 1, "R", "r"));
    TfmOption dialog(nullptr);
    TTreeView& tree = dialog.Catalogue().Tree();
    auto groups = tree.Children(nullptr);
    const auto item = tree.Children(groups[0])[0];
    tree.Select(groups[0]);
    EXPECT_FALSE(tree.OnDragOver(groups[1], {})) << "a group on a group would make a third level";
    tree.Select(item);
    EXPECT_FALSE(tree.OnDragOver(tree.Children(groups[1])[0], {})) << "an item on an item";
    EXPECT_FALSE(tree.OnDragOver(nullptr, {})) << "empty space";
    ASSERT_TRUE(tree.OnDragOver(groups[1], {}));
    tree.OnDragDrop(item, groups[1]);
    EXPECT_EQ(Texts(dialog, groups[0]), std::vector<std::wstring>{L"Q : q"});
    EXPECT_EQ(Texts(dialog, groups[1]), (std::vector<std::wstring>{L"R : r", L"P : p"}));
    EXPECT_EQ(dialog.Catalogue().NodeInfo(tree.Children(groups[1])[1])->Key, L"P") << "the record moves with its node";
    EXPECT_EQ(tree.Selected(), tree.Children(groups[1])[1]) << "the moved item is selected";

    tree.Select(tree.Children(groups[0])[0]);
    tree.OnDragDrop(tree.Children(groups[0])[0], groups[0]);  // onto its own group: to its end
    EXPECT_EQ(Texts(dialog, groups[0]), std::vector<std::wstring>{L"Q : q"});
    EXPECT_EQ(tree.RecordCount(), 5u);
}

TEST_F(OptionsTest, ExplorerStartsThroughTheShell) {
    std::vector<ShellOpenRequest> starts;
    SetShellOpenerForTests([&](const ShellOpenRequest& request) {
        starts.push_back(request);
        return INT_PTR(42);
    });
    TfmOption dialog(nullptr);
    dialog.RunCommand(cmExp);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].file, L"Explorer.exe");
    EXPECT_EQ(starts[0].verb, L"OPEN");
    EXPECT_EQ(starts[0].parameters, L"");
    EXPECT_EQ(starts[0].show, SW_SHOW);
}

TEST_F(OptionsTest, HintsReachTheStatusBarAndTheHandlersGoWithTheDialog) {
    bool filterSeen = false;
    Application->OnMessage = [&](MSG&, bool&) { filterSeen = true; };
    {
        TfmOption dialog(nullptr);
        ::SendMessageW(dialog.Handle(), WM_MENUSELECT, MAKEWPARAM(cmDelGroup, MF_HILITE), 0);
        EXPECT_EQ(dialog.StatusBar().PanelText(0), L"　選択されたグループを削除する");
        ::SendMessageW(dialog.Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        EXPECT_EQ(dialog.StatusBar().PanelText(0), L"");
    }
    ASSERT_TRUE(Application->OnMessage);
    MSG msg{};
    bool handled = false;
    Application->OnMessage(msg, handled);
    EXPECT_TRUE(filterSeen) << "the filter from before the dialog is back";
    EXPECT_FALSE(Application->OnHint);
    Application->OnMessage = nullptr;
}

TEST_F(OptionsTest, CtrlSSavesFromAnyControlAndThePagesArePictured) {
    WriteIni("[DATA]\r\n" + Entry(1, 0, "1", "A"));
    ScriptedOptions dialog;
    dialog.Catalogue().AddGroupToTree({L"2", L"Added"});
    dialog.script = [&] {
        ::SetForegroundWindow(dialog.Handle());
        dialog.Catalogue().Tree().SetFocus();
        SaveWindowShot(dialog.Handle(), L"options-files-page");
        SendCtrlKey('S');
        EXPECT_TRUE(WaitFor([&] { return Stored(2, 0).Name == L"Added"; }));
        EXPECT_EQ(dialog.ModalResult, 0);
        SendKey(VK_ESCAPE);
    };
    ::PostMessageW(dialog.Handle(), WM_RUN_SCRIPT, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(OptionsTest, TextTheCodePageCannotHoldIsSavedAsUtf16AndOtherwiseTheFileStaysAnsi) {
    WriteIni("[EMVDATA]\r\nMAINKEY=J\r\n[DATA]\r\n" + Entry(1, 0, "1", ToAnsi(L"ツール")));
    const TItemInfo foreign{L"C", L"Café 한국", L"C:\\Música\\play.exe", L"--é", L"C:\\Música"};
    {
        TfmOption dialog(nullptr);
        dialog.Catalogue().AddItemInfoToTree(foreign, dialog.Catalogue().Tree().Children(nullptr)[0]);
        ASSERT_TRUE(dialog.acSaveShellExecute());
    }
    const std::string bytes = ReadFileBytes(ini);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16 with its byte-order mark";
    EXPECT_EQ(Stored(1, 1), foreign) << "nothing became \"?\"";
    EXPECT_EQ(Stored(1, 0).Name, L"ツール");
    TEmvData settings{};
    LoadEmvData(settings);
    EXPECT_EQ(settings.MainKey, L"J");

    // Once every text fits again, the file goes back to the ANSI code page.
    {
        TfmOption dialog(nullptr);
        dialog.Catalogue().Tree().DeleteNode(dialog.Catalogue().Tree().Children(dialog.Catalogue().Tree().Children(nullptr)[0])[0]);
        ASSERT_TRUE(dialog.acSaveShellExecute());
    }
    const std::string ansi = ReadFileBytes(ini);
    EXPECT_NE(ansi.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(ansi.find(ToAnsi(L"GROUP-00001NAME-00000=ツール")), std::string::npos);
}

TEST_F(OptionsTest, TextElsewhereInTheFileKeepsTheFileUtf16) {
    WriteIni("[USERNOTES]\r\nNOTE=x\r\n[DATA]\r\n" + Entry(1, 0, "1", "Tools"));
    TIniFile(ini).WriteString(L"USERNOTES", L"NOTE", L"한국어 메모 Café");
    for (int save = 0; save < 2; ++save) {
        TfmOption dialog(nullptr);
        ASSERT_TRUE(dialog.acSaveShellExecute());  // no edit: the own texts all fit Shift-JIS
    }
    EXPECT_EQ(ReadFileBytes(ini).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(TIniFile(ini).ReadString(L"USERNOTES", L"NOTE", L""), L"한국어 메모 Café");
}

TEST_F(OptionsTest, EachSaveKeepsTheFileAsItWasAsTheBackup) {
    const std::wstring backup = ini + L".bak";
    WriteIni("[DATA]\r\n" + Entry(1, 0, "1", "First"));
    const std::string first = ReadFileBytes(ini);
    TfmOption dialog(nullptr);
    dialog.Catalogue().AddItemInfoToTree({L"A", L"Added", L"http://a"}, dialog.Catalogue().Tree().Children(nullptr)[0]);
    ASSERT_TRUE(dialog.acSaveShellExecute());
    EXPECT_EQ(ReadFileBytes(backup), first);
    const std::string second = ReadFileBytes(ini);
    ASSERT_TRUE(dialog.acSaveShellExecute());
    EXPECT_EQ(ReadFileBytes(backup), second) << "one generation";

    // A failed save leaves the file and its backup as they were.
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(dialog.acSaveShellExecute(), EIniFileException);
    EXPECT_EQ(ReadFileBytes(backup), second);
    EXPECT_FALSE(FileExists(backup + L".saving"));
}

// What a screen reader says for each control the Tab key reaches, on every page: a name, and
// not the same one as another control's (four ">>" buttons would all say ">>").
TEST_F(OptionsTest, EveryControlTheKeyboardReachesHasANameOfItsOwn) {
    ComInitializer com;
    TfmOption dialog(nullptr);
    dialog.Show();
    for (int page = 0; page < dialog.Pages().PageCount(); ++page) {
        dialog.Pages().SetActivePageIndex(page);
        PumpMessages();
        std::vector<std::wstring> names;
        ForEachChildWindow(dialog.Handle(), [&](HWND control) {
            if (!(::GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) || !::IsWindowVisible(control)) return true;
            ComPtr<IAccessible> object;
            BSTR name = nullptr;
            VARIANT self{};
            self.vt = VT_I4;
            if (SUCCEEDED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                       object.put())))
                object->get_accName(self, &name);
            names.push_back(name ? name : L"");
            ::SysFreeString(name);
            return true;
        });
        for (const std::wstring& name : names) {
            EXPECT_FALSE(name.empty()) << "page " << page;
            EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << ToUtf8(name) << " on page " << page;
        }
    }
}
