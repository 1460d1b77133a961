#include "data/clsShellIniFiles.hpp"

#include <cwchar>

#include "data/comFunc.hpp"
#include "toolkit/Exceptions.hpp"

namespace {

const std::wstring kSection = L"DATA";

constexpr const wchar_t* kKeyPart = L"KEY-";
constexpr const wchar_t* kNamePart = L"NAME-";
constexpr const wchar_t* kFileNamePart = L"FILENAME-";
constexpr const wchar_t* kParamPart = L"PARAM-";
constexpr const wchar_t* kDirNamePart = L"DirName-";
constexpr const wchar_t* kIconNoPart = L"ICONNO-";

std::wstring Number5(int n) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%5.5d", n);
    return text;
}

}  // namespace

std::wstring EntryKeyName(int group, const wchar_t* fieldPart, int item) {
    return L"GROUP-" + Number5(group) + fieldPart + Number5(item);
}

TShellIniFile::TShellIniFile() : ini_(IniFilePath()) {}

TShellIniFile::TShellIniFile(std::wstring path) : ini_(std::move(path)) {}

const TIniSection& TShellIniFile::Data() const {
    if (!data_) data_.emplace(ini_.FileName(), kSection);
    return *data_;
}

void TShellIniFile::EraseData() {
    data_.reset();
    try {
        ini_.EraseSection(kSection);
    } catch (const EIniFileException&) {
        // Nothing was erased; the writes that follow report the file.
    }
}

bool TShellIniFile::HasKey(int group, int item) const {
    return !Data().ReadString(EntryKeyName(group, kKeyPart, item), L"").empty();
}

int TShellIniFile::GetGroupCount() const {
    int g = 1;
    while (HasKey(g, 0)) ++g;
    return g - 1;
}

int TShellIniFile::GetItemCount(int group) const {
    int i = 1;
    while (HasKey(group, i)) ++i;
    return i - 1;
}

void TShellIniFile::ReadItemInfo(int group, int item, TItemInfo& info) const {
    TItemInfo read;
    const TIniSection& data = Data();
    read.Name = data.ReadString(EntryKeyName(group, kNamePart, item), L"");
    read.Key = data.ReadString(EntryKeyName(group, kKeyPart, item), L"");
    read.FileName = data.ReadString(EntryKeyName(group, kFileNamePart, item), L"");
    read.Param = data.ReadString(EntryKeyName(group, kParamPart, item), L"");
    read.DirName = data.ReadString(EntryKeyName(group, kDirNamePart, item), L"");
    read.IconNo = data.ReadInteger(EntryKeyName(group, kIconNoPart, item), 0);
    info = std::move(read);
}

void TShellIniFile::WriteCatalogue(const std::vector<std::vector<TItemInfo>>& groups) {
    EraseData();
    if (groups.empty() || groups.front().empty()) return;
    // The first entry through the profile functions: they put the section at the end of the
    // file as they write it. The rest goes after it as the same lines in one append: the
    // profile functions would look up every key in the whole section (a cost that grows with the
    // square of the catalogue).
    WriteItemInfo(groups.front().front(), 1, 0);
    std::wstring lines;
    for (size_t g = 0; g < groups.size(); ++g)
        for (size_t i = g == 0 ? 1 : 0; i < groups[g].size(); ++i) {
            const TItemInfo& info = groups[g][i];
            const int group = static_cast<int>(g) + 1, item = static_cast<int>(i);
            for (const auto& [part, value] : {std::pair{kNamePart, &info.Name}, {kFileNamePart, &info.FileName},
                                              {kKeyPart, &info.Key}, {kParamPart, &info.Param},
                                              {kDirNamePart, &info.DirName}})
                lines += EntryKeyName(group, part, item) + L'=' + QuoteIniValue(*value) + L"\r\n";
            lines += EntryKeyName(group, kIconNoPart, item) + L'=' + std::to_wstring(info.IconNo) + L"\r\n";
        }
    AppendIniFileText(ini_.FileName(), lines);
}

void TShellIniFile::WriteItemInfo(TItemInfo info, int group, int item) {
    data_.reset();
    ini_.WriteString(kSection, EntryKeyName(group, kNamePart, item), info.Name);
    ini_.WriteString(kSection, EntryKeyName(group, kFileNamePart, item), info.FileName);
    ini_.WriteString(kSection, EntryKeyName(group, kKeyPart, item), info.Key);
    ini_.WriteString(kSection, EntryKeyName(group, kParamPart, item), info.Param);
    ini_.WriteString(kSection, EntryKeyName(group, kDirNamePart, item), info.DirName);
    ini_.WriteInteger(kSection, EntryKeyName(group, kIconNoPart, item), info.IconNo);
}

void WriteCatalogueAndSettings(const std::wstring& path, const std::vector<std::vector<TItemInfo>>& groups,
                               const TEmvData& settings) {
    TShellIniFile catalogue(path);
    if (!HasEmvData(path)) {
        catalogue.WriteCatalogue(groups);
        SaveEmvData(settings, path);  // the section is made after the catalogue, as it always was
        return;
    }
    catalogue.EraseData();
    SaveEmvData(settings, path);
    catalogue.WriteCatalogue(groups);
}
