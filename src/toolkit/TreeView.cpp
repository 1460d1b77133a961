#include "toolkit/TreeView.hpp"

#include <cstring>
#include <utility>

#include "toolkit/Dpi.hpp"

namespace {

// The cursor of a drag that can drop here: the arrow with a small sheet at its foot (Windows
// has no system cursor for it). Drawn for the system's cursor size.
UniqueHicon MakeDragCursor() {
    const int size = ::GetSystemMetrics(SM_CXCURSOR);
    auto at = [size](int units) { return ::MulDiv(units, size, 32); };  // on a 32-unit grid
    const POINT arrow[] = {{0, 0}, {0, at(16)}, {at(4), at(12)}, {at(7), at(19)},
                           {at(9), at(18)}, {at(6), at(11)}, {at(11), at(11)}};
    const RECT sheet{at(9), at(20), at(19), at(28)};
    WindowDC screen(nullptr);
    UniqueHbitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
    UniqueHbitmap color(::CreateCompatibleBitmap(screen.get(), size, size));
    UniqueHdc maskDc(::CreateCompatibleDC(screen.get())), colorDc(::CreateCompatibleDC(screen.get()));
    {
        // The mask is white (the screen shows through) but for the shapes; the colour is black
        // but for the shapes: white with a black outline.
        SelectGuard maskBitmap(maskDc.get(), mask.get()), colorBitmap(colorDc.get(), color.get());
        const RECT all{0, 0, size, size};
        ::FillRect(maskDc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::FillRect(colorDc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        for (HDC dc : {maskDc.get(), colorDc.get()}) {
            SelectGuard pen(dc, ::GetStockObject(BLACK_PEN));
            SelectGuard brush(dc, ::GetStockObject(dc == maskDc.get() ? BLACK_BRUSH : WHITE_BRUSH));
            ::Polygon(dc, arrow, static_cast<int>(std::size(arrow)));
            ::Rectangle(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
        }
    }
    ICONINFO info{FALSE, 0, 0, mask.get(), color.get()};
    return UniqueHicon(::CreateIconIndirect(&info));
}

using Node = TTreeView::Node;

Node NextNode(HWND tree, Node node, UINT relation) {
    return reinterpret_cast<Node>(::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
}

// Sorting compares the node texts; each item's lParam is its own handle.
int CALLBACK CompareTexts(LPARAM a, LPARAM b, LPARAM texts) {
    auto& map = *reinterpret_cast<std::unordered_map<Node, std::wstring>*>(texts);
    return ::lstrcmpW(map[reinterpret_cast<Node>(a)].c_str(), map[reinterpret_cast<Node>(b)].c_str());
}

bool IsNavigationKey(WPARAM key) {
    switch (key) {
        case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
        case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: return true;
        default: return false;
    }
}

}  // namespace

TTreeView::TTreeView(TWinControl* parent, TAlign align, const TFont& font) : font_(font) {
    CreateSystemControl({.className = WC_TREEVIEWW,
                         .style = WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                                  TVS_TRACKSELECT | TVS_FULLROWSELECT,
                         .exStyle = WS_EX_CLIENTEDGE},
                        parent);
    RescaleForDpi(0, Dpi());
    SetAlign(align);
}

void TTreeView::RescaleForDpi(int, int toDpi) {
    constexpr int kIndent = 19;  // 96-DPI units
    font_.SetDpi(toDpi);
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
    ::SendMessageW(Handle(), TVM_SETINDENT, ScaleToDpi(kIndent, toDpi), 0);
}

TTreeView::~TTreeView() {
    // The window goes with the control; its records go here.
    records_.clear();
}

TTreeView::Node TTreeView::AddNode(Node parent, const std::wstring& text, std::unique_ptr<NodeRecord> record,
                                   bool expanded) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | (expanded ? TVIF_STATE : 0);
    insert.item.state = insert.item.stateMask = expanded ? TVIS_EXPANDED : 0;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    auto node = reinterpret_cast<Node>(::SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node) return nullptr;
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    item.lParam = reinterpret_cast<LPARAM>(node);
    ::SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (record) records_[node] = std::move(record);
    return node;
}

void TTreeView::DeleteNode(Node node) {
    for (Node child : Children(node)) DeleteNode(child);
    records_.erase(node);
    ::SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void TTreeView::Clear() {
    ::SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    records_.clear();
}

void TTreeView::ReleaseAllRecords() noexcept { records_.clear(); }

TTreeView::NodeRecord* TTreeView::Record(Node node) const {
    auto found = records_.find(node);
    return found == records_.end() ? nullptr : found->second.get();
}

std::wstring TTreeView::NodeText(Node node) const {
    std::wstring text(1024, L'\0');
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    ::SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    text.resize(wcslen(text.c_str()));
    return text;
}

void TTreeView::SetNodeText(Node node, const std::wstring& text) {
    if (NodeText(node) == text) return;
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));

    const Node parent = ParentNode(node);
    std::unordered_map<Node, std::wstring> texts;
    for (Node sibling : Children(parent)) texts[sibling] = NodeText(sibling);
    TVSORTCB sort{parent ? parent : TVI_ROOT, CompareTexts, reinterpret_cast<LPARAM>(&texts)};
    ::SendMessageW(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

int TTreeView::Level(Node node) const {
    int level = 0;
    for (Node parent = ParentNode(node); parent; parent = ParentNode(parent)) ++level;
    return level;
}

TTreeView::Node TTreeView::ParentNode(Node node) const { return NextNode(Handle(), node, TVGN_PARENT); }

std::vector<TTreeView::Node> TTreeView::Children(Node parent) const {
    std::vector<Node> children;
    Node child = parent ? NextNode(Handle(), parent, TVGN_CHILD) : NextNode(Handle(), nullptr, TVGN_ROOT);
    for (; child; child = NextNode(Handle(), child, TVGN_NEXT)) children.push_back(child);
    return children;
}

std::vector<TTreeView::Node> TTreeView::AllNodes() const {
    std::vector<Node> nodes;
    std::function<void(Node)> walk = [&](Node parent) {
        for (Node child : Children(parent)) {
            nodes.push_back(child);
            walk(child);
        }
    };
    walk(nullptr);
    return nodes;
}

TTreeView::Node TTreeView::Selected() const { return NextNode(Handle(), nullptr, TVGN_CARET); }

void TTreeView::Select(Node node) {
    ::SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void TTreeView::Expand(Node node) {
    ::SendMessageW(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
}

void TTreeView::BeginUpdate() {
    if (updates_++ == 0) ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeView::EndUpdate() {
    if (updates_ == 0 || --updates_ > 0) return;
    ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TTreeView::ExpandAll() {
    // Expanding an expanded node changes nothing; asking first spares re-laying the tree out.
    for (Node node : AllNodes())
        if (!(::SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED) & TVIS_EXPANDED))
            Expand(node);
}

TTreeView::Node TTreeView::NodeAt(POINT point) const {
    TVHITTESTINFO hit{};
    hit.pt = point;
    auto node = reinterpret_cast<Node>(::SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & TVHT_ONITEM) ? node : nullptr;
}

RECT TTreeView::TextRect(Node node) const {
    // The message takes the node in the rectangle's place.
    RECT rect{};
    static_assert(sizeof rect >= sizeof node);
    std::memcpy(&rect, &node, sizeof node);
    ::SendMessageW(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

TTreeView::Node TTreeView::CopySubtree(Node node, Node newParent) {
    auto record = records_.find(node);
    std::unique_ptr<NodeRecord> moved;
    if (record != records_.end()) {
        moved = std::move(record->second);
        records_.erase(record);
    }
    const Node copy = AddNode(newParent, NodeText(node), std::move(moved));
    for (Node child : Children(node)) CopySubtree(child, copy);
    return copy;
}

TTreeView::Node TTreeView::MoveNode(Node node, Node newParent) {
    const Node moved = CopySubtree(node, newParent);
    DeleteNode(node);  // its records have moved: nothing is released
    return moved;
}

bool TTreeView::Notify(NMHDR* header, LRESULT& result) {
    result = 0;
    switch (header->code) {
        case TVN_SELCHANGEDW:
            if (OnChange) OnChange();
            return true;
        case NM_DBLCLK:
            if (OnDblClick) OnDblClick();
            return true;
        case NM_RCLICK:
            // Answered here: the control would otherwise send WM_CONTEXTMENU only where the
            // system's control does so.
            if (!OnContextMenu) return false;
            ContextMenu(static_cast<LPARAM>(::GetMessagePos()));
            result = 1;
            return true;
        case TVN_BEGINDRAGW: {
            // Dragging a node selects it, as pressing it would.
            dragSource_ = reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem;
            dragAccepted_ = false;
            dragCursor_ = MakeDragCursor();
            Select(dragSource_);
            ::SetCapture(Handle());
            return true;
        }
        default: return false;
    }
}

LRESULT TTreeView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (dragSource_) {
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        switch (msg) {
            case WM_MOUSEMOVE: {
                const Node target = NodeAt(point);
                dragAccepted_ = OnDragOver && OnDragOver(target, point);
                ::SetCursor(dragAccepted_ && dragCursor_ ? dragCursor_.get() : ::LoadCursorW(nullptr, IDC_NO));
                return 0;
            }
            case WM_LBUTTONUP: EndDrag(true, point); return 0;
            case WM_KEYDOWN:
                if (wParam == VK_ESCAPE) EndDrag(false, point);
                return 0;
            case WM_CAPTURECHANGED: EndDrag(false, point); return 0;
            default: break;
        }
    }
    if (OnContextMenu) {
        // The menu's keys are taken here, on their press, rather than left to the default
        // handling: it opens the menu of the Menu key on its release (and under Wine leaves
        // that menu's window on the screen while a dialog of its command is up), and takes
        // F10 for the dialog's menu bar. Their releases then have nothing left to do.
        const bool shift = ::GetKeyState(VK_SHIFT) & 0x8000;
        const bool menuKey = wParam == VK_APPS || (wParam == VK_F10 && shift);
        if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && menuKey) {
            ContextMenu(-1);
            return 0;
        }
        if ((msg == WM_KEYUP || msg == WM_SYSKEYUP) && menuKey) return 0;
        if (msg == WM_CONTEXTMENU) {
            ContextMenu(lParam);
            return 0;
        }
    }
    if (msg == WM_KEYDOWN && IsNavigationKey(wParam) && !Selected()) {
        // Nodes added while the tree had the focus leave it without a selection, and the
        // control's keys move only from a selected node: the keyboard starts at the first node.
        if (const Node first = NextNode(Handle(), nullptr, TVGN_ROOT)) {
            Select(first);
            return 0;
        }
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

void TTreeView::ContextMenu(LPARAM where) {
    if (where == -1) {
        // From the keyboard: below the selected node's text, or at the tree's corner.
        const Node node = Selected();
        RECT rect{};
        if (node) rect = TextRect(node);
        POINT at{rect.left, node ? rect.bottom : 0};
        ::ClientToScreen(Handle(), &at);
        OnContextMenu(node, at);
        return;
    }
    const POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    POINT client = at;
    ::ScreenToClient(Handle(), &client);
    // The commands are for the node clicked, as in Explorer's tree.
    const Node node = NodeAt(client);
    if (node) Select(node);
    OnContextMenu(node, at);
}

void TTreeView::EndDrag(bool drop, POINT point) {
    const Node source = std::exchange(dragSource_, nullptr);
    if (::GetCapture() == Handle()) ::ReleaseCapture();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));  // before its drag cursor goes
    dragCursor_.reset();
    ::InvalidateRect(Handle(), nullptr, TRUE);  // the drop highlight goes
    if (!drop) return;
    const Node target = NodeAt(point);
    if (dragAccepted_ && OnDragOver && OnDragOver(target, point) && OnDragDrop) OnDragDrop(source, target);
}
