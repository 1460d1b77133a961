#include "toolkit/IniDocument.hpp"

#include <windows.h>

#include <cwctype>

#include "toolkit/Exceptions.hpp"
#include "toolkit/Handles.hpp"

namespace {

constexpr UINT kShiftJis = 932;

// What the profile functions trim around names and values: blank, tab, the line-end and page
// controls and ^Z (not the full-width space).
bool IsIniSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x1A; }

std::wstring_view TrimStart(std::wstring_view text) {
    while (!text.empty() && IsIniSpace(text.front())) text.remove_prefix(1);
    return text;
}

std::wstring_view TrimEnd(std::wstring_view text) {
    while (!text.empty() && IsIniSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::wstring_view Trim(std::wstring_view text) { return TrimEnd(TrimStart(text)); }

bool SameName(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}


// A line as the profile functions see it.
struct TLine {
    enum TKind { kBlank, kHeader, kKey } kind = kBlank;
    std::wstring_view name;                  // the section's, or the key's
    std::optional<std::wstring_view> value;  // a key line's text after "=", if it has one
};

TLine Parse(std::wstring_view raw) {
    const std::wstring_view line = Trim(raw);
    if (line.empty()) return {};
    if (line.front() == L'[') {
        // The name runs to the last "]" (what follows it is ignored), blanks around it trimmed.
        if (const size_t close = line.rfind(L']'); close != std::wstring_view::npos && close > 0)
            return {TLine::kHeader, Trim(line.substr(1, close - 1)), std::nullopt};
    }
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) return {TLine::kKey, line, std::nullopt};
    return {TLine::kKey, TrimEnd(line.substr(0, equals)), TrimStart(line.substr(equals + 1))};
}

// One pair of the same quote mark around the value: what the readers take away.
bool HasMatchingQuotes(std::wstring_view value) {
    return value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
}

// A line without "=" is a key that is set but has no value: the readers pass it by.
bool HasValue(const TLine& line) { return line.kind == TLine::kKey && line.value; }

// The value as the readers hand it out: up to a null character, one pair of quotes taken away.
std::wstring ReadValue(const TLine& line) {
    std::wstring_view value = *line.value;
    value = value.substr(0, value.find(L'\0'));
    return std::wstring(HasMatchingQuotes(value) ? value.substr(1, value.size() - 2) : value);
}

std::wstring Decode(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    std::wstring text(bytes.size(), L'\0');
    text.resize(::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                      static_cast<int>(text.size())));
    return text;
}

std::wstring DecodeFile(std::string_view bytes) {
    auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i) {
            const auto first = static_cast<unsigned char>(bytes[2 + 2 * i]);
            const auto second = static_cast<unsigned char>(bytes[3 + 2 * i]);
            text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
        }
        return text;
    }
    if (startsWith("\xEF\xBB\xBF")) return Decode(bytes.substr(3), CP_UTF8);
    return Decode(bytes, kShiftJis);
}

std::string EncodeShiftJis(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    std::string bytes(::WideCharToMultiByte(kShiftJis, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    ::WideCharToMultiByte(kShiftJis, 0, text.data(), length, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                          nullptr);
    return bytes;
}

// Another program (an antivirus, the indexer, a sync client) may hold the file for a moment.
bool HeldForAMoment(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

std::string ReadFileBytes(const std::wstring& path, bool& missing) {
    constexpr int kAttempts = 40;
    for (int attempt = 1;; ++attempt) {
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            std::string bytes;
            char chunk[64 * 1024];
            DWORD read = 0;
            while (::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
            return bytes;
        }
        const DWORD error = ::GetLastError();
        missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        if (missing) return {};
        if (!HeldForAMoment(error) || attempt == kAttempts) throw EIniFileException(path + L" を読めません");
        ::Sleep(50);
    }
}

}  // namespace

// Lines end in CR LF, LF or CR alone.
TIniDocument::TIniDocument(std::string_view bytes) {
    const std::wstring text = DecodeFile(bytes);
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos) end = text.size();
        lines_.emplace_back(text, pos, end - pos);
        pos = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
    }
}

TIniDocument TIniDocument::Read(const std::wstring& path) {
    bool missing = false;
    return TIniDocument(ReadFileBytes(path, missing));
}

std::vector<TIniDocument::TSectionLines> TIniDocument::Sections(std::wstring_view name) const {
    name = Trim(name);
    std::vector<TSectionLines> sections;
    bool inSection = name.empty();  // keys before any header belong to the section without a name
    if (inSection) sections.push_back({lines_.size(), 0});
    for (size_t i = 0; i < lines_.size(); ++i) {
        const TLine line = Parse(lines_[i]);
        if (line.kind == TLine::kHeader) {
            inSection = SameName(line.name, name);
            if (inSection) sections.push_back({i, i + 1});
        } else if (inSection && line.kind == TLine::kKey) {
            sections.back().end = i + 1;
        }
    }
    return sections;
}

std::optional<TIniDocument::TSectionLines> TIniDocument::FirstSection(std::wstring_view name) const {
    const std::vector<TSectionLines> sections = Sections(name);
    if (sections.empty()) return std::nullopt;
    return sections.front();
}

std::optional<std::wstring> TIniDocument::Value(std::wstring_view section, std::wstring_view key) const {
    const std::optional<TSectionLines> lines = FirstSection(section);
    if (!lines) return std::nullopt;
    key = Trim(key);
    const size_t first = lines->header == lines_.size() ? 0 : lines->header + 1;
    for (size_t i = first; i < lines->end; ++i)
        if (const TLine line = Parse(lines_[i]); HasValue(line) && SameName(line.name, key)) return ReadValue(line);
    return std::nullopt;
}

std::unordered_map<std::wstring, std::wstring> TIniDocument::Values(std::wstring_view section) const {
    std::unordered_map<std::wstring, std::wstring> values;
    const std::optional<TSectionLines> lines = FirstSection(section);
    if (!lines) return values;
    values.reserve(lines->end - lines->header);
    const size_t first = lines->header == lines_.size() ? 0 : lines->header + 1;
    for (size_t i = first; i < lines->end; ++i)
        if (const TLine line = Parse(lines_[i]); HasValue(line))
            values.try_emplace(IniLookupKey(line.name), ReadValue(line));  // the first line of a key wins
    return values;
}

TIniDocument::TSectionLines TIniDocument::SectionForWriting(std::wstring_view name) {
    if (const std::optional<TSectionLines> lines = FirstSection(name);
        lines && !(lines->header == lines_.size() && !Trim(name).empty()))
        return *lines;
    lines_.push_back(L"[" + std::wstring(Trim(name)) + L"]");
    return {lines_.size() - 1, lines_.size()};
}

void TIniDocument::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    const TSectionLines lines = SectionForWriting(section);
    const size_t first = lines.header == lines_.size() ? 0 : lines.header + 1;
    for (size_t i = first; i < lines.end; ++i) {
        const TLine line = Parse(lines_[i]);
        if (line.kind != TLine::kKey || !SameName(line.name, Trim(key))) continue;
        lines_[i] = std::wstring(line.name) + L'=' + QuoteIniValue(value);
        return;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lines.end),
                  std::wstring(key) + L'=' + QuoteIniValue(value));
}

void TIniDocument::Replace(std::wstring_view section,
                           const std::vector<std::pair<std::wstring, std::wstring>>& values) {
    auto valueLines = [&](std::vector<std::wstring>& into) {
        for (const auto& [key, value] : values) into.push_back(key + L'=' + QuoteIniValue(value));
    };
    std::vector<std::wstring> kept;
    kept.reserve(lines_.size() + values.size());
    bool inSection = false, replaced = false;
    for (std::wstring& raw : lines_) {
        const TLine line = Parse(raw);
        if (line.kind == TLine::kHeader) {
            inSection = SameName(line.name, Trim(section));
            if (inSection && !replaced) {
                kept.push_back(std::move(raw));
                valueLines(kept);
                replaced = true;
                continue;
            }
        }
        if (!inSection) kept.push_back(std::move(raw));
    }
    if (!replaced) {
        kept.push_back(L"[" + std::wstring(Trim(section)) + L"]");
        valueLines(kept);
    }
    lines_ = std::move(kept);
}

void TIniDocument::Erase(std::wstring_view section) {
    std::vector<std::wstring> kept;
    kept.reserve(lines_.size());
    bool erasing = false;
    for (std::wstring& raw : lines_) {
        const TLine line = Parse(raw);
        if (line.kind == TLine::kHeader) erasing = SameName(line.name, Trim(section));
        if (!erasing) kept.push_back(std::move(raw));
    }
    lines_ = std::move(kept);
}

std::wstring TIniDocument::Text() const {
    size_t size = 0;
    for (const std::wstring& line : lines_) size += line.size() + 2;
    std::wstring text;
    text.reserve(size);
    for (const std::wstring& line : lines_) text.append(line).append(L"\r\n");
    return text;
}

std::string TIniDocument::Bytes() const {
    const std::wstring text = Text();
    if (FitsShiftJis(text)) return EncodeShiftJis(text);
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::wstring IniLookupKey(std::wstring_view key) {
    std::wstring upper(Trim(key));
    if (!upper.empty()) ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

std::wstring QuoteIniValue(std::wstring_view value) {
    if (value.empty()) return {};
    if (!IsIniSpace(value.front()) && !IsIniSpace(value.back()) && !HasMatchingQuotes(value)) return std::wstring(value);
    return L'"' + std::wstring(value) + L'"';
}

bool FitsShiftJis(std::wstring_view text) {
    if (text.empty()) return true;
    BOOL usedDefault = FALSE;
    const int length = static_cast<int>(text.size());
    const int size =
        ::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &usedDefault);
    return !usedDefault && size > 0 && Decode(EncodeShiftJis(text), kShiftJis) == text;
}
