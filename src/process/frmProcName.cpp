#include "process/frmProcName.hpp"

#include "process/clsProcName.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"

namespace {
constexpr int kIconSize = 16;

// The icon drawn into a bitmap of the list's image size.
UniqueHbitmap IconBitmap(HICON icon) {
    return DrawnBitmap(kIconSize, kIconSize, RGB(255, 255, 255), [&](HDC dc) {
        if (icon) ::DrawIconEx(dc, 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    });
}
}  // namespace

TfmProcName::TfmProcName(HWND owner) {
    Font.SetPixelHeight(12);
    Font.SetCharset(SHIFTJIS_CHARSET);
    CreateFormWindow({.className = L"TfmProcName", .caption = L"起動プロセスの選択", .style = kDialogStyle,
                      .exStyle = kDialogExStyle, .owner = owner});
    SetDialogKeys(true);
    SetSizeCentered(533, 358);

    ilProc.reset(::ImageList_Create(kIconSize, kIconSize, ILC_COLOR24, 16, 16));
    Label1 = std::make_unique<TLabel>(this, ControlParams{8, 8, 400, 14, L"一覧に追加するﾌﾟﾛｸﾞﾗﾑを選択してください"});
    lbProcName = std::make_unique<TListView>(this, RECT{8, 24, 8 + 505, 24 + 265}, ilProc.get());
    Button1 = std::make_unique<TButton>(this, ControlParams{360, 296, 75, 25, L"選択"},
                                        TButtonKind{.role = TButtonRole::Default, .modalResult = mrOk});
    Button2 = std::make_unique<TButton>(this, ControlParams{440, 296, 75, 25, L"ｷｬﾝｾﾙ(&C)"},
                                        TButtonKind{.role = TButtonRole::Cancel, .modalResult = mrCancel});
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
            const UniqueHicon icon = processes.GetIcon(i);
            const UniqueHbitmap picture = IconBitmap(icon.get());
            ::ImageList_Add(ilProc.get(), picture.get(), nullptr);
        }
    } catch (...) {
        // The dialog opens with the rows found so far.
        Application->HandleException(std::current_exception());
    }
}

void TfmProcName::GetExeFileName(std::wstring& fileName) const {
    const int selected = lbProcName->SelectedIndex();
    fileName = selected >= 0 ? lbProcName->ItemCaption(selected) : std::wstring();
}
