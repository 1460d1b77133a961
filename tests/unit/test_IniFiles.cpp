#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdlib>
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

TEST(SystemCodePage, IsTheOneTheRunIsFor) {
    // scripts/test.sh runs these tests once more with Wine in code page 1252.
    const char* expected = std::getenv("KESTRUM_EXPECT_ACP");
    EXPECT_EQ(::GetACP(), expected ? static_cast<UINT>(std::atoi(expected)) : 932u);
}

TEST_F(IniFileTest, JapaneseIsStoredInShiftJisWhateverTheSystemsCodePage) {
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

TEST_F(IniFileTest, EveryTextReadsBackAsWrittenInShiftJisOrElseUtf16) {
    std::vector<std::wstring> texts = AwkwardTexts();
    // What the readers also trim at the ends: vertical tab, form feed, ^Z.
    for (const wchar_t* ends : {L"\x0Bvt", L"ff\x0C", L"\x1A", L"\x0B\x1A\x0C"}) texts.push_back(ends);
    for (const std::wstring& text : texts) {
        ::DeleteFileW(ini.FileName().c_str());
        ini.WriteString(L"S", L"V", text);
        EXPECT_EQ(ini.ReadString(L"S", L"V", L"(missing)"), text) << ToUtf8(text.substr(0, 40));
        EXPECT_EQ(ReadFileBytes(ini.FileName()).rfind("\xFF\xFE", 0) == 0, !FitsShiftJis(text))
            << "UTF-16 only for what Shift-JIS lacks: " << ToUtf8(text.substr(0, 40));
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

