#include "process/frmProcName.hpp"

#include "process/clsProcName.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Dpi.hpp"

namespace {
constexpr int kIconSize = 16;  // 96-DPI units

// The icon drawn into a bitmap of the list's image size (the icon's own picture for that size).
UniqueHbitmap IconBitmap(HICON icon, int size) {
    return DrawnBitmap(size, size, RGB(255, 255, 255), [&](HDC dc) {
        if (icon) ::DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    });
}
}  // namespace

const ControlRow<TfmProcName> TfmProcName::kLayout[] = {
    {.control = &TfmProcName::Label1, .left = 8, .top = 8, .width = 400, .height = 14,
     .text = L"一覧に追加するﾌﾟﾛｸﾞﾗﾑを選択してください"},
    {.control = &TfmProcName::lbProcName, .left = 8, .top = 24, .width = 505, .height = 265},
    {.control = &TfmProcName::Button1, .left = 360, .top = 296, .width = 75, .height = 25, .text = L"選択",
     .role = TButtonRole::Default, .modalResult = mrOk},
    {.control = &TfmProcName::Button2, .left = 440, .top = 296, .width = 75, .height = 25, .text = L"ｷｬﾝｾﾙ(&C)",
     .role = TButtonRole::Cancel, .modalResult = mrCancel},
};

TfmProcName::TfmProcName(HWND owner) {
    Font.SetPixelHeight(12);
    Font.SetCharset(SHIFTJIS_CHARSET);
    CreateFormWindow({.className = L"TfmProcName", .caption = L"起動プロセスの選択", .style = kDialogStyle,
                      .exStyle = kDialogExStyle, .owner = owner});
    SetDialogKeys(true);
    SetSizeCentered(533, 358);

    CreateFromLayout(*this, std::span(kLayout));
    lbProcName->OnRowDblClick = [this] { ModalResult = mrOk; };  // as 選択
    FormCreate();
}

TfmProcName::~TfmProcName() {
    lbProcName.reset();  // the list goes before the images it shows
}

void TfmProcName::FormCreate() {
    lbProcName->AddColumn(L"モジュール名", 505);
    try {
        TProcName processes;
        processes.Enumerate();
        for (int i = 0; i < processes.Count(); ++i) {
            lbProcName->AddItem(processes.GetFileName(i), i);  // row i shows image i
            icons_.push_back(processes.GetIcon(i));
        }
    } catch (...) {
        // The dialog opens with the rows found so far.
        Application->ShowException(std::current_exception());
    }
    MakeIconImages(Dpi());
    lbProcName->FillWidthWithLastColumn();  // after the rows: a vertical scroll bar takes its share
}

void TfmProcName::MakeIconImages(int dpi) {
    const int size = ScaleToDpi(kIconSize, dpi);
    UniqueHimagelist images(::ImageList_Create(size, size, ILC_COLOR24, static_cast<int>(icons_.size()), 16));
    for (const UniqueHicon& icon : icons_) {
        const UniqueHbitmap picture = IconBitmap(icon.get(), size);
        ::ImageList_Add(images.get(), picture.get(), nullptr);
    }
    lbProcName->SetSmallImages(images.get());
    ilProc = std::move(images);  // the list's pictures before are released once it has the new ones
}

void TfmProcName::RescaleForDpi(int, int toDpi) {
    MakeIconImages(toDpi);
    lbProcName->FillWidthWithLastColumn();
}

void TfmProcName::GetExeFileName(std::wstring& fileName) const {
    const int selected = lbProcName->SelectedIndex();
    fileName = selected >= 0 ? lbProcName->ItemCaption(selected) : std::wstring();
}
