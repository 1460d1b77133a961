#include "toolkit/Menus.hpp"

#include <string_view>

#include "toolkit/Exceptions.hpp"

namespace {
// Command identifiers of the entries: their index plus this, so 0 stays "nothing chosen".
constexpr UINT kFirstCommand = 100;
}

TPopupMenu::TPopupMenu(HWND owner, std::vector<TMenuItem> items)
    : owner_(owner), items_(std::move(items)), menu_(::CreatePopupMenu()) {
    if (!menu_) throw Exception(L"メニューを作成できません");
    for (UINT i = 0; i < items_.size(); ++i) {
        const TMenuItem& item = items_[i];
        if (std::wstring_view(item.Caption) == L"-")
            ::AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuW(menu_.get(), MF_STRING, kFirstCommand + i, item.Caption);
    }
}

void TPopupMenu::Popup(int x, int y) {
    // A menu tracked for a window that is not in the foreground would not close when the user
    // clicks elsewhere.
    ::SetForegroundWindow(owner_);
    UINT command = static_cast<UINT>(::TrackPopupMenuEx(
        menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, owner_,
        nullptr));
    ::PostMessageW(owner_, WM_NULL, 0, 0);
    if (command < kFirstCommand || command - kFirstCommand >= items_.size()) return;
    const TMenuItem& chosen = items_[command - kFirstCommand];
    if (chosen.OnClick) chosen.OnClick();
}
