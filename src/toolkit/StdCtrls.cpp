#include "toolkit/StdCtrls.hpp"

#include <imm.h>

#include "toolkit/Forms.hpp"

TButton::TButton(TWinControl* parent, const ControlParams& p, Role role, int modalResult)
    : modalResult_(modalResult) {
    const DWORD kind = role == Role::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    const int id = role == Role::Default ? IDOK : role == Role::Cancel ? IDCANCEL : 0;
    CreateSystemControl({.className = L"BUTTON", .caption = p.caption,
                         .style = WS_VISIBLE | WS_TABSTOP | kind,
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

TEdit::TEdit(TWinControl* parent, const ControlParams& p, ImeMode ime, DWORD extraStyle) {
    CreateSystemControl({.className = L"EDIT", .caption = p.caption,
                         .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle,
                         .exStyle = WS_EX_CLIENTEDGE,
                         .left = p.left, .top = p.top, .width = p.width, .height = p.height},
                        parent);
    if (ime == ImeMode::Closed) {
        ::ImmAssociateContext(Handle(), nullptr);
    } else if (ime == ImeMode::On) {
        // Japanese input opens in Hiragana when the box gets the focus.
        if (HIMC context = ::ImmGetContext(Handle())) {
            ::ImmSetOpenStatus(context, TRUE);
            ::ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, IME_SMODE_NONE);
            ::ImmReleaseContext(Handle(), context);
        }
    }
}

bool TEdit::CommandNotify(WORD code) {
    if (code != EN_CHANGE || !OnChange) return false;
    OnChange();
    return true;
}

TLabel::TLabel(TWinControl* parent, const ControlParams& p, bool sunken, bool wordWrap) {
    CreateSystemControl({.className = L"STATIC", .caption = p.caption,
                         .style = static_cast<DWORD>(WS_VISIBLE | SS_NOPREFIX |
                                                     (wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) |
                                                     (sunken ? SS_SUNKEN : 0)),
                         .left = p.left, .top = p.top, .width = p.width, .height = p.height},
                        parent);
}
