// The options dialog: the catalogue in a two-level tree (groups and their items) with its
// editing commands, the look of the launcher and the hot keys. Nothing reaches the INI file
// until the save command.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "options/OptionCommands.hpp"
#include "options/fmOptAppearance.hpp"
#include "options/fmOptStartUp.hpp"
#include "toolkit/ComCtrls.hpp"
#include "toolkit/CommonDialogs.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/StdCtrls.hpp"
#include "toolkit/TreeView.hpp"

// The record of a file that did not come through the item dialog: its name with extension as
// title, its path, its folder (without a trailing backslash, except a drive's root), no key.
TItemInfo FileToItemInfo(const std::wstring& path);

// The node texts: "key : name", an item's with "《未存在》" before the name when marked.
std::wstring GroupNodeText(const TItemInfo& group);
std::wstring ItemNodeText(const TItemInfo& item, bool missingMark);

class TfmOption : public TForm {
public:
    using Node = TTreeView::Node;

    explicit TfmOption(HWND owner);
    ~TfmOption() override;

    // Appends a group node at the end of the groups with its own copy of the record.
    Node AddGroupToTree(const TItemInfo& info);
    // Appends an item node under the group, with the missing-mark test.
    Node AddItemInfoToTree(const TItemInfo& info, Node group);
    // Releases every node record; the nodes stay.
    void AllTreeDispose() noexcept;
    // The detail labels: the group's, and for kind 1 the item's (other kinds empty them).
    void SetItemInfoToWindow(int kind, const TItemInfo& group, const TItemInfo& item);

    // The editing commands.
    void acAddGroupExecute();
    void acModGroupExecute();
    void acDelGroupExecute();
    void acAddItemExecute();
    void acModItemExecute();
    void acDelItemExecute();
    // F2: changes the selected group or item.
    void acModNodeExecute();
    // Adds a program running now, picked from the list of running processes, to the group.
    void acNowProcessExecute();
    // Runs the item dialog until it is cancelled or gives a key free in the group; an empty
    // FileName in the result means nothing is to be done.
    TItemInfo GetItemInfoFromDialog(const TItemInfo& initial, Node group);
    // True when no item of the group has exactly this key (or there is no group).
    bool ChkDupKey(const std::wstring& key, Node group) const;
    // Files dropped from the shell: each one through its own item dialog into the selected group.
    void WMDROPFILES(HDROP drop);

    void acLoadShellExecute();
    // Writes the catalogue in tree order, then the settings; all or nothing. Returns false
    // (having written nothing) when a hot key is not one letter or digit.
    bool acSaveShellExecute();

    // The appearance and start-up pages to and from a settings record.
    void SetWindowFromEmvData(const TEmvData& data);
    void GetWindowToEmvData(TEmvData& data) const;
    TAppearancePage& Appearance() noexcept { return *appearance_; }
    TStartUpPage& StartUp() noexcept { return *startUp_; }
    void acExpExecute();
    // Runs a command as its menu entry, tool button or shortcut would.
    void RunCommand(int command);

    TTreeView& Tree() noexcept { return *tvShell; }
    // The node record of a node, or nullptr.
    TItemInfo* NodeInfo(Node node) const;
    std::wstring DetailText(const wchar_t* labelName) const;
    TStatusBar& StatusBar() noexcept { return *StatusBar1; }
    TPageControl& Pages() noexcept { return *PageControl1; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;
    void RescaleForDpi(int fromDpi, int toDpi) override;

private:
    // The commands' table (see fmOpt.cpp): a new command is one row there and its handler.
    struct ActionSpec;
    static const ActionSpec kActions[];
    static const ActionSpec* FindAction(int command);
    static std::vector<TToolBar::Button> ToolButtons();
    static void AppendCommand(HMENU menu, const ActionSpec& action, const std::wstring& caption);
    UniqueHmenu NodeMenu(Node node) const;
    void ShowNodeMenu(Node node, POINT at);
    void SaveCommand() { SaveReportingErrors(); }

    void FormCreate();
    // Shows the start-up page with the focus in the first hot-key edit that is not valid;
    // false when there is one.
    Node CollectCatalogue(std::vector<std::vector<TItemInfo>>& groups);
    void ShowSelectedDetails();
    void FormDestroy() noexcept;
    void CreateFrame();
    void CreateFirstPage(TPanel& page);
    void CreateMainMenu();
    void Msg(MSG& msg, bool& handled);
    // The selected node when it is a group (level 0) or an item (level 1) with a record;
    // otherwise nullptr, once the user has been told the message.
    Node SelectedAtLevel(int level, const wchar_t* otherwise) const;
    void BringToFront();
    void AddItemForUser(const TItemInfo& info, Node group);
    void DisplayHint();
    void tvShellChange();
    bool tvShellDragOver(Node target);
    void tvShellDragDrop(Node source, Node target);
    void Button2Click();
    bool SaveReportingErrors();
    void ShowCommandHint(int command);
    void MeasureMenuPicture(MEASUREITEMSTRUCT& item) const;
    void DrawMenuPicture(const DRAWITEMSTRUCT& item) const;

    HIMAGELIST images_ = nullptr;  // owned by imageList_
    UniqueHimagelist imageList_;
    std::unique_ptr<TStatusBar> StatusBar1;
    std::unique_ptr<TPanel> pnBottom;
    std::unique_ptr<TButton> Button1, Button2, Button3;
    std::unique_ptr<TPageControl> PageControl1;
    std::unique_ptr<TPanel> pnToolBar, pnTree, pnDetail;
    std::unique_ptr<TToolBar> ToolBar1;
    std::unique_ptr<TTreeView> tvShell;
    std::vector<std::unique_ptr<TLabel>> detailLabels_;
    std::vector<std::pair<const wchar_t*, TLabel*>> valueLabels_;
    std::unique_ptr<TAppearancePage> appearance_;
    std::unique_ptr<TStartUpPage> startUp_;
    // What the dialog replaced while it exists, given back when it goes.
    std::function<void(MSG&, bool&)> previousFilter_;
    std::function<void()> previousHint_;
    bool loading_ = false;  // the catalogue is being read into the tree
    static constexpr ULONGLONG kServeEveryMs = 100;
};
