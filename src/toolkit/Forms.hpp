// Top-level windows of our own classes, bound to a C++ object, shown modeless or modal.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/Handles.hpp"

struct FormParams {
    const wchar_t* className;  // also the name of the window class registered for it
    std::wstring caption;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int left = CW_USEDEFAULT, top = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    HWND owner = nullptr;
    HICON icon = nullptr;  // class icon, borrowed
};

class TForm {
public:
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    virtual ~TForm();

    HWND Handle() const noexcept { return handle_.get(); }

    void Show();
    void Hide();
    // Shows the form modally: the other windows of the thread are disabled and a nested message
    // loop runs until ModalResult is set; returns it.
    int ShowModal();
    // A modal form ends its showing with mrCancel; the main form ends the message loop; any
    // other form is hidden.
    void Close();
    // Setting a result other than mrNone ends the modal showing.
    int ModalResult = 0;

    void SetBounds(int left, int top, int width, int height);
    void SetLeftTop(int left, int top);

    // The accelerator table of the form that holds msg's window; true when msg was translated.
    static bool TranslateFormKeys(MSG& msg);

protected:
    TForm() = default;
    // Registers the window class (once) and creates the window bound to this object.
    void CreateFormWindow(const FormParams& params);
    // The form's messages. Handlers run inside a guard: an escaping exception is reported.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // Dialog-wide shortcuts; translated before the focused control sees the key.
    void SetAccelerators(UniqueHaccel table) { accelerators_ = std::move(table); }

private:
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static TForm* FromHandle(HWND wnd) noexcept;

    UniqueHwnd handle_;
    UniqueHaccel accelerators_;
    bool modal_ = false;
};
