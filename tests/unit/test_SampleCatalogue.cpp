// The sample catalogue that scripts/run.sh puts beside the exe is stored exactly as the
// program writes it: reading it and writing it back through the program gives the same bytes.
#include <gtest/gtest.h>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "support/TestSupport.hpp"

#include <tuple>
#include <vector>

TEST(SampleCatalogue, IsStoredAsTheProgramWritesIt) {
    TempDir dir;
    const std::string sample = ReadFileBytes(WindowsPath(KESTRUM_SOURCE_DIR "/examples/Kestrum.INI"));
    ASSERT_FALSE(sample.empty());
    const std::wstring original = dir.File(L"sample.INI"), rewritten = dir.File(L"Kestrum.INI");
    WriteFileBytes(original, sample);

    SetIniFilePathForTests(original);
    TEmvData settings{};
    LoadEmvData(settings);
    std::vector<std::tuple<int, int, TItemInfo>> entries;
    {
        TShellIniFile catalogue;
        for (int g = 1; g <= catalogue.GetGroupCount(); ++g)
            for (int i = 0; i <= catalogue.GetItemCount(g); ++i) {
                TItemInfo info;
                catalogue.ReadItemInfo(g, i, info);
                entries.emplace_back(g, i, info);
            }
    }
    ASSERT_GE(std::get<0>(entries.back()), 2) << "at least two groups";

    // The options dialog's save: the catalogue first, then the settings.
    SetIniFilePathForTests(rewritten);
    {
        TShellIniFile catalogue;
        catalogue.EraseData();
        for (auto& [g, i, info] : entries) catalogue.WriteItemInfo(info, g, i);
    }
    SaveEmvData(settings);
    SetIniFilePathForTests(L"");
    EXPECT_EQ(ReadFileBytes(rewritten), sample);

    // The options dialog's save over the sample itself, without an edit: the same bytes.
    std::vector<std::vector<TItemInfo>> groups;
    for (auto& [g, i, info] : entries) {
        if (i == 0) groups.emplace_back();
        groups.back().push_back(info);
    }
    WriteCatalogueAndSettings(original, groups, settings);
    EXPECT_EQ(ReadFileBytes(original), sample);
}
