// An INI file by key and by section, through the document of the whole file (IniDocument):
// Shift-JIS or UTF-16 whatever the system's code page is.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "toolkit/IniDocument.hpp"

class TIniFile {
public:
    explicit TIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {}

    const std::wstring& FileName() const noexcept { return fileName_; }

    // The value of the key, or the default when the key is missing. A key that is present with
    // an empty value gives the empty text.
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const;
    // The value as a whole number: decimal, or hexadecimal after "0x" or "$"; the default when
    // the key is missing or its text is not a 32-bit whole number.
    int ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const;

    // Each change reads and writes the whole file: for a few values, not for a catalogue. A
    // value is written so that it reads back exactly (see QuoteIniValue); a write the system
    // refuses throws EIniFileException "<path> に書き込めません".
    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& key, int value);
    // Removes the section with all its lines; throws like a write when refused.
    void EraseSection(const std::wstring& section);

private:
    std::wstring fileName_;
};

// One section of an INI file read once: its values as TIniFile reads them key by key.
class TIniSection {
public:
    TIniSection(const std::wstring& fileName, const std::wstring& section);
    TIniSection(const TIniDocument& document, const std::wstring& section);

    std::wstring ReadString(const std::wstring& key, const std::wstring& defaultValue) const;
    int ReadInteger(const std::wstring& key, int defaultValue) const;
    // Every value, by IniLookupKey of its key.
    const std::unordered_map<std::wstring, std::wstring>& Values() const noexcept { return values_; }

private:
    std::unordered_map<std::wstring, std::wstring> values_;  // by IniLookupKey
};

// The whole-number rule of ReadInteger, on a text.
std::optional<int> ParseIniInteger(std::wstring_view text);

// Writes the document's bytes over the file (no copy, no backup: see SaveIniFileSafely for the
// user's file). Throws EIniFileException "<path> に書き込めません" when refused; the other form
// answers false, with the system's error code set.
void WriteIniDocument(const std::wstring& path, const TIniDocument& document);
bool TryWriteIniDocument(const std::wstring& path, const TIniDocument& document);
