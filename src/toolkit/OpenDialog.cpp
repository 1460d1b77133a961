#include "toolkit/OpenDialog.hpp"

#include <commdlg.h>

#include "toolkit/Application.hpp"

namespace {

OpenDialogAnswerer& Answerer() {
    static OpenDialogAnswerer answerer;
    return answerer;
}

// The filter as the system takes it: each part ends with a zero, the list with a second one.
std::wstring SystemFilter(const std::wstring& filter) {
    std::wstring result = filter;
    for (wchar_t& c : result)
        if (c == L'|') c = L'\0';
    if (!result.empty() && result.back() != L'\0') result += L'\0';
    result += L'\0';
    return result;
}

std::optional<std::wstring> ShowRealDialog(const OpenDialogRequest& request) {
    const std::wstring filter = SystemFilter(request.filter);
    std::wstring file = request.fileName;
    file.resize(32768, L'\0');  // room for the longest path the system hands out
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = request.initialDir.empty() ? nullptr : request.initialDir.c_str();
    // The framework's default options: no read-only box, a sizable dialog.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!::GetOpenFileNameW(&ofn)) return std::nullopt;  // cancelled (or refused by the system)
    file.resize(file.find(L'\0'));
    return file;
}

}  // namespace

void SetOpenDialogAnswererForTests(OpenDialogAnswerer answerer) { Answerer() = std::move(answerer); }

bool TOpenDialog::Execute() {
    HWND active = ::GetActiveWindow();
    const OpenDialogRequest request{active ? active : Application->Handle(), InitialDir, Filter, FilterIndex,
                                    fileName_};
    std::optional<std::wstring> chosen = Answerer() ? Answerer()(request) : ShowRealDialog(request);
    if (!chosen) return false;
    fileName_ = std::move(*chosen);
    return true;
}
