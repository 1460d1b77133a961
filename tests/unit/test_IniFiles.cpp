#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "support/TestSupport.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/IniFiles.hpp"

TEST(ParseIniInteger, ReadsDecimalAndBothHexadecimalForms) {
    EXPECT_EQ(ParseIniInteger(L"800"), 800);
    EXPECT_EQ(ParseIniInteger(L"-5"), -5);
    EXPECT_EQ(ParseIniInteger(L"+7"), 7);
    EXPECT_EQ(ParseIniInteger(L"0x320"), 800);
    EXPECT_EQ(ParseIniInteger(L"0X320"), 800);
    EXPECT_EQ(ParseIniInteger(L"$320"), 800);
    EXPECT_EQ(ParseIniInteger(L"$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ParseIniInteger(L"2147483647"), INT_MAX);
}

TEST(ParseIniInteger, RefusesWhatIsNotA32BitWholeNumber) {
    for (const wchar_t* text : {L"", L"abc", L"12abc", L"0x", L"$", L"-", L"1.5", L"0xG1",
                                L"2147483648", L"-2147483649", L"99999999999", L"$100000000"})
        EXPECT_FALSE(ParseIniInteger(text).has_value()) << text;
}

class IniFileTest : public ::testing::Test {
protected:
    TempDir dir;
    TIniFile ini{dir.File(L"test.ini")};
};

TEST_F(IniFileTest, PresentEmptyValueIsEmptyButMissingKeyGivesDefault) {
    WriteFileBytes(ini.FileName(), "[S]\r\nEMPTY=\r\nNUM=\r\n");
    EXPECT_EQ(ini.ReadString(L"S", L"EMPTY", L"dflt"), L"");
    EXPECT_EQ(ini.ReadString(L"S", L"MISSING", L"dflt"), L"dflt");
    EXPECT_EQ(ini.ReadInteger(L"S", L"NUM", 42), 42);
    EXPECT_EQ(ini.ReadInteger(L"S", L"MISSING", 42), 42);
}

TEST_F(IniFileTest, LongValuesAreReadWhole) {
    for (size_t length : {254u, 255u, 256u, 1023u, 1024u, 40000u}) {
        std::wstring value(length, L'x');
        value.back() = L'Z';
        ini.WriteString(L"S", L"LONG", value);
        EXPECT_EQ(ini.ReadString(L"S", L"LONG", L""), value) << length;
    }
}

TEST_F(IniFileTest, JapaneseIsStoredInTheAnsiCodePage) {
    ASSERT_EQ(::GetACP(), 932u) << "the tests run with LANG=ja_JP.UTF-8";
    ini.WriteString(L"S", L"FONT", L"ＭＳ Ｐ明朝");
    const std::string bytes = ReadFileBytes(ini.FileName());
    EXPECT_NE(bytes.find("FONT=\x82\x6C\x82\x72\x20\x82\x6F\x96\xBE\x92\xA9"), std::string::npos);
    EXPECT_EQ(ini.ReadString(L"S", L"FONT", L""), L"ＭＳ Ｐ明朝");
}

TEST_F(IniFileTest, RefusedWritesRaiseTheWriteErrorWithThePath) {
    TIniFile nowhere(dir.File(L"missing-folder\\x.ini"));
    try {
        nowhere.WriteInteger(L"S", L"K", 1);
        FAIL() << "the write should have been refused";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, nowhere.FileName() + L" に書き込めません");
    }
    EXPECT_THROW(nowhere.EraseSection(L"S"), EIniFileException);
}

TEST_F(IniFileTest, EraseSectionLeavesOtherSections) {
    ini.WriteString(L"A", L"K", L"1");
    ini.WriteString(L"B", L"K", L"2");
    ini.EraseSection(L"A");
    EXPECT_EQ(ini.ReadString(L"A", L"K", L"-"), L"-");
    EXPECT_EQ(ini.ReadString(L"B", L"K", L"-"), L"2");
}

TEST_F(IniFileTest, EveryTextReadsBackAsWrittenInBothEncodings) {
    for (IniEncoding encoding : {IniEncoding::Ansi, IniEncoding::Utf16}) {
        ::DeleteFileW(ini.FileName().c_str());
        SetIniFileEncoding(ini.FileName(), encoding);
        for (const std::wstring& text : AwkwardTexts()) {
            if (encoding == IniEncoding::Ansi && !FitsAnsiCodePage(text)) continue;
            ini.WriteString(L"S", L"V", text);
            EXPECT_EQ(ini.ReadString(L"S", L"V", L"(missing)"), text) << ToAnsi(text.substr(0, 40));
            EXPECT_EQ(TIniSection(ini.FileName(), L"S").ReadString(L"V", L"(missing)"), text);
        }
    }
}

TEST_F(IniFileTest, OnlyValuesAReaderWouldChangeGetQuotes) {
    EXPECT_EQ(QuoteIniValue(L"plain \"inside\" text"), L"plain \"inside\" text");
    EXPECT_EQ(QuoteIniValue(L"\"a\" b"), L"\"a\" b");
    EXPECT_EQ(QuoteIniValue(L""), L"");
    EXPECT_EQ(QuoteIniValue(L"\""), L"\"") << "a lone quote is not a pair";
    EXPECT_EQ(QuoteIniValue(L"\"a\""), L"\"\"a\"\"");
    EXPECT_EQ(QuoteIniValue(L" a"), L"\" a\"");
}

TEST_F(IniFileTest, ASectionReadInOneCallGivesWhatTheKeyByKeyReadsGive) {
    // Awkward files: case, repeated keys and sections, blanks, quotes, numbers, lines without
    // "=", comments, other sections around.
    const std::string lines =
        "; comment\r\n[Other]\r\nKEY=other\r\n[S]\r\nKey=first\r\nKEY=second\r\n  spaced  =  value with blanks  \r\n"
        "QUOTED=\"in quotes\"\r\nSINGLE='single'\r\nHALF=\"half\r\nKEPT=\"\"kept\"\"\r\nNUM= 0x20 \r\nBAD=12abc\r\n"
        "NOEQUALS\r\nEMPTY=\r\n=novalue\r\nJAPANESE=" + ToAnsi(L"表示 ｶﾅ") + "\r\n[s]\r\nLATE=late\r\nKEY=third\r\n[After]\r\nX=1\r\n";
    const std::vector<std::wstring> keys = {L"KEY", L"key", L"spaced", L"QUOTED", L"SINGLE", L"HALF", L"KEPT",
                                            L"NUM", L"BAD", L"NOEQUALS", L"EMPTY", L"", L"JAPANESE", L"LATE",
                                            L"MISSING", L"X"};
    for (IniEncoding encoding : {IniEncoding::Ansi, IniEncoding::Utf16}) {
        WriteFileBytes(ini.FileName(), lines);
        SetIniFileEncoding(ini.FileName(), encoding);
        const TIniSection section(ini.FileName(), L"S");
        for (const std::wstring& key : keys) {
            EXPECT_EQ(section.ReadString(key, L"(default)"), ini.ReadString(L"S", key, L"(default)")) << ToAnsi(key);
            EXPECT_EQ(section.ReadInteger(key, -7), ini.ReadInteger(L"S", key, -7)) << ToAnsi(key);
        }
    }
}
