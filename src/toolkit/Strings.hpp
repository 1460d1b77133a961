// Text helpers that need no window.
#pragma once

#include <string>
#include <string_view>

// Path with its extension replaced (or appended when it has none): C:\a\X.exe -> C:\a\X.INI.
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view ext);

// The folder part of a path including its trailing backslash ("" when there is none).
std::wstring ExtractFilePath(std::wstring_view path);

// Upper-cases a to z only; every other character stays as it is.
wchar_t UpCaseAscii(wchar_t c) noexcept;
