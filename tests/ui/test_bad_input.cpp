// Damaged and hostile INI files: the documented defaults or a clear message, never a crash, a
// hang or a lost catalogue.
#include <gtest/gtest.h>

#include <random>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "launcher/Main.hpp"
#include "options/fmOpt.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Forms.hpp"

namespace {

class BadInputTest : public ::testing::Test, protected OwnIniFile {
protected:
    void TearDown() override {
        ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        TForm::SetModalHookForTests(nullptr);
    }
    TEmvData Loaded() {
        TEmvData data{};
        LoadEmvData(data);
        return data;
    }
    // Opens the launcher on the file, lets it type, and closes it.
    void OpenLauncher() {
        TForm::SetModalHookForTests([](TForm& form) {
            auto& launcher = static_cast<TfmShow&>(form);
            PumpMessages();
            ::SendMessageW(launcher.Handle(), WM_KEYDOWN, VK_RETURN, 0);
            ::SendMessageW(launcher.Handle(), WM_CHAR, L'1', 0);
            ::SendMessageW(launcher.Handle(), WM_KEYDOWN, VK_RETURN, 0);
            launcher.ModalResult = mrCancel;
        });
        TfmShow launcher(nullptr);
        launcher.ShowModal();
    }

};

}  // namespace

TEST_F(BadInputTest, BinaryGarbageGivesTheDefaults) {
    std::mt19937 random(11);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    WriteFileBytes(ini, garbage);
    const TEmvData data = Loaded();
    EXPECT_EQ(data.WinWidth, 800);
    EXPECT_EQ(TShellIniFile().GetGroupCount(), 0);
    OpenLauncher();
    TfmOption options(nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BadInputTest, AHugeFileAndAHugeValueAreReadWithoutTrouble) {
    std::string big = "[DATA]\r\nGROUP-00001KEY-00000=1\r\nGROUP-00001NAME-00000=" + std::string(1024 * 1024, 'N') +
                      "\r\nGROUP-00001KEY-00001=A\r\nGROUP-00001NAME-00001=item\r\n[FILLER]\r\n";
    while (big.size() < 10 * 1024 * 1024) big += "LINE=" + std::string(100, 'x') + "\r\n";
    WriteFileBytes(ini, big);
    TItemInfo group;
    TShellIniFile().ReadItemInfo(1, 0, group);
    EXPECT_EQ(group.Name.size(), 1024u * 1024u) << "read whole";
    OpenLauncher();
}

TEST_F(BadInputTest, LinesWithoutEqualsDuplicatesAndHugeNumbersAreHarmless) {
    WriteFileBytes(ini,
                   "[EMVDATA]\r\nWINWIDTH\r\n=600\r\nWINWIDTH=99999999999\r\nWINHEIGHT=-2147483648\r\n"
                   "[EMVDATA]\r\nGRPWINWIDTH=120\r\nGRPWINWIDTH=130\r\n"
                   "[DATA]\r\nGROUP-99999999999KEY-00000=9\r\nGROUP-00001KEY-00000=1\r\nGROUP-00001KEY-00000=2\r\n"
                   "garbage line\r\n");
    const TEmvData data = Loaded();
    EXPECT_EQ(data.WinWidth, 800) << "out of range: the default";
    EXPECT_EQ(data.WinHeight, INT_MIN);
    EXPECT_EQ(TShellIniFile().GetGroupCount(), 1);
    OpenLauncher();
}

TEST_F(BadInputTest, ZeroAndNegativeSizesOpenAWindowThatCanBeClosed) {
    for (const char* sizes : {"WINWIDTH=0\r\nWINHEIGHT=0\r\nGRPWINWIDTH=0\r\n",
                              "WINWIDTH=-5\r\nWINHEIGHT=-2147483648\r\nGRPWINWIDTH=-300\r\n",
                              "WINWIDTH=300\r\nWINHEIGHT=200\r\nGRPWINWIDTH=5000\r\n"}) {
        WriteFileBytes(ini, std::string("[EMVDATA]\r\n") + sizes + "[DATA]\r\nGROUP-00001KEY-00000=1\r\n"
                                                                   "GROUP-00001KEY-00001=A\r\n");
        OpenLauncher();
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BadInputTest, EmptyAndOverlongFontNamesStillDraw) {
    WriteFileBytes(ini, "[EMVDATA]\r\nNORMALFONTNAME=\r\nSELECTFONTNAME=" + std::string(1000, 'F') +
                            "\r\nNORMALFONTSIZE=-100\r\nSELECTFONTSIZE=100000\r\n"
                            "[DATA]\r\nGROUP-00001KEY-00000=1\r\nGROUP-00001NAME-00000=x\r\n");
    OpenLauncher();
    TfmOption options(nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BadInputTest, AFileWithAUtf16ByteOrderMarkIsRead) {
    const std::wstring text = L"[EMVDATA]\r\nMAINKEY=Q\r\n[DATA]\r\nGROUP-00001KEY-00000=1\r\nGROUP-00001NAME-00000=Ünïcødé\r\n";
    WriteFileBytes(ini, "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    EXPECT_EQ(Loaded().MainKey, L"Q");
    TItemInfo group;
    TShellIniFile().ReadItemInfo(1, 0, group);
    EXPECT_EQ(group.Name, L"Ünïcødé");
}

TEST_F(BadInputTest, ALockedFileLeavesTheCatalogueAndReportsTheFile) {
    WriteFileBytes(ini, "[DATA]\r\nGROUP-00001KEY-00000=1\r\nGROUP-00001NAME-00000=keep\r\n");
    const std::string before = ReadFileBytes(ini);
    TfmOption options(nullptr);
    // Another program holds the file open without sharing.
    UniqueFile lock(::CreateFileW(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_ANY_THROW(options.acSaveShellExecute());
    lock.reset();
    EXPECT_EQ(ReadFileBytes(ini), before);
    EXPECT_FALSE(FileExists(ini + L".saving"));
}

TEST_F(BadInputTest, AReadOnlyFolderRefusesTheSaveAndKeepsTheFile) {
    // A folder that cannot take the copy: the copy's name is taken by a read-only folder.
    WriteFileBytes(ini, "[DATA]\r\nGROUP-00001KEY-00000=1\r\n");
    ::CreateDirectoryW((ini + L".saving").c_str(), nullptr);
    ::SetFileAttributesW((ini + L".saving").c_str(), FILE_ATTRIBUTE_READONLY);
    TfmOption options(nullptr);
    EXPECT_ANY_THROW(options.acSaveShellExecute());
    EXPECT_EQ(ReadFileBytes(ini), "[DATA]\r\nGROUP-00001KEY-00000=1\r\n");
    ::SetFileAttributesW((ini + L".saving").c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW((ini + L".saving").c_str());
}
