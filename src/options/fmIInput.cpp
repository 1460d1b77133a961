#include "options/fmIInput.hpp"

#include <string_view>
#include <variant>

#include "toolkit/Dialogs.hpp"
#include "toolkit/Graphics.hpp"
#include "toolkit/Strings.hpp"

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

// One control of the form: where it sits and what it is. Labels are sized to their caption.
struct ControlRow {
    std::variant<std::unique_ptr<TLabel> TfmItem::*, std::unique_ptr<TMaskEdit> TfmItem::*,
                 std::unique_ptr<TEdit> TfmItem::*, std::unique_ptr<TButton> TfmItem::*>
        control;
    int left, top, width = 0, height = 0;
    const wchar_t* text = L"";  // caption or initial text
    const wchar_t* mask = L"";  // edit mask of a masked edit
    TEdit::ImeMode ime = TEdit::ImeMode::Default;
    TButton::Role role = TButton::Role::Normal;
    int modalResult = mrNone;
    void (TfmItem::*onClick)() = nullptr;
};

constexpr auto kImeOn = TEdit::ImeMode::On;
constexpr auto kImeClosed = TEdit::ImeMode::Closed;

// Tab order is the order of the rows.
constexpr ControlRow kLayout[] = {
    {.control = &TfmItem::Label1, .left = 8, .top = 12, .text = L"ﾌｧｲﾙｷｰ"},
    {.control = &TfmItem::edKey, .left = 68, .top = 8, .width = 21, .height = 20, .text = L" ", .mask = L"L;1;_"},
    {.control = &TfmItem::Label2, .left = 116, .top = 12, .text = L"※　A　～　Z　"},
    {.control = &TfmItem::Label3, .left = 8, .top = 36, .text = L"ﾀｲﾄﾙ"},
    {.control = &TfmItem::edName, .left = 68, .top = 32, .width = 121, .height = 20, .ime = kImeOn},
    {.control = &TfmItem::Label4, .left = 8, .top = 60, .text = L"ﾌｧｲﾙ名"},
    {.control = &TfmItem::edFileName, .left = 68, .top = 56, .width = 329, .height = 20, .ime = kImeClosed},
    {.control = &TfmItem::Button3, .left = 400, .top = 56, .width = 21, .height = 21, .text = L">>",
     .onClick = &TfmItem::Button3Click},
    {.control = &TfmItem::Label5, .left = 8, .top = 84, .text = L"ﾊﾟﾗﾒｰﾀ"},
    {.control = &TfmItem::edParam, .left = 68, .top = 80, .width = 121, .height = 20, .ime = kImeClosed},
    {.control = &TfmItem::Label6, .left = 8, .top = 108, .text = L"起動ﾌｫﾙﾀﾞ"},
    {.control = &TfmItem::edDirName, .left = 68, .top = 104, .width = 329, .height = 20, .ime = kImeClosed},
    {.control = &TfmItem::Button1, .left = 260, .top = 136, .width = 75, .height = 20, .text = L"OK",
     .role = TButton::Role::Default, .modalResult = mrOk, .onClick = &TfmItem::Button1Click},
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
    CreateControls();
    SetDialogKeys(true);
}

void TfmItem::CreateControls() {
    TCanvas measure(Handle());
    measure.Font = Font;
    for (const ControlRow& row : kLayout) {
        const ControlParams params{.left = row.left, .top = row.top, .width = row.width, .height = row.height,
                                   .caption = row.text};
        std::visit(Overloaded{
                       [&](std::unique_ptr<TLabel> TfmItem::*label) {
                           const SIZE size = measure.TextExtent(row.text);
                           this->*label = std::make_unique<TLabel>(
                               this, ControlParams{.left = row.left, .top = row.top, .width = size.cx,
                                                   .height = size.cy, .caption = row.text});
                       },
                       [&](std::unique_ptr<TMaskEdit> TfmItem::*edit) {
                           this->*edit = std::make_unique<TMaskEdit>(this, params, row.mask);
                       },
                       [&](std::unique_ptr<TEdit> TfmItem::*edit) {
                           this->*edit = std::make_unique<TEdit>(this, params, row.ime);
                       },
                       [&](std::unique_ptr<TButton> TfmItem::*button) {
                           this->*button = std::make_unique<TButton>(this, params, row.role, row.modalResult);
                           if (row.onClick)
                               (this->*button)->OnClick = [this, click = row.onClick] { (this->*click)(); };
                       },
                   },
                   row.control);
    }
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
    std::wstring key = edKey->Text();
    for (wchar_t& c : key) c = UpCaseAscii(c);
    ItemInfo.Key = std::move(key);
    ItemInfo.Name = edName->Text();
    ItemInfo.FileName = edFileName->Text();
    ItemInfo.Param = edParam->Text();
    ItemInfo.DirName = edDirName->Text();
    ItemInfo.IconNo = 0;
}

void TfmItem::Button1Click() { GetWindowToItemInfo(); }

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
    ::SetForegroundWindow(Handle());
}

void TfmItem::FocusActiveControl() {
    HWND target = activeControl_ && ::IsChild(Handle(), activeControl_) ? activeControl_ : nullptr;
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); !target && child; child = ::GetWindow(child, GW_HWNDNEXT))
        if ((::GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) && ::IsWindowEnabled(child)) target = child;
    if (target) ::SetFocus(target);
}

LRESULT TfmItem::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_ACTIVATE) return TForm::WndProc(msg, wParam, lParam);
    // The focus stays with the controls as in a dialog: the first one at the start, and the one
    // that had it when the window is activated again (after the file-open dialog, say).
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) activeControl_ = focus;
        return TForm::WndProc(msg, wParam, lParam);
    }
    const LRESULT result = TForm::WndProc(msg, wParam, lParam);
    if (!::IsIconic(Handle())) FocusActiveControl();
    return result;
}
