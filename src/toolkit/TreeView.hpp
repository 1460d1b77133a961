// A tree view whose nodes each own one record, with node dragging inside the tree.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/Controls.hpp"
#include "toolkit/Graphics.hpp"

class TTreeView : public TWinControl {
public:
    // The record a node owns; released with the node (or by ReleaseAllRecords).
    struct NodeRecord {
        virtual ~NodeRecord() = default;
    };
    using Node = HTREEITEM;

    TTreeView(TWinControl* parent, TAlign align, const TFont& font);
    ~TTreeView() override;

    // Appends a node at the end of the parent's children (nullptr: a top-level node).
    // expanded: the node shows the children it gets (as Expand does, without a message per node).
    Node AddNode(Node parent, const std::wstring& text, std::unique_ptr<NodeRecord> record, bool expanded = false);
    // Deletes the node with its children, releasing their records.
    void DeleteNode(Node node);
    // Deletes every node.
    void Clear();
    // Releases every node's record; the nodes stay, without records.
    void ReleaseAllRecords() noexcept;
    // Number of records alive.
    size_t RecordCount() const noexcept { return records_.size(); }

    NodeRecord* Record(Node node) const;
    std::wstring NodeText(Node node) const;
    // Sets the text; when it differs from before, the node's siblings are sorted by their texts
    // (lstrcmp), and only then.
    void SetNodeText(Node node, const std::wstring& text);
    int Level(Node node) const;
    Node ParentNode(Node node) const;
    std::vector<Node> Children(Node parent) const;  // nullptr: the top-level nodes
    std::vector<Node> AllNodes() const;              // in tree order
    Node Selected() const;
    void Select(Node node);
    void ExpandAll();
    void Expand(Node node);
    // Redrawing off while many nodes come and go: the tree is laid out and painted once, when
    // the last of the nested updates ends.
    void BeginUpdate();
    void EndUpdate();
    // The node at a point of the client area, or nullptr.
    Node NodeAt(POINT point) const;
    RECT TextRect(Node node) const;
    // Moves the node (with its children and records) to the end of the new parent's children;
    // returns the node in its new place.
    Node MoveNode(Node node, Node newParent);

    const TFont& Font() const noexcept { return font_; }

    std::function<void()> OnChange;
    std::function<void()> OnDblClick;
    // A right click, the Menu key or Shift+F10: the node it is for (a right-clicked node is
    // selected first; nullptr for the empty part of the tree) and where the menu goes on the screen.
    std::function<void(Node node, POINT screen)> OnContextMenu;
    // While a node is dragged over the tree: the node under the pointer (may be nullptr);
    // return true to accept a drop there.
    std::function<bool(Node target, POINT point)> OnDragOver;
    // The dragged node was dropped on an accepted target.
    std::function<void(Node source, Node target)> OnDragDrop;

protected:
    bool Notify(NMHDR* header, LRESULT& result) override;
    void RescaleForDpi(int fromDpi, int toDpi) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void EndDrag(bool drop, POINT point);
    void ContextMenu(LPARAM where);
    Node CopySubtree(Node node, Node newParent);

    TFont font_;
    int updates_ = 0;  // nested BeginUpdate calls not yet ended
    std::unordered_map<Node, std::unique_ptr<NodeRecord>> records_;
    Node dragSource_ = nullptr;
    bool dragAccepted_ = false;
    UniqueHicon dragCursor_;  // while a node is dragged
};

// BeginUpdate for a scope.
class TTreeUpdate {
public:
    explicit TTreeUpdate(TTreeView& tree) : tree_(tree) { tree_.BeginUpdate(); }
    ~TTreeUpdate() { tree_.EndUpdate(); }
    TTreeUpdate(const TTreeUpdate&) = delete;
    TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
    TTreeView& tree_;
};
