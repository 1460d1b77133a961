#include "toolkit/ComCtrls.hpp"

#include "toolkit/Dpi.hpp"

// ---- TPageControl

TPageControl::TPageControl(TWinControl* parent, TAlign align) {
    CreateSystemControl({.className = WC_TABCONTROLW,
                         .style = WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                         .exStyle = WS_EX_CONTROLPARENT},  // Tab reaches the controls of the page
                        parent);
    SetAlign(align);
}

TPanel& TPageControl::AddPage(const std::wstring& caption, int borderWidth) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    const int index = static_cast<int>(pages_.size());
    ::SendMessageW(Handle(), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    pages_.push_back(std::make_unique<TPanel>(this, TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                  .borderWidth = borderWidth}));
    PlacePages();
    SetActivePageIndex(ActivePageIndex());
    return *pages_.back();
}

int TPageControl::ActivePageIndex() const {
    const int index = static_cast<int>(::SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
    return index < 0 ? 0 : index;
}

void TPageControl::SetActivePageIndex(int index) {
    ::SendMessageW(Handle(), TCM_SETCURSEL, index, 0);
    for (int i = 0; i < PageCount(); ++i) ::ShowWindow(pages_[i]->Handle(), i == index ? SW_SHOW : SW_HIDE);
}

void TPageControl::PlacePages() {
    RECT area{};
    ::GetClientRect(Handle(), &area);
    ::SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (auto& page : pages_)
        page->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

bool TPageControl::Notify(NMHDR* header, LRESULT& result) {
    if (header->code != TCN_SELCHANGE) return false;
    SetActivePageIndex(ActivePageIndex());
    result = 0;
    return true;
}

LRESULT TPageControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
    if (msg == WM_SIZE) PlacePages();
    return result;
}

// ---- TToolBar

TToolBar::TToolBar(TWinControl* parent, HIMAGELIST images, SIZE buttonSize, const std::vector<Button>& buttons)
    : buttonSize_(buttonSize) {
    CreateSystemControl({.className = TOOLBARCLASSNAMEW,
                         .style = WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                                  CCS_NOPARENTALIGN},
                        parent);
    ::SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetImages(images);
    std::vector<TBBUTTON> items;
    for (const Button& b : buttons) {
        TBBUTTON item{};
        item.iBitmap = b.command ? b.image : 6;  // a separator's width
        item.idCommand = b.command;
        item.fsState = TBSTATE_ENABLED;
        item.fsStyle = b.command ? BTNS_BUTTON : BTNS_SEP;
        items.push_back(item);
    }
    ::SendMessageW(Handle(), TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data()));
}

void TToolBar::SetImages(HIMAGELIST images) {
    ::SendMessageW(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    ::SendMessageW(Handle(), TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(ScaleToDpi(buttonSize_.cx, Dpi()), ScaleToDpi(buttonSize_.cy, Dpi())));
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool TToolBar::Command(WPARAM wParam) {
    if (OnButton) OnButton(LOWORD(wParam));
    return true;
}

bool TToolBar::Notify(NMHDR* header, LRESULT& result) {
    if (header->code != TBN_HOTITEMCHANGE || !OnHotButton) return false;
    auto* change = reinterpret_cast<NMTBHOTITEM*>(header);
    OnHotButton((change->dwFlags & HICF_LEAVING) ? 0 : change->idNew);
    result = 0;
    return true;
}

// ---- TStatusBar

TStatusBar::TStatusBar(TWinControl* parent, int height, int panelWidth) : panelWidth_(panelWidth) {
    CreateSystemControl({.className = STATUSCLASSNAMEW,
                         .style = WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER,
                         .height = height},
                        parent);
    RescaleForDpi(0, Dpi());
    SetAlign(TAlign::alBottom);
}

void TStatusBar::RescaleForDpi(int, int toDpi) {
    int parts[] = {ScaleToDpi(panelWidth_, toDpi)};  // one panel; the bar beyond it stays plain
    ::SendMessageW(Handle(), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
}

void TStatusBar::SetPanelText(int panel, const std::wstring& text) {
    ::SendMessageW(Handle(), SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring TStatusBar::PanelText(int panel) const {
    const int length = LOWORD(::SendMessageW(Handle(), SB_GETTEXTLENGTHW, panel, 0));
    std::wstring text(length + 1, L'\0');
    ::SendMessageW(Handle(), SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

// ---- TListView

TListView::TListView(TWinControl* parent, const RECT& r) {
    CreateSystemControl({.className = WC_LISTVIEWW,
                         .style = WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                  LVS_SHAREIMAGELISTS,  // the image list stays its owner's
                         .exStyle = WS_EX_CLIENTEDGE,
                         .left = r.left, .top = r.top, .width = r.right - r.left, .height = r.bottom - r.top},
                        parent);
    ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void TListView::FillWidthWithLastColumn() {
    const int count = Header_GetItemCount(ListView_GetHeader(Handle()));
    if (count > 0) ListView_SetColumnWidth(Handle(), count - 1, LVSCW_AUTOSIZE_USEHEADER);
}

void TListView::AddColumn(const std::wstring& caption, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    column.cx = ScaleToDpi(width, Dpi());
    const int count = Header_GetItemCount(ListView_GetHeader(Handle()));
    ::SendMessageW(Handle(), LVM_INSERTCOLUMNW, count, reinterpret_cast<LPARAM>(&column));
}

int TListView::AddItem(const std::wstring& caption, int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.iImage = image;
    return static_cast<int>(::SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void TListView::SetSmallImages(HIMAGELIST images) {
    ::SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void TListView::RescaleForDpi(int fromDpi, int toDpi) {
    if (fromDpi <= 0) return;
    const int count = Header_GetItemCount(ListView_GetHeader(Handle()));
    for (int column = 0; column < count; ++column)
        ListView_SetColumnWidth(Handle(), column, ::MulDiv(ListView_GetColumnWidth(Handle(), column), toDpi, fromDpi));
}

bool TListView::Notify(NMHDR* header, LRESULT& result) {
    if (header->code != NM_DBLCLK || reinterpret_cast<NMITEMACTIVATE*>(header)->iItem < 0) return false;
    result = 0;
    if (OnRowDblClick) OnRowDblClick();
    return true;
}

int TListView::Count() const { return static_cast<int>(::SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

std::wstring TListView::ItemCaption(int index) const {
    std::wstring text(32768, L'\0');
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = ::SendMessageW(Handle(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<size_t>(length));
    return text;
}

int TListView::ItemImage(int index) const {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    ::SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

int TListView::SelectedIndex() const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::Select(int index) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(Handle(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}
