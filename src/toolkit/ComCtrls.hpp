// Common controls: page control, tree view, tool bar, status bar and image lists.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Controls.hpp"
#include "toolkit/ExtCtrls.hpp"

using UniqueHimagelist = Unique<HIMAGELIST, &::ImageList_Destroy, HandleKind::ImageList>;

// Tabs with one page (a panel) per tab; the page of the selected tab is shown.
class TPageControl : public TWinControl {
public:
    TPageControl(TWinControl* parent, TAlign align);
    // Appends a page with its tab caption; the page keeps the border free for its children.
    TPanel& AddPage(const std::wstring& caption, int borderWidth);
    int PageCount() const noexcept { return static_cast<int>(pages_.size()); }
    TPanel& Page(int index) const { return *pages_.at(index); }
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);

protected:
    bool Notify(NMHDR* header, LRESULT& result) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void PlacePages();
    std::vector<std::unique_ptr<TPanel>> pages_;
};

// A tool bar of flat buttons showing pictures of an image list; a press sends the button's
// command to OnButton.
class TToolBar : public TWinControl {
public:
    struct Button {
        int command;  // 0 makes a separator
        int image;
    };
    TToolBar(TWinControl* parent, HIMAGELIST images, SIZE buttonSize, const std::vector<Button>& buttons);
    // Pictures for the buttons made anew (at another DPI); the buttons sized again.
    void SetImages(HIMAGELIST images);
    std::function<void(int command)> OnButton;
    // The button under the pointer changed: its command, or 0 when none.
    std::function<void(int command)> OnHotButton;

protected:
    bool Command(WPARAM wParam) override;
    bool Notify(NMHDR* header, LRESULT& result) override;

private:
    SIZE buttonSize_;  // 96-DPI units
};

// A report-style list with whole-row selection and small images from a shared image list.
class TListView : public TWinControl {
public:
    TListView(TWinControl* parent, const RECT& bounds);
    void AddColumn(const std::wstring& caption, int width);  // 96-DPI units
    // The last column takes the width the list has left (no scroll bar for nothing).
    void FillWidthWithLastColumn();
    // Appends a row; returns its index.
    int AddItem(const std::wstring& caption, int image);
    int Count() const;
    std::wstring ItemCaption(int index) const;
    int ItemImage(int index) const;
    // The selected row, -1 when none.
    int SelectedIndex() const;
    void Select(int index);
    // The rows' small pictures; the list's owner keeps owning them.
    void SetSmallImages(HIMAGELIST images);
    // A double click on a row (which the click has selected).
    std::function<void()> OnRowDblClick;

protected:
    bool Notify(NMHDR* header, LRESULT& result) override;
    void RescaleForDpi(int fromDpi, int toDpi) override;
};

class TStatusBar : public TWinControl {
public:
    // A bar at the bottom with one panel of the width.
    TStatusBar(TWinControl* parent, int height, int panelWidth);
    void SetPanelText(int panel, const std::wstring& text);
    std::wstring PanelText(int panel) const;

protected:
    void RescaleForDpi(int fromDpi, int toDpi) override;

private:
    int panelWidth_;  // 96-DPI units
};
