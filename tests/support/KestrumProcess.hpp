// The real Kestrum.exe, copied into a folder of its own (its INI lives beside it) and started
// as a user would start it, in the same virtual desktop as the test.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "toolkit/Handles.hpp"

class KestrumProcess {
public:
    // Copies the exe into the folder and writes the INI bytes beside it unless they are empty.
    KestrumProcess(const std::wstring& exe, const std::wstring& folder, const std::string& iniBytes = {});
    // Ends the program if it still runs: politely first, then by force.
    ~KestrumProcess();

    void Start();
    // Starts the same exe once more, as a user who forgot it runs would, and waits for that
    // second process to end; its exit code (STILL_ACTIVE: it did not end).
    DWORD StartAgainAndWait(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // Waits until the hidden window exists, the tray icon is there and the hot keys are set.
    bool WaitResident(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    bool WaitExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    bool Running() const;
    DWORD ExitCode() const;

    DWORD Id() const noexcept { return id_; }
    HWND MainWindow() const noexcept { return main_; }
    std::wstring IniPath() const;

    // Visible top-level windows of the process with the class (for instance "#32770" for a
    // message box, "#32768" for a menu).
    std::vector<HWND> Windows(const wchar_t* className) const;
    // Waits for such a window, optionally with the caption; nullptr on timeout.
    HWND WaitWindow(const wchar_t* className, const wchar_t* caption = nullptr,
                    std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

    // Waits for such a window in the foreground: keys sent from now on reach it.
    HWND WaitForeground(const wchar_t* className) const;

private:
    std::wstring folder_;
    std::wstring exe_;
    UniqueHandle process_;
    DWORD id_ = 0;
    HWND main_ = nullptr;
};

std::wstring WindowText(HWND wnd);
// The text of a message box (its static text) and of one of its buttons.
std::wstring MessageBoxText(HWND box);
std::wstring DialogItemText(HWND dialog, int id);
// What a control answers WM_GETTEXT with: an edit box's contents (GetWindowText does not ask
// the windows of other processes).
std::wstring ControlText(HWND control);
std::wstring ClassName(HWND wnd);
// The windows inside a window (children, their children ...) of the class, depth first and
// siblings in z-order: the controls of a dialog in their tab order.
std::vector<HWND> DescendantWindows(HWND parent, const wchar_t* className);
