#include "data/clsShellIniFiles.hpp"

#include <cwchar>
#include <unordered_map>
#include <optional>
#include <string_view>

#include "data/comFunc.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/ShellApi.hpp"
#include "toolkit/Strings.hpp"

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

namespace {

// The five-digit number at the text's start (the way EntryKeyName writes them), or none.
std::optional<int> Number5At(std::wstring_view text) {
    if (text.size() < 5) return std::nullopt;
    int n = 0;
    for (wchar_t c : text.substr(0, 5)) {
        if (c < L'0' || c > L'9') return std::nullopt;
        n = n * 10 + (c - L'0');
    }
    return n;
}

// The field of an entry a key in upper case names: "GROUP-" group field item, as EntryKeyName
// writes it.
struct TEntryField {
    int group, item;
    std::wstring TItemInfo::*text;  // none for the icon number
};
std::optional<TEntryField> EntryFieldOf(std::wstring_view key) {
    constexpr std::wstring_view kPrefix = L"GROUP-";
    if (key.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    const std::optional<int> group = Number5At(key.substr(kPrefix.size()));
    if (!group) return std::nullopt;
    const std::wstring_view rest = key.substr(kPrefix.size() + 5);
    static const std::pair<std::wstring_view, std::wstring TItemInfo::*> kFields[] = {
        {L"NAME-", &TItemInfo::Name},   {L"FILENAME-", &TItemInfo::FileName}, {L"KEY-", &TItemInfo::Key},
        {L"PARAM-", &TItemInfo::Param}, {L"DIRNAME-", &TItemInfo::DirName},   {L"ICONNO-", nullptr}};
    for (const auto& [part, field] : kFields) {
        if (rest.size() != part.size() + 5 || rest.substr(0, part.size()) != part) continue;
        const std::optional<int> item = Number5At(rest.substr(part.size()));
        if (!item) return std::nullopt;
        return TEntryField{*group, *item, field};
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::vector<TItemInfo>> TShellIniFile::ReadCatalogue() const {
    // One pass over the section's values, each placed by the numbers in its key.
    std::unordered_map<long long, TItemInfo> entries;
    auto place = [](int group, int item) { return static_cast<long long>(group) * 100000 + item; };
    for (const auto& [key, value] : Data().Values()) {
        const std::optional<TEntryField> field = EntryFieldOf(key);
        if (!field) continue;
        TItemInfo& entry = entries[place(field->group, field->item)];
        if (field->text) entry.*(field->text) = value;
        else entry.IconNo = ParseIniInteger(value).value_or(0);
    }
    // Groups 1, 2, ... and their items 1, 2, ..., each list up to the first empty or missing key.
    auto keyed = [&](int group, int item) -> TItemInfo* {
        const auto found = entries.find(place(group, item));
        return found != entries.end() && !found->second.Key.empty() ? &found->second : nullptr;
    };
    std::vector<std::vector<TItemInfo>> catalogue;
    for (int g = 1; TItemInfo* group = keyed(g, 0); ++g) {
        catalogue.push_back({std::move(*group)});
        for (int i = 1; TItemInfo* item = keyed(g, i); ++i) catalogue.back().push_back(std::move(*item));
    }
    return catalogue;
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

bool ShowsMissingMark(const std::wstring& fileName) {
    if (UpCaseAscii(std::wstring_view(fileName).substr(0, 4)) == L"HTTP") return false;
    // The file the start opens: %NAME% expanded as then.
    const std::wstring path = ExpandVariables(fileName);
    // A share that does not answer would hold the dialog for many seconds: no mark instead.
    if (IsNetworkPath(path)) return false;
    // A folder starts as well as a file (Explorer opens it).
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}
