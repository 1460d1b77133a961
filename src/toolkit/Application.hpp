// The application object: title, main form, the message loop with its message filter, and the
// default error report for exceptions that reach a message handler.
#pragma once

#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Handles.hpp"

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
    // Handles the thread's messages as a modal loop does, while the condition holds (asked
    // every few milliseconds) and the program is not ending.
    void ProcessMessagesWhile(const std::function<bool()>& condition);
    // Handles the messages waiting now, without waiting for more; false when the program is
    // ending.
    bool ProcessMessages();
    // Runs the work on a thread of its own while this thread handles its messages, so no window
    // waits for it; returns when it is done, and its exception goes on from here.
    void RunAside(const std::function<void()>& work);

    // The default error report of an exception that reached a boundary with Windows (a window
    // procedure, a hook, a callback): a box with its text, caption Title, shown once the failing
    // message has returned, from the thread that made the first form. Any thread may report.
    void HandleException(std::exception_ptr error) noexcept;
    // The same box at once, for an error the code reports where it stands.
    void ShowException(std::exception_ptr error) noexcept;
    // Makes the window the reports are posted to, on the thread that calls (the first form's).
    void PrepareErrorReports();
    // Shows the reports waiting (when no message loop will run to show them).
    void ShowPendingReports() noexcept;

private:
    static LRESULT CALLBACK ReportWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<TForm> mainForm_;
    std::vector<std::unique_ptr<TForm>> others_;
    UniqueHwnd reportWindow_;
    std::mutex reportsLock_;
    std::deque<std::wstring> reports_;  // waiting to be shown
    std::wstring showing_;              // the report whose box is up
};

extern TApplication* const Application;

// Runs a handler so that no exception crosses a Win32 callback: one that escapes is reported
// by the application's default error report (after the handler has returned) and the program
// goes on.
template <class F>
void Guarded(F&& f) noexcept {
    try {
        f();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}
