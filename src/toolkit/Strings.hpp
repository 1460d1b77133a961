// Text helpers that need no window.
#pragma once

#include <string>
#include <string_view>

// Path with its extension replaced (or appended when it has none): C:\a\X.exe -> C:\a\X.INI.
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view ext);

// The folder part of a path including its trailing backslash ("" when there is none).
std::wstring ExtractFilePath(std::wstring_view path);

// The folder part of a path as a start folder: without its trailing backslash, except a drive's
// root, which keeps it (C:\).
std::wstring ExtractFileDir(std::wstring_view path);

// Upper-cases a to z only; every other character stays as it is.
wchar_t UpCaseAscii(wchar_t c) noexcept;
std::wstring UpCaseAscii(std::wstring_view text);

// The label of a catalogue entry: "key : name".
std::wstring KeyLabel(std::wstring_view key, std::wstring_view name);
