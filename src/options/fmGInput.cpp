#include "options/fmGInput.hpp"

#include "options/EntryDialog.hpp"
#include "toolkit/FormLayout.hpp"

namespace {

// Tab order is the order of the rows.
constexpr ControlRow<TfmGroup> kLayout[] = {
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
    CreateFromLayout(*this, kLayout);
    SetDialogKeys(true);
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

void TfmGroup::Button1Click() { AcceptEntry(*this); }
