#include "toolkit/IniFiles.hpp"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <fstream>
#include <filesystem>
#include <iterator>
#include <string>

#include "toolkit/Exceptions.hpp"

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
    // The function cuts a value that does not fit and says so by filling the buffer to size - 1;
    // grow until the value fits.
    std::wstring buffer(256, L'\0');
    for (;;) {
        DWORD length = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                  buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  fileName_.c_str());
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 4);
    }
}

int TIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const {
    return ParseIniInteger(ReadString(section, key, L"")).value_or(defaultValue);
}

namespace {

// One pair of the same quote mark around the value: what the readers take away.
bool HasMatchingQuotes(std::wstring_view value) {
    return value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
}

}  // namespace

std::wstring QuoteIniValue(std::wstring_view value) {
    if (value.empty()) return {};
    // What the readers take away: blanks at either end, and one pair of the same quote mark
    // around the value. One more pair of double quotes keeps such a value whole.
    if (!IsBlank(value.front()) && !IsBlank(value.back()) && !HasMatchingQuotes(value)) return std::wstring(value);
    return L'"' + std::wstring(value) + L'"';
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    if (!::WritePrivateProfileStringW(section.c_str(), key.c_str(), QuoteIniValue(value).c_str(), fileName_.c_str()))
        RaiseWriteError();
}

namespace {

std::wstring UpperKey(std::wstring key) {
    for (wchar_t& c : key) c = static_cast<wchar_t>(::towupper(c));
    return key;
}

std::wstring_view TrimBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// What the readers hand out of a stored value: one pair of matching quotes taken away.
std::wstring_view Unquoted(std::wstring_view value) {
    return HasMatchingQuotes(value) ? value.substr(1, value.size() - 2) : value;
}

}  // namespace

namespace {

std::wstring ReadIniText(const std::wstring& path);

// Section names compare as the profile functions compare them: blanks around, any letter case.
bool SameSectionName(std::wstring_view name, std::wstring_view section) {
    name = TrimBlanks(name);
    return ::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), section.data(),
                                  static_cast<int>(section.size()), TRUE) == CSTR_EQUAL;
}

// The section's lines from the file's text, as GetPrivateProfileSection hands them: trimmed,
// each ended by a null, without blank and comment lines.
std::wstring SectionLinesFromText(const std::wstring& text, const std::wstring& section) {
    std::wstring lines;
    bool inSection = false;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring_view line = TrimBlanks(std::wstring_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (!line.empty() && line.back() == L'\r') line = TrimBlanks(line.substr(0, line.size() - 1));
        if (!line.empty() && line.front() == L'[') {
            const size_t close = line.find(L']');
            inSection = close != std::wstring_view::npos && SameSectionName(line.substr(1, close - 1), section);
        } else if (inSection && !line.empty() && line.front() != L';') {
            lines.append(line);
            lines += L'\0';
        }
    }
    return lines;
}

}  // namespace

TIniSection::TIniSection(const std::wstring& fileName, const std::wstring& section) {
    std::wstring buffer;
    DWORD length = 0;
    if (IniFileHasUtf8Mark(fileName)) {
        // Not for the profile functions, which read such a file as the ANSI code page.
        buffer = SectionLinesFromText(ReadIniText(fileName), section);
        length = static_cast<DWORD>(buffer.size());
    } else {
        // The function cuts what does not fit and then returns the size less 2; grow until it fits.
        buffer.assign(32 * 1024, L'\0');
        for (;;) {
            length = ::GetPrivateProfileSectionW(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 fileName.c_str());
            if (length + 2 < buffer.size()) break;
            buffer.resize(buffer.size() * 4);
        }
    }
    for (size_t pos = 0; pos < length;) {
        const size_t end = buffer.find(L'\0', pos);
        const std::wstring_view line(buffer.data() + pos, end - pos);
        pos = end + 1;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos) continue;  // a line without "=" is no value of a key
        const std::wstring_view key = TrimBlanks(line.substr(0, equals));
        values_.try_emplace(UpperKey(std::wstring(key)), Unquoted(TrimBlanks(line.substr(equals + 1))));
    }
}

std::wstring TIniSection::ReadString(const std::wstring& key, const std::wstring& defaultValue) const {
    const auto found = values_.find(UpperKey(key));
    return found == values_.end() ? defaultValue : found->second;
}

int TIniSection::ReadInteger(const std::wstring& key, int defaultValue) const {
    return ParseIniInteger(ReadString(key, L"")).value_or(defaultValue);
}

void TIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, int value) {
    WriteString(section, key, std::to_wstring(value));
}

void TIniFile::EraseSection(const std::wstring& section) {
    if (!::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, fileName_.c_str()))
        RaiseWriteError();
}

void TIniFile::RaiseWriteError() const { throw EIniFileException(fileName_ + L" に書き込めません"); }

bool FitsAnsiCodePage(std::wstring_view text) {
    if (text.empty()) return true;
    BOOL usedDefault = FALSE;
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                           &usedDefault);
    if (usedDefault || size <= 0) return false;
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size, nullptr, nullptr);
    std::wstring back(text.size() + 1, L'\0');
    back.resize(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, back.data(), static_cast<int>(back.size())));
    return back == text;
}

namespace {

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsUtf8MarkedText(const std::string& bytes) { return bytes.rfind("\xEF\xBB\xBF", 0) == 0; }

bool IsUtf16Text(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// The file's first bytes (fewer for a shorter file): a byte-order mark is read without the
// whole file (a catalogue can be megabytes).
std::string ReadFileStart(const std::wstring& path, size_t count) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::string start(count, '\0');
    in.read(start.data(), static_cast<std::streamsize>(count));
    start.resize(static_cast<size_t>(in.gcount()));
    return start;
}

bool IsUtf16File(const std::wstring& path) { return IsUtf16Text(ReadFileStart(path, 2)); }

std::wstring Widen(std::string_view bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                      static_cast<int>(text.size())));
    return text;
}

std::wstring DecodeIniText(const std::string& bytes) {
    std::wstring text;
    if (IsUtf16Text(bytes)) {
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    } else if (IsUtf8MarkedText(bytes)) {
        text = Widen(std::string_view(bytes).substr(3), CP_UTF8);
    } else if (!bytes.empty()) {
        text = Widen(bytes, CP_ACP);
    }
    return text;
}

// The text as the file's bytes: UTF-16 LE (without its mark), or the ANSI code page.
std::string EncodeIniText(const std::wstring& text, bool utf16) {
    if (utf16) return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    if (text.empty()) return {};
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes, std::ios::openmode mode) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | mode);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw EIniFileException(path + L" に書き込めません");
}

std::wstring ReadIniText(const std::wstring& path) { return DecodeIniText(ReadWholeFile(path)); }

}  // namespace

bool IniFileHasUtf8Mark(const std::wstring& path) { return IsUtf8MarkedText(ReadFileStart(path, 3)); }

bool IniFileFitsAnsiCodePage(const std::wstring& path) {
    return !IsUtf16File(path) || FitsAnsiCodePage(DecodeIniText(ReadWholeFile(path)));
}

void AppendIniFileText(const std::wstring& path, const std::wstring& text) {
    // Written by the profile functions just before: what they hold for the file goes to disk.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    WriteBytes(path, EncodeIniText(text, IsUtf16File(path)), std::ios::app);
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());  // read anew from here on
}

void SetIniFileEncoding(const std::wstring& path, IniEncoding encoding) {
    const std::string bytes = ReadWholeFile(path);
    const bool isUtf16 = IsUtf16Text(bytes);
    if (isUtf16 == (encoding == IniEncoding::Utf16) && !(bytes.empty() && encoding == IniEncoding::Utf16)) return;
    const bool toUtf16 = encoding == IniEncoding::Utf16;
    std::string out = EncodeIniText(DecodeIniText(bytes), toUtf16);
    if (toUtf16) out.insert(0, "\xFF\xFE", 2);  // the byte-order mark
    WriteBytes(path, out, std::ios::trunc);
}

namespace {

// The key of a "key=value" line, blanks around it taken away; empty for other lines.
std::wstring_view LineKey(std::wstring_view line) {
    const size_t equals = line.find(L'=');
    return equals == std::wstring_view::npos ? std::wstring_view() : TrimBlanks(line.substr(0, equals));
}

bool IsSectionHeader(std::wstring_view line) {
    line = TrimBlanks(line);
    return !line.empty() && line.front() == L'[';
}

}  // namespace

void WriteIniSectionValues(const std::wstring& path, const std::wstring& section,
                           const std::vector<std::pair<std::wstring, std::wstring>>& values) {
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());  // cached writes to disk
    const std::string bytes = ReadWholeFile(path);
    const bool utf16 = IsUtf16Text(bytes) || IsUtf8MarkedText(bytes);
    // The lines without their ends; the file's lines end in CRLF as the profile functions write.
    std::vector<std::wstring> lines;
    const std::wstring text = DecodeIniText(bytes);
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    auto header = std::find_if(lines.begin(), lines.end(), [&](const std::wstring& line) {
        if (!IsSectionHeader(line)) return false;
        const std::wstring_view name = TrimBlanks(line);
        const size_t close = name.find(L']');
        return close != std::wstring_view::npos && SameSectionName(name.substr(1, close - 1), section);
    });
    if (header == lines.end()) {
        lines.push_back(L"[" + section + L"]");
        header = lines.end() - 1;
    }
    const size_t first = static_cast<size_t>(header - lines.begin()) + 1;
    size_t last = first;  // one past the section's last non-blank line
    for (size_t i = first; i < lines.size() && !IsSectionHeader(lines[i]); ++i)
        if (!TrimBlanks(lines[i]).empty()) last = i + 1;
    std::vector<std::wstring> added;
    for (const auto& [key, value] : values) {
        bool found = false;
        for (size_t i = first; i < last && !found; ++i) {
            const std::wstring_view stored = LineKey(lines[i]);
            if (stored.empty() || !SameSectionName(stored, key)) continue;
            lines[i] = std::wstring(stored) + L'=' + value;
            found = true;
        }
        if (!found) added.push_back(key + L'=' + value);
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last), added.begin(), added.end());
    std::wstring out;
    for (const std::wstring& line : lines) out += line + L"\r\n";
    std::string encoded = EncodeIniText(out, utf16);
    if (utf16) encoded.insert(0, "\xFF\xFE", 2);
    WriteBytes(path, encoded, std::ios::trunc);
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());  // read anew from here on
}
