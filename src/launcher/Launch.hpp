// Starting a catalogue entry's file through the shell, with the message for a failure. Used by
// the launcher and by the options dialog (which starts Explorer), without the launcher window.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The message for a result of the shell's open operation; none for a success (above 32).
std::optional<std::wstring> LaunchFailureMessage(INT_PTR result);

// The folder a start runs in: the entry's own, else the file's (as Explorer starts a program it
// opens with a double click); none for an address, or a bare name the shell finds on the PATH.
std::wstring StartFolderOf(const std::wstring& file, const std::wstring& folder);

// Starts the file through the shell's open operation (owner: the application's window), with
// %NAME% in the three texts expanded, in StartFolderOf them, and tells the user in a box when the
// shell fails.
void ExecFile(const std::wstring& fileName, const std::wstring& param, const std::wstring& dirName);
