// A program for the launch tests: records how it was started (its arguments, its working
// folder and, when it has one, its variable KESTRUM_PROBE) in launched.txt beside itself, as
// UTF-8, then ends.
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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
    return 0;
}
