#include "app/RunningCopy.hpp"

#include <cstdio>

UINT ShowOptionsMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Kestrum.ShowOptions");
    return message;
}

std::wstring RunningCopyMutexName(const std::wstring& exePath) {
    std::wstring path = exePath;
    if (!path.empty()) ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    unsigned long long hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 units
    for (wchar_t unit : path) {
        hash ^= static_cast<unsigned short>(unit);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Local\\Kestrum.%016llX", hash);
    return name;
}

namespace {

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring ProcessImagePath(DWORD processId) {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
    path.resize(size);
    return path;
}

// The resident window of another process running the exe, or nullptr.
HWND ResidentWindowOf(const std::wstring& exePath) {
    HWND found = nullptr;
    ForEachTopWindow([&](HWND wnd) {
        wchar_t className[16] = {};
        ::GetClassNameW(wnd, className, static_cast<int>(std::size(className)));
        DWORD processId = 0;
        ::GetWindowThreadProcessId(wnd, &processId);
        if (std::wstring_view(className) != L"TfmMain" || processId == ::GetCurrentProcessId() ||
            !IsSameFile(ProcessImagePath(processId), exePath))
            return true;
        found = wnd;
        return false;
    });
    return found;
}

}  // namespace

TRunningCopy::TRunningCopy(const std::wstring& exePath)
    : exePath_(exePath), mutex_(::CreateMutexW(nullptr, TRUE, RunningCopyMutexName(exePath).c_str())) {
    first_ = mutex_ && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

bool TRunningCopy::BecomeResident(std::chrono::milliseconds patience) {
    if (first_ || !mutex_) return true;  // no mutex at all: nothing tells of another copy
    // The copy running may still be making its window, or be ending and let the mutex go.
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(patience.count());
    for (;;) {
        if (HWND resident = ResidentWindowOf(exePath_)) {
            DWORD processId = 0;
            ::GetWindowThreadProcessId(resident, &processId);
            // Started by the user, this process may bring a window forward, and hands that on.
            ::AllowSetForegroundWindow(processId);
            ::PostMessageW(resident, ShowOptionsMessage(), 0, 0);
            return false;
        }
        const DWORD waited = ::WaitForSingleObject(mutex_.get(), 50);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return true;
        if (::GetTickCount64() > deadline) return false;  // a copy holds it, hung before its window
    }
}
