// Top-level windows of our own classes, shown modeless or modal.
#pragma once

#include <windows.h>

#include "toolkit/Controls.hpp"

class TForm : public TWinControl {
public:
    // Shows the form modally: the other windows of the thread are disabled and a nested message
    // loop runs until ModalResult is set; returns it.
    int ShowModal();
    // A modal form ends its showing with mrCancel; the main form ends the message loop; any
    // other form is hidden.
    void Close();
    // Setting a result other than mrNone ends the modal showing.
    int ModalResult = 0;

    void SetLeftTop(int left, int top);

    // The accelerator table of the form that holds msg's window; true when msg was translated.
    static bool TranslateFormKeys(MSG& msg);

protected:
    TForm() = default;
    // Creates the top-level window bound to this object.
    void CreateFormWindow(const WindowParams& params);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Runs when the form is about to become visible, before it is on the screen.
    virtual void FormShow() {}
    // Dialog-wide shortcuts; translated before the focused control sees the key.
    void SetAccelerators(UniqueHaccel table) { accelerators_ = std::move(table); }

private:
    UniqueHaccel accelerators_;
    bool modal_ = false;
};
