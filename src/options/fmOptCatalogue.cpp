#include "options/fmOptCatalogue.hpp"

#include <shellapi.h>
#include <shlobj.h>

#include <unordered_map>

#include "options/fmGInput.hpp"
#include "options/fmIInput.hpp"
#include "process/frmProcName.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/ShellApi.hpp"
#include "toolkit/Strings.hpp"

namespace {

const wchar_t kMissingMark[] = L"《未存在》";
const wchar_t kNoGroupSelected[] = L"ｸﾞﾙｰﾌﾟ選択が正しくありません";

// The detail area: a caption and a value label per row, each in a sunken frame.
struct DetailRow {
    const wchar_t* caption;
    const wchar_t* valueName;
    int top, captionWidth, valueWidth, valueHeight;
    bool wordWrap;
    bool ofItem;                          // the item's value, or the group's
    std::wstring TItemInfo::*field;       // the value the row shows
};
constexpr int kDetailLeft = 6, kDetailGap = 3, kRowHeight = 20;
constexpr DetailRow kDetailRows[] = {
    {L"ｸﾞﾙｰﾌﾟｷｰ", L"lbGKey", 12, 69, 253, kRowHeight, false, false, &TItemInfo::Key},
    {L"ｸﾞﾙｰﾌﾟ名", L"lbGName", 36, 69, 253, kRowHeight, false, false, &TItemInfo::Name},
    {L"ｱｲﾃﾑｷｰ", L"lbIKey", 80, 77, 245, kRowHeight, false, true, &TItemInfo::Key},
    {L"ｱｲﾃﾑ名", L"lbIName", 104, 77, 245, kRowHeight, false, true, &TItemInfo::Name},
    {L"ﾌｧｲﾙ名", L"lbIFileName", 128, 77, 237, 89, true, true, &TItemInfo::FileName},
    {L"ﾊﾟﾗﾒｰﾀ", L"lbIParam", 224, 77, 245, kRowHeight, false, true, &TItemInfo::Param},
    {L"起動ﾃﾞｨﾚｸﾄﾘ", L"lbIDirName", 248, 77, 237, 81, true, true, &TItemInfo::DirName},
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

}  // namespace

TItemInfo FileToItemInfo(const std::wstring& path) {
    TItemInfo info;
    info.Name = path.substr(ExtractFilePath(path).size());
    info.FileName = path;
    info.DirName = ExtractFileDir(path);
    return info;
}

std::wstring GroupNodeText(const TItemInfo& group) { return KeyLabel(group.Key, group.Name); }

std::wstring ItemNodeText(const TItemInfo& item, bool missingMark) {
    return KeyLabel(item.Key, (missingMark ? kMissingMark : L"") + item.Name);
}

TCataloguePage::TCataloguePage(TWinControl& page, Frame frame) : frame_(std::move(frame)) {
    CreateControls(page);
    ::DragAcceptFiles(tvShell->Handle(), TRUE);
    // Files dropped by Explorer reach an elevated Kestrum too (its messages come from a program
    // with less rights; 0x0049 is the system's WM_COPYGLOBALDATA that carries the drop).
    for (UINT message : {UINT(WM_DROPFILES), UINT(WM_COPYDATA), 0x0049u})
        ::ChangeWindowMessageFilterEx(tvShell->Handle(), message, MSGFLT_ALLOW, nullptr);
}

void TCataloguePage::CreateControls(TWinControl& page) {
    pnToolBar = std::make_unique<TPanel>(&page, TPanel::Params{.height = 33, .bevelOuter = TBevelCut::bvNone,
                                                               .align = TAlign::alTop});
    ToolBar1 = std::make_unique<TToolBar>(pnToolBar.get(), frame_.images, SIZE{27, 26}, frame_.toolButtons);
    ToolBar1->SetDesignBounds(2, 2, 400, 28);
    ToolBar1->OnButton = [this](int command) { frame_.runCommand(command); };
    ToolBar1->OnHotButton = [this](int command) { frame_.showHint(command); };

    pnTree = std::make_unique<TPanel>(&page, TPanel::Params{.width = 281, .bevelOuter = TBevelCut::bvNone,
                                                            .align = TAlign::alLeft, .borderWidth = 3});
    TFont treeFont;
    treeFont.SetName(L"ＭＳ ゴシック");
    treeFont.SetPixelHeight(12);
    tvShell = std::make_unique<TTreeView>(pnTree.get(), TAlign::alClient, treeFont);
    tvShell->OnChange = [this] { tvShellChange(); };
    tvShell->SetAccessibleName(L"グループとアイテム");
    tvShell->OnDblClick = [this] { frame_.runCommand(cmModItem); };
    tvShell->OnContextMenu = [this](Node node, POINT at) { frame_.showNodeMenu(node, at); };
    tvShell->OnDragOver = [this](Node target, POINT) { return tvShellDragOver(target); };
    tvShell->OnDragDrop = [this](Node source, Node target) { tvShellDragDrop(source, target); };

    pnDetail = std::make_unique<TPanel>(&page, TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                              .align = TAlign::alClient});
    page.Realign();
    for (const DetailRow& row : kDetailRows) {
        detailLabels_.push_back(std::make_unique<TLabel>(
            pnDetail.get(), ControlParams{kDetailLeft, row.top, row.captionWidth, kRowHeight, row.caption},
            TLabel::Look{.sunken = true}));
        detailLabels_.push_back(std::make_unique<TLabel>(
            pnDetail.get(),
            ControlParams{kDetailLeft + row.captionWidth + kDetailGap, row.top, row.valueWidth, row.valueHeight},
            TLabel::Look{.sunken = true, .wordWrap = row.wordWrap}));
        valueLabels_.emplace_back(row.valueName, detailLabels_.back().get());
    }
}

// The tree in its order, and the first entry without a key: stored so, it would end its list
// where it stands, and it and every entry after it would be lost at the next load. The
// program's other windows are served meanwhile.
TCataloguePage::Node TCataloguePage::CollectCatalogue(std::vector<std::vector<TItemInfo>>& groups) {
    auto keyless = [](const TItemInfo& info) { return info.Key.find_first_not_of(L" \t　") == std::wstring::npos; };
    ULONGLONG served = ::GetTickCount64();
    for (Node groupNode : tvShell->Children(nullptr)) {
        const TItemInfo* group = NodeInfo(groupNode);
        if (!group) continue;
        if (keyless(*group)) return groupNode;
        groups.push_back({*group});
        for (Node item : tvShell->Children(groupNode)) {
            const TItemInfo* info = NodeInfo(item);
            if (!info) continue;
            if (keyless(*info)) return item;
            groups.back().push_back(*info);
        }
        if (::GetTickCount64() - served < kServeEveryMs) continue;
        Application->ProcessMessages();
        served = ::GetTickCount64();
    }
    return nullptr;
}

TCataloguePage::Node TCataloguePage::SelectedAtLevel(int level, const wchar_t* otherwise) const {
    const Node selected = tvShell->Selected();
    if (selected && NodeInfo(selected) && tvShell->Level(selected) == level) return selected;
    ShowMessage(otherwise);
    return nullptr;
}

void TCataloguePage::acAddGroupExecute() {
    TfmGroup dialog(frame_.owner);
    if (dialog.ShowModal() == mrOk) tvShell->Select(AddGroupToTree(dialog.ItemInfo));
}

void TCataloguePage::acModGroupExecute() {
    const Node group = SelectedAtLevel(0, L"変更したいグループを選択してください");
    if (!group) return;
    TfmGroup dialog(frame_.owner);
    dialog.SetItemInfo(*NodeInfo(group));
    if (dialog.ShowModal() != mrOk) return;
    *NodeInfo(group) = dialog.ItemInfo;
    tvShell->SetNodeText(group, GroupNodeText(dialog.ItemInfo));
    ShowSelectedDetails();
}

void TCataloguePage::acDelGroupExecute() {
    const Node group = SelectedAtLevel(0, L"削除したいグループを選択してください");
    if (!group) return;
    const TItemInfo info = *NodeInfo(group);
    if (ConfirmDelete(info, L"とその配下を削除しても良いですか？")) tvShell->DeleteNode(group);
}

void TCataloguePage::acAddItemExecute() {
    const Node selected = SelectedAtLevel(0, kNoGroupSelected);
    if (!selected) return;
    const TItemInfo item = GetItemInfoFromDialog(TItemInfo{}, selected);
    if (!item.FileName.empty()) AddItemForUser(item, selected);
}

void TCataloguePage::acModItemExecute() {
    const Node node = SelectedAtLevel(1, L"変更したいアイテムを選択してください");
    if (!node) return;
    const TItemInfo changed = GetItemInfoFromDialog(*NodeInfo(node), tvShell->ParentNode(node));
    if (changed.FileName.empty()) return;
    *NodeInfo(node) = changed;
    // The missing mark is decided only when a node is made.
    tvShell->SetNodeText(node, ItemNodeText(changed, false));
    ShowSelectedDetails();
}

void TCataloguePage::acDelItemExecute() {
    const Node node = SelectedAtLevel(1, L"削除したいアイテムを選択してください");
    if (!node) return;
    const TItemInfo info = *NodeInfo(node);
    if (ConfirmDelete(info, L"を削除しても良いですか？")) tvShell->DeleteNode(node);
}

void TCataloguePage::acModNodeExecute() {
    const Node selected = tvShell->Selected();
    if (selected && tvShell->Level(selected) == 1) acModItemExecute();
    else acModGroupExecute();
}

void TCataloguePage::acNowProcessExecute() {
    const Node group = SelectedAtLevel(0, kNoGroupSelected);
    if (!group) return;
    TfmProcName picker(frame_.owner);
    if (picker.ShowModal() != mrOk) return;
    std::wstring path;
    picker.GetExeFileName(path);
    const TItemInfo item = GetItemInfoFromDialog(FileToItemInfo(path), group);
    if (!item.FileName.empty()) AddItemForUser(item, group);
}

TItemInfo TCataloguePage::GetItemInfoFromDialog(const TItemInfo& initial, Node group) {
    TItemInfo result;
    TfmItem dialog(frame_.owner);
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

bool TCataloguePage::ChkDupKey(const std::wstring& key, Node group) const {
    if (!group) return true;
    for (Node item : tvShell->Children(group))
        if (const TItemInfo* info = NodeInfo(item); info && info->Key == key) return false;
    return true;
}

void TCataloguePage::BringOwnerToFront() {
    RECT r{};
    ::GetWindowRect(frame_.owner, &r);
    ::SetWindowPos(frame_.owner, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOSIZE | SWP_SHOWWINDOW);
}

void TCataloguePage::WMDROPFILES(HDROP drop) {
    // A drop from an X program under Wine hands over a handle this process cannot read; the
    // shell's functions would fault on it. Such a drop brings nothing.
    if (::GlobalSize(drop) < sizeof(DROPFILES)) return;
    DropHandle files(drop);
    BringOwnerToFront();
    const Node group = tvShell->Selected();
    if (!group || tvShell->Level(group) != 0) {
        files.release();
        BringOwnerToFront();
        ::SetFocus(frame_.owner);
        ShowMessage(L"ｸﾞﾙｰﾌﾟの選択が誤っています");
        return;
    }
    // Every file goes to the group selected at the drop, each through its own dialog.
    for (const std::wstring& name : files.Names()) {
        const TItemInfo item = GetItemInfoFromDialog(FileToItemInfo(name), group);
        if (!item.FileName.empty()) AddItemForUser(item, group);
    }
}

TItemInfo* TCataloguePage::NodeInfo(Node node) const {
    auto* record = node ? static_cast<CatalogueRecord*>(tvShell->Record(node)) : nullptr;
    return record ? &record->info : nullptr;
}

TCataloguePage::Node TCataloguePage::AddGroupToTree(const TItemInfo& info) {
    return tvShell->AddNode(nullptr, GroupNodeText(info), std::make_unique<CatalogueRecord>(info));
}

TCataloguePage::Node TCataloguePage::AddItemInfoToTree(const TItemInfo& info, Node group) {
    return tvShell->AddNode(group, ItemNodeText(info, ShowsMissingMark(info.FileName)),
                            std::make_unique<CatalogueRecord>(info));
}

// An item the user adds is seen at once: its group opens, also a group that was empty (and so
// had nothing to open until now).
void TCataloguePage::AddItemForUser(const TItemInfo& info, Node group) {
    AddItemInfoToTree(info, group);
    tvShell->Expand(group);
}

void TCataloguePage::AllTreeDispose() noexcept {
    if (tvShell) tvShell->ReleaseAllRecords();
}

void TCataloguePage::SetItemInfoToWindow(int kind, const TItemInfo& group, const TItemInfo& item) {
    const TItemInfo empty;
    const TItemInfo& shown = kind == 1 ? item : empty;
    // The labels were made from the rows, in their order.
    for (size_t i = 0; i < valueLabels_.size(); ++i) {
        const DetailRow& row = kDetailRows[i];
        valueLabels_[i].second->SetText((row.ofItem ? shown : group).*row.field);
    }
}

std::wstring TCataloguePage::DetailText(const wchar_t* labelName) const {
    for (const auto& [name, label] : valueLabels_)
        if (std::wstring_view(name) == labelName) return label->Text();
    return {};
}

void TCataloguePage::acLoadShellExecute() {
    // A large catalogue takes seconds: the program's other windows are served meanwhile, while
    // this one takes no input (a second load or an edit would meet a tree half filled).
    if (loading_) return;
    ScopeExit loaded([this, enabled = ::IsWindowEnabled(frame_.owner)] {
        loading_ = false;
        ::EnableWindow(frame_.owner, enabled);
    });
    loading_ = true;
    ::EnableWindow(frame_.owner, FALSE);
    ULONGLONG served = ::GetTickCount64();
    auto serveTheOthers = [&] {
        if (::GetTickCount64() - served < kServeEveryMs) return;
        Application->ProcessMessages();
        served = ::GetTickCount64();
    };
    // Loading again shows what is stored, once: the tree is emptied first.
    TTreeUpdate update(*tvShell);
    AllTreeDispose();
    tvShell->Clear();
    std::vector<std::vector<TItemInfo>> catalogue;
    Application->RunAside([&] { catalogue = TShellIniFile().ReadCatalogue(); });
    // A file is looked at once however many items start it (under Wine each look takes about a
    // millisecond). Every group is shown open.
    std::unordered_map<std::wstring, bool> missing;
    for (const std::vector<TItemInfo>& entries : catalogue) {
        const Node group = tvShell->AddNode(nullptr, GroupNodeText(entries.front()),
                                            std::make_unique<CatalogueRecord>(entries.front()), true);
        for (size_t i = 1; i < entries.size(); ++i) {
            const TItemInfo& item = entries[i];
            const auto [mark, added] = missing.try_emplace(item.FileName, false);
            if (added) mark->second = ShowsMissingMark(item.FileName);
            tvShell->AddNode(group, ItemNodeText(item, mark->second), std::make_unique<CatalogueRecord>(item));
        }
        serveTheOthers();
    }
}

void TCataloguePage::RefuseKeyless(Node keyless) {
    tvShell->Select(keyless);
    ShowMessage(L"キーのない項目は保存できません。キーを設定してください\r\n名前 : " + NodeInfo(keyless)->Name);
    tvShell->SetFocus();
}

void TCataloguePage::SetImages(HIMAGELIST images) { ToolBar1->SetImages(images); }

void TCataloguePage::tvShellChange() {
    ShowSelectedDetails();
    tvShell->ExpandAll();
}

void TCataloguePage::ShowSelectedDetails() {
    const Node selected = tvShell->Selected();
    if (const TItemInfo* info = NodeInfo(selected)) {
        if (tvShell->Level(selected) == 0) {
            SetItemInfoToWindow(0, *info, TItemInfo{});
        } else if (const TItemInfo* group = NodeInfo(tvShell->ParentNode(selected))) {
            SetItemInfoToWindow(1, *group, *info);
        }
    }
}

bool TCataloguePage::tvShellDragOver(Node target) {
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

void TCataloguePage::tvShellDragDrop(Node source, Node target) {
    if (!source || source == target) return;
    const Node moved = tvShell->MoveNode(source, target);
    tvShell->Expand(target);
    tvShell->Select(moved);  // the details show the item in its new group
}
