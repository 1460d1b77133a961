// The shell's open operation. Every start of a file goes through ShellOpen, so a test can see
// the starts (and answer them) without starting anything.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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
INT_PTR ShellOpen(const ShellOpenRequest& request);
