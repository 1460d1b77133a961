// Controls: the window-less graphic controls painted by their parent, windowed controls of our
// own window classes bound to their C++ object, and the alignment of children in a parent.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Graphics.hpp"
#include "toolkit/Handles.hpp"

enum class TAlign { alNone, alTop, alBottom, alLeft, alClient };

class TWinControl;

class TControl {
public:
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    virtual ~TControl();

    TWinControl* Parent() const noexcept { return parent_; }

    // Position in the parent's client area (a top-level window: on the screen) and size.
    virtual RECT BoundsRect() const = 0;
    virtual void SetBounds(int left, int top, int width, int height) = 0;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const { const RECT r = BoundsRect(); return r.right - r.left; }
    int Height() const { const RECT r = BoundsRect(); return r.bottom - r.top; }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

    // Position and size in 96-DPI units, scaled to the DPI the control is drawn at.
    void SetDesignBounds(int left, int top, int width, int height);
    // The DPI the control is drawn at: its form's (see TForm::Dpi).
    virtual int Dpi() const;

    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign align);

protected:
    TControl() = default;
    // Joins the parent's children (for alignment and, for graphic controls, painting).
    void AttachToParent(TWinControl* parent);
    void DetachFromParent() noexcept;

private:
    std::wstring accessibleName_;
    friend class TWinControl;
    TWinControl* parent_ = nullptr;  // not owned
    TAlign align_ = TAlign::alNone;
};

// A control without a window of its own: its parent paints it.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TWinControl* parent);
    ~TGraphicControl() override;

    RECT BoundsRect() const override { return bounds_; }
    void SetBounds(int left, int top, int width, int height) override;
    // Draws the control on the parent's DC (parent client coordinates).
    virtual void Paint(HDC dc) = 0;
    // True when Paint covers the whole area: the parent then need not erase beneath it.
    virtual bool Opaque() const { return false; }
    // Has the parent repaint the control's area.
    void Invalidate();

private:
    RECT bounds_{};
};

struct WindowParams {
    const wchar_t* className;  // also the name of the window class registered for it
    std::wstring caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int left = 0, top = 0, width = 0, height = 0;
    HWND owner = nullptr;       // top-level windows
    HICON icon = nullptr;       // class icon, borrowed
    HBRUSH background = nullptr;  // class background brush, borrowed
};

// A window bound to this object: of our own class (from WM_NCCREATE to WM_NCDESTROY), or a
// system control (a button, an edit, a tree view ...) subclassed for its lifetime. Parents
// reflect WM_COMMAND and WM_NOTIFY to the child control's object.
class TWinControl : public TControl {
public:
    ~TWinControl() override;

    // The font of the controls in this window: the nearest one set up the parent chain.
    virtual HFONT FontHandle() const;
    int ControlId() const { return ::GetDlgCtrlID(Handle()); }
    void SetFocus() { ::SetFocus(Handle()); }
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // What a screen reader names the control by, where the label before it does not say it.
    void SetAccessibleName(std::wstring name) { accessibleName_ = std::move(name); }
    // The object bound to a window of ours or to a subclassed system control, or nullptr.
    static TWinControl* FromHandle(HWND wnd) noexcept;

    HWND Handle() const noexcept { return handle_.get(); }
    int Dpi() const override;
    RECT BoundsRect() const override;
    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const;
    int ClientHeight() const;

    void Show();
    void Hide();
    bool Visible() const { return ::IsWindowVisible(Handle()) != FALSE; }
    void Invalidate() { ::InvalidateRect(Handle(), nullptr, TRUE); }

    // Lays out the aligned children: top-, bottom- and left-aligned ones from their edges in
    // their order, then the client-aligned ones over what is left.
    void Realign();
    // The children painted by this window, in their order (only the opaque ones if asked).
    void PaintGraphicControls(HDC dc, const RECT& area, bool opaqueOnly = false);
    // Leaves the areas of opaque graphic children out of the DC's clipping region.
    void ExcludeOpaqueGraphicControls(HDC dc) const;

protected:
    TWinControl() = default;
    // Registers the window class (once) and creates the window bound to this object; a child
    // window when parent is given, its position and size then in 96-DPI units.
    void CreateControlWindow(const WindowParams& params, TWinControl* parent = nullptr);
    // Creates a system control (params.className names the system's class) as a child, with a
    // control identifier (a fixed one when given, for IDOK and IDCANCEL) and the parent's font;
    // position and size in 96-DPI units.
    void CreateSystemControl(const WindowParams& params, TWinControl* parent, int id = 0);
    // A WM_COMMAND of this control (reflected by its parent); true when handled.
    virtual bool Command(WPARAM wParam) { return CommandNotify(HIWORD(wParam)); }
    // Its notification code, for controls that need no more.
    virtual bool CommandNotify(WORD) { return false; }
    // A WM_NOTIFY notification of this control; true when handled, with the result.
    virtual bool Notify(NMHDR*, LRESULT&) { return false; }
    // The control's messages; an exception that escapes is reported after the message, which
    // then answers as failed, without its default handling.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // The area aligned children share (a panel leaves its bevels out).
    virtual RECT AlignArea() const;
    static bool IsOwnWindow(HWND wnd) noexcept;
    // Moved to a monitor of another scaling: the children's places and sizes scaled by the
    // ratio of the DPIs, and the ones in the old font given the new one; then each child's
    // RescaleForDpi.
    void ScaleChildren(int fromDpi, int toDpi, HFONT oldFont, HFONT newFont);
    // What a control draws at its DPI besides its place and the form's font (a font of its own,
    // pictures, widths it gave the system's control), made anew once Dpi() answers the new DPI.
    virtual void RescaleForDpi(int /*fromDpi*/, int /*toDpi*/) {}
    // Lets another window of this control (a part it made itself) report to this object.
    void BindPartWindow(HWND part);
    static void UnbindPartWindow(HWND part) noexcept;

private:
    friend class TControl;
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static bool IsSubclassedControl(HWND wnd) noexcept;
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    UniqueHwnd handle_;
    WNDPROC originalProc_ = nullptr;  // a system control's own procedure, once subclassed
    int nextControlId_ = 1000;        // of a form: the identifier its next system control gets
    std::vector<TControl*> children_;  // not owned; they leave the list when they go
};

// A windowed control with its own canvas over its window.
class TCustomControl : public TWinControl {
public:
    TCanvas& Canvas() noexcept { return canvas_; }

protected:
    TCustomControl() = default;
    void CreateControlWindow(const WindowParams& params, TWinControl* parent);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Paints in WM_PAINT; draws nothing unless overridden.
    virtual void Paint() {}

private:
    TCanvas canvas_;
};
