#include "launcher/Launch.hpp"

#include <shellapi.h>

#include "launcher/Environment.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/ShellApi.hpp"
#include "toolkit/Strings.hpp"

std::optional<std::wstring> LaunchFailureMessage(INT_PTR result) {
    if (result > 32) return std::nullopt;
    switch (result) {
        case SE_ERR_ASSOCINCOMPLETE:
            return L"ファイル名の関連付けが不完全､ または無効です。もう一度登録内容を調べてください。";
        case ERROR_FILE_NOT_FOUND:
            return L"指定されたファイルが見つかりませんでした。もう一度登録内容を調べてください。";
        case ERROR_PATH_NOT_FOUND:
            return L"指定されたパスが見つかりませんでした。もう一度登録内容を調べてください。";
        case ERROR_BAD_FORMAT:
            return L".EXEファイルが無効です。もう一度登録内容を調べてください。";
        default:
            return L"実行できませんでした。もう一度登録内容を調べてください。";
    }
}

std::wstring StartFolderOf(const std::wstring& file, const std::wstring& folder) {
    if (!folder.empty()) return folder;
    // An address names its scheme before a colon: "http:", "mailto:", not a drive's "C:".
    if (const size_t colon = file.find(L':'); colon != std::wstring::npos && colon != 1) return {};
    return ExtractFileDir(file);
}

void ExecFile(const std::wstring& fileName, const std::wstring& param, const std::wstring& dirName) {
    const std::wstring file = ExpandVariables(fileName);
    const INT_PTR result = ShellOpen({Application->Handle(), L"OPEN", file, ExpandVariables(param),
                                      StartFolderOf(file, ExpandVariables(dirName)), SW_SHOW});
    // The box comes to the front: the window it was asked from may be gone already.
    if (auto message = LaunchFailureMessage(result)) ShowMessage(*message, MB_SETFOREGROUND);
}
