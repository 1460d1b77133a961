// A program for the launch tests: records how it was started (its arguments, its working
// folder and, when it has one, its variable KESTRUM_PROBE) in launched.txt beside itself, as
// UTF-8, adds its arguments as a line to launches.log there (every start, however many run at
// once), then ends. Started with "--window" among its arguments it first shows a window that
// takes the foreground for two seconds, as a started program does, and adds every character
// typed into it to strays.log.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

// The command line without the program's name.
std::wstring Arguments() {
    std::wstring line = ::GetCommandLineW();
    size_t pos = 0;
    if (!line.empty() && line[0] == L'"') pos = line.find(L'"', 1) + 1;
    else while (pos < line.size() && line[pos] != L' ') ++pos;
    // One blank parts the name from the arguments; more belong to them.
    if (pos < line.size() && line[pos] == L' ') ++pos;
    return line.substr(pos);
}

void AppendLine(const std::wstring& path, const std::string& line) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);  // one write: one line
    ::CloseHandle(file);
}

std::wstring g_strays;

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CHAR: AppendLine(g_strays, Utf8(std::wstring(1, static_cast<wchar_t>(wParam))) + "\n"); return 0;
        case WM_TIMER:
            // Under Wine the keyboard follows a foreground window only on a later request.
            if (::GetForegroundWindow() == wnd) ::SetFocus(wnd);
            return 0;
        default: return ::DefWindowProcW(wnd, msg, wParam, lParam);
    }
}

// A window in front for a while, as a started program's first window is.
void ShowAWindowInFront(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KestrumStarted";
    ::RegisterClassW(&windowClass);
    HWND wnd = ::CreateWindowExW(0, L"KestrumStarted", L"Started", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 300, 300,
                                 200, nullptr, nullptr, instance, nullptr);
    ::SetForegroundWindow(wnd);
    ::SetTimer(wnd, 1, USER_TIMER_MINIMUM, nullptr);
    const ULONGLONG end = ::GetTickCount64() + 2000;
    MSG msg;
    while (::GetTickCount64() < end) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ::DestroyWindow(wnd);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    wchar_t exe[MAX_PATH], folder[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring record = exe;
    record = record.substr(0, record.rfind(L'\\')) + L"\\launched.txt";
    std::wstring temporary = record + L".part";
    {
        std::ofstream out(std::filesystem::path(temporary), std::ios::binary);
        out << Utf8(Arguments()) << "\n" << Utf8(folder) << "\n";
        wchar_t probe[256];
        if (::GetEnvironmentVariableW(L"KESTRUM_PROBE", probe, 256)) out << "KESTRUM_PROBE=" << Utf8(probe) << "\n";
    }
    // Appears whole: the test waits for the file.
    ::MoveFileExW(temporary.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING);
    const std::wstring beside = record.substr(0, record.rfind(L'\\'));
    AppendLine(beside + L"\\launches.log", Utf8(Arguments()) + "\n");
    if (Arguments().find(L"--window") != std::wstring::npos) {
        g_strays = beside + L"\\strays.log";
        ShowAWindowInFront(instance);
    }
    return 0;
}
