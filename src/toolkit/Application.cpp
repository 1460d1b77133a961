#include "toolkit/Application.hpp"

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
}

void TApplication::ProcessMessage(MSG& msg) {
    bool handled = false;
    if (OnMessage) Guarded([&] { OnMessage(msg, handled); });
    if (handled) return;
    if (TForm::TranslateFormKeys(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
    std::wstring text;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        text = e.Message;
    } catch (const std::exception& e) {
        text = Widen(e.what());
    } catch (...) {
        text = L"予期しないエラーが発生しました";
    }
    try {
        HWND active = ::GetActiveWindow();
        ShowMessageBox({active ? active : Handle(), text, Title, MB_OK | MB_ICONERROR});
    } catch (...) {
        // Nothing more can be told; the program goes on.
    }
}

