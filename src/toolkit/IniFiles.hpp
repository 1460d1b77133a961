// An INI file through the system's private-profile functions: every call goes to the file.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <string_view>
#include <unordered_map>

class TIniFile {
public:
    explicit TIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {}

    const std::wstring& FileName() const noexcept { return fileName_; }

    // The value of the key, or the default when the key is missing. A key that is present with
    // an empty value gives the empty text. Values are read whole, however long.
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const;
    // The value as a whole number: decimal, or hexadecimal after "0x" or "$"; the default when
    // the key is missing or its text is not a 32-bit whole number.
    int ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const;

    // Writes a value so that it reads back exactly (see QuoteIniValue); a write the system
    // refuses throws EIniFileException "<path> に書き込めません".
    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& key, int value);
    // Removes the section with all its keys; throws like a write when refused.
    void EraseSection(const std::wstring& section);


private:
    [[noreturn]] void RaiseWriteError() const;
    std::wstring fileName_;
};

// One section of an INI file read in one call and kept: its values as TIniFile reads them key
// by key (keys in any case, the first line of a key wins, blanks and one pair of quotes around a
// value taken away), without walking the file once per key.
class TIniSection {
public:
    TIniSection(const std::wstring& fileName, const std::wstring& section);

    std::wstring ReadString(const std::wstring& key, const std::wstring& defaultValue) const;
    int ReadInteger(const std::wstring& key, int defaultValue) const;

private:
    std::unordered_map<std::wstring, std::wstring> values_;  // by the key in upper case
};

// The value as written to the file: the private-profile readers trim blanks at both ends and
// take away one pair of matching quote marks, so a value they would change gets one more pair of
// double quotes; every other value is written as it is.
std::wstring QuoteIniValue(std::wstring_view value);

// The whole-number rule of ReadInteger, on a text.
std::optional<int> ParseIniInteger(std::wstring_view text);

// True when the system's ANSI code page holds every character of the text unchanged.
bool FitsAnsiCodePage(std::wstring_view text);

// The two ways an INI file is stored: the ANSI code page (as ever), or UTF-16 LE with a
// byte-order mark, which the private-profile functions read and write as they find it.
enum class IniEncoding { Ansi, Utf16 };
// Rewrites the file's text in the encoding (a missing file is made, empty); the text stays
// the same. Throws EIniFileException when the file cannot be rewritten.
void SetIniFileEncoding(const std::wstring& path, IniEncoding encoding);
// Adds the text at the end of the file in the file's encoding (which the private-profile
// functions then read as lines of the last section). The system's cache of the file is flushed
// before and after. Throws EIniFileException when the file cannot be written.
void AppendIniFileText(const std::wstring& path, const std::wstring& text);
// True when the whole text of the file (any section, any key) fits the ANSI code page: always
// for a file stored in it, for a UTF-16 file when every character has its place there.
bool IniFileFitsAnsiCodePage(const std::wstring& path);
// True for a file that starts with the UTF-8 byte-order mark (some editors write it). The
// profile functions of Windows read such a file as the ANSI code page: its sections are read
// from the text here, and a save makes it UTF-16.
bool IniFileHasUtf8Mark(const std::wstring& path);
// Sets the keys of the section in one write of the file, with the lines key-by-key writes give:
// a key already there takes its value where it stands (its spelling kept), the others follow
// the section's last line in the given order, a missing section goes at the end; every other
// line stays as it is. Values are written as given (quote them with QuoteIniValue). Throws
// EIniFileException "<path> に書き込めません" when the file cannot be written.
void WriteIniSectionValues(const std::wstring& path, const std::wstring& section,
                           const std::vector<std::pair<std::wstring, std::wstring>>& values);
