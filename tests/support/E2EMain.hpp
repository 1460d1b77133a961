// The end-to-end tests' command line: the real Kestrum.exe, and the program that records how
// it was started.
#pragma once

#include <string>

const std::wstring& KestrumExePath();
const std::wstring& RecordLaunchExePath();
