#include <gtest/gtest.h>

#include "launcher/Launch.hpp"

TEST(LaunchFailureMessage, OneMessagePerResultClass) {
    const std::wstring check = L"もう一度登録内容を調べてください。";
    EXPECT_EQ(LaunchFailureMessage(27), L"ファイル名の関連付けが不完全､ または無効です。" + check);
    EXPECT_EQ(LaunchFailureMessage(2), L"指定されたファイルが見つかりませんでした。" + check);
    EXPECT_EQ(LaunchFailureMessage(3), L"指定されたパスが見つかりませんでした。" + check);
    EXPECT_EQ(LaunchFailureMessage(11), L".EXEファイルが無効です。" + check);
    for (INT_PTR other : {0, 5, 8, 26, 28, 31, 32})
        EXPECT_EQ(LaunchFailureMessage(other), L"実行できませんでした。" + check) << other;
    EXPECT_FALSE(LaunchFailureMessage(33).has_value());
    EXPECT_FALSE(LaunchFailureMessage(42).has_value());
}

TEST(LaunchFailureMessage, TheAssociationMessageUsesTheHalfWidthComma) {
    const std::wstring message = *LaunchFailureMessage(27);
    EXPECT_NE(message.find(L"\xFF64 "), std::wstring::npos) << "half-width ideographic comma and a space";
}

TEST(StartFolderOf, TheEntrysFolderElseTheFilesElseNone) {
    const struct {
        const wchar_t *file, *folder, *start;
    } cases[] = {
        {L"C:\\tools\\a.exe", L"D:\\work", L"D:\\work"},  // the entry's own
        {L"C:\\tools\\a.exe", L"", L"C:\\tools"},  // else the file's, as Explorer starts it
        {L"C:\\a.exe", L"", L"C:\\"},
        {L"\\\\server\\share\\a.exe", L"", L"\\\\server\\share"},
        {L"notepad.exe", L"", L""},  // found on the PATH: as ever
        {L"http://example.com/a/b", L"", L""},  // an address
        {L"mailto:a@b", L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(StartFolderOf(c.file, c.folder), c.start) << c.file << " " << c.folder;
}
