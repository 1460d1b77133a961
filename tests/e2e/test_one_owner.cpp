// One owner for the keyboard and for Kestrum's windows, as a user meets it with the real
// keyboard and mouse (X events in the Wine desktop): one options dialog however often it is
// asked for, a launcher that goes when the user goes elsewhere, launches typed back to back that
// all count, and a second start that finds the copy running.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <sstream>
#include <string>

#include "support/JourneyFixture.hpp"

namespace {

class OneOwnerE2E : public JourneyE2E {
protected:
    // The lines the helper has added to its log, one per start.
    std::vector<std::string> LaunchLog() const {
        std::istringstream log(ReadFileBytes(dir.File(L"launches.log")));
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        return lines;
    }
    HWND WaitOptionsInFront() { return kestrum->WaitForeground(L"TfmOption"); }

    // The starts of ten rounds of Ctrl+K, 1, a letter typed 40 ms a key, by their arguments,
    // and the keys that landed in a started program.
    struct Rounds {
        std::map<std::string, int> starts;
        std::string strays;
    };
    Rounds TypeTenRoundsBackToBack() {
        ::DeleteFileW(dir.File(L"launches.log").c_str());
        ::DeleteFileW(dir.File(L"strays.log").c_str());
        std::string keys;
        for (int round = 0; round < 10; ++round) keys += std::string(" ctrl+k 1 ") + "abc"[round % 3];
        XKeys(keys, 40);  // nothing waits for a launcher to appear or to go
        WaitFor([&] { return LaunchLog().size() >= 10; }, std::chrono::seconds(30));
        // One more start, with time for each step: once it is there, the count is complete.
        if (Gone(L"TfmShow")) {
            XKeys("ctrl+k");
            if (kestrum->WaitWindow(L"TfmShow") && XFocusComesTo("Kestrum")) XKeys("1 a");
            WaitFor([&] { return LaunchLog().size() >= 11; }, std::chrono::seconds(20));
        }
        WaitFor([] { return !::FindWindowW(L"KestrumStarted", nullptr); });  // their windows gone
        Rounds rounds{{}, ReadFileBytes(dir.File(L"strays.log"))};
        for (const std::string& line : LaunchLog()) ++rounds.starts[line];
        return rounds;
    }
};

}  // namespace

TEST_F(OneOwnerE2E, TheOptionsDialogAskedForAgainComesToTheFrontAndStaysOne) {
    StartWithCatalogue();
    XKeys("ctrl+y");
    const HWND options = WaitOptionsInFront();
    ASSERT_TRUE(options);
    TypeHere editor;  // another program takes the front, and the dialog is lost behind it
    ASSERT_TRUE(editor.Ready());
    ASSERT_TRUE(XFocusComesTo("Type here"));
    XKeys("ctrl+y");
    EXPECT_EQ(WaitOptionsInFront(), options);
    EXPECT_TRUE(XFocusComesTo(kOptionsCaption));
    XClick(TrayIconPoint(), 3);
    const HWND menu = kestrum->WaitWindow(L"#32768");
    ASSERT_TRUE(menu);
    RECT rect{};
    ::GetWindowRect(menu, &rect);
    XClick({rect.left + 40, rect.top + 40});  // ｵﾌﾟｼｮﾝ画面, the third entry
    EXPECT_EQ(WaitOptionsInFront(), options);
    EXPECT_EQ(kestrum->Windows(L"TfmOption").size(), 1u);
    XKeys("Escape");
    EXPECT_TRUE(Gone(L"TfmOption"));
}

TEST_F(OneOwnerE2E, AClickIntoAnotherProgramClosesTheLauncherAndTheNextHotKeyOpensIt) {
    // A small launcher, so the other program's window lies beside it.
    WriteFileBytes(kestrum->IniPath(), "[EMVDATA]\r\nWINWIDTH=240\r\nWINHEIGHT=160\r\nGRPWINWIDTH=100\r\n");
    TypeHere editor;
    ASSERT_TRUE(editor.Ready());
    StartWithCatalogue();
    XKeys("ctrl+k");
    LauncherTakesTheKeys();
    XClick(editor.EditPoint());
    EXPECT_TRUE(Gone(L"TfmShow"));
    ASSERT_TRUE(XFocusComesTo("Type here"));
    XType("z");
    EXPECT_TRUE(WaitFor([&] { return editor.Text() == L"z"; })) << ToUtf8(editor.Text());

    XKeys("ctrl+k");
    LauncherTakesTheKeys();
    XKeys("1 b");
    EXPECT_EQ(Launched(), Record("-B"));
}

TEST_F(OneOwnerE2E, TenLaunchesTypedBackToBackStartTenProgramsAndNoKeyLandsInOne) {
    {
        // Each started program shows a window that takes the foreground, as most do.
        TShellIniFile catalogue(kestrum->IniPath());
        catalogue.WriteItemInfo({L"1", L"Started"}, 1, 0);
        for (int i = 0; i < 3; ++i) {
            const std::wstring key(1, static_cast<wchar_t>(L'A' + i));
            catalogue.WriteItemInfo({key, key, helper, L"--window -" + key, startFolder}, 1, i + 1);
        }
    }
    StartResident();
    const Rounds expected{{{"--window -A", 5}, {"--window -B", 3}, {"--window -C", 3}}, ""};
    Rounds rounds = TypeTenRoundsBackToBack();
    // Under Wine each program reads the keys of its own windows: while the keyboard moves between
    // programs busy starting up, a key now and then reaches Wine late or not at all, before any
    // hook sees it (about one run in fifteen here). One more try then; a fault of Kestrum's
    // fails both (the catcher on the window thread lost four or five rounds of ten every time).
    if (rounds.starts != expected.starts || !rounds.strays.empty()) rounds = TypeTenRoundsBackToBack();
    EXPECT_EQ(rounds.starts, expected.starts);
    EXPECT_EQ(rounds.strays, "") << "keys typed into a started program";
}

TEST_F(OneOwnerE2E, ASecondStartShowsTheOptionsOfTheCopyRunningAndEndsQuietly) {
    StartWithCatalogue();
    EXPECT_EQ(kestrum->StartAgainAndWait(), 0u);
    EXPECT_TRUE(WaitOptionsInFront());
    EXPECT_TRUE(kestrum->Windows(L"#32770").empty()) << "no message about the hot keys";
    EXPECT_TRUE(kestrum->Running());
    SaveScreenshot(L"second-start-options");
    XKeys("Escape");
    EXPECT_TRUE(Gone(L"TfmOption"));
}
