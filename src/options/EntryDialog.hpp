// What the group and item dialogs share: how OK takes the entry.
#pragma once

#include "toolkit/Dialogs.hpp"

// OK of an entry's dialog: an entry saved without a key would hide itself and every entry after
// it, so an empty key box is refused (with its message, the focus back in it); otherwise the
// boxes are read and the dialog closes.
template <class Dialog>
void AcceptEntry(Dialog& dialog) {
    if (!dialog.edKey->CheckFilled()) return;
    dialog.GetWindowToItemInfo();
    dialog.ModalResult = mrOk;
}
