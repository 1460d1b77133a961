// The catalogue page of the options dialog: the tree of groups and items with its tool bar and
// detail rows, the editing commands, drops from the shell and node dragging, the catalogue read
// into the tree and collected from it for the save.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "options/OptionCommands.hpp"
#include "toolkit/ComCtrls.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/StdCtrls.hpp"
#include "toolkit/TreeView.hpp"

// The record of a file that did not come through the item dialog: its name with extension as
// title, its path, its folder (without a trailing backslash, except a drive's root), no key.
TItemInfo FileToItemInfo(const std::wstring& path);

// The node texts: "key : name", an item's with "《未存在》" before the name when marked.
std::wstring GroupNodeText(const TItemInfo& group);
std::wstring ItemNodeText(const TItemInfo& item, bool missingMark);

class TCataloguePage {
public:
    using Node = TTreeView::Node;

    // What the page has from the dialog it is on.
    struct Frame {
        HWND owner;  // the dialog: owner of the page's dialogs, kept from input while the tree fills
        HIMAGELIST images;  // the commands' pictures
        std::vector<TToolBar::Button> toolButtons;
        std::function<void(int command)> runCommand;      // a tool button, a double click
        std::function<void(int command)> showHint;        // the tool button under the pointer (0: none)
        std::function<void(Node, POINT)> showNodeMenu;    // the tree's context menu
    };
    // Makes the page's controls on the page panel; the tree takes files dropped from the shell.
    TCataloguePage(TWinControl& page, Frame frame);

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

    // The stored catalogue into the tree, in place of what it shows.
    void acLoadShellExecute();
    // The tree's groups and items in its order; the first node without a key ends it and is
    // returned (nullptr when there is none).
    Node CollectCatalogue(std::vector<std::vector<TItemInfo>>& groups);
    // A save refused for the node without a key: it is selected and named to the user, the
    // focus in the tree.
    void RefuseKeyless(Node keyless);
    // The tool bar's pictures made anew at another DPI.
    void SetImages(HIMAGELIST images);

    TTreeView& Tree() noexcept { return *tvShell; }
    // The node record of a node, or nullptr.
    TItemInfo* NodeInfo(Node node) const;
    std::wstring DetailText(const wchar_t* labelName) const;

private:
    void CreateControls(TWinControl& page);
    // The selected node when it is a group (level 0) or an item (level 1) with a record;
    // otherwise nullptr, once the user has been told the message.
    Node SelectedAtLevel(int level, const wchar_t* otherwise) const;
    void AddItemForUser(const TItemInfo& info, Node group);
    void BringOwnerToFront();
    void ShowSelectedDetails();
    void tvShellChange();
    bool tvShellDragOver(Node target);
    void tvShellDragDrop(Node source, Node target);

    Frame frame_;
    std::unique_ptr<TPanel> pnToolBar, pnTree, pnDetail;
    std::unique_ptr<TToolBar> ToolBar1;
    std::unique_ptr<TTreeView> tvShell;
    std::vector<std::unique_ptr<TLabel>> detailLabels_;
    std::vector<std::pair<const wchar_t*, TLabel*>> valueLabels_;
    bool loading_ = false;  // the catalogue is being read into the tree
    static constexpr ULONGLONG kServeEveryMs = 100;
};
