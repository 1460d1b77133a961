// The launcher as a screen reader reads it, through Microsoft Active Accessibility: a pane named
// "Kestrum" holding two lists, the groups and the items of the group picked. Each entry is a
// list item named by its name, with its key as its keyboard shortcut, selected when picked and
// described as missing when its file is. The names are whole from the first moment, whatever
// the typing shows.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

class TKestrum;

// The lists' object identifiers: what WM_GETOBJECT is asked for, and what the events name.
constexpr LONG kGroupListObject = 1, kItemListObject = 2;

class TLauncherAccessibility {
public:
    TLauncherAccessibility(HWND window, TKestrum& groups, TKestrum& items);
    // The objects a reader still holds answer that the launcher is gone from now on.
    ~TLauncherAccessibility();
    TLauncherAccessibility(const TLauncherAccessibility&) = delete;
    TLauncherAccessibility& operator=(const TLauncherAccessibility&) = delete;

    // The answer to WM_GETOBJECT, or nothing for the default handling.
    std::optional<LRESULT> Answer(WPARAM flags, LPARAM objectId);
    // A group was picked and its items loaded: the reader says the group and can read them.
    void GroupPicked(int index) const;

    struct View;  // what the objects read, shared with them

private:
    std::shared_ptr<View> view_;
};
