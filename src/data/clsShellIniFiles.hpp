// The catalogue: section DATA of the program's INI file, one entry per group and item.
#pragma once

#include <optional>
#include <vector>

#include <string>

#include "data/comFunc.hpp"
#include "toolkit/IniFiles.hpp"

// One catalogue entry, a group (item number 0) or an item.
struct TItemInfo {
    std::wstring Key;
    std::wstring Name;
    std::wstring FileName;
    std::wstring Param;
    std::wstring DirName;
    int IconNo = 0;

    bool operator==(const TItemInfo&) const = default;
};

// The key of one value of an entry: "GROUP-" + group + field part + item, numbers "%5.5d".
std::wstring EntryKeyName(int group, const wchar_t* fieldPart, int item);

// True when an item's file is to be marked missing: not an address (its first four characters,
// upper-cased, are not "HTTP"), not on a network share, and no file or folder there (%NAME%
// expanded as at a start).
bool ShowsMissingMark(const std::wstring& fileName);

// Short-lived accessor of the catalogue: create it for one job and let it go. The section is
// read at its first read after the last write; every write goes to the file.
class TShellIniFile {
public:
    TShellIniFile();
    // The catalogue of another INI file (the copy a safe save writes).
    explicit TShellIniFile(std::wstring path);

    // Removes the whole section DATA; a refusal is ignored (the writes that follow fail on
    // their own).
    void EraseData();
    // Groups 1, 2, ... up to the first whose key is empty or missing.
    int GetGroupCount() const;
    // Items 1, 2, ... of the group up to the first whose key is empty or missing.
    int GetItemCount(int group) const;
    // The entry (group, item); an absent entry gives empty texts and 0.
    void ReadItemInfo(int group, int item, TItemInfo& info) const;
    // The whole catalogue as the three above give it, entry by entry: each group's own entry
    // first, then its items.
    std::vector<std::vector<TItemInfo>> ReadCatalogue() const;
    // Writes the six values of the entry; a refused write throws EIniFileException.
    void WriteItemInfo(TItemInfo info, int group, int item);
    // The whole catalogue in one write (see PutCatalogue). Throws like WriteItemInfo.
    void WriteCatalogue(const std::vector<std::vector<TItemInfo>>& groups);

private:
    bool HasKey(int group, int item) const;
    // The section as read at the first read after the last write: one walk of the file.
    const TIniSection& Data() const;
    TIniFile ini_;
    mutable std::optional<TIniSection> data_;
};

// Section DATA written anew where it stands (at the end when there is none) with dense numbers,
// each group (its own entry first, then its items) in order, each entry's six lines in the order
// WriteItemInfo writes them; an empty catalogue removes the section.
void PutCatalogue(TIniDocument& document, const std::vector<std::vector<TItemInfo>>& groups);
// The catalogue and the settings, each section where it stands: a file saved without edits
// keeps its bytes.
void PutCatalogueAndSettings(TIniDocument& document, const std::vector<std::vector<TItemInfo>>& groups,
                             const TEmvData& settings);
// The same into the INI file at path, written over. Throws EIniFileException when refused.
void WriteCatalogueAndSettings(const std::wstring& path, const std::vector<std::vector<TItemInfo>>& groups,
                               const TEmvData& settings);
