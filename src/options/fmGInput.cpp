#include "options/fmGInput.hpp"

#include <variant>

#include "toolkit/Dialogs.hpp"
#include "toolkit/Graphics.hpp"

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

// One control of the form: where it sits and what it is. Labels are sized to their caption.
struct ControlRow {
    std::variant<std::unique_ptr<TLabel> TfmGroup::*, std::unique_ptr<TMaskEdit> TfmGroup::*,
                 std::unique_ptr<TEdit> TfmGroup::*, std::unique_ptr<TButton> TfmGroup::*>
        control;
    int left, top, width = 0, height = 0;
    const wchar_t* text = L"";  // caption or initial text
    const wchar_t* mask = L"";  // edit mask of a masked edit
    TEdit::ImeMode ime = TEdit::ImeMode::Default;
    TButton::Role role = TButton::Role::Normal;
    int modalResult = mrNone;
    void (TfmGroup::*onClick)() = nullptr;
};

// Tab order is the order of the rows.
constexpr ControlRow kLayout[] = {
    {.control = &TfmGroup::Label1, .left = 8, .top = 8, .text = L"ｸﾞﾙｰﾌﾟｷｰ"},
    {.control = &TfmGroup::edKey, .left = 68, .top = 4, .width = 17, .height = 20, .text = L" ", .mask = L"0;1;_"},
    {.control = &TfmGroup::Label2, .left = 100, .top = 8, .text = L"※　0　～　9　"},
    {.control = &TfmGroup::Label3, .left = 8, .top = 32, .text = L"ｸﾞﾙｰﾌﾟ名"},
    {.control = &TfmGroup::edName, .left = 68, .top = 28, .width = 405, .height = 20, .ime = TEdit::ImeMode::On},
    {.control = &TfmGroup::Button1, .left = 320, .top = 60, .width = 75, .height = 20, .text = L"OK",
     .role = TButton::Role::Default, .onClick = &TfmGroup::Button1Click},
    {.control = &TfmGroup::Button2, .left = 400, .top = 60, .width = 75, .height = 20, .text = L"キャンセル",
     .role = TButton::Role::Cancel, .modalResult = mrCancel},
};

}  // namespace

TfmGroup::TfmGroup(HWND owner) {
    CreateFormWindow({.className = L"TfmGroup", .caption = L"グループ操作ダイアログ", .style = TForm::kDialogStyle,
                      .exStyle = TForm::kDialogExStyle, .owner = owner});
    SetClientSizeCentered(484, 83);
    CreateControls();
    SetDialogKeys(true);
}

void TfmGroup::CreateControls() {
    TCanvas measure(Handle());
    measure.Font = Font;
    for (const ControlRow& row : kLayout) {
        const ControlParams params{.left = row.left, .top = row.top, .width = row.width, .height = row.height,
                                   .caption = row.text};
        std::visit(Overloaded{
                       [&](std::unique_ptr<TLabel> TfmGroup::*label) {
                           const SIZE size = measure.TextExtent(row.text);
                           this->*label = std::make_unique<TLabel>(
                               this, ControlParams{.left = row.left, .top = row.top, .width = size.cx,
                                                   .height = size.cy, .caption = row.text});
                       },
                       [&](std::unique_ptr<TMaskEdit> TfmGroup::*edit) {
                           this->*edit = std::make_unique<TMaskEdit>(this, params, row.mask);
                       },
                       [&](std::unique_ptr<TEdit> TfmGroup::*edit) {
                           this->*edit = std::make_unique<TEdit>(this, params, row.ime);
                       },
                       [&](std::unique_ptr<TButton> TfmGroup::*button) {
                           this->*button = std::make_unique<TButton>(this, params, row.role, row.modalResult);
                           if (row.onClick)
                               (this->*button)->OnClick = [this, click = row.onClick] { (this->*click)(); };
                       },
                   },
                   row.control);
    }
}

void TfmGroup::SetItemInfo(const TItemInfo& info) {
    ItemInfo = info;
    SetWindowFromItemInfo();
}

void TfmGroup::SetWindowFromItemInfo() {
    edKey->SetText(ItemInfo.Key);
    edName->SetText(ItemInfo.Name);
}

void TfmGroup::GetWindowToItemInfo() {
    ItemInfo.Key = edKey->Text();
    ItemInfo.Name = edName->Text();
}

void TfmGroup::Button1Click() {
    GetWindowToItemInfo();
    ModalResult = mrOk;
}

void TfmGroup::FocusActiveControl() {
    HWND target = activeControl_ && ::IsChild(Handle(), activeControl_) ? activeControl_ : nullptr;
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); !target && child; child = ::GetWindow(child, GW_HWNDNEXT))
        if ((::GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) && ::IsWindowEnabled(child)) target = child;
    if (target) ::SetFocus(target);
}

LRESULT TfmGroup::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_ACTIVATE) return TForm::WndProc(msg, wParam, lParam);
    // The focus stays with the controls as in a dialog: the first one at the start, and the one
    // that had it when the window is activated again.
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) activeControl_ = focus;
        return TForm::WndProc(msg, wParam, lParam);
    }
    const LRESULT result = TForm::WndProc(msg, wParam, lParam);
    if (!::IsIconic(Handle())) FocusActiveControl();
    return result;
}
