#include "toolkit/Strings.hpp"

namespace {
// Position after the last folder separator or drive colon (0 when there is none).
size_t FileNameStart(std::wstring_view path) {
    size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring_view::npos ? 0 : pos + 1;
}
}  // namespace

std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view ext) {
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos || dot < FileNameStart(path)) dot = path.size();
    std::wstring result(path.substr(0, dot));
    result += ext;
    return result;
}

std::wstring ExtractFilePath(std::wstring_view path) {
    return std::wstring(path.substr(0, FileNameStart(path)));
}

wchar_t UpCaseAscii(wchar_t c) noexcept {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::wstring UpCaseAscii(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) c = UpCaseAscii(c);
    return upper;
}

std::wstring ExtractFileDir(std::wstring_view path) {
    std::wstring folder = ExtractFilePath(path);
    const bool driveRoot = folder.size() == 3 && folder[1] == L':';
    if (!folder.empty() && folder.back() == L'\\' && !driveRoot) folder.pop_back();
    return folder;
}

std::wstring KeyLabel(std::wstring_view key, std::wstring_view name) {
    std::wstring label(key);
    label += L" : ";
    label += name;
    return label;
}
