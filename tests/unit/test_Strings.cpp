#include <gtest/gtest.h>

#include "toolkit/Strings.hpp"

TEST(ChangeFileExt, ReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ(ChangeFileExt(L"C:\\Tools\\Kestrum.exe", L".INI"), L"C:\\Tools\\Kestrum.INI");
    EXPECT_EQ(ChangeFileExt(L"C:\\v1.2\\Kestrum", L".INI"), L"C:\\v1.2\\Kestrum.INI");
    EXPECT_EQ(ChangeFileExt(L"C:\\a\\b.c.exe", L".INI"), L"C:\\a\\b.c.INI");
    EXPECT_EQ(ChangeFileExt(L"D:x.exe", L".INI"), L"D:x.INI");
}

TEST(ExtractFilePath, KeepsTheTrailingSeparator) {
    EXPECT_EQ(ExtractFilePath(L"C:\\Tools\\Kestrum.exe"), L"C:\\Tools\\");
    EXPECT_EQ(ExtractFilePath(L"C:\\Kestrum.exe"), L"C:\\");
    EXPECT_EQ(ExtractFilePath(L"Kestrum.exe"), L"");
}

TEST(UpCaseAscii, ChangesOnlyAToZ) {
    EXPECT_EQ(UpCaseAscii(L'k'), L'K');
    EXPECT_EQ(UpCaseAscii(L'K'), L'K');
    EXPECT_EQ(UpCaseAscii(L'1'), L'1');
    EXPECT_EQ(UpCaseAscii(L'ｋ'), L'ｋ');
    EXPECT_EQ(UpCaseAscii(L'é'), L'é');
}
