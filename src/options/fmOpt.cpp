#include "options/fmOpt.hpp"

#include "data/clsShellIniFiles.hpp"
#include "launcher/Launch.hpp"
#include "options/OptionPictures.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"

namespace {
using P = TCataloguePage;
// A save that stood, but left the backup as it was.
const wchar_t kNoBackupText[] = L"保存しました。バックアップ（.bak）は作れませんでした";
}  // namespace

// The dialog's commands, one row each, in the order of their menus and tool bar: caption, hint,
// picture, shortcut, where the command appears, the tree nodes its context menu offers it on
// (with its access key there) and what runs it.
enum class MenuPlace { None, Files, Bar, Tools };
enum NodeKinds : BYTE { onNone = 1, onGroup = 2, onItem = 4 };
struct TfmOption::ActionSpec {
    OptionCommand command;
    const wchar_t* caption;
    const wchar_t* hint;
    int image;
    BYTE virtFlags;  // FCONTROL, FSHIFT
    WORD key;
    const wchar_t* shortcutText;
    MenuPlace menu;
    bool onToolBar;
    bool startsGroup;  // a separator before it in its menu and on the tool bar
    void (TfmOption::*run)();
    BYTE onNodes = 0;         // NodeKinds
    wchar_t accessKey = 0;    // in the context menu, when the caption has none
};

const TfmOption::ActionSpec TfmOption::kActions[] = {
    {cmAddGroup, L"ｸﾞﾙｰﾌﾟ追加", L"　グループウィンドウを開き、グループを追加する", picAddGroup, 0, VK_INSERT, L"Ins",
     MenuPlace::Files, true, false, &TfmOption::OnPage<&P::acAddGroupExecute>, onNone | onGroup, L'A'},
    {cmModGroup, L"ｸﾞﾙｰﾌﾟ更新", L"　グループウィンドウを開き、選択されたグループを更新する", picModGroup, FSHIFT,
     VK_INSERT, L"Shift+Ins", MenuPlace::Files, true, false, &TfmOption::OnPage<&P::acModGroupExecute>, onGroup,
     L'E'},
    {cmDelGroup, L"ｸﾞﾙｰﾌﾟ削除", L"　選択されたグループを削除する", picDelGroup, 0, VK_DELETE, L"Del", MenuPlace::Files,
     true, false, &TfmOption::OnPage<&P::acDelGroupExecute>, onGroup, L'D'},
    {cmAddItem, L"ﾌｧｲﾙ追加", L"　ファイル操作ウィンドウを開き、選択されたグループにファイルを追加する", picAddItem,
     FCONTROL, VK_INSERT, L"Ctrl+Ins", MenuPlace::Files, true, true, &TfmOption::OnPage<&P::acAddItemExecute>,
     onGroup, L'F'},
    {cmModItem, L"ﾌｧｲﾙ変更", L"　ファイル操作ウィンドウを開き、選択されたファイルを変更する", picModItem, FCONTROL,
     'I', L"Ctrl+I", MenuPlace::Files, true, false, &TfmOption::OnPage<&P::acModItemExecute>, onItem, L'E'},
    {cmDelItem, L"ﾌｧｲﾙ削除", L"　選択されたファイルを削除する", picDelItem, FCONTROL, VK_DELETE, L"Ctrl+Del",
     MenuPlace::Files, true, false, &TfmOption::OnPage<&P::acDelItemExecute>, onItem, L'D'},
    {cmSaveShell, L"acSaveShell", L"", -1, FCONTROL, 'S', L"Ctrl+S", MenuPlace::None, false, false,
     &TfmOption::SaveCommand},
    {cmLoadShell, L"acLoadShell", L"", -1, FCONTROL, 'O', L"Ctrl+O", MenuPlace::None, false, false,
     &TfmOption::OnPage<&P::acLoadShellExecute>},
    {cmExp, L"ｴｸｽﾌﾟﾛｰﾗ起動(&X)", L"", -1, FCONTROL, 'X', L"Ctrl+X", MenuPlace::Tools, false, false,
     &TfmOption::acExpExecute},
    {cmModNode, L"acModNode", L"", -1, 0, VK_F2, L"F2", MenuPlace::None, false, false,
     &TfmOption::OnPage<&P::acModNodeExecute>},
    {cmNowProcess, L"プロセス一覧取得(&N)", L"現在の起動中のプロセス一覧を表示します", picProcesses, FCONTROL, 'N',
     L"Ctrl+N", MenuPlace::Bar, true, true, &TfmOption::OnPage<&P::acNowProcessExecute>, onGroup},
};

const TfmOption::ActionSpec* TfmOption::FindAction(int command) {
    for (const ActionSpec& action : kActions)
        if (action.command == command) return &action;
    return nullptr;
}

// The commands that apply to the node (nullptr: none), the tree's context menu, in the table's
// order, their pictures drawn as in the menu bar's menus.
UniqueHmenu TfmOption::NodeMenu(Node node) const {
    const BYTE kind = !catalogue_->NodeInfo(node) ? onNone : catalogue_->Tree().Level(node) == 0 ? onGroup : onItem;
    UniqueHmenu menu(::CreatePopupMenu());
    for (const ActionSpec& action : kActions) {
        if (!(action.onNodes & kind)) continue;
        if (action.startsGroup && ::GetMenuItemCount(menu.get()) > 0)
            ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        std::wstring text = action.caption;
        if (action.accessKey) text += std::wstring(L"(&") + action.accessKey + L")";
        AppendCommand(menu.get(), action, text);
    }
    return menu;
}

void TfmOption::AppendCommand(HMENU menu, const ActionSpec& action, const std::wstring& caption) {
    const std::wstring text = caption + L"\t" + action.shortcutText;
    ::AppendMenuW(menu, MF_STRING, action.command, text.c_str());
    if (action.image < 0) return;
    // Drawn by the dialog (MenuPicture): a bitmap of the entry's own would be inverted with
    // the highlight under Wine, and would sit against the caption.
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_BITMAP | MIIM_DATA;
    info.hbmpItem = HBMMENU_CALLBACK;
    info.dwItemData = static_cast<ULONG_PTR>(action.image);
    ::SetMenuItemInfoW(menu, action.command, FALSE, &info);
}

void TfmOption::ShowNodeMenu(Node node, POINT at) {
    // The menu is gone before its command runs (a command's dialog would otherwise open with the
    // menu's window still there).
    const int command = [&] {
        const UniqueHmenu menu = NodeMenu(node);
        return static_cast<int>(
            ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr));
    }();
    Application->SetHint(L"");
    if (command) RunCommand(command);
}

std::vector<TToolBar::Button> TfmOption::ToolButtons() {
    std::vector<TToolBar::Button> buttons;
    for (const ActionSpec& action : kActions) {
        if (!action.onToolBar) continue;
        if (action.startsGroup && !buttons.empty()) buttons.push_back({0, 0});
        buttons.push_back({action.command, action.image});
    }
    return buttons;
}

TfmOption::TfmOption(HWND owner) {
    // A task-bar button of its own: a dialog that lost the race for the foreground can be found.
    CreateFormWindow({.className = L"TfmOption", .caption = L"オプション設定", .style = kDialogStyle,
                      .exStyle = kDialogExStyle | WS_EX_APPWINDOW, .owner = owner});
    SetDialogKeys(true);
    CreateMainMenu();
    SetClientSizeCentered(632, 476);
    CreateFrame();
    SetActiveControl(catalogue_->Tree());  // the dialog opens with the focus in the catalogue tree
    FormCreate();
}

TfmOption::~TfmOption() { FormDestroy(); }

void TfmOption::CreateMainMenu() {
    imageList_ = MakeOptionPictures(Dpi());
    images_ = imageList_.get();
    // Each menu is owned until it is attached: a popup to the bar, the bar to the window.
    UniqueHmenu filesMenu(::CreatePopupMenu()), toolsMenu(::CreatePopupMenu()), barMenu(::CreateMenu());
    HMENU files = filesMenu.get(), tools = toolsMenu.get(), bar = barMenu.get();
    std::vector<const ActionSpec*> onBar;
    for (const ActionSpec& action : kActions) {
        if (action.menu == MenuPlace::Bar) onBar.push_back(&action);
        if (action.menu != MenuPlace::Files && action.menu != MenuPlace::Tools) continue;
        HMENU menu = action.menu == MenuPlace::Files ? files : tools;
        if (action.startsGroup) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendCommand(menu, action, action.caption);
    }
    if (::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(files), L"ﾌｧｲﾙ設定(&F)")) filesMenu.release();
    for (const ActionSpec* action : onBar) ::AppendMenuW(bar, MF_STRING, action->command, action->caption);
    if (::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), L"ﾂｰﾙ関連(&T)")) toolsMenu.release();
    if (::SetMenu(Handle(), bar)) barMenu.release();  // the window destroys it with itself

    std::vector<ACCEL> shortcuts;
    for (const ActionSpec& action : kActions)
        shortcuts.push_back({static_cast<BYTE>(FVIRTKEY | action.virtFlags), action.key,
                             static_cast<WORD>(action.command)});
    SetAccelerators(UniqueHaccel(::CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size()))));
}

void TfmOption::CreateFrame() {
    StatusBar1 = std::make_unique<TStatusBar>(this, 26, 500);
    pnBottom = std::make_unique<TPanel>(this, TPanel::Params{.height = 39, .align = TAlign::alBottom});
    Button1 = std::make_unique<TButton>(pnBottom.get(), ControlParams{372, 8, 80, 24, L"更新のみ"});
    Button2 = std::make_unique<TButton>(pnBottom.get(), ControlParams{458, 8, 80, 24, L"更新＆終了"},
                                        TButtonKind{.role = TButtonRole::Default});
    Button3 = std::make_unique<TButton>(pnBottom.get(), ControlParams{544, 8, 80, 24, L"キャンセル"},
                                        TButtonKind{.role = TButtonRole::Cancel, .modalResult = mrCancel});
    Button1->OnClick = [this] { SaveReportingErrors(); };
    Button2->OnClick = [this] { Button2Click(); };

    PageControl1 = std::make_unique<TPageControl>(this, TAlign::alClient);
    PageControl1->SetAccessibleName(L"設定の種類");
    TPanel& files = PageControl1->AddPage(L"ﾌｧｲﾙ設定", 3);
    TPanel& appearance = PageControl1->AddPage(L"外観　設定", 3);
    TPanel& startUp = PageControl1->AddPage(L"起動　設定", 3);
    Realign();
    catalogue_ = std::make_unique<TCataloguePage>(
        files, TCataloguePage::Frame{.owner = Handle(), .images = images_, .toolButtons = ToolButtons(),
                                     .runCommand = [this](int command) { RunCommand(command); },
                                     .showHint = [this](int command) { ShowCommandHint(command); },
                                     .showNodeMenu = [this](Node node, POINT at) { ShowNodeMenu(node, at); }});
    appearance_ = std::make_unique<TAppearancePage>(appearance);
    startUp_ = std::make_unique<TStartUpPage>(startUp, [this] { PageControl1->SetActivePageIndex(2); });
    PageControl1->SetActivePageIndex(0);
}

void TfmOption::FormCreate() {
    TEmvData settings;
    LoadEmvData(settings);
    appearance_->GroupPreview().LoadLines(0);
    previousFilter_ = std::exchange(Application->OnMessage, [this](MSG& msg, bool& handled) { Msg(msg, handled); });
    catalogue_->acLoadShellExecute();
    SetWindowFromEmvData(settings);
    appearance_->SetPreviews(settings);
    previousHint_ = std::exchange(Application->OnHint, [this] { DisplayHint(); });
}

void TfmOption::SetWindowFromEmvData(const TEmvData& data) {
    startUp_->SetFromSettings(data);
    appearance_->SetFromSettings(data);
}

void TfmOption::GetWindowToEmvData(TEmvData& data) const {
    TEmvData read{};
    startUp_->GetToSettings(read);
    appearance_->GetToSettings(read);
    data = std::move(read);
}

void TfmOption::RescaleForDpi(int, int) {
    // The pictures at the new DPI, and a menu bar made anew, its entries measured again with
    // them; the bar it replaces goes once the new one is in place.
    const UniqueHmenu replaced(::GetMenu(Handle()));
    CreateMainMenu();
    catalogue_->SetImages(images_);
    appearance_->Rescale();
}

void TfmOption::FormShow() {
    appearance_->DrawPreviews();
}

void TfmOption::FormDestroy() noexcept {
    // The application-wide handlers must not outlive the dialog.
    Application->OnMessage = std::move(previousFilter_);
    Application->OnHint = std::move(previousHint_);
    catalogue_->AllTreeDispose();
}

LRESULT TfmOption::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            // Menu entries and shortcuts (no control window).
            if (lParam == 0 && FindAction(LOWORD(wParam))) {
                RunCommand(LOWORD(wParam));
                return 0;
            }
            break;
        case WM_MEASUREITEM:
            if (auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam); item->CtlType == ODT_MENU) {
                MeasureMenuPicture(*item);
                return TRUE;
            }
            break;
        case WM_DRAWITEM:
            if (auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam); item->CtlType == ODT_MENU) {
                DrawMenuPicture(*item);
                return TRUE;
            }
            break;
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            if (appearance_) appearance_->FollowSystemLook(msg);  // not while the dialog is being made
            break;
        case WM_MENUSELECT:
            ShowCommandHint((HIWORD(wParam) & MF_POPUP) || HIWORD(wParam) == 0xFFFF ? 0 : LOWORD(wParam));
            break;
        default: break;
    }
    return TForm::WndProc(msg, wParam, lParam);
}

void TfmOption::RunCommand(int command) {
    if (const ActionSpec* action = FindAction(command)) (this->*action->run)();
}

// A menu entry's picture: the command's picture and a gap before the caption.
void TfmOption::MeasureMenuPicture(MEASUREITEMSTRUCT& item) const {
    int width = 0, height = 0;
    ::ImageList_GetIconSize(images_, &width, &height);
    item.itemWidth = static_cast<UINT>(width + ScaleToDpi(4, Dpi()));
    item.itemHeight = static_cast<UINT>(height);
}

// Over whatever the menu painted (the highlight included), with its transparent parts left.
void TfmOption::DrawMenuPicture(const DRAWITEMSTRUCT& item) const {
    int width = 0, height = 0;
    ::ImageList_GetIconSize(images_, &width, &height);
    const RECT& r = item.rcItem;
    ::ImageList_Draw(images_, static_cast<int>(item.itemData), item.hDC, r.left,
                     r.top + (r.bottom - r.top - height) / 2, ILD_TRANSPARENT);
}

void TfmOption::ShowCommandHint(int command) {
    const ActionSpec* action = FindAction(command);
    Application->SetHint(action ? action->hint : L"");
}

void TfmOption::DisplayHint() { StatusBar1->SetPanelText(0, Application->Hint); }

void TfmOption::Msg(MSG& msg, bool& handled) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && (::GetKeyState(VK_CONTROL) & 0x8000) &&
        (msg.hwnd == Handle() || ::IsChild(Handle(), msg.hwnd))) {
        // Ctrl+Tab and Ctrl+Shift+Tab step through the pages, as in every dialog with tabs.
        const int count = PageControl1->PageCount(), step = (::GetKeyState(VK_SHIFT) & 0x8000) ? count - 1 : 1;
        PageControl1->SetActivePageIndex((PageControl1->ActivePageIndex() + step) % count);
        handled = true;
        return;
    }
    if (msg.message != WM_DROPFILES) return;
    handled = true;
    catalogue_->WMDROPFILES(reinterpret_cast<HDROP>(msg.wParam));
}

void TfmOption::acExpExecute() { ExecFile(L"Explorer.exe", L"", L""); }

bool TfmOption::acSaveShellExecute() {
    // A key the resident program could not register would stop it from starting.
    if (!startUp_->CheckHotKeys()) return false;
    TEmvData settings;
    GetWindowToEmvData(settings);
    // A large catalogue takes seconds: this window takes no input while it is read from the tree
    // and written (aside), and the program's other windows are served.
    const bool enabled = ::IsWindowEnabled(Handle());
    ScopeExit enable([this, enabled] { ::EnableWindow(Handle(), enabled); });
    ::EnableWindow(Handle(), FALSE);
    std::vector<std::vector<TItemInfo>> groups;
    if (const Node keyless = catalogue_->CollectCatalogue(groups)) {
        ::EnableWindow(Handle(), enabled);
        catalogue_->RefuseKeyless(keyless);
        return false;
    }
    bool backedUp = true;
    Application->RunAside([&] {
        TIniDocument document = TIniDocument::Read(IniFilePath());
        PutCatalogueAndSettings(document, groups, settings);
        backedUp = SaveIniFileSafely(IniFilePath(), document);
    });
    if (!backedUp) StatusBar1->SetPanelText(0, kNoBackupText);
    return true;
}

bool TfmOption::SaveReportingErrors() {
    try {
        return acSaveShellExecute();
    } catch (...) {
        Application->ShowException(std::current_exception());
        return false;
    }
}

void TfmOption::Button2Click() {
    // The dialog closes only after a save that succeeded: a failed one keeps the user's edits.
    if (SaveReportingErrors()) ModalResult = mrOk;
}
