// Top-level windows of our own classes, shown modeless or modal.
#pragma once

#include <windows.h>

#include <functional>

#include "toolkit/Controls.hpp"

// Brings the window to the foreground as SetForegroundWindow does (tests answer in its place:
// Windows may refuse where Wine never does); true when it is in front.
bool TakeForeground(HWND wnd);
// True when the window belongs to this program (a window of another process, or none: false).
bool IsOwnProcessWindow(HWND wnd) noexcept;
void SetForegroundTakerForTests(std::function<bool(HWND)> taker);

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

    // The window's DPI, or the one its last WM_DPICHANGED gave.
    int Dpi() const override { return dpi_ ? dpi_ : TWinControl::Dpi(); }

    void SetLeftTop(int left, int top);
    // The window at this outer size (96-DPI units), centred on its monitor's work area and cut
    // to it where larger.
    void SetSizeCentered(int width, int height);
    // Sizes the window for this client area (96-DPI units), likewise centred and kept inside.
    void SetClientSizeCentered(int clientWidth, int clientHeight);

    // The control that gets the focus when a form with dialog keys is first activated (unset:
    // the first control in the tab order).
    void SetActiveControl(const TWinControl& control) noexcept { activeControl_ = control.Handle(); }

    // The font of the form's controls ("ＭＳ Ｐゴシック" 12 pixels unless changed before the
    // controls are made).
    TFont Font;
    HFONT FontHandle() const override { return Font.Handle(); }

    // For the form that holds msg's window: its shortcuts, then (for a dialog) Tab, Enter and
    // Esc; true when msg was used.
    static bool TranslateFormKeys(MSG& msg);

    // The test seam: when set, it runs inside every modal showing once the form is on the
    // screen, as a user would act on it (fill its boxes, press its buttons).
    static void SetModalHookForTests(std::function<void(TForm&)> hook);

    // The window style of a fixed dialog frame.
    static constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    static constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

protected:
    TForm() { Font.SetPixelHeight(12); }
    // Creates the top-level window bound to this object.
    void CreateFormWindow(const WindowParams& params);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Runs when the form is about to become visible, before it is on the screen.
    virtual void FormShow() {}
    // Dialog-wide shortcuts; translated before the focused control sees the key.
    void SetAccelerators(UniqueHaccel table) { accelerators_ = std::move(table); }
    // Tab moves between the controls, Enter presses the default button (identifier IDOK),
    // Esc the cancel button (IDCANCEL). The focus then stays with the controls as in a dialog:
    // each activation gives it back to the control that had it when the form was left.
    void SetDialogKeys(bool on) noexcept { dialogKeys_ = on; }
    // Gives the focus to the active control: the one that had it last, else the one set, else
    // the first in the tab order.
    void FocusActiveControl();

private:
    void CenterWithSize(int width, int height);  // pixels, on its monitor's work area
    // Moved to a monitor of another scaling: the suggested bounds, every control scaled.
    void DpiChanged(int dpi, const RECT& suggested);
    LRESULT DialogActivate(WPARAM wParam, LPARAM lParam);

    UniqueHaccel accelerators_;
    int dpi_ = 0;  // since a WM_DPICHANGED
    HWND activeControl_ = nullptr;  // a child of the form, borrowed
    bool dialogKeys_ = false;
    bool modal_ = false;
};
