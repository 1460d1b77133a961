#include "options/fmIInput.hpp"

#include "options/EntryDialog.hpp"
#include <string_view>

#include "toolkit/FormLayout.hpp"
#include "toolkit/Strings.hpp"

namespace {

constexpr auto kImeOn = TEdit::ImeMode::On;
constexpr auto kImeClosed = TEdit::ImeMode::Closed;

// Tab order is the order of the rows.
constexpr ControlRow<TfmItem> kLayout[] = {
    {.control = &TfmItem::Label1, .left = 8, .top = 12, .text = L"ﾌｧｲﾙｷｰ"},
    {.control = &TfmItem::edKey, .left = 68, .top = 8, .width = 21, .height = 20, .text = L" ", .mask = L"L;1;_"},
    {.control = &TfmItem::Label2, .left = 116, .top = 12, .text = L"※　A　～　Z　"},
    {.control = &TfmItem::Label3, .left = 8, .top = 36, .text = L"ﾀｲﾄﾙ"},
    {.control = &TfmItem::edName, .left = 68, .top = 32, .width = 121, .height = 20, .ime = kImeOn},
    {.control = &TfmItem::Label4, .left = 8, .top = 60, .text = L"ﾌｧｲﾙ名"},
    {.control = &TfmItem::edFileName, .left = 68, .top = 56, .width = 329, .height = 20, .ime = kImeClosed},
    {.control = &TfmItem::Button3, .left = 400, .top = 56, .width = 21, .height = 21, .text = L">>",
     .onClick = &TfmItem::Button3Click, .name = L"ﾌｧｲﾙ名の参照"},
    {.control = &TfmItem::Label5, .left = 8, .top = 84, .text = L"ﾊﾟﾗﾒｰﾀ"},
    {.control = &TfmItem::edParam, .left = 68, .top = 80, .width = 121, .height = 20, .ime = kImeClosed},
    {.control = &TfmItem::Label6, .left = 8, .top = 108, .text = L"起動ﾌｫﾙﾀﾞ"},
    {.control = &TfmItem::edDirName, .left = 68, .top = 104, .width = 329, .height = 20, .ime = kImeClosed},
    {.control = &TfmItem::Button1, .left = 260, .top = 136, .width = 75, .height = 20, .text = L"OK",
     .role = TButton::Role::Default, .onClick = &TfmItem::Button1Click},
    {.control = &TfmItem::Button2, .left = 345, .top = 136, .width = 75, .height = 20, .text = L"キャンセル",
     .role = TButton::Role::Cancel, .modalResult = mrCancel},
};

constexpr wchar_t kExecutableFilter[] = L"実行ファイル(*.EXE)|*.exe|全てのファイル(*.*)|*.*";

// The folder part of a path: everything up to and including the last of the separators
// (empty when it holds none). No separator is part of a double-unit character.
std::wstring FolderPart(std::wstring_view path, std::wstring_view separators) {
    const size_t last = path.find_last_of(separators);
    return last == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, last + 1));
}

}  // namespace

TfmItem::TfmItem(HWND owner) {
    CreateFormWindow({.className = L"TfmItem", .caption = L"アイテム操作ダイアログ", .style = TForm::kDialogStyle,
                      .exStyle = TForm::kDialogExStyle, .owner = owner});
    SetClientSizeCentered(438, 172);
    CreateFromLayout(*this, kLayout);
    SetDialogKeys(true);
}

void TfmItem::SetItemInfo(const TItemInfo& info) {
    ItemInfo = info;
    SetWindowFromItemInfo();
}

void TfmItem::SetWindowFromItemInfo() {
    edKey->SetText(ItemInfo.Key);
    edName->SetText(ItemInfo.Name);
    edFileName->SetText(ItemInfo.FileName);
    edParam->SetText(ItemInfo.Param);
    edDirName->SetText(ItemInfo.DirName);
}

void TfmItem::GetWindowToItemInfo() {
    ItemInfo.Key = UpCaseAscii(edKey->Text());
    ItemInfo.Name = edName->Text();
    ItemInfo.FileName = edFileName->Text();
    ItemInfo.Param = edParam->Text();
    ItemInfo.DirName = edDirName->Text();
    ItemInfo.IconNo = 0;
}

void TfmItem::Button1Click() { AcceptEntry(*this); }

void TfmItem::Button3Click() {
    OpenDialog1.InitialDir = FolderPart(edFileName->Text(), L"\\:");
    OpenDialog1.Filter = kExecutableFilter;
    OpenDialog1.FilterIndex = 1;
    if (!OpenDialog1.Execute()) return;
    edFileName->SetText(OpenDialog1.FileName());
    // The start folder keeps its trailing backslash.
    edDirName->SetText(FolderPart(OpenDialog1.FileName(), L"\\"));
}

void TfmItem::FormShow() {
    // Only a visible window can come to the front.
    Show();
    FocusActiveControl();
    // Refused (the files came from another program, which kept the foreground): the task-bar
    // button flashes until the user comes, instead of a dialog waiting unseen.
    if (!TakeForeground(Handle())) {
        FLASHWINFO flash{sizeof flash, Handle(), FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
        ::FlashWindowEx(&flash);
    }
}
