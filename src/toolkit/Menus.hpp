// Popup menus declared as tables of entries.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Handles.hpp"

struct TMenuItem {
    const wchar_t* Name;     // component name, for finding the entry
    const wchar_t* Caption;  // "-" makes a separator
    std::function<void()> OnClick;  // empty: choosing the entry does nothing
};

class TPopupMenu {
public:
    TPopupMenu(HWND owner, std::vector<TMenuItem> items);

    // Shows the menu with its top-left corner at the screen point and runs the chosen entry's
    // handler after the menu has closed. Returns when the menu is gone.
    void Popup(int x, int y);

    const std::vector<TMenuItem>& Items() const noexcept { return items_; }
    HMENU Handle() const noexcept { return menu_.get(); }

private:
    HWND owner_;  // borrowed: the form that owns the menu
    std::vector<TMenuItem> items_;
    UniqueHmenu menu_;
};
