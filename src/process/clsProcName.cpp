#include "process/clsProcName.hpp"

#include <shellapi.h>
#include <tlhelp32.h>

#include "toolkit/Exceptions.hpp"

namespace {

using UniqueHmodule = Unique<HMODULE, &::FreeLibrary, HandleKind::Module>;
using GetModuleFileNameExFunction = DWORD(WINAPI*)(HANDLE process, HMODULE module, wchar_t* name, DWORD size);

const wchar_t kPsapiFailed[] = L"PSAPI.DLL が上手く起動しません！";

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::vector<DWORD> AllProcessIds(EnumProcessesFunction enumProcesses, size_t firstCapacity) {
    std::vector<DWORD> ids(firstCapacity);
    for (;;) {
        DWORD returned = 0;
        const DWORD bytes = static_cast<DWORD>(ids.size() * sizeof(DWORD));
        if (!enumProcesses(ids.data(), bytes, &returned)) throw Exception(kPsapiFailed);
        if (returned < bytes) {
            ids.resize(returned / sizeof(DWORD));
            return ids;
        }
        ids.resize(ids.size() * 2);  // full: there may be more
    }
}

void TProcName::Enumerate() {
    FileList.clear();
    UniqueHmodule psapi(::LoadLibraryW(L"PSAPI.dll"));
    if (psapi) PsapiWalk(psapi.get());
    else ToolHelpWalk();
}

void TProcName::PsapiWalk(HMODULE psapi) {
    auto enumProcesses = reinterpret_cast<EnumProcessesFunction>(
        reinterpret_cast<void*>(::GetProcAddress(psapi, "EnumProcesses")));
    auto moduleFileName = reinterpret_cast<GetModuleFileNameExFunction>(
        reinterpret_cast<void*>(::GetProcAddress(psapi, "GetModuleFileNameExW")));
    if (!enumProcesses || !moduleFileName) throw Exception(kPsapiFailed);
    std::wstring name(32768, L'\0');
    for (DWORD id : AllProcessIds(enumProcesses)) {
        UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
        if (!process) continue;  // not ours to look at
        const DWORD length = moduleFileName(process.get(), nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length > 0) AddFile(name.substr(0, length));
    }
}

void TProcName::ToolHelpWalk() {
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0));
    if (!snapshot) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        AddFile(entry.szExeFile);
}

std::wstring TProcName::GetFileName(int index) const {
    return index < 0 ? std::wstring() : FileList.at(static_cast<size_t>(index));
}

UniqueHicon TProcName::GetIcon(int index) const {
    if (index < 0) return UniqueHicon();
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(GetFileName(index).c_str(), 0, &info, sizeof info, SHGFI_ICON)) return UniqueHicon();
    return UniqueHicon(info.hIcon);
}

void TProcName::AddFile(const std::wstring& path) {
    for (const std::wstring& known : FileList)
        if (SameText(known, path)) return;
    if (IsFile(path)) FileList.push_back(path);
}
