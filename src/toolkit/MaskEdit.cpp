#include "toolkit/MaskEdit.hpp"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"

namespace {

constexpr wchar_t kInvalidInput[] = L"入力値が不正です。エスケープキーで変更を取り消せます";

// Posted to the box when the focus has left it with an empty position: the check runs once
// the focus change is over (no box may open inside WM_KILLFOCUS).
UINT ValidateMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Kestrum.MaskEdit.Validate");
    return message;
}

// The clipboard, open while the object lives.
class OpenClipboardGuard {
    bool open_;

public:
    explicit OpenClipboardGuard(HWND owner) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
    OpenClipboardGuard(const OpenClipboardGuard&) = delete;
    OpenClipboardGuard& operator=(const OpenClipboardGuard&) = delete;
    ~OpenClipboardGuard() {
        if (open_) ::CloseClipboard();
    }
    explicit operator bool() const noexcept { return open_; }
};

// A global memory block locked while the object lives (the block is borrowed).
class GlobalLockGuard {
    HGLOBAL block_;
    void* data_;

public:
    explicit GlobalLockGuard(HGLOBAL block) noexcept : block_(block), data_(::GlobalLock(block)) {}
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard() {
        if (data_) ::GlobalUnlock(block_);
    }
    const void* get() const noexcept { return data_; }
};

std::wstring ClipboardText(HWND owner) {
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
    OpenClipboardGuard clipboard(owner);
    if (!clipboard) return {};
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);  // the clipboard's, not ours
    if (!data) return {};
    GlobalLockGuard lock(data);
    const auto* text = static_cast<const wchar_t*>(lock.get());
    return text ? std::wstring(text) : std::wstring();
}

// The first character of a text: one code point, a surrogate pair kept whole.
std::wstring FirstCharacter(std::wstring_view text) {
    if (text.empty()) return {};
    const bool pair = text.size() > 1 && IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]);
    return std::wstring(text.substr(0, pair ? 2 : 1));
}

void Beep() { ::MessageBeep(MB_OK); }

}  // namespace

TMaskEdit::TMaskEdit(TWinControl* parent, const ControlParams& params, std::wstring_view editMask)
    // A key is typed on the keyboard's keys: no input method composes into the box.
    : TEdit(parent, params, ImeMode::Disabled) {
    const size_t first = editMask.find(L';');
    const size_t second = first == std::wstring_view::npos ? first : editMask.find(L';', first + 1);
    const std::wstring_view rule = editMask.substr(0, first);
    if (rule == L"0") rule_ = Rule::Digit;
    else if (rule == L"L") rule_ = Rule::Letter;
    else throw std::invalid_argument("edit mask with an unsupported position rule");
    if (first != std::wstring_view::npos) {
        blankReadsAsSpace_ = editMask.substr(first + 1, second - first - 1) != L"0";
        if (second != std::wstring_view::npos && second + 1 < editMask.size()) blank_ = editMask[second + 1];
    }
    // The window was made with the raw caption; show it through the mask.
    SetText(params.caption);
}

bool TMaskEdit::Fits(wchar_t c) const noexcept {
    if (rule_ == Rule::Digit) return c >= L'0' && c <= L'9';
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

std::wstring TMaskEdit::EditText() const {
    // EM_GETLINE reads the box's own buffer (WM_GETTEXT answers with what the mask reads).
    wchar_t buffer[8] = {};
    buffer[0] = static_cast<wchar_t>(std::size(buffer) - 1);
    const LRESULT length = ::SendMessageW(Handle(), EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<size_t>(length));
}

bool TMaskEdit::PositionEmpty() const {
    const std::wstring shown = EditText();
    return shown.empty() || (shown.size() == 1 && shown[0] == blank_);
}

std::wstring TMaskEdit::ReadValue() const {
    if (PositionEmpty()) return blankReadsAsSpace_ ? L" " : L"";
    return FirstCharacter(EditText());
}

void TMaskEdit::ShowEditText(const std::wstring& text, int caret) {
    ::SendMessageW(Handle(), EM_SETSEL, 0, -1);
    ::SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(Handle(), EM_SETSEL, caret, caret);
}

void TMaskEdit::SetValue(std::wstring_view value) {
    std::wstring shown = FirstCharacter(value);
    if (shown.empty() || shown == L" ") shown.assign(1, blank_);
    ShowEditText(shown, 0);
    modified_ = false;
    undoValue_ = ReadValue();
}

void TMaskEdit::EnterPosition(wchar_t c) {
    ShowEditText(std::wstring(1, c), 1);
    modified_ = true;
}

void TMaskEdit::ClearPosition() {
    if (PositionEmpty()) return;
    ShowEditText(std::wstring(1, blank_), 0);
    modified_ = true;
}

void TMaskEdit::EditChar(wchar_t c) {
    switch (c) {
        case VK_BACK:
        case 0x7F:  // Ctrl+Backspace
            ClearPosition();
            return;
        case 0x16: Paste(); return;  // Ctrl+V
        case 0x18: Cut(); return;    // Ctrl+X
        case 0x1A: Undo(); return;   // Ctrl+Z
        default: break;
    }
    if (c < L' ') return;  // Enter, Esc, Tab and the other control keys write nothing
    if (Fits(c)) EnterPosition(c);
    else Beep();
}

bool TMaskEdit::EditKeyDown(WPARAM key) {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    switch (key) {
        case VK_DELETE:
            if (shift) Cut();
            else ClearPosition();
            return true;
        case VK_INSERT:
            if (!shift) return false;  // Ctrl+Insert copies as usual
            Paste();
            return true;
        case VK_ESCAPE:
            if (!modified_) return false;
            Undo();
            return true;
        default: return false;
    }
}

void TMaskEdit::Paste() {
    const std::wstring text = ClipboardText(Handle());
    if (text.empty()) return;
    if (Fits(text[0])) EnterPosition(text[0]);
    else Beep();
}

void TMaskEdit::Cut() {
    DWORD start = 0, end = 0;
    ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end || PositionEmpty()) return;
    ::SendMessageW(Handle(), WM_COPY, 0, 0);
    ClearPosition();
}

void TMaskEdit::Undo() {
    if (!modified_) return;
    SetValue(undoValue_);
    ::SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TMaskEdit::FocusLeaves(HWND next) {
    if (!modified_) return;
    // Leaving the window (another program, a message box) is no leaving of the box.
    if (!next || ::GetAncestor(next, GA_ROOT) != ::GetAncestor(Handle(), GA_ROOT)) return;
    if (PositionEmpty()) ::PostMessageW(Handle(), ValidateMessage(), 0, 0);
    else modified_ = false;  // the edit is done; the next one starts from here
}

void TMaskEdit::ValidateEdit() {
    // The window may have closed, or the focus come back, since the check was posted.
    if (!modified_ || !PositionEmpty() || !::IsWindowVisible(Handle()) || ::GetFocus() == Handle()) return;
    ReportEmpty();
}

bool TMaskEdit::CheckFilled() {
    if (!PositionEmpty()) return true;
    ReportEmpty();
    return false;
}

void TMaskEdit::ReportEmpty() {
    Beep();
    ShowMessageBox({::GetAncestor(Handle(), GA_ROOT), kInvalidInput, Application->Title, MB_OK | MB_ICONERROR});
    SetFocus();
    ::SendMessageW(Handle(), EM_SETSEL, 0, 0);
}

LRESULT TMaskEdit::GetText(WPARAM size, LPARAM buffer) const {
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    if (!out || size == 0) return 0;
    const std::wstring value = ReadValue();
    const size_t length = std::min<size_t>(value.size(), size - 1);
    value.copy(out, length);
    out[length] = L'\0';
    return static_cast<LRESULT>(length);
}

LRESULT TMaskEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CHAR: EditChar(static_cast<wchar_t>(wParam)); return 0;
        case WM_KEYDOWN:
            if (EditKeyDown(wParam)) return 0;
            break;
        case WM_PASTE: Paste(); return 0;
        case WM_CUT: Cut(); return 0;
        case WM_CLEAR: ClearPosition(); return 0;
        case WM_UNDO:
        case EM_UNDO: Undo(); return TRUE;
        case EM_CANUNDO:
        case EM_GETMODIFY: return modified_;
        case EM_SETMODIFY: modified_ = wParam != 0; return 0;
        case WM_SETTEXT:
            SetValue(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return TRUE;
        case WM_GETTEXT: return GetText(wParam, lParam);
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(ReadValue().size());
        case WM_GETDLGCODE: {
            // While an edit is held, Esc undoes it here instead of cancelling the dialog.
            LRESULT code = TEdit::WndProc(msg, wParam, lParam);
            if (modified_ && wParam == VK_ESCAPE) code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_SETFOCUS:
            if (!modified_) undoValue_ = ReadValue();
            break;
        case WM_KILLFOCUS: FocusLeaves(reinterpret_cast<HWND>(wParam)); break;
        default:
            if (msg == ValidateMessage()) {
                ValidateEdit();
                return 0;
            }
            break;
    }
    return TEdit::WndProc(msg, wParam, lParam);
}
