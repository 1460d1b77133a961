#include "options/modStartUP.hpp"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "toolkit/Application.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/Module.hpp"
#include "toolkit/Strings.hpp"

namespace {

using UniquePidl = Unique<PIDLIST_ABSOLUTE, &::CoTaskMemFree, HandleKind::PidList>;

std::wstring SystemText(HRESULT code) {
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    if (message.empty()) {
        wchar_t number[32];
        std::swprintf(number, 32, L"0x%08lX", static_cast<unsigned long>(code));
        message = std::wstring(L"エラー ") + number;
    }
    return message;
}

void Check(HRESULT result) {
    if (FAILED(result)) throw Exception(SystemText(result));
}

std::wstring StartUpFolder() {
    UniquePidl location;
    PIDLIST_ABSOLUTE raw = nullptr;
    wchar_t path[MAX_PATH + 1] = {};
    if (SUCCEEDED(::SHGetSpecialFolderLocation(Application->Handle(), CSIDL_STARTUP, &raw))) location.reset(raw);
    if (!location || !::SHGetPathFromIDListW(location.get(), path) || !path[0])
        throw Exception(L"スタートアップフォルダが見つかりません。ショートカットは作成されませんでした");
    return path;
}

}  // namespace

std::wstring StartUpLinkPath(const std::wstring& startUpFolder, const std::wstring& exePath) {
    const std::wstring exeName = exePath.substr(ExtractFilePath(exePath).size());
    return startUpFolder + L"\\" + ChangeFileExt(exeName, L".lnk");
}

std::wstring StartUpWorkingFolder(const std::wstring& exePath) { return ExtractFileDir(exePath); }

void CreateStartUpLink() {
    const std::wstring exe = ExePath();
    ComPtr<IShellLinkW> link;
    Check(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put()));
    ComPtr<IPersistFile> file;
    Check(link->QueryInterface(IID_IPersistFile, file.put()));
    link->SetArguments(L"/starup");
    link->SetPath(exe.c_str());
    link->SetWorkingDirectory(StartUpWorkingFolder(exe).c_str());
    Check(file->Save(StartUpLinkPath(StartUpFolder(), exe).c_str(), FALSE));
}
