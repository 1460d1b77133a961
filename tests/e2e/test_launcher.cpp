// The program's main use with the real exe and the real shell: Ctrl+K, a group's digit, an
// item's letter, and the item's program runs with its parameters in its start folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "launcher/Environment.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/IniFiles.hpp"
#include "support/E2EMain.hpp"
#include "support/KestrumFixture.hpp"
#include "support/KestrumProcess.hpp"
#include "support/TestSupport.hpp"

namespace {

class LauncherE2E : public KestrumFixture {
protected:
    void WriteCatalogue(const std::string& settings = {}) {
        SetIniFilePathForTests(kestrum->IniPath());
        TShellIniFile catalogue;
        catalogue.WriteItemInfo({L"1", L"ツール"}, 1, 0);
        catalogue.WriteItemInfo({L"H", L"記録する", helper, L"\"first arg\" second", startFolder}, 1, 1);
        catalogue.WriteItemInfo({L"M", L"ない", L"C:\\no such folder\\missing.exe"}, 1, 2);
        catalogue.WriteItemInfo({L"2", L"フォルダ"}, 2, 0);
        catalogue.WriteItemInfo({L"W", L"Windows", L"C:\\windows"}, 2, 1);
        SetIniFilePathForTests(L"");
        if (!settings.empty()) WriteFileBytes(kestrum->IniPath(), ReadFileBytes(kestrum->IniPath()) + settings);
    }
    HWND OpenLauncher() {
        SendCtrlKey('K');
        return kestrum->WaitForeground(L"TfmShow");
    }
    bool LauncherGone() {
        return WaitFor([&] { return kestrum->Windows(L"TfmShow").empty(); });
    }
    // The first child panel of the launcher (the group panel's parent).
    static RECT ChildRect(HWND launcher, const wchar_t* className) {
        HWND child = ::FindWindowExW(launcher, nullptr, className, nullptr);
        RECT rect{};
        ::GetWindowRect(child, &rect);
        return rect;
    }

};

}  // namespace

TEST_F(LauncherE2E, CtrlKThenDigitThenLetterStartsTheItemWithItsParametersInItsFolder) {
    WriteCatalogue("[EMVDATA]\r\nWINWIDTH=720\r\nWINHEIGHT=480\r\nGRPWINWIDTH=260\r\n");
    StartResident();
    HWND launcher = OpenLauncher();
    ASSERT_TRUE(launcher);
    RECT rect{};
    ::GetWindowRect(launcher, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 720);
    EXPECT_EQ(rect.bottom, 480);
    EXPECT_EQ(::GetForegroundWindow(), launcher);
    SaveScreenshot(L"launcher-typed");

    SendKey('1');
    SaveScreenshot(L"launcher-group-selected");
    SendKey('H');
    const std::wstring record = dir.File(L"launched.txt");
    const std::string launched = WaitForText(record);
    ASSERT_NE(launched, "") << "the helper ran";
    EXPECT_TRUE(LauncherGone());
    const std::string folder = ToAnsi(startFolder);  // ASCII path: the same in UTF-8
    EXPECT_EQ(launched, "\"first arg\" second\n" + folder + "\n");
    EXPECT_TRUE(kestrum->Running());
}

// As a screen reader in its own process reads the real launcher (the interface is marshalled
// between the processes).
TEST_F(LauncherE2E, AReaderInAnotherProcessReadsTheLaunchersEntries) {
    WriteCatalogue();
    StartResident();
    HWND launcher = OpenLauncher();
    ASSERT_TRUE(launcher);
    ComInitializer com;
    ComPtr<IAccessible> pane;
    ASSERT_EQ(::AccessibleObjectFromWindow(launcher, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), pane.put()),
              S_OK);
    EXPECT_EQ(ReadAloud(pane.get()), L"pane Kestrum\n  list グループ\n    item ツール 1\n    item フォルダ 2\n  list アイテム\n");
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(LauncherGone());
    BSTR name = nullptr;
    VARIANT self{};
    self.vt = VT_I4;
    EXPECT_EQ(pane->get_accName(self, &name), RPC_E_DISCONNECTED) << "the launcher has gone";
}

TEST_F(LauncherE2E, AMissingFileIsReportedAndTheWindowCloses) {
    WriteCatalogue();
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    SendKey('1');
    SendKey('M');
    HWND box = kestrum->WaitWindow(L"#32770", L"Kestrum");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), L"指定されたファイルが見つかりませんでした。もう一度登録内容を調べてください。");
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == box; })) << "the box is in front, for the keys";
    SaveScreenshot(L"launcher-missing-file");
    SendKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return kestrum->Windows(L"#32770").empty(); }));
    EXPECT_TRUE(LauncherGone()) << "closed once the box is answered";
    EXPECT_TRUE(kestrum->Running());
    // The resident program opens the launcher again afterwards.
    ASSERT_TRUE(OpenLauncher());
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(LauncherGone());
}

TEST_F(LauncherE2E, WithoutAnIniTheWindowIs800By600WithA300PixelGroupPanel) {
    StartResident();
    HWND launcher = OpenLauncher();
    ASSERT_TRUE(launcher);
    RECT rect{};
    ::GetWindowRect(launcher, &rect);
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, 600);
    const RECT left = ChildRect(launcher, L"TPanel");
    EXPECT_EQ(left.right - left.left, 300);

    // The hot key again while it is open: still one launcher window.
    SendCtrlKey('K');
    SendKey('Z');  // a key no entry has; handled after the hot key
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == launcher; }));
    EXPECT_EQ(kestrum->Windows(L"TfmShow").size(), 1u);
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(LauncherGone());
    EXPECT_FALSE(FileExists(kestrum->IniPath())) << "opening the launcher writes nothing";
}

TEST_F(LauncherE2E, ClickingAnotherWindowClosesTheLauncher) {
    WriteCatalogue();
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    HWND other = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE | WS_BORDER, 900, 500, 200,
                                   100, nullptr, nullptr, nullptr, nullptr);
    ::SetCursorPos(1000, 550);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
    EXPECT_TRUE(LauncherGone());
    ::DestroyWindow(other);
}

TEST_F(LauncherE2E, OddEntriesStartOrAreReported) {
    // A program in a folder with spaces and a Japanese name; a document nothing opens.
    const std::wstring spaced = dir.File(L"フォルダ with spaces");
    ::CreateDirectoryW(spaced.c_str(), nullptr);
    const std::wstring japanese = spaced + L"\\記録.exe";
    ASSERT_TRUE(::CopyFileW(helper.c_str(), japanese.c_str(), FALSE));
    const std::wstring document = dir.File(L"notes.kestrumdoc");
    WriteFileBytes(document, "text");
    SetIniFilePathForTests(kestrum->IniPath());
    {
        TShellIniFile catalogue;
        catalogue.WriteItemInfo({L"1", L"変な項目"}, 1, 0);
        catalogue.WriteItemInfo({L"J", L"日本語", japanese, L"a \"b c\"", spaced}, 1, 1);
        catalogue.WriteItemInfo({L"D", L"文書", document}, 1, 2);
    }
    SetIniFilePathForTests(L"");
    StartResident();

    ASSERT_TRUE(OpenLauncher());
    SendKey('1');
    SendKey('J');
    const std::wstring record = spaced + L"\\launched.txt";
    EXPECT_EQ(WaitForText(record).substr(0, 8), "a \"b c\"\n");
    EXPECT_TRUE(LauncherGone());

    ASSERT_TRUE(OpenLauncher());
    SendKey('1');
    SendKey('D');
    HWND box = kestrum->WaitWindow(L"#32770", L"Kestrum");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), L"実行できませんでした。もう一度登録内容を調べてください。");
    SendKey(VK_RETURN);
    EXPECT_TRUE(LauncherGone());
    EXPECT_TRUE(kestrum->Running());
}

TEST_F(LauncherE2E, AnItemWithoutAStartFolderStartsInItsFilesFolder) {
    const std::wstring folder = dir.File(L"elsewhere"), program = folder + L"\\record_launch.exe";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(helper.c_str(), program.c_str(), FALSE));
    {
        TShellIniFile catalogue(kestrum->IniPath());
        catalogue.WriteItemInfo({L"1", L"G"}, 1, 0);
        catalogue.WriteItemInfo({L"F", L"Folderless", program, L"-f", L""}, 1, 1);
    }
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    SendKey('1');
    SendKey('F');
    const std::wstring record = folder + L"\\launched.txt";
    EXPECT_EQ(WaitForText(record), "-f\n" + ToUtf8(folder) + "\n") << "not Kestrum's own folder";
}

TEST_F(LauncherE2E, AnItemSavedAsUtf16StartsAfterARestart) {
    // Saved by the options dialog as UTF-16 because of names the ANSI code page lacks.
    const std::wstring folder = dir.File(L"Café 한국");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = folder + L"\\Música.exe";
    ASSERT_TRUE(::CopyFileW(helper.c_str(), program.c_str(), FALSE));
    SetIniFilePathForTests(kestrum->IniPath());
    {
        TShellIniFile catalogue;
        catalogue.WriteItemInfo({L"1", L"한국"}, 1, 0);
        catalogue.WriteItemInfo({L"U", L"Música", program, L"ü", folder}, 1, 1);
    }
    SetIniFilePathForTests(L"");
    ASSERT_EQ(ReadFileBytes(kestrum->IniPath()).substr(0, 2), "\xFF\xFE");
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    SendKey('1');
    SendKey('U');
    const std::wstring record = folder + L"\\launched.txt";
    EXPECT_EQ(WaitForText(record), "\xC3\xBC\n" + ToUtf8(folder) + "\n")
        << "the parameter and the start folder arrive whole";
}

TEST_F(LauncherE2E, ParametersAndStartFoldersThatBreakNaiveIniHandlingReachTheProgramAsTyped) {
    // Item i has the awkward text i as its parameters; the start folders take the awkward texts
    // a folder name can hold (not %NAME%, which Wine's shell expands in a start folder).
    const std::vector<std::wstring> folders = {L" leading", L"a=b=c", L"; not a comment", L"[not a section]",
                                               L"100% sure", L"ｶﾀｶﾅ ﾃｽﾄ", L"表示 ソフト 予定\\", L"한국어 Café ü"};
    const std::vector<std::wstring>& texts = AwkwardTexts();
    {
        TShellIniFile catalogue(kestrum->IniPath());
        catalogue.WriteItemInfo({L"1", L"Odd"}, 1, 0);
        for (size_t i = 0; i < texts.size(); ++i) {
            const std::wstring folder = dir.File(folders[i % folders.size()]);
            ::CreateDirectoryW(folder.c_str(), nullptr);
            catalogue.WriteItemInfo({std::wstring(1, wchar_t(L'A' + i)), L"odd", helper, texts[i], folder}, 1, int(i) + 1);
        }
    }
    StartResident();
    const std::wstring record = dir.File(L"launched.txt");
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_TRUE(OpenLauncher());
        SendKey('1');
        SendKey(WORD('A' + i));
        const std::string got = WaitForText(record);
        ASSERT_NE(got, "") << i;
        std::wstring folder = dir.File(folders[i % folders.size()]);
        if (folder.back() == L'\\') folder.pop_back();  // the working folder is given without it
        // A defined %NAME% is expanded at the start; the resident has this process's environment.
        EXPECT_TRUE(got == ToUtf8(ExpandVariables(texts[i])) + "\n" + ToUtf8(folder) + "\n")
            << i << " got [" << got.substr(0, 80) << "]";
        ::DeleteFileW(record.c_str());
        ASSERT_TRUE(LauncherGone());
    }
}

TEST_F(LauncherE2E, AFolderOpensInTheExplorer) {
    const std::wstring folder = dir.File(L"開くフォルダ");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    WriteCatalogue();
    SetIniFilePathForTests(kestrum->IniPath());
    TShellIniFile().WriteItemInfo({L"F", L"Folder", folder}, 2, 2);
    SetIniFilePathForTests(L"");
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    SendKey('2');
    SendKey('F');
    HWND explorer = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (explorer = ::FindWindowW(L"ExplorerWClass", L"開くフォルダ")) != nullptr; }));
    EXPECT_TRUE(LauncherGone());
    EXPECT_TRUE(kestrum->Windows(L"#32770").empty()) << "no failure message";
    ::PostMessageW(explorer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(explorer); }));
}

TEST_F(LauncherE2E, AnAddressGoesToTheShellWhichHandsItToTheBrowser) {
    WriteCatalogue();
    SetIniFilePathForTests(kestrum->IniPath());
    TShellIniFile().WriteItemInfo({L"U", L"Site", L"http://example.invalid/"}, 2, 2);
    SetIniFilePathForTests(L"");
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    SendKey('2');
    SendKey('U');
    // The shell takes the address (this machine has no browser to show it): no failure message,
    // the launcher closes and the program stays.
    EXPECT_TRUE(LauncherGone());
    EXPECT_TRUE(kestrum->Windows(L"#32770").empty());
    EXPECT_TRUE(kestrum->Running());
    ASSERT_TRUE(OpenLauncher()) << "and opens again";
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(LauncherGone());
}

TEST_F(LauncherE2E, ADocumentOpensWithTheProgramOfItsType) {
    // An extension of our own, given the text editor's file type for the length of the test.
    const wchar_t* const extension = L".kestrumdocument";
    const wchar_t type[] = L"txtfile";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CLASSES_ROOT, extension, nullptr, REG_SZ, type, sizeof type), ERROR_SUCCESS);
    struct RemoveType {
        const wchar_t* key;
        ~RemoveType() { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key); }
    } removeType{extension};
    const std::wstring document = dir.File(L"read me.kestrumdocument");
    WriteFileBytes(document, "Kestrum");
    WriteCatalogue();
    SetIniFilePathForTests(kestrum->IniPath());
    TShellIniFile().WriteItemInfo({L"T", L"Text", document}, 2, 2);
    SetIniFilePathForTests(L"");
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    SendKey('2');
    SendKey('T');
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = ::FindWindowW(L"Notepad", nullptr)) != nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return WindowText(editor).find(L"read me") != std::wstring::npos; }))
        << "the editor shows the document: " << testing::PrintToString(WindowText(editor));
    EXPECT_TRUE(LauncherGone());
    ::PostMessageW(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(editor); }));
}

TEST_F(LauncherE2E, ANetworkPathThatDoesNotAnswerIsReportedAndTheProgramGoesOn) {
    // A share on this machine's loopback address, where no file server listens.
    WriteCatalogue();
    SetIniFilePathForTests(kestrum->IniPath());
    TShellIniFile().WriteItemInfo({L"N", L"Share", L"\\\\127.0.0.1\\kestrum-share\\app.exe"}, 2, 2);
    SetIniFilePathForTests(L"");
    StartResident();
    ASSERT_TRUE(OpenLauncher());
    SendKey('2');
    SendKey('N');
    HWND box = kestrum->WaitWindow(L"#32770", L"Kestrum", std::chrono::seconds(60));
    ASSERT_TRUE(box);
    const std::wstring text = MessageBoxText(box);
    EXPECT_NE(text.find(L"もう一度登録内容を調べてください。"), std::wstring::npos) << testing::PrintToString(text);
    SendKey(VK_RETURN);
    EXPECT_TRUE(LauncherGone());
    ASSERT_TRUE(OpenLauncher()) << "responsive afterwards";
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(LauncherGone());
}

TEST_F(LauncherE2E, AVariableChangedInTheUsersEnvironmentReachesTheNextStart) {
    // The item names the variable in its parameters and its folder; the helper records both
    // what it was given and what it inherited.
    WriteCatalogue();
    {
        TShellIniFile catalogue(kestrum->IniPath());
        catalogue.WriteItemInfo({L"E", L"環境", helper, L"%KESTRUM_PROBE% %KESTRUM_UNDEFINED%", dir.File(L"%KESTRUM_PROBE%")},
                                1, 3);
    }
    // Stored as the system's settings dialog stores it, and announced as it announces it.
    auto announce = [] {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                              SMTO_ABORTIFHUNG, 5000, &result);
    };
    ScopeExit announceRemoved(announce);  // once the value below is put back
    const TestRegistryValue probe(HKEY_CURRENT_USER, L"Environment", L"KESTRUM_PROBE");
    auto setProbe = [&](const wchar_t* value) {
        if (value) probe.Set(REG_SZ, value, DWORD((wcslen(value) + 1) * sizeof(wchar_t)));
        else probe.PutBack();
        announce();
    };
    StartResident();
    const std::wstring record = dir.File(L"launched.txt");
    for (const std::wstring value : {L"one", L"two"}) {
        ::CreateDirectoryW(dir.File(value).c_str(), nullptr);
        setProbe(value.c_str());
        ASSERT_TRUE(OpenLauncher());
        SendKey('1');
        SendKey('E');
        EXPECT_EQ(WaitForText(record), ToUtf8(value + L" %KESTRUM_UNDEFINED%\n" + dir.File(value) +
                                                L"\nKESTRUM_PROBE=" + value + L"\n"));
        ::DeleteFileW(record.c_str());
        ASSERT_TRUE(LauncherGone());
    }
    TItemInfo stored;
    TShellIniFile(kestrum->IniPath()).ReadItemInfo(1, 3, stored);
    EXPECT_EQ(stored.Param, L"%KESTRUM_PROBE% %KESTRUM_UNDEFINED%") << "the stored text stays as written";
}
