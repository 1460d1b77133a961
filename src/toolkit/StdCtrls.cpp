#include "toolkit/StdCtrls.hpp"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <climits>
#include <cwchar>

#include "toolkit/Forms.hpp"

TButton::TButton(TWinControl* parent, const ControlParams& p, TButtonKind kind) : modalResult_(kind.modalResult) {
    const Role role = kind.role;
    const DWORD buttonStyle = role == Role::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    const int id = role == Role::Default ? IDOK : role == Role::Cancel ? IDCANCEL : 0;
    CreateSystemControl({.className = L"BUTTON", .caption = p.caption,
                         .style = WS_VISIBLE | WS_TABSTOP | buttonStyle,
                         .left = p.left, .top = p.top, .width = p.width, .height = p.height},
                        parent, id);
}

bool TButton::CommandNotify(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

void TButton::Click() {
    if (OnClick) OnClick();
    if (modalResult_ != 0)
        if (auto* form = dynamic_cast<TForm*>(FromHandle(::GetAncestor(Handle(), GA_ROOT))))
            form->ModalResult = modalResult_;
}

TEdit::TEdit(TWinControl* parent, const ControlParams& p, ImeMode ime) : ime_(ime) {
    CreateSystemControl({.className = L"EDIT", .caption = p.caption,
                         .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                         .exStyle = WS_EX_CLIENTEDGE,
                         .left = p.left, .top = p.top, .width = p.width, .height = p.height},
                        parent);
    // Without an input method the keys arrive as plain characters (one-character key boxes).
    if (ime_ == ImeMode::Disabled) ::ImmAssociateContext(Handle(), nullptr);
    if (ime_ == ImeMode::On || ime_ == ImeMode::Closed) {
        ownContext_.reset(::ImmCreateContext());
        if (ownContext_) ::ImmAssociateContext(Handle(), ownContext_.get());
    }
}

TEdit::~TEdit() {
    if (ownContext_) ::ImmAssociateContext(Handle(), nullptr);  // the context goes after this
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETFOCUS && (ime_ == ImeMode::On || ime_ == ImeMode::Closed)) ApplyImeMode();
    return TWinControl::WndProc(msg, wParam, lParam);
}

// The input method is switched as the box gets the focus: on in Hiragana, or closed (the user
// may still open it to type Japanese).
void TEdit::ApplyImeMode() {
    HIMC context = ::ImmGetContext(Handle());
    if (!context) return;
    ::ImmSetOpenStatus(context, ime_ == ImeMode::On);
    if (ime_ == ImeMode::On)
        ::ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, IME_SMODE_NONE);
    ::ImmReleaseContext(Handle(), context);
}

bool TEdit::CommandNotify(WORD code) {
    if (code != EN_CHANGE || !OnChange) return false;
    OnChange();
    return true;
}

TLabel::TLabel(TWinControl* parent, const ControlParams& p, Look look) {
    CreateSystemControl({.className = L"STATIC", .caption = p.caption,
                         .style = static_cast<DWORD>(WS_VISIBLE | SS_NOPREFIX |
                                                     (look.wordWrap ? SS_LEFT | SS_EDITCONTROL : SS_LEFTNOWORDWRAP) |
                                                     (look.sunken ? SS_SUNKEN : 0)),
                         .left = p.left, .top = p.top, .width = p.width, .height = p.height},
                        parent);
    if (p.width != 0 && p.height != 0) return;
    // No size given: as large as the caption in the parent's font, measured in pixels.
    WindowDC screen(nullptr);
    SelectGuard font(screen.get(), parent->FontHandle());
    SIZE text{};
    ::GetTextExtentPoint32W(screen.get(), p.caption.c_str(), static_cast<int>(p.caption.size()), &text);
    SetBounds(Left(), Top(), p.width ? Width() : text.cx + 2, p.height ? Height() : text.cy + 2);
}

TGroupBox::TGroupBox(TWinControl* parent, const ControlParams& p) {
    CreateSystemControl({.className = L"BUTTON", .caption = p.caption,
                         .style = WS_VISIBLE | BS_GROUPBOX | WS_CLIPSIBLINGS,
                         .exStyle = WS_EX_CONTROLPARENT,
                         .left = p.left, .top = p.top, .width = p.width, .height = p.height},
                        parent);
}

// The edit is the control; the arrows sit at its right end inside its width.
TSpinEdit::TSpinEdit(TWinControl* parent, const ControlParams& p) : TEdit(parent, p, ImeMode::Disabled) {
    arrows_.reset(::CreateWindowExW(0, UPDOWN_CLASSW, L"",
                                    WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                    0, 0, 0, 0, parent->Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ::SendMessageW(arrows_.get(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
    ::SendMessageW(arrows_.get(), UDM_SETRANGE32, static_cast<WPARAM>(INT_MIN), INT_MAX);
    BindPartWindow(arrows_.get());  // its notifications come to this object
}

void TSpinEdit::RescaleForDpi(int fromDpi, int toDpi) {
    if (fromDpi <= 0) return;
    // The arrows are no control of ours: they are scaled here and put back on the box's edge,
    // which gives the box its full width back first (the buddy takes the arrows' width from it).
    RECT arrows{};
    ::GetWindowRect(arrows_.get(), &arrows);
    const int arrowsWidth = ::MulDiv(arrows.right - arrows.left, toDpi, fromDpi);
    SetBounds(Left(), Top(), Width() + arrowsWidth, Height());
    ::SetWindowPos(arrows_.get(), nullptr, 0, 0, arrowsWidth, Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(arrows_.get(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
}

TSpinEdit::~TSpinEdit() {
    UnbindPartWindow(arrows_.get());
    arrows_.reset();
}

int TSpinEdit::Value() const {
    const std::wstring text = Text();
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    if (text.empty() || *end != L'\0' || errno || value < INT_MIN || value > INT_MAX) return 0;
    return static_cast<int>(value);
}

void TSpinEdit::SetValue(int value) { SetText(std::to_wstring(value)); }

bool TSpinEdit::Notify(NMHDR* header, LRESULT& result) {
    if (header->hwndFrom != arrows_.get() || header->code != UDN_DELTAPOS) return false;
    // The arrows count from what the box holds now, whatever was typed.
    const auto* change = reinterpret_cast<NMUPDOWN*>(header);
    // Stops at the ends of the whole numbers instead of running over.
    const long long next = static_cast<long long>(Value()) + change->iDelta;
    SetValue(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
    result = 1;  // the box is set already
    return true;
}

TTransparentLabel::TTransparentLabel(TWinControl* parent, const ControlParams& p)
    : TGraphicControl(parent), caption_(p.caption) {
    SetDesignBounds(p.left, p.top, p.width, p.height);
}

void TTransparentLabel::Paint(HDC dc) {
    SelectGuard font(dc, Font.Handle());
    const COLORREF color = ::SetTextColor(dc, Font.Color());
    const int mode = ::SetBkMode(dc, TRANSPARENT);
    RECT r = BoundsRect();
    ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, DT_NOPREFIX);
    ::SetBkMode(dc, mode);
    ::SetTextColor(dc, color);
}

void TTransparentLabel::SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    Invalidate();
}

SIZE TTransparentLabel::TextExtent() const {
    WindowDC screen(nullptr);
    SelectGuard font(screen.get(), Font.Handle());
    RECT r{};
    ::DrawTextW(screen.get(), caption_.c_str(), static_cast<int>(caption_.size()), &r, DT_NOPREFIX | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}
