// The system's file-open dialog. Every showing goes through Execute, so a test can see the
// request and answer it without a dialog on the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

struct OpenDialogRequest {
    HWND owner;
    std::wstring initialDir;
    std::wstring filter;  // "description|pattern|description|pattern..."
    int filterIndex;      // 1 for the first entry
    std::wstring fileName;
};

// The test seam: when set, it answers every showing instead of the user: the chosen file's full
// path, or nothing for a cancel.
using OpenDialogAnswerer = std::function<std::optional<std::wstring>(const OpenDialogRequest&)>;
void SetOpenDialogAnswererForTests(OpenDialogAnswerer answerer);

class TOpenDialog {
public:
    // The folder the dialog opens in; empty leaves the choice to the system.
    std::wstring InitialDir;
    // Pairs of description and pattern, each part followed by '|'; the last '|' may be left out.
    std::wstring Filter;
    // The filter entry chosen at the start (1 for the first).
    int FilterIndex = 1;

    // Shows the dialog, owned by the active window; true when the user chose a file, which
    // FileName then names. A cancel leaves FileName as it was.
    bool Execute();
    const std::wstring& FileName() const noexcept { return fileName_; }

private:
    std::wstring fileName_;
};
