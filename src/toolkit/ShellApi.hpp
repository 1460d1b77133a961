// The shell's open operation. Every start of a file goes through ShellOpen, so a test can see
// the starts (and answer them) without starting anything.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct ShellOpenRequest {
    HWND owner;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int show;
};

// The test seam: when set, it takes every start and returns what ShellExecute would.
using ShellOpener = std::function<INT_PTR(const ShellOpenRequest&)>;
void SetShellOpenerForTests(ShellOpener opener);

// ShellExecute with the request (empty texts passed as empty texts); returns its result code.
// A program started gets the right to take the foreground, for its first window.
INT_PTR ShellOpen(const ShellOpenRequest& request);
// True while the program the last ShellOpen started is coming up: until it waits for input (its
// first window is up), for at most kStartedProgramReadyMs.
bool StartedProgramComing();
constexpr ULONGLONG kStartedProgramReadyMs = 1000;
// True for a window of a program ShellOpen started, in its first kJustStartedMs.
bool IsWindowOfProgramJustStarted(HWND wnd);
constexpr ULONGLONG kJustStartedMs = 3000;

// The text with each %NAME% of a defined variable replaced by its value; an undefined name (and
// "%%") stays as written. A start expands an entry's texts so; so do the questions below.
std::wstring ExpandVariables(const std::wstring& text);

// True for a path on a network share (\\server\share, \\?\UNC\…) or on a drive mapped to one:
// touching it may wait on the network for many seconds. Asking does not touch the share.
bool IsNetworkPath(const std::wstring& path);
// The flags to look up a file's icon with: for a network path the icon of its type, taken
// without touching the share.
UINT FileIconLookupFlags(const std::wstring& path);
// The file's icon (nullptr when the shell has none), looked up with those flags.
HICON LookUpFileIcon(const std::wstring& path);

// The drop handle of WM_DROPFILES, released however the drop is handled.
class DropHandle {
    HDROP drop_;

public:
    explicit DropHandle(HDROP drop) noexcept : drop_(drop) {}
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;
    ~DropHandle() { release(); }
    void release() noexcept {
        if (drop_) ::DragFinish(std::exchange(drop_, nullptr));
    }
    // The dropped files' paths.
    std::vector<std::wstring> Names() const;
};
