// The shortcut that starts Kestrum at log-on: a shell link in the user's start-up folder.
#pragma once

#include <string>

// The link's file: the start-up folder, then the exe's name with the extension ".lnk".
std::wstring StartUpLinkPath(const std::wstring& startUpFolder, const std::wstring& exePath);
// The working folder for the exe: its folder without a trailing backslash, except a drive's root.
std::wstring StartUpWorkingFolder(const std::wstring& exePath);

// Writes (or replaces) the shortcut to the running exe with the arguments "/starup". Throws
// with the system's text when the shell refuses, and with a clear message when the start-up
// folder cannot be found; nothing is written then.
void CreateStartUpLink();
