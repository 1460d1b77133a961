#include "data/comFunc.hpp"

#include <variant>
#include <vector>

#include "toolkit/Exceptions.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/IniFiles.hpp"
#include "toolkit/Module.hpp"
#include "toolkit/Strings.hpp"

namespace {

const std::wstring kSection = L"EMVDATA";

struct StringField {
    std::wstring TEmvData::*member;
    const wchar_t* defaultValue;
};
struct IntegerField {
    int TEmvData::*member;
    int defaultValue;
};
struct SettingsKey {
    const wchar_t* key;
    std::variant<StringField, IntegerField> field;
};

// The keys in file order: loading reads and saving writes them in this order, which a new
// file keeps. Colours stand group start, item start, group end, item end.
const SettingsKey kKeys[] = {
    {L"MAINKEY", StringField{&TEmvData::MainKey, L"K"}},
    {L"OPTIONKEY", StringField{&TEmvData::OptionKey, L"Y"}},
    {L"NORMALFONTNAME", StringField{&TEmvData::NormalFontName, L"ＭＳ Ｐ明朝"}},
    {L"NORMALFONTCHARSET", IntegerField{&TEmvData::NormalFontCharset, 128}},
    {L"NORMALFONTSIZE", IntegerField{&TEmvData::NormalFontSize, 11}},
    {L"NORMALFONTRED", IntegerField{&TEmvData::NormalFontRed, 100}},
    {L"NORMALFONTGREEN", IntegerField{&TEmvData::NormalFontGreen, 100}},
    {L"NORMALFONTBLUE", IntegerField{&TEmvData::NormalFontBlue, 255}},
    {L"NORMALFONTSTYLE", IntegerField{&TEmvData::NormalFontStyle, 0}},
    {L"GROUPSTARTRED", IntegerField{&TEmvData::GroupStartRed, 180}},
    {L"GROUPSTARTGREEN", IntegerField{&TEmvData::GroupStartGreen, 180}},
    {L"GROUPSTARTBLUE", IntegerField{&TEmvData::GroupStartBlue, 250}},
    {L"ITEMSTARTRED", IntegerField{&TEmvData::ItemStartRed, 180}},
    {L"ITEMSTARTGREEN", IntegerField{&TEmvData::ItemStartGreen, 180}},
    {L"ITEMSTARTBLUE", IntegerField{&TEmvData::ItemStartBlue, 250}},
    {L"GROUPENDRED", IntegerField{&TEmvData::GroupEndRed, 180}},
    {L"GROUPENDGREEN", IntegerField{&TEmvData::GroupEndGreen, 180}},
    {L"GROUPENDBLUE", IntegerField{&TEmvData::GroupEndBlue, 250}},
    {L"ITEMENDRED", IntegerField{&TEmvData::ItemEndRed, 180}},
    {L"ITEMENDGREEN", IntegerField{&TEmvData::ItemEndGreen, 180}},
    {L"ITEMENDBLUE", IntegerField{&TEmvData::ItemEndBlue, 250}},
    {L"SELECTFONTNAME", StringField{&TEmvData::SelectFontName, L"ＭＳ Ｐ明朝"}},
    {L"SELECTFONTCHARSET", IntegerField{&TEmvData::SelectFontCharset, 128}},
    {L"SELECTFONTSIZE", IntegerField{&TEmvData::SelectFontSize, 11}},
    {L"SELECTFONTRED", IntegerField{&TEmvData::SelectFontRed, 255}},
    {L"SELECTFONTGREEN", IntegerField{&TEmvData::SelectFontGreen, 100}},
    {L"SELECTFONTBLUE", IntegerField{&TEmvData::SelectFontBlue, 100}},
    {L"SELECTFONTSTYLE", IntegerField{&TEmvData::SelectFontStyle, 0}},
    {L"WINWIDTH", IntegerField{&TEmvData::WinWidth, 800}},
    {L"WINHEIGHT", IntegerField{&TEmvData::WinHeight, 600}},
    {L"GRPWINWIDTH", IntegerField{&TEmvData::GrpWinWidth, 300}},
};
static_assert(std::size(kKeys) == 31);

std::wstring& IniPathOverride() {
    static std::wstring path;
    return path;
}

}  // namespace

std::wstring IniFilePath() {
    if (!IniPathOverride().empty()) return IniPathOverride();
    return ChangeFileExt(ExePath(), L".INI");
}

void SetIniFilePathForTests(std::wstring path) { IniPathOverride() = std::move(path); }

void LoadEmvData(TEmvData& data) {
    const TIniSection ini(IniFilePath(), kSection);  // one read of the file, not one per key
    TEmvData loaded{};
    for (const SettingsKey& entry : kKeys) {
        if (auto* s = std::get_if<StringField>(&entry.field)) {
            // A setting present but blank takes its default, as a missing one does.
            const std::wstring value = ini.ReadString(entry.key, L"");
            loaded.*(s->member) = value.empty() ? s->defaultValue : value;
        } else if (auto* i = std::get_if<IntegerField>(&entry.field)) {
            loaded.*(i->member) = ini.ReadInteger(entry.key, i->defaultValue);
        }
    }
    data = std::move(loaded);
}

void PutEmvData(TIniDocument& document, const TEmvData& data) {
    for (const SettingsKey& entry : kKeys) {
        if (auto* s = std::get_if<StringField>(&entry.field))
            document.Set(kSection, entry.key, data.*(s->member));
        else if (auto* i = std::get_if<IntegerField>(&entry.field))
            document.Set(kSection, entry.key, std::to_wstring(data.*(i->member)));
    }
}

void SaveEmvData(TEmvData data) { SaveEmvData(std::move(data), IniFilePath()); }

void SaveEmvData(TEmvData data, const std::wstring& path) {
    TIniDocument document = TIniDocument::Read(path);
    PutEmvData(document, data);
    WriteIniDocument(path, document);
}


std::optional<UINT> HotKeyCode(const std::wstring& setting) {
    if (setting.empty()) return std::nullopt;
    const wchar_t c = setting[0];
    if (c >= L'a' && c <= L'z') return static_cast<UINT>(c - L'a' + L'A');
    if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return static_cast<UINT>(c);
    return std::nullopt;
}

bool SameHotKey(const std::wstring& first, const std::wstring& second) {
    const std::optional<UINT> a = HotKeyCode(first);
    return a && a == HotKeyCode(second);
}

namespace {

// What a file holds reaches the disk before it replaces another: a power cut then leaves the
// old file or the new one, never a short one.
void FlushToDisk(const std::wstring& path) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) ::FlushFileBuffers(file.get());
}

// Another program (an antivirus, the indexer, a sync client) may hold a file for a moment: each
// step is tried again for about two seconds before it counts as refused.
bool Retrying(const std::function<bool()>& step) {
    constexpr int kAttempts = 40;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 1;; ++attempt) {
        if (step()) return true;
        const DWORD error = ::GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held || attempt == kAttempts) return false;
        ::Sleep(kPauseMs);
    }
}

bool Replace(const std::wstring& from, const std::wstring& to) {
    return Retrying([&] { return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0; });
}

}  // namespace

bool SaveIniFileSafely(const std::wstring& path, const TIniDocument& document) {
    auto refused = [&] { return EIniFileException(path + L" に書き込めません"); };
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A file the user marked read-only stays untouched, whoever runs the program.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) throw refused();

    const std::wstring copy = path + L".saving", backup = path + L".bak", backupCopy = backup + L".saving";
    auto removeCopies = [&] {
        for (const std::wstring* file : {&copy, &backupCopy}) {
            ::SetFileAttributesW(file->c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(file->c_str());
        }
    };
    removeCopies();  // left over from a save that was cut short
    bool backupCopied = false;
    try {
        if (!Retrying([&] { return TryWriteIniDocument(copy, document); })) throw refused();
        FlushToDisk(copy);
        if (exists) {
            backupCopied = Retrying([&] { return ::CopyFileW(path.c_str(), backupCopy.c_str(), FALSE) != 0; });
            if (backupCopied) FlushToDisk(backupCopy);
        }
        if (!Replace(copy, path)) throw refused();
    } catch (...) {
        removeCopies();
        throw;
    }
    // The file as it was before this save; the save itself stands when the backup cannot be
    // made or replaced (a read-only backup, say), and the caller says so.
    if (!exists) return true;
    const bool backedUp = backupCopied && Replace(backupCopy, backup);
    if (!backedUp) removeCopies();
    return backedUp;
}

COLORREF ColorFromComponents(int red, int green, int blue) noexcept {
    return RGB(static_cast<BYTE>(red), static_cast<BYTE>(green), static_cast<BYTE>(blue));
}

namespace {

struct ColorFields {
    int TEmvData::*red;
    int TEmvData::*green;
    int TEmvData::*blue;
};
constexpr ColorFields kGradientFields[] = {
    {&TEmvData::GroupStartRed, &TEmvData::GroupStartGreen, &TEmvData::GroupStartBlue},
    {&TEmvData::GroupEndRed, &TEmvData::GroupEndGreen, &TEmvData::GroupEndBlue},
    {&TEmvData::ItemStartRed, &TEmvData::ItemStartGreen, &TEmvData::ItemStartBlue},
    {&TEmvData::ItemEndRed, &TEmvData::ItemEndGreen, &TEmvData::ItemEndBlue},
};

struct FontFields {
    std::wstring TEmvData::*name;
    int TEmvData::*charset;
    int TEmvData::*style;
    int TEmvData::*size;
    ColorFields color;
};
constexpr FontFields kFontFields[] = {
    {&TEmvData::NormalFontName, &TEmvData::NormalFontCharset, &TEmvData::NormalFontStyle, &TEmvData::NormalFontSize,
     {&TEmvData::NormalFontRed, &TEmvData::NormalFontGreen, &TEmvData::NormalFontBlue}},
    {&TEmvData::SelectFontName, &TEmvData::SelectFontCharset, &TEmvData::SelectFontStyle, &TEmvData::SelectFontSize,
     {&TEmvData::SelectFontRed, &TEmvData::SelectFontGreen, &TEmvData::SelectFontBlue}},
};

COLORREF ReadColor(const TEmvData& data, const ColorFields& f) noexcept {
    return ColorFromComponents(data.*f.red, data.*f.green, data.*f.blue);
}

void WriteColor(TEmvData& data, const ColorFields& f, COLORREF color) noexcept {
    data.*f.red = GetRValue(color);
    data.*f.green = GetGValue(color);
    data.*f.blue = GetBValue(color);
}

}  // namespace

COLORREF GradientColor(const TEmvData& data, TGradientEnd end) noexcept {
    return ReadColor(data, kGradientFields[static_cast<int>(end)]);
}

void SetGradientColor(TEmvData& data, TGradientEnd end, COLORREF color) noexcept {
    WriteColor(data, kGradientFields[static_cast<int>(end)], color);
}

TFontSetting FontSetting(const TEmvData& data, TFontRole role) {
    const FontFields& f = kFontFields[static_cast<int>(role)];
    return {data.*f.name, data.*f.charset, data.*f.style, data.*f.size, ReadColor(data, f.color)};
}

void SetFontSetting(TEmvData& data, TFontRole role, const TFontSetting& font) {
    const FontFields& f = kFontFields[static_cast<int>(role)];
    data.*f.name = font.name;
    data.*f.charset = font.charset;
    data.*f.style = font.style;
    data.*f.size = font.size;
    WriteColor(data, f.color, font.color);
}
