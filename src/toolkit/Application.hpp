// The application object: title, main form, the message loop with its message filter, and the
// default error report for exceptions that reach a message handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TForm;

class TApplication {
public:
    // Caption of every message box shown with ShowMessage and of the default error report.
    std::wstring Title;
    // False keeps the main form hidden when Run starts.
    bool ShowMainForm = true;
    // Called for every message taken from the thread's queue before it is dispatched; setting
    // the flag marks the message handled, and it is not dispatched.
    std::function<void(MSG&, bool& handled)> OnMessage;
    // The hint of what the pointer rests on (a tool button, a menu entry); OnHint is told of
    // every change.
    std::wstring Hint;
    std::function<void()> OnHint;
    void SetHint(const std::wstring& hint) {
        Hint = hint;
        if (OnHint) OnHint();
    }

    // Creates a form; the first one created becomes the main form, owned by the application.
    template <class F, class... Args>
    F& CreateForm(F*& reference, Args&&... args) {
        auto form = std::make_unique<F>(std::forward<Args>(args)...);
        reference = form.get();
        if (!mainForm_) mainForm_ = std::move(form);
        else others_.push_back(std::move(form));
        return *reference;
    }

    TForm* MainForm() const noexcept { return mainForm_.get(); }
    // The application's window: the (hidden) main form's. Owner of shell calls and boxes.
    HWND Handle() const noexcept;

    // Runs the message loop until WM_QUIT, after showing the main form if ShowMainForm.
    void Run();
    // Ends the message loop.
    void Terminate() noexcept;
    // Destroys the forms the application owns, the main form last (its destructor ends the program).
    void DestroyForms() noexcept;

    // One message of a loop (the main loop or a modal one): filter, dialog keys, dispatch.
    void ProcessMessage(MSG& msg);

    // The default error report: a box with the exception's text, caption Title.
    void HandleException(std::exception_ptr error) noexcept;

private:
    std::unique_ptr<TForm> mainForm_;
    std::vector<std::unique_ptr<TForm>> others_;
};

extern TApplication* const Application;

// Runs a handler so that no exception crosses a Win32 callback: one that escapes is reported
// by the application's default error report and the program goes on.
template <class F>
void Guarded(F&& f) noexcept {
    try {
        f();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}
