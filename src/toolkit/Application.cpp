#include "toolkit/Application.hpp"

#include <algorithm>
#include <atomic>
#include <thread>

#include "toolkit/Dialogs.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/Forms.hpp"

namespace {
TApplication g_application;

std::wstring Widen(const char* text) {
    std::wstring result;
    for (; text && *text; ++text) result += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return result;
}

std::wstring ErrorText(std::exception_ptr error) noexcept {
    try {
        try {
            std::rethrow_exception(error);
        } catch (const Exception& e) {
            return e.Message;
        } catch (const std::exception& e) {
            return Widen(e.what());
        } catch (...) {
            return L"予期しないエラーが発生しました";
        }
    } catch (...) {
        return {};  // not even the text could be made
    }
}

const UINT kShowReports = WM_APP + 1;
}  // namespace

TApplication* const Application = &g_application;

HWND TApplication::Handle() const noexcept { return mainForm_ ? mainForm_->Handle() : nullptr; }

void TApplication::Run() {
    if (ShowMainForm && mainForm_) mainForm_->Show();
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        ProcessMessage(msg);
    }
}

void TApplication::Terminate() noexcept { ::PostQuitMessage(0); }

void TApplication::DestroyForms() noexcept {
    others_.clear();
    mainForm_.reset();
    reportWindow_.reset();
}

void TApplication::ProcessMessage(MSG& msg) {
    bool handled = false;
    if (OnMessage) Guarded([&] { OnMessage(msg, handled); });
    if (handled) return;
    if (TForm::TranslateFormKeys(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool TApplication::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {  // the program is ending: the outer loop ends it
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        ProcessMessage(msg);
    }
    return true;
}

void TApplication::ProcessMessagesWhile(const std::function<bool()>& condition) {
    constexpr DWORD kPollMs = 10;
    while (condition() && ProcessMessages()) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
}

void TApplication::RunAside(const std::function<void()>& work) {
    std::exception_ptr error;
    std::atomic<bool> done{false};
    const DWORD waiting = ::GetCurrentThreadId();
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
        ::PostThreadMessageW(waiting, WM_NULL, 0, 0);  // the wait below ends at once
    });
    constexpr DWORD kPollMs = 10;
    while (!done) {
        ProcessMessages();  // the program may be ending: the work is waited for all the same
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    }
    worker.join();
    if (error) std::rethrow_exception(error);
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
    const std::wstring text = ErrorText(error);
    HWND window;
    {
        std::lock_guard<std::mutex> lock(reportsLock_);
        window = reportWindow_.get();
        // A handler that fails again and again (a timer's) is reported once while it is.
        if (text == showing_ || std::find(reports_.begin(), reports_.end(), text) != reports_.end()) return;
        try {
            reports_.push_back(text);
        } catch (...) {
            return;
        }
    }
    if (!window || !::PostMessageW(window, kShowReports, 0, 0)) ShowPendingReports();
}

void TApplication::ShowException(std::exception_ptr error) noexcept {
    try {
        HWND active = ::GetActiveWindow();
        ShowMessageBox({active ? active : Handle(), ErrorText(error), Title, MB_OK | MB_ICONERROR});
    } catch (...) {
        // Nothing more can be told; the program goes on.
    }
}

void TApplication::PrepareErrorReports() {
    if (reportWindow_) return;
    static const wchar_t kClass[] = L"TApplicationReports";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ReportWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    ::RegisterClassW(&windowClass);  // fails harmlessly when registered already
    reportWindow_.reset(::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          windowClass.hInstance, nullptr));
}

LRESULT CALLBACK TApplication::ReportWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kShowReports) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    Application->ShowPendingReports();
    return 0;
}

void TApplication::ShowPendingReports() noexcept {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(reportsLock_);
            // One box at a time: a report that comes while one is up waits for it.
            if (!showing_.empty() || reports_.empty()) return;
            showing_ = std::move(reports_.front());
            reports_.pop_front();
        }
        try {
            HWND active = ::GetActiveWindow();
            ShowMessageBox({active ? active : Handle(), showing_, Title, MB_OK | MB_ICONERROR});
        } catch (...) {
            // Nothing more can be told; the program goes on.
        }
        std::lock_guard<std::mutex> lock(reportsLock_);
        showing_.clear();
    }
}
