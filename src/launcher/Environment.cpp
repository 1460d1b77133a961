#include "launcher/Environment.hpp"

#include <userenv.h>

#include <map>

#include "toolkit/Handles.hpp"

namespace {

struct CaseInsensitiveLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const noexcept {
        return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                      TRUE) == CSTR_LESS_THAN;
    }
};
using Variables = std::map<std::wstring, std::wstring, CaseInsensitiveLess>;  // names as Windows compares them

// The environment a new logon of this user would get; empty when it cannot be read.
Variables StoredEnvironment() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &rawToken)) return {};
    UniqueHandle token(rawToken);
    void* block = nullptr;
    if (!::CreateEnvironmentBlock(&block, token.get(), FALSE)) return {};
    ScopeExit destroy([block] { ::DestroyEnvironmentBlock(block); });
    Variables variables;
    // "NAME=value" strings one after another, an empty one at the end; the ones that start
    // with "=" are the drives' current folders, not variables.
    for (const wchar_t* entry = static_cast<const wchar_t*>(block); *entry; entry += wcslen(entry) + 1) {
        const std::wstring_view text(entry);
        const size_t equals = text.find(L'=', 1);
        if (text.front() == L'=' || equals == std::wstring_view::npos) continue;
        variables.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return variables;
}

Variables& LastStored() {
    static Variables variables;
    return variables;
}

}  // namespace

void NoteStoredEnvironment() { LastStored() = StoredEnvironment(); }

void RefreshEnvironment() {
    Variables fresh = StoredEnvironment();
    if (fresh.empty()) return;  // unreadable: the environment as it is beats none
    for (const auto& [name, value] : LastStored())
        if (!fresh.contains(name)) ::SetEnvironmentVariableW(name.c_str(), nullptr);
    for (const auto& [name, value] : fresh) ::SetEnvironmentVariableW(name.c_str(), value.c_str());
    LastStored() = std::move(fresh);
}

bool IsEnvironmentChange(const wchar_t* area) noexcept {
    return area && ::CompareStringOrdinal(area, -1, L"Environment", -1, TRUE) == CSTR_EQUAL;
}
