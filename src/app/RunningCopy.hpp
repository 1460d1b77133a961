// One resident per Kestrum.exe. A second start of the same file (a user who forgot it runs, a
// start-up shortcut run twice) asks the copy running to show its options dialog and ends,
// instead of failing on the hot keys its own copy holds. A copy in another folder is another
// program, with its own INI file.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "toolkit/Handles.hpp"

// Posted by a second start to the resident window of the copy running.
UINT ShowOptionsMessage();

// The name of the session-wide mutex that the resident of this exe holds (the path's case does
// not count).
std::wstring RunningCopyMutexName(const std::wstring& exePath);

class TRunningCopy {
public:
    explicit TRunningCopy(const std::wstring& exePath);
    // True when this process is to be the resident. False when the copy running was asked for
    // its options dialog (it may take the foreground for it): this process then ends.
    bool BecomeResident(std::chrono::milliseconds patience = std::chrono::seconds(10));

private:
    std::wstring exePath_;
    UniqueHandle mutex_;  // owned by this process while it is the resident
    bool first_ = false;
};
