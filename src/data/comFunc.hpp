// The settings record and its section EMVDATA of the program's INI file.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "toolkit/IniFiles.hpp"

struct TEmvData {
    std::wstring MainKey;
    std::wstring OptionKey;
    std::wstring NormalFontName;
    int NormalFontCharset;
    int NormalFontSize;
    int NormalFontRed;
    int NormalFontGreen;
    int NormalFontBlue;
    int NormalFontStyle;
    int GroupStartRed;
    int GroupStartGreen;
    int GroupStartBlue;
    int ItemStartRed;
    int ItemStartGreen;
    int ItemStartBlue;
    int GroupEndRed;
    int GroupEndGreen;
    int GroupEndBlue;
    int ItemEndRed;
    int ItemEndGreen;
    int ItemEndBlue;
    std::wstring SelectFontName;
    int SelectFontCharset;
    int SelectFontSize;
    int SelectFontRed;
    int SelectFontGreen;
    int SelectFontBlue;
    int SelectFontStyle;
    int WinWidth;
    int WinHeight;
    int GrpWinWidth;

    bool operator==(const TEmvData&) const = default;
};

// The program's INI file: the running exe's path with the extension ".INI".
std::wstring IniFilePath();
// Points IniFilePath at another file (tests); an empty path goes back to the exe's.
void SetIniFilePathForTests(std::wstring path);

// Reads the whole record; missing keys take their defaults. The caller's record is replaced
// whole, or left as it was when reading fails.
void LoadEmvData(TEmvData& data);
// Sets all 31 keys in the document: a key already there keeps its place, a new one is added
// after the others, in the record's order.
void PutEmvData(TIniDocument& document, const TEmvData& data);
// The same into the INI file, written over; a refused write throws EIniFileException.
void SaveEmvData(TEmvData data);
void SaveEmvData(TEmvData data, const std::wstring& path);

// Saves the document over the INI file all or nothing: its bytes go to a copy beside it, which
// is on the disk before it replaces the file; the file as it was is then kept as "<path>.bak".
// When anything fails the file and its backup stay as they were, the copies are removed and the
// error goes on (EIniFileException "<path> に書き込めません" for a file or folder that refuses).
// Every step that another program can hold for a moment is tried again (about two seconds).
// Returns false when the save stands but the backup could not be made.
bool SaveIniFileSafely(const std::wstring& path, const TIniDocument& document);

// The virtual-key code of a hot-key setting: its first character when that is a letter or digit
// of the keyboard, a to z read as A to Z (their codes used raw would name numeric-keypad keys).
// An empty setting, or one starting with anything else (a full-width Ｋ), names no key.
std::optional<UINT> HotKeyCode(const std::wstring& setting);
// Whether the two settings name the same key (k and K do).
bool SameHotKey(const std::wstring& first, const std::wstring& second);

// A colour from three components by the Windows RGB rule: each component cut to 8 bits.
COLORREF ColorFromComponents(int red, int green, int blue) noexcept;

// The record's colours and fonts, each stored as separate fields, as values: the one place that
// knows which fields make which colour or font.
enum class TGradientEnd { GroupStart, GroupEnd, ItemStart, ItemEnd };
COLORREF GradientColor(const TEmvData& data, TGradientEnd end) noexcept;
void SetGradientColor(TEmvData& data, TGradientEnd end, COLORREF color) noexcept;

enum class TFontRole { Normal, Selected };
struct TFontSetting {
    std::wstring name;
    int charset = 0;
    int style = 0;  // bold 1, italic 2, underline 4, strike-out 8
    int size = 0;   // points
    COLORREF color = 0;
};
TFontSetting FontSetting(const TEmvData& data, TFontRole role);
void SetFontSetting(TEmvData& data, TFontRole role, const TFontSetting& font);
