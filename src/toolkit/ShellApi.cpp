#include "toolkit/ShellApi.hpp"

#include <shellapi.h>

#include <cwctype>
#include <deque>
#include <utility>

#include "toolkit/Handles.hpp"

namespace {
ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}

// The program the last start brought up, while it may still be coming up.
struct StartedProgram {
    UniqueHandle process;
    ULONGLONG startedAt = 0;
};
StartedProgram& LastStarted() {
    static StartedProgram started;
    return started;
}

// The programs started lately, as (process id, when).
std::deque<std::pair<DWORD, ULONGLONG>>& RecentStarts() {
    static std::deque<std::pair<DWORD, ULONGLONG>> starts;
    return starts;
}
}  // namespace

void SetShellOpenerForTests(ShellOpener opener) { Opener() = std::move(opener); }

INT_PTR ShellOpen(const ShellOpenRequest& request) {
    if (Opener()) return Opener()(request);
    // What ShellExecute does (no box of the shell's own on a failure), with the started
    // process's handle.
    SHELLEXECUTEINFOW info{sizeof info};
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = request.owner;
    info.lpVerb = request.verb.c_str();
    info.lpFile = request.file.c_str();
    info.lpParameters = request.parameters.c_str();
    info.lpDirectory = request.directory.c_str();
    info.nShow = request.show;
    const bool started = ::ShellExecuteExW(&info);
    // No process when a program running already took the file.
    if (started && info.hProcess) {
        // The started program alone may take the foreground from us, for its first window.
        ::AllowSetForegroundWindow(::GetProcessId(info.hProcess));
        const ULONGLONG now = ::GetTickCount64();
        auto& recent = RecentStarts();
        while (!recent.empty() && now - recent.front().second > kJustStartedMs) recent.pop_front();
        recent.emplace_back(::GetProcessId(info.hProcess), now);
        LastStarted() = {UniqueHandle(info.hProcess), now};
    }
    return reinterpret_cast<INT_PTR>(info.hInstApp);
}

bool StartedProgramComing() {
    StartedProgram& started = LastStarted();
    if (!started.process) return false;
    // Waiting for input once, it has made its first window; a console program never does.
    if (::WaitForInputIdle(started.process.get(), 0) != WAIT_TIMEOUT ||
        ::GetTickCount64() - started.startedAt > kStartedProgramReadyMs)
        started.process.reset();
    return static_cast<bool>(started.process);
}

bool IsWindowOfProgramJustStarted(HWND wnd) {
    DWORD owner = 0;
    if (!wnd || !::GetWindowThreadProcessId(wnd, &owner)) return false;
    const ULONGLONG now = ::GetTickCount64();
    for (const auto& [processId, startedAt] : RecentStarts())
        if (processId == owner && now - startedAt <= kJustStartedMs) return true;
    return false;
}

std::wstring ExpandVariables(const std::wstring& text) {
    if (text.find(L'%') == std::wstring::npos) return text;
    std::wstring expanded(text.size() + 64, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (needed == 0) return text;
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);  // without the terminating null
            return expanded;
        }
        expanded.resize(needed);  // the environment may grow between the calls: try again
    }
    return text;
}

bool IsNetworkPath(const std::wstring& text) {
    const std::wstring path = ExpandVariables(text);
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

HICON LookUpFileIcon(const std::wstring& text) {
    const std::wstring path = ExpandVariables(text);
    if (path.empty()) return nullptr;
    SHFILEINFOW info{};
    const UINT flags = FileIconLookupFlags(path);
    // With the type's icon the file is not opened: its attributes are given, not read.
    const DWORD attributes = (flags & SHGFI_USEFILEATTRIBUTES) ? FILE_ATTRIBUTE_NORMAL : 0;
    return ::SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info, flags) ? info.hIcon : nullptr;
}

std::vector<std::wstring> DropHandle::Names() const {
    std::vector<std::wstring> names;
    const UINT count = ::DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(::DragQueryFileW(drop_, i, nullptr, 0) + 1, L'\0');
        name.resize(::DragQueryFileW(drop_, i, name.data(), static_cast<UINT>(name.size())));
        names.push_back(std::move(name));
    }
    return names;
}
