#include "support/XInput.hpp"

#include <chrono>
#include <stdexcept>

#include "support/TestSupport.hpp"

namespace {

std::string Quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// The runner of xdotool commands, started on the first use and ended with the test program. It
// ends by itself after a quiet minute (so none outlives a killed test): a command it does not
// take up at once starts it again.
class XInputRunner {
public:
    XInputRunner() : folder_("/tmp/kestrum-xinput-" + std::to_string(::GetCurrentProcessId())) {
        ::CreateDirectoryW(WindowsPath(folder_).c_str(), nullptr);
        Start();
    }
    ~XInputRunner() { RemoveTree(WindowsPath(folder_)); }

    std::string Run(const std::string& command) {
        const std::string base = folder_ + "/" + std::to_string(++count_);
        const std::wstring written = WindowsPath(base + ".tmp"), queued = WindowsPath(base + ".cmd"),
                           output = WindowsPath(base + ".out");
        WriteFileBytes(written, command + "\n");
        ::MoveFileW(written.c_str(), queued.c_str());  // appears whole
        if (!WaitFor([&] { return !FileExists(queued); }, std::chrono::seconds(2))) Start();
        if (!WaitFor([&] { return FileExists(output); }, std::chrono::seconds(20)))
            throw std::runtime_error("xdotool did not answer: " + command);
        std::string text = ReadFileBytes(output);
        ::DeleteFileW(output.c_str());
        return text;
    }

private:
    static std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }
    void Start() {
        std::wstring command = L"/bin/sh " + Widen(KESTRUM_SOURCE_DIR "/tests/tools/xinput-runner.sh " + folder_);
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process))
            throw std::runtime_error("the xdotool runner could not be started");
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }

    std::string folder_;
    int count_ = 0;
};

}  // namespace

std::string XDoTool(const std::string& arguments) {
    static XInputRunner runner;
    return runner.Run("xdotool " + arguments);
}

void XKeys(const std::string& keys, int delayMs) { XDoTool("key --delay " + std::to_string(delayMs) + " " + keys); }

void XType(const std::string& text) { XDoTool("type --delay 40 -- " + Quoted(text)); }

void XClick(POINT point, int button, int count) {
    XDoTool("mousemove " + std::to_string(point.x) + " " + std::to_string(point.y) + " sleep 0.1 click --repeat " +
            std::to_string(count) + " --delay 90 " + std::to_string(button));
}

void XDragTo(POINT from, POINT to, bool release) {
    std::string steps = "mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) + " mousedown 1";
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i)
        steps += " sleep 0.05 mousemove " + std::to_string(from.x + (to.x - from.x) * i / kSteps) + " " +
                 std::to_string(from.y + (to.y - from.y) * i / kSteps);
    XDoTool(steps + " sleep 0.1" + (release ? " mouseup 1" : ""));
}

void XMoveTo(POINT to) {
    XDoTool("mousemove " + std::to_string(to.x) + " " + std::to_string(to.y) + " sleep 0.1");
}

void XButtonUp() { XDoTool("mouseup 1"); }

POINT TrayIconPoint() {
    return {::GetSystemMetrics(SM_CXSCREEN) - 12, ::GetSystemMetrics(SM_CYSCREEN) - 11};
}

std::string XFocusName() {
    std::string name = XDoTool("getwindowfocus getwindowname");
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    return name.find("X Error") == std::string::npos ? name : std::string();
}

bool XFocusComesTo(const std::string& caption) {
    return WaitFor([&] { return XFocusName() == caption; }, std::chrono::seconds(5));
}
