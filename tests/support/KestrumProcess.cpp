#include "support/KestrumProcess.hpp"

#include <iterator>
#include <stdexcept>

#include "support/TestSupport.hpp"

namespace {

std::vector<HWND> ProcessWindows(DWORD process, const wchar_t* className) {
    std::vector<HWND> found;
    ForEachTopWindow([&](HWND wnd) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(wnd, &owner);
        wchar_t name[64] = {};
        ::GetClassNameW(wnd, name, 64);
        if (owner == process && std::wstring(name) == className) found.push_back(wnd);
        return true;
    });
    return found;
}

}  // namespace

std::wstring WindowText(HWND wnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(wnd, text, 1024);
    return text;
}

std::wstring DialogItemText(HWND dialog, int id) {
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

std::wstring MessageBoxText(HWND box) { return DialogItemText(box, 0xFFFF); }

std::wstring ControlText(HWND control) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(control, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                          nullptr);
    return text;
}

std::wstring ClassName(HWND wnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    return name;
}


std::vector<HWND> DescendantWindows(HWND parent, const wchar_t* className) {
    std::vector<HWND> found;
    ForEachChildWindow(parent, [&](HWND wnd) {
        if (::lstrcmpiW(ClassName(wnd).c_str(), className) == 0) found.push_back(wnd);
        return true;
    });
    return found;
}

KestrumProcess::KestrumProcess(const std::wstring& exe, const std::wstring& folder, const std::string& iniBytes)
    : folder_(folder), exe_(folder + L"\\Kestrum.exe") {
    if (!::CopyFileW(exe.c_str(), exe_.c_str(), FALSE)) throw std::runtime_error("cannot copy Kestrum.exe");
    if (!iniBytes.empty()) WriteFileBytes(IniPath(), iniBytes);
}

KestrumProcess::~KestrumProcess() {
    if (!Running()) return;
    if (main_) ::PostMessageW(main_, WM_CLOSE, 0, 0);
    if (!WaitExit(std::chrono::seconds(10))) ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 5000);
}

std::wstring KestrumProcess::IniPath() const { return folder_ + L"\\Kestrum.INI"; }

namespace {
PROCESS_INFORMATION StartExe(const std::wstring& exe, const std::wstring& folder) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info))
        throw std::runtime_error("cannot start Kestrum.exe");
    ::CloseHandle(info.hThread);
    return info;
}
}  // namespace

void KestrumProcess::Start() {
    const PROCESS_INFORMATION info = StartExe(exe_, folder_);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

DWORD KestrumProcess::StartAgainAndWait(std::chrono::milliseconds timeout) const {
    const UniqueHandle second(StartExe(exe_, folder_).hProcess);
    WaitFor([&] { return ::WaitForSingleObject(second.get(), 0) != WAIT_TIMEOUT; }, timeout);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(second.get(), &code);
    if (code == STILL_ACTIVE) ::TerminateProcess(second.get(), 99);
    return code;
}

bool KestrumProcess::WaitResident(std::chrono::milliseconds timeout) {
    return WaitFor(
        [&] {
            auto windows = ProcessWindows(id_, L"TfmMain");
            main_ = windows.empty() ? nullptr : windows.front();
            return main_ && ResidentStartUpDone(main_);
        },
        timeout);
}

bool KestrumProcess::WaitExit(std::chrono::milliseconds timeout) {
    return WaitFor([&] { return !Running(); }, timeout);
}

bool KestrumProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD KestrumProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::vector<HWND> KestrumProcess::Windows(const wchar_t* className) const {
    std::vector<HWND> visible;
    for (HWND wnd : ProcessWindows(id_, className))
        if (::IsWindowVisible(wnd)) visible.push_back(wnd);
    return visible;
}

HWND KestrumProcess::WaitWindow(const wchar_t* className, const wchar_t* caption,
                                std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND wnd : Windows(className))
                if (!caption || WindowText(wnd) == caption) found = wnd;
            return found != nullptr;
        },
        timeout);
    return found;
}

HWND KestrumProcess::WaitForeground(const wchar_t* className) const {
    // Whichever window of the class is in front and visible: one that is still going away (it
    // hides first, and may stay in front a moment) does not count. Keys go to the focus, so the
    // focus must be in that window too (it comes a little later).
    HWND found = nullptr;
    WaitFor([&] {
        HWND front = ::GetForegroundWindow();
        DWORD process = 0;
        const DWORD thread = ::GetWindowThreadProcessId(front, &process);
        if (!front || process != id_ || ClassName(front) != className || !::IsWindowVisible(front)) return false;
        GUITHREADINFO gui{sizeof gui};
        if (!::GetGUIThreadInfo(thread, &gui) || (gui.hwndFocus != front && !::IsChild(front, gui.hwndFocus)))
            return false;
        found = front;
        return true;
    }, std::chrono::seconds(20));
    return found;
}
