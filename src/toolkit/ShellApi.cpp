#include "toolkit/ShellApi.hpp"

#include <shellapi.h>

#include <cwctype>

namespace {
ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}
}  // namespace

void SetShellOpenerForTests(ShellOpener opener) { Opener() = std::move(opener); }

INT_PTR ShellOpen(const ShellOpenRequest& request) {
    if (Opener()) return Opener()(request);
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(request.owner, request.verb.c_str(), request.file.c_str(),
                                                     request.parameters.c_str(), request.directory.c_str(),
                                                     request.show));
}

bool IsNetworkPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0)  // the long-path form: local unless it names a share
        return path.size() >= 8 && ::CompareStringOrdinal(path.c_str() + 4, 4, L"UNC\\", 4, TRUE) == CSTR_EQUAL;
    if (path.rfind(L"\\\\", 0) == 0) return true;
    if (path.size() >= 2 && path[1] == L':' && std::iswalpha(path[0])) {
        const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
        return ::GetDriveTypeW(root) == DRIVE_REMOTE;
    }
    return false;
}

UINT FileIconLookupFlags(const std::wstring& path) {
    return SHGFI_ICON | (IsNetworkPath(path) ? SHGFI_USEFILEATTRIBUTES : 0);
}

HICON LookUpFileIcon(const std::wstring& path) {
    if (path.empty()) return nullptr;
    SHFILEINFOW info{};
    const UINT flags = FileIconLookupFlags(path);
    // With the type's icon the file is not opened: its attributes are given, not read.
    const DWORD attributes = (flags & SHGFI_USEFILEATTRIBUTES) ? FILE_ATTRIBUTE_NORMAL : 0;
    return ::SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info, flags) ? info.hIcon : nullptr;
}
