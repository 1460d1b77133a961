#include "toolkit/IniFiles.hpp"

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/Exceptions.hpp"
#include "toolkit/Handles.hpp"

namespace {

int DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::optional<int> ParseIniInteger(std::wstring_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+')) negative = text[pos++] == L'-';

    int base = 10;
    if (pos < text.size() && text[pos] == L'$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == L'0' && (text[pos + 1] == L'x' || text[pos + 1] == L'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size()) return std::nullopt;

    // Hexadecimal text names a 32-bit pattern ($FFFFFFFF is -1); decimal must fit a signed value.
    const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        int digit = DigitValue(text[pos]);
        if (digit < 0 || digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > limit) return std::nullopt;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int>(bits);
}

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue) const {
    return TIniDocument::Read(fileName_).Value(section, key).value_or(defaultValue);
}

int TIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const {
    return ParseIniInteger(ReadString(section, key, L"")).value_or(defaultValue);
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    TIniDocument document = TIniDocument::Read(fileName_);
    document.Set(section, key, value);
    WriteIniDocument(fileName_, document);
}

void TIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, int value) {
    WriteString(section, key, std::to_wstring(value));
}

void TIniFile::EraseSection(const std::wstring& section) {
    TIniDocument document = TIniDocument::Read(fileName_);
    document.Erase(section);
    WriteIniDocument(fileName_, document);
}

TIniSection::TIniSection(const std::wstring& fileName, const std::wstring& section)
    : TIniSection(TIniDocument::Read(fileName), section) {}

TIniSection::TIniSection(const TIniDocument& document, const std::wstring& section)
    : values_(document.Values(section)) {}

std::wstring TIniSection::ReadString(const std::wstring& key, const std::wstring& defaultValue) const {
    const auto found = values_.find(IniLookupKey(key));
    return found == values_.end() ? defaultValue : found->second;
}

int TIniSection::ReadInteger(const std::wstring& key, int defaultValue) const {
    return ParseIniInteger(ReadString(key, L"")).value_or(defaultValue);
}

bool TryWriteIniDocument(const std::wstring& path, const TIniDocument& document) {
    const std::string bytes = document.Bytes();
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void WriteIniDocument(const std::wstring& path, const TIniDocument& document) {
    if (!TryWriteIniDocument(path, document)) throw EIniFileException(path + L" に書き込めません");
}
