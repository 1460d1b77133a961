// The INI document read against Windows' profile functions as the oracle: a generated corpus of
// files, every key of every section asked of both.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/TestSupport.hpp"
#include "toolkit/IniDocument.hpp"
#include "toolkit/IniFiles.hpp"

namespace {

// The file's bytes for a text: Shift-JIS (where it holds the text), UTF-16 either way round,
// UTF-8 with its mark.
enum class Encoding { ShiftJis, Utf16Le, Utf16Be, Utf8 };
std::string Encode(const std::wstring& text, Encoding encoding) {
    switch (encoding) {
        case Encoding::ShiftJis: return ToAnsi(text);
        case Encoding::Utf8: return "\xEF\xBB\xBF" + ToUtf8(text);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool big = encoding == Encoding::Utf16Be;
            std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
            for (wchar_t c : text) {
                const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
                bytes += big ? high : low;
                bytes += big ? low : high;
            }
            return bytes;
        }
    }
    return {};
}

// What GetPrivateProfileString answers, with a default no file holds for a missing key.
const std::wstring kMissing = L"\x01missing";
std::wstring OracleValue(const std::wstring& path, const std::wstring& section, const std::wstring& key) {
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD length = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), kMissing.c_str(), buffer.data(),
                                                        static_cast<DWORD>(buffer.size()), path.c_str());
        if (length + 1 < buffer.size()) return buffer.substr(0, length);
        buffer.resize(buffer.size() * 4);
    }
}

// Files of awkward shapes, each with the sections and keys to ask for.
struct Sample {
    std::wstring text;
    std::vector<std::wstring> sections, keys;
};

std::vector<Sample> Samples() {
    std::vector<Sample> samples;
    const std::vector<std::wstring> keys = {L"KEY", L"key", L"Other", L"spaced", L"NOEQUALS", L"", L"EMPTY", L"LATE",
                                            L"; comment", L"MISSING", L" KEY ", L"表示"};
    const std::vector<std::wstring> sections = {L"S", L"s", L" S ", L"Other", L"", L"None", L"表 示"};
    // One file per awkward text, as the value of several shapes of line.
    for (const std::wstring& value : AwkwardTexts()) {
        samples.push_back({L"[S]\r\nKEY=" + value + L"\r\nOther = " + value + L"\r\n\"spaced\"  =\t" + value + L"\r\n",
                           sections, keys});
        samples.push_back({L"[S]\nKEY=\"" + value + L"\"\nOther='" + value + L"'\n", sections, keys});
    }
    // Shapes of files.
    const std::vector<std::wstring> shapes = {
        L"; comment\r\n[Other]\r\nKEY=other\r\n[S]\r\nKey=first\r\nKEY=second\r\n  spaced  =  blanks  \r\n"
        L"NOEQUALS\r\nEMPTY=\r\n=novalue\r\n[s]\r\nLATE=late\r\nKEY=third\r\n",
        L"KEY=before any section\r\n[S]\r\nKEY=in S\r\n",
        L"[ S ]\r\nKEY=padded name\r\n[S]\r\nKEY=plain name\r\n",
        L"[S] trailing\r\nKEY=after a header with text\r\n[S\r\nKEY=no closing bracket\r\n",
        L"[S]]\r\nKEY=two brackets\r\n[S]\r\nKEY=one\r\n",
        L"\r\n\r\n  [S]  \r\n\r\n  KEY  =  v  \r\n\r\n",
        L"[S]\rKEY=cr only\rOther=x\r",
        L"[S]\r\n; comment=x\r\nKEY=\x0B\x0C" L"v\x1A\x0B\r\nOther=\x3000" L"full\x3000\r\n",
        L"[表 示]\r\n表示=和\r\n[S]\r\nKEY=" + std::wstring(70000, L'x') + L"\r\n",
        L"[S]\r\nKEY=a" + std::wstring(1, L'\0') + L"b\r\nOther=c\r\n",
        L"[S]\r\nkey=lower\r\n[OTHER]\r\nKEY=upper section\r\n[Other]\r\nKEY=second other\r\n",
        L"[]\r\nKEY=empty name\r\n[S]\r\n",
        L"",
    };
    for (const std::wstring& shape : shapes) samples.push_back({shape, sections, keys});
    return samples;
}

}  // namespace

TEST(IniDocument, ReadsEveryKeyAsTheProfileFunctionsDo) {
    ASSERT_EQ(::GetACP(), 932u) << "the oracle reads a file without a mark in the system's code page";
    TempDir dir;
    int files = 0, answers = 0;
    for (const Sample& sample : Samples())
        for (Encoding encoding : {Encoding::ShiftJis, Encoding::Utf16Le, Encoding::Utf16Be, Encoding::Utf8}) {
            if (encoding == Encoding::ShiftJis && !FitsShiftJis(sample.text)) continue;
            const std::string bytes = Encode(sample.text, encoding);
            const std::wstring path = dir.File(L"corpus" + std::to_wstring(++files) + L".ini");
            WriteFileBytes(path, bytes);
            const TIniDocument document(bytes);
            for (const std::wstring& section : sample.sections) {
                const TIniSection whole(document, section);
                for (const std::wstring& key : sample.keys) {
                    ++answers;
                    const std::wstring oracle = OracleValue(path, section, key);
                    EXPECT_EQ(whole.ReadString(key, kMissing), oracle) << "the section read in one go";
                    EXPECT_EQ(document.Value(section, key).value_or(kMissing), oracle)
                        << "file " << files << " [" << ToUtf8(section) << "] " << ToUtf8(key) << " of\n"
                        << ToUtf8(sample.text.substr(0, 200));
                }
            }
        }
    std::printf("%d files, %d answers compared\n", files, answers);
}
