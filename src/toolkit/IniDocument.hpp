// An INI file as a document of our own: its bytes read once, its lines kept as they were read,
// looked up by the reading rules of Windows' profile functions, changed in memory and written
// in one go. The text is Shift-JIS (code page 932) whatever the system's code page is; a file
// marked UTF-16 (either byte order) or UTF-8 is read as such.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class TIniDocument {
public:
    TIniDocument() = default;
    // The text of the file's bytes.
    explicit TIniDocument(std::string_view bytes);
    // The file's document; an empty one for a missing file. Throws EIniFileException
    // "<path> を読めません" for a file that is there but cannot be read.
    static TIniDocument Read(const std::wstring& path);

    // The value of the key as GetPrivateProfileString hands it out: the first section of the
    // name and the first line of the key in it (names in any case, blanks around them ignored),
    // blanks around the value trimmed, one pair of matching quotes taken away; none when the
    // section or the key is missing.
    std::optional<std::wstring> Value(std::wstring_view section, std::wstring_view key) const;
    // All the values of that section the same way, by IniLookupKey of the key.
    std::unordered_map<std::wstring, std::wstring> Values(std::wstring_view section) const;

    // Sets the key's value so that it reads back exactly (quoted where a reader would change
    // it): in place when the key is there (its spelling kept), else after the section's last
    // line; a missing section goes at the end.
    void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    // The section's lines replaced by these keys and values, where the section stands (its
    // header's spelling kept; further sections of the name go), else at the end.
    void Replace(std::wstring_view section, const std::vector<std::pair<std::wstring, std::wstring>>& values);
    // Removes every section of the name with all its lines.
    void Erase(std::wstring_view section);

    // The text, each line ended by CR LF.
    std::wstring Text() const;
    // The bytes of the file: Shift-JIS when every character of the text comes back unchanged
    // from it, otherwise UTF-16 little-endian with its mark.
    std::string Bytes() const;

private:
    struct TSectionLines {
        size_t header;  // the header's line (lines_.size() for keys before any header)
        size_t end;     // one past the section's last line that is not blank
    };
    std::vector<TSectionLines> Sections(std::wstring_view name) const;
    std::optional<TSectionLines> FirstSection(std::wstring_view name) const;
    TSectionLines SectionForWriting(std::wstring_view name);

    std::vector<std::wstring> lines_;  // without their ends
};

// The value as written to the file: the readers trim blanks (also tab, vertical tab, form feed
// and ^Z) at both ends and take away one pair of matching quote marks, so a value they would
// change gets one more pair of double quotes; every other value is written as it is.
std::wstring QuoteIniValue(std::wstring_view value);

// The form a key is looked up by: blanks around it trimmed, in upper case.
std::wstring IniLookupKey(std::wstring_view key);

// True when Shift-JIS (code page 932) holds every character of the text unchanged.
bool FitsShiftJis(std::wstring_view text);
