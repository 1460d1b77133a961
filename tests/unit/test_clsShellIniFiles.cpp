#include <gtest/gtest.h>

#include <algorithm>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Exceptions.hpp"

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { SetIniFilePathForTests(path); }
    void TearDown() override { SetIniFilePathForTests(L""); }
    TItemInfo Read(int group, int item) {
        TItemInfo info{L"stale", L"stale", L"stale", L"stale", L"stale", 7};
        TShellIniFile().ReadItemInfo(group, item, info);
        return info;
    }
    TempDir dir;
    std::wstring path = dir.File(L"Kestrum.INI");
};

}  // namespace

TEST(EntryKeyName, PadsBothNumbersToFiveDigitsAndKeepsLongerOnes) {
    EXPECT_EQ(EntryKeyName(1, L"KEY-", 0), L"GROUP-00001KEY-00000");
    EXPECT_EQ(EntryKeyName(12, L"DirName-", 345), L"GROUP-00012DirName-00345");
    EXPECT_EQ(EntryKeyName(100000, L"KEY-", 0), L"GROUP-100000KEY-00000");
}

TEST_F(CatalogueTest, MissingOrEmptyFileHasNoGroupsOrItems) {
    EXPECT_EQ(TShellIniFile().GetGroupCount(), 0);
    EXPECT_EQ(TShellIniFile().GetItemCount(1), 0);
    EXPECT_EQ(Read(1, 1), TItemInfo{});
    WriteFileBytes(path, "");
    EXPECT_EQ(TShellIniFile().GetGroupCount(), 0);
    EXPECT_FALSE(ReadFileBytes(path).size());
}

TEST_F(CatalogueTest, ListsEndAtTheFirstMissingOrEmptyKey) {
    WriteFileBytes(path,
                   "[DATA]\r\n"
                   "GROUP-00001KEY-00000=1\r\n"
                   "GROUP-00003KEY-00000=3\r\n"
                   "GROUP-00001KEY-00001=A\r\n"
                   "GROUP-00001KEY-00002=B\r\n"
                   "GROUP-00001KEY-00003=\r\n"
                   "GROUP-00001KEY-00004=D\r\n"
                   "GROUP-00003KEY-00001=E\r\n");
    TShellIniFile catalogue;
    EXPECT_EQ(catalogue.GetGroupCount(), 1);
    EXPECT_EQ(catalogue.GetItemCount(1), 2);
    EXPECT_EQ(catalogue.GetItemCount(2), 0);
    EXPECT_EQ(catalogue.GetItemCount(3), 1);  // counts do not look at the group list

    WriteFileBytes(path, "[DATA]\r\nGROUP-00001KEY-00000=1\r\nGROUP-00002KEY-00000=\r\nGROUP-00003KEY-00000=3\r\n");
    EXPECT_EQ(TShellIniFile().GetGroupCount(), 1);
}

TEST_F(CatalogueTest, ReadsAllSixValuesAndTreatsBadNumbersAsZero) {
    WriteFileBytes(path,
                   "[DATA]\r\n"
                   "GROUP-00001KEY-00001=N\r\n"
                   "GROUP-00001NAME-00001=\x83\x81\x83\x82\x92\xA0\r\n"  // メモ帳
                   "GROUP-00001FILENAME-00001=C:\\Windows\\notepad.exe\r\n"
                   "GROUP-00001PARAM-00001=/a b\r\n"
                   "GROUP-00001DirName-00001=C:\\Windows\r\n"
                   "GROUP-00001ICONNO-00001=abc\r\n"
                   "GROUP-00001ICONNO-00002=-3\r\n"
                   "GROUP-00000KEY-00001=X\r\n");
    EXPECT_EQ(Read(1, 1), (TItemInfo{L"N", L"メモ帳", L"C:\\Windows\\notepad.exe", L"/a b", L"C:\\Windows", 0}));
    EXPECT_EQ(Read(1, 2).IconNo, -3);
    EXPECT_EQ(Read(2, 1), TItemInfo{});  // an absent entry replaces the record with an empty one
}

TEST_F(CatalogueTest, WholeWriteReplacesTheSectionAndKeepsTheSettings) {
    const std::string settings = "[EMVDATA]\r\nMAINKEY=J\r\nWINWIDTH=640\r\n";
    WriteFileBytes(path, settings +
                             "[DATA]\r\nGROUP-00001KEY-00000=9\r\nGROUP-00005KEY-00000=5\r\n"
                             "GROUP-00001KEY-00003=Q\r\n");
    {
        TShellIniFile catalogue;
        catalogue.EraseData();
        catalogue.WriteItemInfo({L"1", L"ツール", L"", L"", L"", 0}, 1, 0);
        catalogue.WriteItemInfo({L"N", L"Notepad", L"C:\\Windows\\notepad.exe", L"", L"C:\\Windows", 0}, 1, 1);
        catalogue.WriteItemInfo({L"R", L"Reg", L"regedit.exe", L"/s", L"", 2}, 1, 2);
        catalogue.WriteItemInfo({L"2", L"Empty", L"", L"", L"", 0}, 2, 0);
    }
    auto entry = [](const char* g, const char* i, const std::string& key, const std::string& name,
                    const std::string& file, const std::string& param, const std::string& folder,
                    const std::string& icon) {
        std::string k = std::string("GROUP-") + g;
        return k + "NAME-" + i + "=" + name + "\r\n" + k + "FILENAME-" + i + "=" + file + "\r\n" + k + "KEY-" +
               i + "=" + key + "\r\n" + k + "PARAM-" + i + "=" + param + "\r\n" + k + "DirName-" + i + "=" +
               folder + "\r\n" + k + "ICONNO-" + i + "=" + icon + "\r\n";
    };
    EXPECT_EQ(ReadFileBytes(path),
              settings + "[DATA]\r\n" + entry("00001", "00000", "1", ToAnsi(L"ツール"), "", "", "", "0") +
                  entry("00001", "00001", "N", "Notepad", "C:\\Windows\\notepad.exe", "", "C:\\Windows", "0") +
                  entry("00001", "00002", "R", "Reg", "regedit.exe", "/s", "", "2") +
                  entry("00002", "00000", "2", "Empty", "", "", "", "0"));

    TShellIniFile catalogue;
    EXPECT_EQ(catalogue.GetGroupCount(), 2);
    EXPECT_EQ(catalogue.GetItemCount(1), 2);
    EXPECT_EQ(catalogue.GetItemCount(2), 0);
    TEmvData settingsRecord{};
    LoadEmvData(settingsRecord);
    EXPECT_EQ(settingsRecord.WinWidth, 640);
}

TEST_F(CatalogueTest, LongAndJapaneseValuesRoundTrip) {
    const TItemInfo item{L"A", std::wstring(3000, L'名'), L"C:\\" + std::wstring(5000, L'p') + L".exe",
                         std::wstring(2100, L'-'), L"D:\\データ", 12};
    TShellIniFile().WriteItemInfo(item, 1, 1);
    EXPECT_EQ(Read(1, 1), item);
}

TEST_F(CatalogueTest, ARefusedWriteRaisesButARefusedEraseIsSilent) {
    SetIniFilePathForTests(dir.File(L"gone\\Kestrum.INI"));
    TShellIniFile catalogue;
    EXPECT_NO_THROW(catalogue.EraseData());
    EXPECT_THROW(catalogue.WriteItemInfo({L"1", L"G"}, 1, 0), EIniFileException);
}

namespace {
// The same text as a UTF-16 file with its mark.
std::string Utf16File(const std::string& shiftJis) {
    std::wstring text(shiftJis.size(), L'\0');
    text.resize(::MultiByteToWideChar(932, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), text.data(),
                                      static_cast<int>(text.size())));
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}
}  // namespace

namespace {
// The sections' names in file order.
std::vector<std::wstring> SectionNames(const TIniDocument& document) {
    std::vector<std::wstring> names;
    const std::wstring text = document.Text();
    for (size_t pos = 0; (pos = text.find(L'[', pos)) != std::wstring::npos; ++pos)
        if (pos == 0 || text[pos - 1] == L'\n') names.push_back(text.substr(pos + 1, text.find(L']', pos) - pos - 1));
    return names;
}
}  // namespace

TEST_F(CatalogueTest, TheCatalogueAndTheSettingsAreWrittenWhereTheirSectionsStand) {
    const std::vector<std::wstring>& texts = AwkwardTexts();
    // Catalogues: empty; one group; lower-case keys; awkward texts; many groups of full width.
    std::vector<std::vector<std::vector<TItemInfo>>> catalogues = {{}, {{{L"1", L"Tools"}}}};
    catalogues.push_back({{{L"1", L"g"}, {L"a", L"lower", L"x.exe", L"", L"", -3}, {L"a", L"same key"}}});
    std::vector<std::vector<TItemInfo>> awkward = {{{L"2", L"odd"}}};
    for (const std::wstring& text : texts) awkward[0].push_back({L"Z", text, text, text, text, 7});
    catalogues.push_back(awkward);
    std::vector<std::vector<TItemInfo>> wide;
    for (int g = 0; g < 12; ++g) {
        wide.push_back({{std::to_wstring(g % 10), L"group"}});
        for (int i = 0; i < 26; ++i) wide.back().push_back({std::wstring(1, wchar_t(L'A' + i)), L"item", L"C:\\x.exe"});
    }
    catalogues.push_back(wide);
    // Around it: other sections before and after, an old catalogue or none, hand-made lines, in
    // both encodings.
    const std::string arounds[] = {
        "[BEFORE]\r\nX=1\r\n[DATA]\r\nGROUP-00001KEY-00000=9\r\nOLD=1\r\n[EMVDATA]\r\nMAINKEY=K\r\n[AFTER]\r\nY=2\r\n",
        "; hand-made\n[EMVDATA]\n  MAINKEY = K  \n\n[other]\nZ=3",
        "[other]\r\nZ=3\r\n[EMVDATA]\r\n[DATA]\r\nGROUP-00001KEY-00000=9\r\n",  // no settings yet
    };
    TEmvData settings{};
    settings.MainKey = L"K";
    settings.NormalFontName = texts[0];
    const std::wstring file = dir.File(L"Kestrum.INI");
    for (const std::string& around : arounds)
        for (bool utf16 : {false, true})
            for (size_t c = 0; c < catalogues.size(); ++c) {
                const TIniDocument before(utf16 ? Utf16File(around) : around);
                WriteFileBytes(file, before.Bytes());
                WriteCatalogueAndSettings(file, catalogues[c], settings);
                const std::string bytes = ReadFileBytes(file);
                const TIniDocument after(bytes);
                // The sections in their places, new ones at the end, the others' values as they were.
                std::vector<std::wstring> names = SectionNames(before);
                for (const wchar_t* added : {L"DATA", L"EMVDATA"})
                    if (std::find(names.begin(), names.end(), added) == names.end() &&
                        (catalogues[c].size() || std::wstring(added) == L"EMVDATA"))
                        names.push_back(added);
                if (catalogues[c].empty()) names.erase(std::remove(names.begin(), names.end(), L"DATA"), names.end());
                EXPECT_EQ(SectionNames(after), names) << "catalogue " << c;
                for (const wchar_t* other : {L"BEFORE", L"AFTER", L"other"})
                    EXPECT_EQ(after.Values(other), before.Values(other)) << "catalogue " << c;
                TShellIniFile catalogue(file);
                ASSERT_EQ(catalogue.GetGroupCount(), static_cast<int>(catalogues[c].size()));
                for (size_t g = 0; g < catalogues[c].size(); ++g)
                    for (size_t i = 0; i < catalogues[c][g].size(); ++i) {
                        TItemInfo read;
                        catalogue.ReadItemInfo(int(g) + 1, int(i), read);
                        EXPECT_EQ(read, catalogues[c][g][i]) << "catalogue " << c;
                    }
                // Saved again without a change: the same bytes.
                WriteCatalogueAndSettings(file, catalogues[c], settings);
                EXPECT_TRUE(ReadFileBytes(file) == bytes) << "catalogue " << c;
            }
}
