// What the launcher takes from the keyboard and what a start makes of %NAME%.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "launcher/Environment.hpp"
#include "launcher/LauncherKeys.hpp"
#include "launcher/Main.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/ShellApi.hpp"

// What a key pressed or a character typed picks in the launcher: a group's digit or an item's
// letter, whatever the keypad, the shift state, the width or the input method made of it.
TEST(LauncherKeys, EachKeyAndCharacterPicksItsAsciiKeyOrNothing) {
    const UINT scanOfN = ::MapVirtualKeyW('N', MAPVK_VK_TO_VSC), scanOf1 = ::MapVirtualKeyW('1', MAPVK_VK_TO_VSC);
    const struct {
        UINT vk, scan;
        std::optional<UINT> key;
    } presses[] = {
        {'1', 0, '1'}, {'N', 0, 'N'}, {VK_NUMPAD0, 0, '0'}, {VK_NUMPAD9, 0, '9'}, {VK_RETURN, 0, VK_RETURN},
        {VK_ESCAPE, 0, VK_ESCAPE},
        {VK_PROCESSKEY, scanOfN, 'N'}, {VK_PROCESSKEY, scanOf1, '1'},  // the input method's key, the key behind
        {VK_SPACE, 0, std::nullopt}, {VK_TAB, 0, std::nullopt}, {VK_OEM_MINUS, 0, std::nullopt},
        {VK_F1, 0, std::nullopt}, {VK_PROCESSKEY, 0, std::nullopt},
    };
    for (const auto& c : presses) EXPECT_EQ(LauncherKeyOfPress(c.vk, c.scan), c.key) << c.vk << " " << c.scan;
    const std::pair<wchar_t, wchar_t> typed[] = {
        {L'n', L'N'}, {L'N', L'N'}, {L'7', L'7'}, {L'１', L'1'}, {L'０', L'0'}, {L'Ｎ', L'N'}, {L'ｎ', L'N'},
        {L'！', L'!'}, {L'あ', L'あ'}, {L'ｱ', L'ｱ'}, {L'é', L'é'},
    };
    for (const auto& [character, key] : typed) EXPECT_EQ(LauncherKeyOfChar(character), key) << int(character);
}

TEST(NetworkPaths, AreToldFromThePathAndTheirIconsComeFromTheType) {
    ::SetEnvironmentVariableW(L"KESTRUM_SHARE", L"\\\\server\\share");
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"%KESTRUM_SHARE%\\tool.exe", true},  // %NAME% as at a start
        {L"\\\\server\\share\\tool.exe", true}, {L"\\\\?\\UNC\\server\\share\\tool.exe", true},
        {L"\\\\?\\C:\\tools\\tool.exe", false}, {L"C:\\windows\\notepad.exe", false},
        {L"notepad.exe", false}, {L"http://example.com/", false}, {L"", false},
    };
    for (const auto& [path, network] : cases) {
        EXPECT_EQ(IsNetworkPath(path), network) << path;
        EXPECT_EQ((FileIconLookupFlags(path) & SHGFI_USEFILEATTRIBUTES) != 0, network) << path;
    }
    UniqueHicon typeIcon(LookUpFileIcon(L"\\\\no-such-server\\share\\tool.exe"));
    EXPECT_TRUE(typeIcon) << "the icon of a program file, without asking the server";
    UniqueHicon expanded(LookUpFileIcon(L"%WINDIR%\\notepad.exe"));
    EXPECT_TRUE(expanded) << "the icon of the file a start opens";
    ::SetEnvironmentVariableW(L"KESTRUM_SHARE", nullptr);
}

TEST(ExpandVariables, DefinedNamesAreExpandedTheRestStaysAsWritten) {
    ::SetEnvironmentVariableW(L"KESTRUM_A", L"alpha");
    ::SetEnvironmentVariableW(L"KESTRUM_LONG", std::wstring(3000, L'x').c_str());
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"%KESTRUM_A%", L"alpha"},
        {L"%kestrum_a%\\bin", L"alpha\\bin"},
        {L"%KESTRUM_A%-%KESTRUM_A%", L"alpha-alpha"},
        {L"%KESTRUM_UNDEFINED% %KESTRUM_A%", L"%KESTRUM_UNDEFINED% alpha"},
        {L"100% sure", L"100% sure"},
        {L"%%", L"%%"},
        {L"%", L"%"},
        {L"", L""},
        {L"表示 %KESTRUM_A% ｶﾅ", L"表示 alpha ｶﾅ"},
        {L"%KESTRUM_LONG%", std::wstring(3000, L'x')},
    };
    for (const auto& [text, expanded] : cases) EXPECT_EQ(ExpandVariables(text), expanded) << text.substr(0, 40);
    ::SetEnvironmentVariableW(L"KESTRUM_A", nullptr);
    ::SetEnvironmentVariableW(L"KESTRUM_LONG", nullptr);
}

TEST(ExpandVariables, OnlyTheSettingsChangeOfTheEnvironmentCounts) {
    EXPECT_TRUE(IsEnvironmentChange(L"Environment"));
    EXPECT_TRUE(IsEnvironmentChange(L"environment"));
    EXPECT_FALSE(IsEnvironmentChange(L"intl"));
    EXPECT_FALSE(IsEnvironmentChange(nullptr));
}

TEST(LauncherPlace, OnTheWorkAreaNeverLargerThanItNorTooSmallToUse) {
    const RECT screen{0, 0, 1280, 760}, leftBar{100, 0, 1280, 800};
    const struct {
        int width, height, group, dpi;
        RECT work, bounds;
        int groupWidth;
    } cases[] = {
        {800, 600, 300, 96, screen, {0, 0, 800, 600}, 300},        // as set
        {900, 500, 300, 144, screen, {0, 0, 1280, 750}, 450},      // scaled, cut to the screen's width
        {800, 600, 300, 144, screen, {0, 0, 1200, 760}, 450},      // and height
        {0, 0, 300, 96, screen, {0, 0, 160, 120}, 120},            // never too small to use
        {0, -5, 0, 144, screen, {0, 0, 240, 180}, 60},             // ... at the DPI too
        {800, 600, -5, 96, screen, {0, 0, 800, 600}, 40},          // both panels usable
        {800, 600, 790, 96, screen, {0, 0, 800, 600}, 760},
        {800, 600, 300, 96, leftBar, {100, 0, 900, 600}, 300},     // the work area's corner
        {800, 600, 300, 96, {0, 0, 100, 80}, {0, 0, 100, 80}, 60}, // a tiny screen wins
    };
    for (const auto& c : cases) {
        const TLauncherPlace place = LauncherPlace(c.width, c.height, c.group, c.dpi, c.work);
        EXPECT_TRUE(::EqualRect(&place.bounds, &c.bounds))
            << c.width << "x" << c.height << " @" << c.dpi << ": " << place.bounds.left << "," << place.bounds.top
            << " " << place.bounds.right << "x" << place.bounds.bottom;
        EXPECT_EQ(place.groupWidth, c.groupWidth) << c.width << "x" << c.height << " @" << c.dpi;
    }
}

TEST(FirstRunHint, NamesTheOptionsHotKeyOrTheTrayCommandWhenThereIsNone) {
    EXPECT_EQ(FirstRunHint(L"y"), L"Ctrl+Y のｵﾌﾟｼｮﾝ画面でグループと項目を追加できます");
    EXPECT_EQ(FirstRunHint(L"7"), L"Ctrl+7 のｵﾌﾟｼｮﾝ画面でグループと項目を追加できます");
    EXPECT_EQ(FirstRunHint(L"Ｙ"), L"通知領域のｱｲｺﾝのｵﾌﾟｼｮﾝ画面でグループと項目を追加できます");
}
