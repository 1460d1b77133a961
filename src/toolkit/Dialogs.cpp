#include "toolkit/Dialogs.hpp"

#include <commctrl.h>

#include <string_view>
#include <utility>

#include "toolkit/Application.hpp"
#include "toolkit/Handles.hpp"

namespace {

MessageBoxAnswerer& Answerer() {
    static MessageBoxAnswerer answerer;
    return answerer;
}

// Button texts of the box about to open; the CBT hook puts them on the buttons.
struct ButtonText {
    int id;
    const wchar_t* text;
};
thread_local const ButtonText* t_buttonTexts = nullptr;
thread_local size_t t_buttonCount = 0;
thread_local bool t_escapeAnswersNo = false;

// A Yes/No box has no cancel button, so Esc would do nothing: it answers No.
LRESULT CALLBACK EscapeAnswersNo(HWND box, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(box, IDNO);
        return 0;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(box, EscapeAnswersNo, id);
    return ::DefSubclassProc(box, msg, wParam, lParam);
}

constexpr UINT WM_BOX_TO_FRONT = WM_APP + 0x31;
thread_local bool t_topMost = false;

// A top-most box comes in front of every window, top-most ones too, and takes the foreground
// once it is on the screen (a window made foreground while hidden would not get the keyboard).
// Windows makes an MB_TOPMOST box top-most itself; Wine does not.
LRESULT CALLBACK ComesToFront(HWND box, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (msg == WM_SHOWWINDOW && wParam) {
        ::SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::PostMessageW(box, WM_BOX_TO_FRONT, 0, 0);
    } else if (msg == WM_BOX_TO_FRONT) {
        ::SetForegroundWindow(box);
        return 0;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(box, ComesToFront, id);
    return ::DefSubclassProc(box, msg, wParam, lParam);
}

bool IsDialogClass(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wstring_view(name) == L"#32770";
}

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_topMost && IsDialogClass(reinterpret_cast<HWND>(wParam))) {
        ::SetWindowSubclass(reinterpret_cast<HWND>(wParam), ComesToFront, 1, 0);
        t_topMost = false;
    }
    if (code == HCBT_ACTIVATE && t_buttonTexts) {
        HWND box = reinterpret_cast<HWND>(wParam);
        for (size_t i = 0; i < t_buttonCount; ++i)
            ::SetDlgItemTextW(box, t_buttonTexts[i].id, t_buttonTexts[i].text);
        if (t_escapeAnswersNo) ::SetWindowSubclass(box, EscapeAnswersNo, 1, 0);
        t_buttonTexts = nullptr;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND DefaultOwner() {
    HWND active = ::GetActiveWindow();
    return active ? active : Application->Handle();
}

int ShowRealBox(const MessageBoxRequest& request, const ButtonText* texts, size_t count) {
    UniqueHhook hook;
    t_buttonTexts = count ? texts : nullptr;
    t_buttonCount = count;
    t_escapeAnswersNo = (request.style & MB_TYPEMASK) == MB_YESNO;
    t_topMost = (request.style & MB_TOPMOST) != 0;
    if (t_buttonTexts || t_topMost)
        hook.reset(::SetWindowsHookExW(WH_CBT, BoxHook, nullptr, ::GetCurrentThreadId()));
    int result = ::MessageBoxW(request.owner, request.text.c_str(), request.caption.c_str(),
                               request.style | MB_SETFOREGROUND);
    t_buttonTexts = nullptr;
    t_topMost = false;
    return result;
}

int ShowBox(const MessageBoxRequest& request, const ButtonText* texts = nullptr, size_t count = 0) {
    if (Answerer()) return Answerer()(request);
    return ShowRealBox(request, texts, count);
}

}  // namespace

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { Answerer() = std::move(answerer); }

int ShowMessageBox(const MessageBoxRequest& request) { return ShowBox(request); }

void ShowMessage(const std::wstring& text, UINT extraStyle) {
    ShowBox({DefaultOwner(), text, Application->Title, MB_OK | extraStyle});
}

int MessageDlg(const std::wstring& text, TMsgDlgType type, unsigned buttons) {
    static constexpr ButtonText kTexts[] = {
        {IDYES, L"はい(&Y)"}, {IDNO, L"いいえ(&N)"}, {IDOK, L"OK"}, {IDCANCEL, L"キャンセル"}};

    UINT style = MB_OK;
    if ((buttons & mbYes) && (buttons & mbNo))
        style = (buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (buttons & mbCancel)
        style = MB_OKCANCEL;

    const wchar_t* caption = L"確認";
    switch (type) {
        case TMsgDlgType::mtWarning: caption = L"警告"; style |= MB_ICONWARNING; break;
        case TMsgDlgType::mtError: caption = L"エラー"; style |= MB_ICONERROR; break;
        case TMsgDlgType::mtInformation: caption = L"情報"; style |= MB_ICONINFORMATION; break;
        case TMsgDlgType::mtConfirmation: caption = L"確認"; style |= MB_ICONQUESTION; break;
    }
    return ShowBox({DefaultOwner(), text, caption, style}, kTexts, std::size(kTexts));
}
