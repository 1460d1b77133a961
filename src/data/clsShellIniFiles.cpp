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

namespace {
// The six values of an entry, in the order the file holds them.
std::vector<std::pair<std::wstring, std::wstring>> EntryValues(const TItemInfo& info, int group, int item) {
    return {{EntryKeyName(group, kNamePart, item), info.Name},     {EntryKeyName(group, kFileNamePart, item), info.FileName},
            {EntryKeyName(group, kKeyPart, item), info.Key},       {EntryKeyName(group, kParamPart, item), info.Param},
            {EntryKeyName(group, kDirNamePart, item), info.DirName},
            {EntryKeyName(group, kIconNoPart, item), std::to_wstring(info.IconNo)}};
}
}  // namespace

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
    data_.reset();
    TIniDocument document = TIniDocument::Read(ini_.FileName());
    PutCatalogue(document, groups);
    WriteIniDocument(ini_.FileName(), document);
}

void TShellIniFile::WriteItemInfo(TItemInfo info, int group, int item) {
    data_.reset();
    TIniDocument document = TIniDocument::Read(ini_.FileName());
    for (const auto& [key, value] : EntryValues(info, group, item)) document.Set(kSection, key, value);
    WriteIniDocument(ini_.FileName(), document);
}

void PutCatalogue(TIniDocument& document, const std::vector<std::vector<TItemInfo>>& groups) {
    if (groups.empty() || groups.front().empty()) {
        document.Erase(kSection);
        return;
    }
    std::vector<std::pair<std::wstring, std::wstring>> values;
    for (size_t g = 0; g < groups.size(); ++g)
        for (size_t i = 0; i < groups[g].size(); ++i)
            for (auto& value : EntryValues(groups[g][i], static_cast<int>(g) + 1, static_cast<int>(i)))
                values.push_back(std::move(value));
    document.Replace(kSection, values);
}

void PutCatalogueAndSettings(TIniDocument& document, const std::vector<std::vector<TItemInfo>>& groups,
                             const TEmvData& settings) {
    // Each section stays where it stands; a new one goes at the end, the settings after the
    // catalogue.
    PutCatalogue(document, groups);
    PutEmvData(document, settings);
}

void WriteCatalogueAndSettings(const std::wstring& path, const std::vector<std::vector<TItemInfo>>& groups,
                               const TEmvData& settings) {
    TIniDocument document = TIniDocument::Read(path);
    PutCatalogueAndSettings(document, groups, settings);
    WriteIniDocument(path, document);
}
