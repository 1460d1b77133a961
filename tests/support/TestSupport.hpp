// Helpers shared by the tests: temporary folders, bytes on disk, waiting for conditions,
// screenshots.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const noexcept { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Removes the folder with everything in it.
void RemoveTree(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// The file's bytes once it has any (a program's record), "" when none came in time.
std::string WaitForText(const std::wstring& path);

// Texts that naive INI handling changes: quotes and blanks at the ends, the file's own marks,
// Shift-JIS characters whose second byte is a backslash, characters outside Shift-JIS, a long one.
const std::vector<std::wstring>& AwkwardTexts();

// Text as UTF-8 (what the recording helper writes).
std::string ToUtf8(const std::wstring& text);

// Text in Shift-JIS, as the INI file holds it whatever the system's code page.
std::string ToAnsi(const std::wstring& text);

// A Unix path as Wine shows it (Z:\...); Windows paths pass unchanged.
std::wstring WindowsPath(const std::string& path);

// Waits until the condition holds, handling this thread's messages meanwhile; false on timeout.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Handles this thread's pending messages the way the program's message loops do.
void PumpMessages();

// Saves what is on the screen (the virtual desktop) as a BMP named name.bmp in the artifacts
// folder; returns the file's path.
std::wstring SaveScreenshot(const std::wstring& name);
// Saves a window's area of the screen.
std::wstring SaveWindowShot(HWND wnd, const std::wstring& name);
// The artifacts folder (created when missing).
std::wstring ArtifactsDir();

// True when the tray holds the icon (owner window, id): asking the shell to change nothing of
// an icon succeeds only for an icon that is there.
bool TrayIconPresent(HWND owner, UINT id);

// True when the resident window has finished its start-up work: its tray icon is there and
// both hot keys are registered (the second atom precedes the last registration, and a message
// sent afterwards is handled only once the start-up handler has returned).
bool ResidentStartUpDone(HWND main);

// True when Ctrl + the key is registered as a hot key by anybody (tried and given back).
bool HotKeyTaken(UINT vk);

// Presses Ctrl + the key through the system's input queue, as a user's keyboard would.
void SendCtrlKey(WORD vk, bool shift = false);  // with Shift too when asked
// Presses and releases one key.
void SendKey(WORD vk);
// Types the text through the system's input queue as characters, whatever keys they would take
// on a keyboard (as an input method hands text over).
void SendText(const std::wstring& text);
// Clicks the left mouse button at a point of the screen.
void ClickAt(POINT point);
// The window with the keyboard focus in the thread of the window (of any process), or nullptr.
HWND FocusOfThread(HWND window);
// A registry value a test changes in the shared Wine prefix: put to the prefix's own value (or
// taken away, when the prefix has none) before the change and again when the test ends. A value
// a killed run left behind is then never taken for the user's and never outlives the next run.
class TestRegistryValue {
public:
    TestRegistryValue(HKEY root, std::wstring key, std::wstring name, DWORD type = REG_NONE, std::wstring byDefault = {});
    ~TestRegistryValue() { PutBack(); }
    TestRegistryValue(const TestRegistryValue&) = delete;
    TestRegistryValue& operator=(const TestRegistryValue&) = delete;
    void Set(DWORD type, const void* data, DWORD size) const;
    void PutBack() const;

private:
    HKEY root_;
    std::wstring key_, name_;
    DWORD type_;  // REG_NONE: the prefix has no such value
    std::wstring byDefault_;
};

// The faults of a window's layout a user would see: a visible control running out of its
// parent's client area, two overlapping siblings (a frame and what it holds, a box and its arrows
// aside), a caption of a static or button wider than the control.
std::vector<std::string> LayoutFaults(HWND window);

// What a screen reader gets of an accessible object: role (pane, list or item), name, keyboard
// shortcut, description and the selected state, one child per line, indented under its parent.
std::wstring ReadAloud(IAccessible* object, LONG id = CHILDID_SELF, int depth = 0);

// True once the control's window is in front with the focus in the control: keys typed from
// then on reach it.
bool FocusComesTo(HWND control);

// Answers every message box with OK and keeps their texts, for the life of the object; the
// real boxes are back when it goes.
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
    std::vector<std::wstring> texts;
};

// A test's own INI file in a folder of its own, the program's settings and catalogue read from
// it while the object lives, and the message boxes answered and kept.
class OwnIniFile {
public:
    OwnIniFile();
    ~OwnIniFile();
    OwnIniFile(const OwnIniFile&) = delete;
    OwnIniFile& operator=(const OwnIniFile&) = delete;

    TempDir dir;
    std::wstring ini = dir.File(L"Kestrum.INI");
    BoxRecorder recorder;
    std::vector<std::wstring>& boxes = recorder.texts;
};
