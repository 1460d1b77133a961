#include "options/fmOpt.hpp"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>

#include "launcher/Main.hpp"
#include "options/OptionPictures.hpp"
#include "options/fmGInput.hpp"
#include "options/fmIInput.hpp"
#include "options/modStartUP.hpp"
#include "process/frmProcName.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Strings.hpp"

namespace {

const wchar_t kMissingMark[] = L"《未存在》";

// The dialog's actions: caption, hint, picture and shortcut of each command.
struct ActionSpec {
    OptionCommand command;
    const wchar_t* caption;
    const wchar_t* hint;
    int image;
    BYTE virtFlags;  // FCONTROL, FSHIFT
    WORD key;
    const wchar_t* shortcutText;
};
constexpr ActionSpec kActions[] = {
    {cmAddGroup, L"ｸﾞﾙｰﾌﾟ追加", L"　グループウィンドウを開き、グループを追加する", picAddGroup, 0, VK_INSERT, L"Ins"},
    {cmModGroup, L"ｸﾞﾙｰﾌﾟ更新", L"　グループウィンドウを開き、選択されたグループを更新する", picModGroup, FSHIFT,
     VK_INSERT, L"Shift+Ins"},
    {cmDelGroup, L"ｸﾞﾙｰﾌﾟ削除", L"　選択されたグループを削除する", picDelGroup, 0, VK_DELETE, L"Del"},
    {cmAddItem, L"ﾌｧｲﾙ追加", L"　ファイル操作ウィンドウを開き、選択されたグループにファイルを追加する", picAddItem,
     FCONTROL, VK_INSERT, L"Ctrl+Ins"},
    {cmModItem, L"ﾌｧｲﾙ変更", L"　ファイル操作ウィンドウを開き、選択されたファイルを変更する", picModItem, FCONTROL,
     'I', L"Ctrl+I"},
    {cmDelItem, L"ﾌｧｲﾙ削除", L"　選択されたファイルを削除する", picDelItem, FCONTROL, VK_DELETE, L"Ctrl+Del"},
    {cmSaveShell, L"acSaveShell", L"", -1, FCONTROL, 'S', L"Ctrl+S"},
    {cmLoadShell, L"acLoadShell", L"", -1, FCONTROL, 'O', L"Ctrl+O"},
    {cmExp, L"ｴｸｽﾌﾟﾛｰﾗ起動(&X)", L"", -1, FCONTROL, 'X', L"Ctrl+X"},
    {cmNowProcess, L"プロセス一覧取得(&N)", L"現在の起動中のプロセス一覧を表示します", picProcesses, FCONTROL, 'N',
     L"Ctrl+N"},
};

const ActionSpec* FindAction(int command) {
    for (const ActionSpec& action : kActions)
        if (action.command == command) return &action;
    return nullptr;
}

// The detail area: a caption and a value label per row, each in a sunken frame.
struct DetailRow {
    const wchar_t* caption;
    const wchar_t* valueName;
    int top, captionWidth, valueWidth, valueHeight;
    bool wordWrap;
};
constexpr int kDetailLeft = 6, kDetailGap = 3, kRowHeight = 20;
constexpr DetailRow kDetailRows[] = {
    {L"ｸﾞﾙｰﾌﾟｷｰ", L"lbGKey", 12, 69, 253, kRowHeight, false},
    {L"ｸﾞﾙｰﾌﾟ名", L"lbGName", 36, 69, 253, kRowHeight, false},
    {L"ｱｲﾃﾑｷｰ", L"lbIKey", 80, 77, 245, kRowHeight, false},
    {L"ｱｲﾃﾑ名", L"lbIName", 104, 77, 245, kRowHeight, false},
    {L"ﾌｧｲﾙ名", L"lbIFileName", 128, 77, 237, 89, true},
    {L"ﾊﾟﾗﾒｰﾀ", L"lbIParam", 224, 77, 245, kRowHeight, false},
    {L"起動ﾃﾞｨﾚｸﾄﾘ", L"lbIDirName", 248, 77, 237, 81, true},
};

// The nodes' records: a heap copy of the entry per node.
struct CatalogueRecord : TTreeView::NodeRecord {
    explicit CatalogueRecord(TItemInfo entry) : info(std::move(entry)) {}
    TItemInfo info;
};

// Confirms a deletion: "ｷｰ値 : key", "名前 : name" and the question, on three lines.
bool ConfirmDelete(const TItemInfo& info, const wchar_t* question) {
    const std::wstring text = L"ｷｰ値 : " + info.Key + L"\r\n" + L"名前 : " + info.Name + L"\r\n" + question;
    return MessageDlg(text, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
}

// The drop handle of WM_DROPFILES, released however the drop is handled.
class DropHandle {
    HDROP drop_;

public:
    explicit DropHandle(HDROP drop) noexcept : drop_(drop) {}
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;
    ~DropHandle() { release(); }
    void release() noexcept {
        if (drop_) ::DragFinish(std::exchange(drop_, nullptr));
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        const UINT count = ::DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(::DragQueryFileW(drop_, i, nullptr, 0) + 1, L'\0');
            name.resize(::DragQueryFileW(drop_, i, name.data(), static_cast<UINT>(name.size())));
            names.push_back(std::move(name));
        }
        return names;
    }
};

}  // namespace

TItemInfo FileToItemInfo(const std::wstring& path) {
    TItemInfo info;
    std::wstring folder = ExtractFilePath(path);
    info.Name = path.substr(folder.size());
    info.FileName = path;
    // A drive's root keeps its backslash (C:\); any other folder loses it.
    const bool driveRoot = folder.size() == 3 && folder[1] == L':';
    if (!folder.empty() && folder.back() == L'\\' && !driveRoot) folder.pop_back();
    info.DirName = folder;
    return info;
}

bool ShowsMissingMark(const std::wstring& fileName) {
    std::wstring head = fileName.substr(0, 4);
    std::transform(head.begin(), head.end(), head.begin(), [](wchar_t c) { return ::towupper(c); });
    if (head == L"HTTP") return false;
    const DWORD attributes = ::GetFileAttributesW(fileName.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring GroupNodeText(const TItemInfo& group) { return group.Key + L" : " + group.Name; }

std::wstring ItemNodeText(const TItemInfo& item, bool missingMark) {
    return item.Key + L" : " + (missingMark ? kMissingMark : L"") + item.Name;
}

TfmOption::TfmOption(HWND owner) {
    CreateFormWindow({.className = L"TfmOption", .caption = L"オプション設定", .style = kDialogStyle,
                      .exStyle = kDialogExStyle, .owner = owner});
    SetDialogKeys(true);
    CreateMainMenu();
    SetClientSizeCentered(632, 476);
    CreateFrame();
    SetActiveControl(*tvShell);  // the dialog opens with the focus in the catalogue tree
    FormCreate();
}

TfmOption::~TfmOption() { FormDestroy(); }

void TfmOption::CreateMainMenu() {
    imageList_ = MakeOptionPictures();
    images_ = imageList_.get();
    HMENU bar = ::CreateMenu();
    auto addEntry = [&](HMENU menu, int command) {
        const ActionSpec& action = *FindAction(command);
        const std::wstring text = std::wstring(action.caption) + L"\t" + action.shortcutText;
        ::AppendMenuW(menu, MF_STRING, action.command, text.c_str());
        if (action.image >= 0) {
            menuPictures_.push_back(OptionPictureBitmap(images_, action.image, ::GetSysColor(COLOR_MENU)));
            MENUITEMINFOW info{sizeof info};
            info.fMask = MIIM_BITMAP;
            info.hbmpItem = menuPictures_.back().get();
            ::SetMenuItemInfoW(menu, action.command, FALSE, &info);
        }
    };
    HMENU files = ::CreatePopupMenu();
    for (int command : {cmAddGroup, cmModGroup, cmDelGroup}) addEntry(files, command);
    ::AppendMenuW(files, MF_SEPARATOR, 0, nullptr);
    for (int command : {cmAddItem, cmModItem, cmDelItem}) addEntry(files, command);
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(files), L"ﾌｧｲﾙ設定(&F)");
    ::AppendMenuW(bar, MF_STRING, cmNowProcess, FindAction(cmNowProcess)->caption);
    HMENU tools = ::CreatePopupMenu();
    addEntry(tools, cmExp);
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), L"ﾂｰﾙ関連(&T)");
    ::SetMenu(Handle(), bar);  // the window destroys it with itself

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
                                        TButton::Role::Default);
    Button3 = std::make_unique<TButton>(pnBottom.get(), ControlParams{544, 8, 80, 24, L"キャンセル"},
                                        TButton::Role::Cancel, mrCancel);
    Button1->OnClick = [this] { SaveReportingErrors(); };
    Button2->OnClick = [this] { Button2Click(); };

    PageControl1 = std::make_unique<TPageControl>(this, TAlign::alClient);
    TPanel& files = PageControl1->AddPage(L"ﾌｧｲﾙ設定", 3);
    TPanel& appearance = PageControl1->AddPage(L"外観　設定", 3);
    TPanel& startUp = PageControl1->AddPage(L"起動　設定", 3);
    Realign();
    CreateFirstPage(files);
    CreateAppearancePage(appearance);
    CreateStartUpPage(startUp);
    PageControl1->SetActivePageIndex(0);
}

void TfmOption::CreateFirstPage(TPanel& page) {
    pnToolBar = std::make_unique<TPanel>(&page, TPanel::Params{.height = 33, .bevelOuter = TBevelCut::bvNone,
                                                               .align = TAlign::alTop});
    std::vector<TToolBar::Button> buttons;
    for (int command : {int(cmAddGroup), int(cmModGroup), int(cmDelGroup), 0, int(cmAddItem), int(cmModItem),
                        int(cmDelItem), 0, int(cmNowProcess)})
        buttons.push_back({command, command ? FindAction(command)->image : 0});
    ToolBar1 = std::make_unique<TToolBar>(pnToolBar.get(), images_, SIZE{27, 26}, buttons);
    ToolBar1->SetBounds(2, 2, 400, 28);
    ToolBar1->OnButton = [this](int command) { RunCommand(command); };
    ToolBar1->OnHotButton = [this](int command) { ShowCommandHint(command); };

    pnTree = std::make_unique<TPanel>(&page, TPanel::Params{.width = 281, .bevelOuter = TBevelCut::bvNone,
                                                            .align = TAlign::alLeft, .borderWidth = 3});
    TFont treeFont;
    treeFont.SetName(L"ＭＳ ゴシック");
    treeFont.SetPixelHeight(12);
    tvShell = std::make_unique<TTreeView>(pnTree.get(), TAlign::alClient, treeFont);
    tvShell->OnChange = [this] { tvShellChange(); };
    tvShell->OnDblClick = [this] { RunCommand(cmModItem); };
    tvShell->OnDragOver = [this](Node target, POINT) { return tvShellDragOver(target); };
    tvShell->OnDragDrop = [this](Node source, Node target) { tvShellDragDrop(source, target); };

    pnDetail = std::make_unique<TPanel>(&page, TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                              .align = TAlign::alClient});
    page.Realign();
    for (const DetailRow& row : kDetailRows) {
        detailLabels_.push_back(std::make_unique<TLabel>(
            pnDetail.get(), ControlParams{kDetailLeft, row.top, row.captionWidth, kRowHeight, row.caption}, true));
        detailLabels_.push_back(std::make_unique<TLabel>(
            pnDetail.get(),
            ControlParams{kDetailLeft + row.captionWidth + kDetailGap, row.top, row.valueWidth, row.valueHeight},
            true, row.wordWrap));
        valueLabels_.emplace_back(row.valueName, detailLabels_.back().get());
    }
}

void TfmOption::CreateAppearancePage(TPanel& page) {
    auto add = [&](auto control) {
        auto* raw = control.get();
        pageControls_.push_back(std::move(control));
        return raw;
    };
    add(std::make_unique<TLabel>(&page, ControlParams{4, 8, 0, 0, L"色のプレビュー"}));
    Panel4 = std::make_unique<TPanel>(&page, TPanel::Params{.left = 24, .top = 24, .width = 247, .height = 347});
    Panel5 = std::make_unique<TPanel>(Panel4.get(), TPanel::Params{.width = 76, .bevelOuter = TBevelCut::bvNone,
                                                                   .align = TAlign::alLeft});
    pnLeft = std::make_unique<TPanel>(Panel5.get(), TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                   .align = TAlign::alClient});
    pnCle = std::make_unique<TPanel>(Panel4.get(), TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                  .align = TAlign::alClient});
    Panel4->Realign();
    Panel5->Realign();
    GroupPreview_ = std::make_unique<TKestrum>(pnLeft.get());
    ItemPreview_ = std::make_unique<TKestrum>(pnCle.get());
    // Made after the item preview, so they are drawn over its background.
    lbNormalFont = std::make_unique<TTransparentLabel>(pnCle.get(), ControlParams{7, 32, 152, 29, L"通常フォント　あｱＡA"});
    lbSelectFont = std::make_unique<TTransparentLabel>(pnCle.get(), ControlParams{7, 72, 152, 29, L"選択フォント　あｱＡA"});

    // The gradient colours: a swatch and its ">>" button for each.
    struct ColorBox {
        const wchar_t* caption;
        int top;
    };
    const ColorBox colorBoxes[] = {{L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳ　色", 9}, {L"ｱｲﾃﾑｳｨﾝﾄﾞｳ　色", 83}};
    for (int box = 0; box < 2; ++box) {
        auto* frame = add(std::make_unique<TGroupBox>(&page, ControlParams{298, colorBoxes[box].top, 321, 58,
                                                                            colorBoxes[box].caption}));
        for (int end = 0; end < 2; ++end) {
            const int swatch = box * 2 + end;  // group start, group end, item start, item end
            const int left = 8 + end * 120;
            auto* panel = add(std::make_unique<TPanel>(frame, TPanel::Params{.left = left, .top = 20, .width = 77,
                                                                             .height = 25,
                                                                             .caption = end ? L"終了" : L"開始"}));
            swatches_[box == 0 ? end : 2 + end] = static_cast<TPanel*>(panel);
            auto* button = static_cast<TButton*>(add(std::make_unique<TButton>(frame, ControlParams{left + 80, 20, 21, 21, L">>"})));
            button->OnClick = [this, swatch] { ChooseGradientColor(swatch); };
        }
    }

    auto* sizes = add(std::make_unique<TGroupBox>(&page, ControlParams{298, 156, 321, 99, L"　ウィンドウのサイズ関連　"}));
    const wchar_t* sizeCaptions[] = {L"ｳｨﾝﾄﾞｳの幅", L"ｳｨﾝﾄﾞｳの高さ", L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳの幅"};
    for (int i = 0; i < 3; ++i) {
        add(std::make_unique<TLabel>(sizes, ControlParams{16, 20 + i * 24, 0, 0, sizeCaptions[i]}));
        sizeEdits_[i] = static_cast<TSpinEdit*>(add(std::make_unique<TSpinEdit>(sizes, ControlParams{152, 16 + i * 24, 73, 21})));
    }

    auto* fonts = add(std::make_unique<TGroupBox>(&page, ControlParams{298, 270, 321, 77, L"　フォント関連　"}));
    add(std::make_unique<TLabel>(fonts, ControlParams{16, 20, 0, 0, L"通常フォント"}));
    add(std::make_unique<TLabel>(fonts, ControlParams{16, 48, 0, 0, L"選択フォント"}));
    for (bool selectFont : {false, true}) {
        auto* button = static_cast<TButton*>(add(std::make_unique<TButton>(fonts, ControlParams{92, selectFont ? 44 : 16, 21, 21, L">>"})));
        button->OnClick = [this, selectFont] { ChooseFont(selectFont); };
    }
}

void TfmOption::CreateStartUpPage(TPanel& page) {
    auto label = [&](int left, int top, const wchar_t* caption) {
        pageControls_.push_back(std::make_unique<TLabel>(&page, ControlParams{left, top, 0, 0, caption}));
    };
    label(8, 8, L"※　起動キーについては再起動後適用されます");
    label(12, 36, L"ランチャー起動キー　：");
    label(172, 36, L"Ctrl　+");
    edLaunchHotKey = std::make_unique<TEdit>(&page, ControlParams{212, 32, 30, 20}, TEdit::ImeMode::Disabled);
    label(12, 60, L"ｵﾌﾟｼｮﾝｳｨﾝﾄﾞｳ起動キー　：");
    label(172, 60, L"Ctrl　+");
    edOptionHotKey = std::make_unique<TEdit>(&page, ControlParams{212, 56, 30, 20}, TEdit::ImeMode::Disabled);
    for (TEdit* edit : {edLaunchHotKey.get(), edOptionHotKey.get()}) ::SendMessageW(edit->Handle(), EM_LIMITTEXT, 1, 0);
    auto button = std::make_unique<TButton>(&page, ControlParams{8, 88, 125, 25, L"スタートアップ登録(&S)"});
    button->OnClick = [this] { btnSetStartUPClick(); };
    pageControls_.push_back(std::move(button));
}

void TfmOption::FormCreate() {
    TEmvData settings;
    LoadEmvData(settings);
    GroupPreview_->LoadLines(0);
    tvShell->Clear();
    ::DragAcceptFiles(tvShell->Handle(), TRUE);
    previousFilter_ = std::exchange(Application->OnMessage, [this](MSG& msg, bool& handled) { Msg(msg, handled); });
    acLoadShellExecute();
    SetWindowFromEmvData(settings);
    SetPrevFromEmvData(settings);
    previousHint_ = std::exchange(Application->OnHint, [this] { DisplayHint(); });
}

void TfmOption::FormShow() {
    GroupPreview_->DrawBackground();
    ItemPreview_->DrawBackground();
}

namespace {

void FontFromSettings(TFont& font, const std::wstring& name, int charset, int style, int size, COLORREF color) {
    font.SetName(name);
    font.SetCharset(static_cast<BYTE>(charset));
    font.SetStyle(static_cast<unsigned>(style) & 0xFF);
    font.SetSize(size);
    font.SetColor(color);
}

}  // namespace

void TfmOption::SetWindowFromEmvData(const TEmvData& d) {
    edLaunchHotKey->SetText(d.MainKey);
    edOptionHotKey->SetText(d.OptionKey);
    FontFromSettings(lbSelectFont->Font, d.SelectFontName, d.SelectFontCharset, d.SelectFontStyle, d.SelectFontSize,
                     ColorFromComponents(d.SelectFontRed, d.SelectFontGreen, d.SelectFontBlue));
    FontFromSettings(lbNormalFont->Font, d.NormalFontName, d.NormalFontCharset, d.NormalFontStyle, d.NormalFontSize,
                     ColorFromComponents(d.NormalFontRed, d.NormalFontGreen, d.NormalFontBlue));
    lbSelectFont->Invalidate();
    lbNormalFont->Invalidate();
    sizeEdits_[1]->SetValue(d.WinHeight);
    sizeEdits_[0]->SetValue(d.WinWidth);
    sizeEdits_[2]->SetValue(d.GrpWinWidth);
    swatches_[0]->SetColor(ColorFromComponents(d.GroupStartRed, d.GroupStartGreen, d.GroupStartBlue));
    swatches_[1]->SetColor(ColorFromComponents(d.GroupEndRed, d.GroupEndGreen, d.GroupEndBlue));
    swatches_[2]->SetColor(ColorFromComponents(d.ItemStartRed, d.ItemStartGreen, d.ItemStartBlue));
    swatches_[3]->SetColor(ColorFromComponents(d.ItemEndRed, d.ItemEndGreen, d.ItemEndBlue));
}

void TfmOption::GetWindowToEmvData(TEmvData& data) const {
    TEmvData d{};
    d.MainKey = edLaunchHotKey->Text();
    d.OptionKey = edOptionHotKey->Text();
    auto fontFields = [](const TFont& font, std::wstring& name, int& charset, int& style, int& size, int& red,
                         int& green, int& blue) {
        name = font.Name();
        charset = font.Charset();
        style = static_cast<int>(font.Style() & 0x0F);
        size = font.Size();
        red = GetRValue(font.Color());
        green = GetGValue(font.Color());
        blue = GetBValue(font.Color());
    };
    fontFields(lbNormalFont->Font, d.NormalFontName, d.NormalFontCharset, d.NormalFontStyle, d.NormalFontSize,
               d.NormalFontRed, d.NormalFontGreen, d.NormalFontBlue);
    fontFields(lbSelectFont->Font, d.SelectFontName, d.SelectFontCharset, d.SelectFontStyle, d.SelectFontSize,
               d.SelectFontRed, d.SelectFontGreen, d.SelectFontBlue);
    d.WinHeight = sizeEdits_[1]->Value();
    d.WinWidth = sizeEdits_[0]->Value();
    d.GrpWinWidth = sizeEdits_[2]->Value();
    auto split = [](COLORREF color, int& red, int& green, int& blue) {
        red = GetRValue(color);
        green = GetGValue(color);
        blue = GetBValue(color);
    };
    split(swatches_[0]->Color(), d.GroupStartRed, d.GroupStartGreen, d.GroupStartBlue);
    split(swatches_[1]->Color(), d.GroupEndRed, d.GroupEndGreen, d.GroupEndBlue);
    split(swatches_[2]->Color(), d.ItemStartRed, d.ItemStartGreen, d.ItemStartBlue);
    split(swatches_[3]->Color(), d.ItemEndRed, d.ItemEndGreen, d.ItemEndBlue);
    data = std::move(d);
}

void TfmOption::SetPrevFromEmvData(const TEmvData& d) {
    // The previews are set up as the launcher sets up its displays, typing slower.
    SetUpDisplay(*GroupPreview_, d, ColorFromComponents(d.GroupStartRed, d.GroupStartGreen, d.GroupStartBlue),
                 ColorFromComponents(d.GroupEndRed, d.GroupEndGreen, d.GroupEndBlue), 10);
    SetUpDisplay(*ItemPreview_, d, ColorFromComponents(d.ItemStartRed, d.ItemStartGreen, d.ItemStartBlue),
                 ColorFromComponents(d.ItemEndRed, d.ItemEndGreen, d.ItemEndBlue), 10);
}

void TfmOption::ChooseGradientColor(int swatch) {
    ColorDialog1.Color = swatches_[swatch]->Color();
    if (!ColorDialog1.Execute()) return;
    swatches_[swatch]->SetColor(ColorDialog1.Color);
    TEmvData data;
    GetWindowToEmvData(data);
    SetPrevFromEmvData(data);
    // Only the preview of that colour is drawn again.
    (swatch < 2 ? GroupPreview_ : ItemPreview_)->DrawBackground();
}

void TfmOption::ChooseFont(bool selectFont) {
    TTransparentLabel& sample = selectFont ? *lbSelectFont : *lbNormalFont;
    FontDialog1.Font = sample.Font;
    if (!FontDialog1.Execute()) return;
    sample.Font = FontDialog1.Font;
    sample.Invalidate();
}

void TfmOption::btnSetStartUPClick() { CreateStartUpLink(); }

bool IsValidHotKeyText(const std::wstring& text) { return text.size() == 1 && HotKeyCode(text); }

bool TfmOption::CheckKeys() {
    // An entry stored without a key ends the list where it stands: it and every entry after it
    // would be lost at the next load.
    for (Node node : tvShell->AllNodes()) {
        const TItemInfo* info = NodeInfo(node);
        if (!info || info->Key.find_first_not_of(L" \t　") != std::wstring::npos) continue;
        tvShell->Select(node);
        ShowMessage(L"キーのない項目は保存できません。キーを設定してください\r\n名前 : " + info->Name);
        tvShell->SetFocus();
        return false;
    }
    return true;
}

bool TfmOption::CheckHotKeys() {
    auto refuse = [this](TEdit& edit, const wchar_t* message) {
        ShowMessage(message);
        PageControl1->SetActivePageIndex(2);
        edit.SetFocus();
        return false;
    };
    for (TEdit* edit : {edLaunchHotKey.get(), edOptionHotKey.get()})
        if (!IsValidHotKeyText(edit->Text())) return refuse(*edit, L"起動キーには英字か数字を1文字入力してください");
    // One key cannot open both windows: from the next start Kestrum could not register it twice.
    if (SameHotKey(edLaunchHotKey->Text(), edOptionHotKey->Text()))
        return refuse(*edOptionHotKey, L"ランチャーとオプションウィンドウの起動キーには別々の文字を入力してください");
    return true;
}

void TfmOption::FormDestroy() noexcept {
    // The application-wide handlers must not outlive the dialog.
    Application->OnMessage = std::move(previousFilter_);
    Application->OnHint = std::move(previousHint_);
    AllTreeDispose();
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
        case WM_MENUSELECT:
            ShowCommandHint((HIWORD(wParam) & MF_POPUP) || HIWORD(wParam) == 0xFFFF ? 0 : LOWORD(wParam));
            break;
        default: break;
    }
    return TForm::WndProc(msg, wParam, lParam);
}

void TfmOption::RunCommand(int command) {
    switch (command) {
        case cmSaveShell: SaveReportingErrors(); break;
        case cmLoadShell: acLoadShellExecute(); break;
        case cmExp: acExpExecute(); break;
        case cmAddGroup: acAddGroupExecute(); break;
        case cmModGroup: acModGroupExecute(); break;
        case cmDelGroup: acDelGroupExecute(); break;
        case cmAddItem: acAddItemExecute(); break;
        case cmModItem: acModItemExecute(); break;
        case cmDelItem: acDelItemExecute(); break;
        case cmNowProcess: acNowProcessExecute(); break;
        default: break;
    }
}

void TfmOption::ShowCommandHint(int command) {
    const ActionSpec* action = FindAction(command);
    Application->SetHint(action ? action->hint : L"");
}

void TfmOption::DisplayHint() { StatusBar1->SetPanelText(0, Application->Hint); }

void TfmOption::Msg(MSG& msg, bool& handled) {
    if (msg.message != WM_DROPFILES) return;
    handled = true;
    WMDROPFILES(reinterpret_cast<HDROP>(msg.wParam));
}

TfmOption::Node TfmOption::SelectedAtLevel(int level) const {
    const Node selected = tvShell->Selected();
    return selected && NodeInfo(selected) && tvShell->Level(selected) == level ? selected : nullptr;
}

void TfmOption::acAddGroupExecute() {
    TfmGroup dialog(Handle());
    if (dialog.ShowModal() == mrOk) AddGroupToTree(dialog.ItemInfo);
}

void TfmOption::acModGroupExecute() {
    const Node group = SelectedAtLevel(0);
    if (!group) {
        ShowMessage(L"変更したいグループを選択してください");
        return;
    }
    TfmGroup dialog(Handle());
    dialog.SetItemInfo(*NodeInfo(group));
    if (dialog.ShowModal() != mrOk) return;
    *NodeInfo(group) = dialog.ItemInfo;
    tvShell->SetNodeText(group, GroupNodeText(dialog.ItemInfo));
    ShowSelectedDetails();
}

void TfmOption::acDelGroupExecute() {
    const Node group = SelectedAtLevel(0);
    if (!group) {
        ShowMessage(L"削除したいグループを選択してください");
        return;
    }
    const TItemInfo info = *NodeInfo(group);
    if (ConfirmDelete(info, L"とその配下を削除しても良いですか？")) tvShell->DeleteNode(group);
}

void TfmOption::acAddItemExecute() {
    const Node selected = tvShell->Selected();
    if (!selected || tvShell->Level(selected) != 0) {
        ShowMessage(L"ｸﾞﾙｰﾌﾟ選択が正しくありません");
        return;
    }
    const TItemInfo item = GetItemInfoFromDialog(TItemInfo{}, selected);
    if (!item.FileName.empty()) AddItemInfoToTree(item, selected);
}

void TfmOption::acModItemExecute() {
    const Node node = SelectedAtLevel(1);
    if (!node) {
        ShowMessage(L"変更したいアイテムを選択してください");
        return;
    }
    const TItemInfo changed = GetItemInfoFromDialog(*NodeInfo(node), tvShell->ParentNode(node));
    if (changed.FileName.empty()) return;
    *NodeInfo(node) = changed;
    // The missing mark is decided only when a node is made.
    tvShell->SetNodeText(node, ItemNodeText(changed, false));
    ShowSelectedDetails();
}

void TfmOption::acDelItemExecute() {
    const Node node = SelectedAtLevel(1);
    if (!node) {
        ShowMessage(L"削除したいアイテムを選択してください");
        return;
    }
    const TItemInfo info = *NodeInfo(node);
    if (ConfirmDelete(info, L"を削除しても良いですか？")) tvShell->DeleteNode(node);
}

void TfmOption::acNowProcessExecute() {
    const Node group = tvShell->Selected();
    if (!group || tvShell->Level(group) != 0) {
        ShowMessage(L"ｸﾞﾙｰﾌﾟ選択が正しくありません");
        return;
    }
    TfmProcName picker(Handle());
    if (picker.ShowModal() != mrOk) return;
    std::wstring path;
    picker.GetExeFileName(path);
    const TItemInfo item = GetItemInfoFromDialog(FileToItemInfo(path), group);
    if (!item.FileName.empty()) AddItemInfoToTree(item, group);
}

TItemInfo TfmOption::GetItemInfoFromDialog(const TItemInfo& initial, Node group) {
    TItemInfo result;
    TfmItem dialog(Handle());
    dialog.SetItemInfo(initial);
    for (;;) {
        result.FileName.clear();
        bool accepted = true;
        const int answer = dialog.ShowModal();
        if (answer == mrOk) {
            result = dialog.ItemInfo;
            // An item being changed may keep its own key.
            accepted = ChkDupKey(result.Key, group) || initial.Key == result.Key;
            if (!accepted) ShowMessage(L"キーが重複しています。違うキーで登録してください");
        }
        if (answer == mrCancel || accepted) return result;
        // The dialog shows again with what the user entered.
    }
}

bool TfmOption::ChkDupKey(const std::wstring& key, Node group) const {
    if (!group) return true;
    for (Node item : tvShell->Children(group))
        if (const TItemInfo* info = NodeInfo(item); info && info->Key == key) return false;
    return true;
}

void TfmOption::BringToFront() {
    const RECT r = BoundsRect();
    ::SetWindowPos(Handle(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOSIZE | SWP_SHOWWINDOW);
}

void TfmOption::WMDROPFILES(HDROP drop) {
    // A drop from an X program under Wine hands over a handle this process cannot read; the
    // shell's functions would fault on it. Such a drop brings nothing.
    if (::GlobalSize(drop) < sizeof(DROPFILES)) return;
    DropHandle files(drop);
    BringToFront();
    const Node group = tvShell->Selected();
    if (!group || tvShell->Level(group) != 0) {
        files.release();
        BringToFront();
        SetFocus();
        ShowMessage(L"ｸﾞﾙｰﾌﾟの選択が誤っています");
        return;
    }
    // Every file goes to the group selected at the drop, each through its own dialog.
    for (const std::wstring& name : files.Names()) {
        const TItemInfo item = GetItemInfoFromDialog(FileToItemInfo(name), group);
        if (!item.FileName.empty()) AddItemInfoToTree(item, group);
    }
}

TItemInfo* TfmOption::NodeInfo(Node node) const {
    auto* record = node ? static_cast<CatalogueRecord*>(tvShell->Record(node)) : nullptr;
    return record ? &record->info : nullptr;
}

TfmOption::Node TfmOption::AddGroupToTree(const TItemInfo& info) {
    return tvShell->AddNode(nullptr, GroupNodeText(info), std::make_unique<CatalogueRecord>(info));
}

TfmOption::Node TfmOption::AddItemInfoToTree(const TItemInfo& info, Node group) {
    return tvShell->AddNode(group, ItemNodeText(info, ShowsMissingMark(info.FileName)),
                            std::make_unique<CatalogueRecord>(info));
}

void TfmOption::AllTreeDispose() noexcept {
    if (tvShell) tvShell->ReleaseAllRecords();
}

void TfmOption::SetItemInfoToWindow(int kind, const TItemInfo& group, const TItemInfo& item) {
    const TItemInfo empty;
    const TItemInfo& shown = kind == 1 ? item : empty;
    const std::wstring values[] = {group.Key, group.Name, shown.Key, shown.Name, shown.FileName, shown.Param,
                                   shown.DirName};
    for (size_t i = 0; i < valueLabels_.size(); ++i) valueLabels_[i].second->SetText(values[i]);
}

std::wstring TfmOption::DetailText(const wchar_t* labelName) const {
    for (const auto& [name, label] : valueLabels_)
        if (std::wstring_view(name) == labelName) return label->Text();
    return {};
}

void TfmOption::acLoadShellExecute() {
    // Loading again shows what is stored, once: the tree is emptied first.
    TTreeUpdate update(*tvShell);
    AllTreeDispose();
    tvShell->Clear();
    TShellIniFile catalogue;
    TItemInfo group;
    for (int g = 1;; ++g) {
        catalogue.ReadItemInfo(g, 0, group);
        if (group.Key.empty()) break;
        const Node groupNode = AddGroupToTree(group);
        TItemInfo item;
        for (int i = 1;; ++i) {
            catalogue.ReadItemInfo(g, i, item);
            if (item.Key.empty()) break;
            AddItemInfoToTree(item, groupNode);
        }
    }
    tvShell->ExpandAll();
}

bool TfmOption::acSaveShellExecute() {
    // A key the resident program could not register would stop it from starting.
    if (!CheckHotKeys()) return false;
    if (!CheckKeys()) return false;
    TEmvData settings;
    GetWindowToEmvData(settings);
    // Text the ANSI code page cannot hold would be saved as "?": the file is then UTF-16.
    bool fits = FitsAnsiCodePage(settings);
    for (Node node : tvShell->AllNodes())
        if (const TItemInfo* info = NodeInfo(node))
            for (const std::wstring* text : {&info->Key, &info->Name, &info->FileName, &info->Param, &info->DirName})
                fits = fits && FitsAnsiCodePage(*text);
    ChangeIniFileSafely(IniFilePath(), !fits, [&](const std::wstring& copy) {
        // The tree in its order, written in one go: one walk of the file, not one per key.
        std::vector<std::vector<TItemInfo>> groups;
        for (Node groupNode : tvShell->Children(nullptr)) {
            const TItemInfo* group = NodeInfo(groupNode);
            if (!group) continue;
            groups.push_back({*group});
            for (Node item : tvShell->Children(groupNode))
                if (const TItemInfo* info = NodeInfo(item)) groups.back().push_back(*info);
        }
        WriteCatalogueAndSettings(copy, groups, settings);
    });
    return true;
}

bool TfmOption::SaveReportingErrors() {
    try {
        return acSaveShellExecute();
    } catch (...) {
        Application->HandleException(std::current_exception());
        return false;
    }
}

void TfmOption::Button2Click() {
    // The dialog closes only after a save that succeeded: a failed one keeps the user's edits.
    if (SaveReportingErrors()) ModalResult = mrOk;
}

void TfmOption::acExpExecute() { ExecFile(L"Explorer.exe", L"", L""); }

void TfmOption::tvShellChange() {
    ShowSelectedDetails();
    tvShell->ExpandAll();
}

void TfmOption::ShowSelectedDetails() {
    const Node selected = tvShell->Selected();
    if (const TItemInfo* info = NodeInfo(selected)) {
        if (tvShell->Level(selected) == 0) {
            SetItemInfoToWindow(0, *info, TItemInfo{});
        } else if (const TItemInfo* group = NodeInfo(tvShell->ParentNode(selected))) {
            SetItemInfoToWindow(1, *group, *info);
        }
    }
}

bool TfmOption::tvShellDragOver(Node target) {
    const Node source = tvShell->Selected();
    // Only items move, and only onto groups: the tree stays two levels deep.
    if (!target || tvShell->Level(target) != 0 || !source || tvShell->Level(source) != 1) return false;
    TCanvas canvas(tvShell->Handle());
    canvas.Font = tvShell->Font();
    const RECT rect = tvShell->TextRect(target);
    COLORREF background = static_cast<COLORREF>(::SendMessageW(tvShell->Handle(), TVM_GETBKCOLOR, 0, 0));
    if (background == CLR_NONE || background == static_cast<COLORREF>(-1)) background = ::GetSysColor(COLOR_WINDOW);
    canvas.Brush = {background, false};
    canvas.FillRect(rect);
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(rect.left + 2, rect.top + 1, tvShell->NodeText(target));
    canvas.Pen = {RGB(255, 0, 0), false, R2_COPYPEN};
    if (::GetAsyncKeyState(VK_CONTROL) & 0x8000) {
        canvas.Rectangle(rect.left + 1, rect.bottom - 1, rect.right - 1, rect.bottom);  // a line along the bottom
    } else {
        canvas.Brush.Clear = true;
        canvas.Rectangle(rect.left, rect.top, rect.right, rect.bottom);
    }
    return true;
}

void TfmOption::tvShellDragDrop(Node source, Node target) {
    if (!source || source == target) return;
    const Node moved = tvShell->MoveNode(source, target);
    tvShell->Expand(target);
    tvShell->Select(moved);  // the details show the item in its new group
}
