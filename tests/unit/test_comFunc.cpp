#include <gtest/gtest.h>

#include <thread>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Exceptions.hpp"

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetIniFilePathForTests(path); }
    void TearDown() override { SetIniFilePathForTests(L""); }
    TempDir dir;
    std::wstring path = dir.File(L"Kestrum.INI");
};

TEmvData Loaded() {
    TEmvData data{};
    LoadEmvData(data);
    return data;
}

// The 31 lines a save writes, in file order.
std::string ExpectedSection(const TEmvData& d) {
    auto line = [](const char* key, const std::string& value) { return std::string(key) + "=" + value + "\r\n"; };
    auto n = [](int v) { return std::to_string(v); };
    return "[EMVDATA]\r\n" + line("MAINKEY", ToAnsi(d.MainKey)) + line("OPTIONKEY", ToAnsi(d.OptionKey)) +
           line("NORMALFONTNAME", ToAnsi(d.NormalFontName)) + line("NORMALFONTCHARSET", n(d.NormalFontCharset)) +
           line("NORMALFONTSIZE", n(d.NormalFontSize)) + line("NORMALFONTRED", n(d.NormalFontRed)) +
           line("NORMALFONTGREEN", n(d.NormalFontGreen)) + line("NORMALFONTBLUE", n(d.NormalFontBlue)) +
           line("NORMALFONTSTYLE", n(d.NormalFontStyle)) + line("GROUPSTARTRED", n(d.GroupStartRed)) +
           line("GROUPSTARTGREEN", n(d.GroupStartGreen)) + line("GROUPSTARTBLUE", n(d.GroupStartBlue)) +
           line("ITEMSTARTRED", n(d.ItemStartRed)) + line("ITEMSTARTGREEN", n(d.ItemStartGreen)) +
           line("ITEMSTARTBLUE", n(d.ItemStartBlue)) + line("GROUPENDRED", n(d.GroupEndRed)) +
           line("GROUPENDGREEN", n(d.GroupEndGreen)) + line("GROUPENDBLUE", n(d.GroupEndBlue)) +
           line("ITEMENDRED", n(d.ItemEndRed)) + line("ITEMENDGREEN", n(d.ItemEndGreen)) +
           line("ITEMENDBLUE", n(d.ItemEndBlue)) + line("SELECTFONTNAME", ToAnsi(d.SelectFontName)) +
           line("SELECTFONTCHARSET", n(d.SelectFontCharset)) + line("SELECTFONTSIZE", n(d.SelectFontSize)) +
           line("SELECTFONTRED", n(d.SelectFontRed)) + line("SELECTFONTGREEN", n(d.SelectFontGreen)) +
           line("SELECTFONTBLUE", n(d.SelectFontBlue)) + line("SELECTFONTSTYLE", n(d.SelectFontStyle)) +
           line("WINWIDTH", n(d.WinWidth)) + line("WINHEIGHT", n(d.WinHeight)) +
           line("GRPWINWIDTH", n(d.GrpWinWidth));
}

}  // namespace

TEST_F(SettingsFileTest, MissingFileGivesTheDefaultsAndCreatesNothing) {
    const TEmvData expected{L"K", L"Y", L"ＭＳ Ｐ明朝", 128, 11, 100, 100, 255, 0,
                            180, 180, 250, 180, 180, 250, 180, 180, 250, 180, 180, 250,
                            L"ＭＳ Ｐ明朝", 128, 11, 255, 100, 100, 0, 800, 600, 300};
    EXPECT_EQ(Loaded(), expected);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(SettingsFileTest, IntegersFallBackPerKeyAndBlankTextsTakeTheirDefaults) {
    WriteFileBytes(path, "[EMVDATA]\r\nWINWIDTH=abc\r\nWINHEIGHT=0x320\r\nGRPWINWIDTH=-5\r\n"
                         "NORMALFONTNAME=\r\nNORMALFONTSIZE=\r\nSELECTFONTSIZE=$10\r\n");
    TEmvData data = Loaded();
    EXPECT_EQ(data.WinWidth, 800);
    EXPECT_EQ(data.WinHeight, 800);
    EXPECT_EQ(data.GrpWinWidth, -5);
    EXPECT_EQ(data.NormalFontName, L"ＭＳ Ｐ明朝") << "present but blank, as if missing";
    EXPECT_EQ(data.NormalFontSize, 11);
    EXPECT_EQ(data.SelectFontSize, 16);
    EXPECT_EQ(data.SelectFontName, L"ＭＳ Ｐ明朝");
}

TEST_F(SettingsFileTest, LoadReplacesTheCallersRecordWhole) {
    WriteFileBytes(path, "[EMVDATA]\r\nMAINKEY=Q\r\n");
    TEmvData data{};
    data.OptionKey = L"stale";
    data.WinWidth = 1;
    LoadEmvData(data);
    EXPECT_EQ(data.MainKey, L"Q");
    EXPECT_EQ(data.OptionKey, L"Y");
    EXPECT_EQ(data.WinWidth, 800);
}

TEST_F(SettingsFileTest, SaveToAMissingFileWritesTheKeysInTableOrder) {
    TEmvData data = Loaded();
    data.MainKey = L"J";
    data.NormalFontRed = 300;
    data.WinHeight = -2;
    SaveEmvData(data);
    EXPECT_EQ(ReadFileBytes(path), ExpectedSection(data));
    EXPECT_EQ(Loaded(), data);
}

TEST_F(SettingsFileTest, SaveKeepsTheCatalogueAndReplacesKeysInPlace) {
    const std::string catalogue = "[DATA]\r\nGROUP-00001KEY-00000=1\r\nGROUP-00001NAME-00000=\x83\x63\x81\x5B\x83\x8B\r\n";
    WriteFileBytes(path, "[EMVDATA]\r\nWINWIDTH=1\r\n;mine\r\nMyKey=kept\r\nmainkey=Z\r\n" + catalogue);
    TEmvData data = Loaded();
    data.WinWidth = 1024;
    SaveEmvData(data);
    const std::string bytes = ReadFileBytes(path);
    // The existing keys stay where they stood, as spelt; other lines stay; the rest follow.
    EXPECT_EQ(bytes.rfind("[EMVDATA]\r\nWINWIDTH=1024\r\n;mine\r\nMyKey=kept\r\nmainkey=Z\r\nOPTIONKEY=Y\r\n", 0), 0u)
        << bytes;
    EXPECT_NE(bytes.find(catalogue), std::string::npos);
    EXPECT_EQ(Loaded(), data);
}

TEST_F(SettingsFileTest, AFileHeldForAMomentByAnotherProgramIsSavedWhole) {
    WriteFileBytes(path, "[EMVDATA]\r\nMAINKEY=Q\r\n");
    TEmvData data = Loaded();
    data.MainKey = L"J";
    // Held open by a scanner, not even to be read, and let go after a moment: through the read,
    // the backup's copy and the replace.
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        ::Sleep(300);
        ::CloseHandle(held);
    });
    TIniDocument document = TIniDocument::Read(path);
    PutEmvData(document, data);
    EXPECT_TRUE(SaveIniFileSafely(path, document)) << "with its backup";
    release.join();
    EXPECT_EQ(Loaded(), data);
    EXPECT_EQ(ReadFileBytes(path + L".bak"), "[EMVDATA]\r\nMAINKEY=Q\r\n");
}

TEST_F(SettingsFileTest, AUtf8FileWithItsMarkIsReadAsUtf8AndSavedAsUtf16WithItsTexts) {
    // Written by an editor that marks UTF-8: names in Japanese and Korean, a value in quotes.
    const std::wstring font = L"ＭＳ ゴシック", name = L"한국어 メモ帳", param = L"\"x y\"";
    WriteFileBytes(path, "\xEF\xBB\xBF[EMVDATA]\r\nNORMALFONTNAME=" + ToUtf8(font) + "\r\n[DATA]\r\n"
                         "GROUP-00001KEY-00000=1\r\nGROUP-00001NAME-00000=" + ToUtf8(name) + "\r\n"
                         "GROUP-00001PARAM-00000=\"" + ToUtf8(param) + "\"\r\n");
    auto check = [&](const char* when) {
        EXPECT_EQ(Loaded().NormalFontName, font) << when;
        TItemInfo group;
        TShellIniFile(path).ReadItemInfo(1, 0, group);
        EXPECT_EQ(group.Name, name) << when;
        EXPECT_EQ(group.Param, param) << when;
    };
    check("read");
    TEmvData data = Loaded();
    data.WinWidth = 640;
    TIniDocument document = TIniDocument::Read(path);
    PutEmvData(document, data);
    SaveIniFileSafely(path, document);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xFE") << "UTF-16 with its mark";
    check("saved");
    EXPECT_EQ(Loaded().WinWidth, 640);
}

TEST_F(SettingsFileTest, ABigEndianUtf16FileIsSavedWithAllItsTexts) {
    // The catalogue, the settings and a section of the user's own, in UTF-16 big-endian.
    const std::wstring text = L"[EMVDATA]\r\nNORMALFONTNAME=ＭＳ ゴシック\r\n[DATA]\r\nGROUP-00001KEY-00000=1\r\n"
                              L"GROUP-00001NAME-00000=ツール\r\n[MINE]\r\nNOTE=한국어 메모\r\n";
    std::string bytes = "\xFE\xFF";
    for (wchar_t c : text) bytes += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    WriteFileBytes(path, bytes);
    TEmvData data = Loaded();
    EXPECT_EQ(data.NormalFontName, L"ＭＳ ゴシック");
    data.WinWidth = 640;
    TIniDocument document = TIniDocument::Read(path);
    PutEmvData(document, data);
    SaveIniFileSafely(path, document);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xFE") << "little-endian, as the rest of the program writes";
    EXPECT_EQ(Loaded(), data);
    TItemInfo group;
    TShellIniFile(path).ReadItemInfo(1, 0, group);
    EXPECT_EQ(group.Name, L"ツール");
    EXPECT_EQ(TIniFile(path).ReadString(L"MINE", L"NOTE", L""), L"한국어 메모");
}

TEST_F(SettingsFileTest, ARefusedSaveReportsTheFile) {
    SetIniFilePathForTests(dir.File(L"no-such-folder\\Kestrum.INI"));
    try {
        SaveEmvData(Loaded());
        FAIL() << "the save should have been refused";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, dir.File(L"no-such-folder\\Kestrum.INI") + L" に書き込めません");
    }
}

TEST(Colors, ComponentsAreCutTo8BitsRedLowest) {
    EXPECT_EQ(ColorFromComponents(255, 255, 0), 0x00FFFFu);
    EXPECT_EQ(ColorFromComponents(300, 0, 0), 44u);
    EXPECT_EQ(ColorFromComponents(-1, 256, 1), 0x0100FFu);
}
