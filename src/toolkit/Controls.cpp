#include "toolkit/Controls.hpp"

#include "toolkit/Accessible.hpp"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/Application.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/Exceptions.hpp"

// ---- TControl

TControl::~TControl() { DetachFromParent(); }

void TControl::AttachToParent(TWinControl* parent) {
    DetachFromParent();
    parent_ = parent;
    if (parent_) parent_->children_.push_back(this);
}

void TControl::DetachFromParent() noexcept {
    if (!parent_) return;
    auto& list = parent_->children_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    parent_ = nullptr;
}

void TControl::SetDesignBounds(int left, int top, int width, int height) {
    const int dpi = Dpi();
    SetBounds(ScaleToDpi(left, dpi), ScaleToDpi(top, dpi), ScaleToDpi(width, dpi), ScaleToDpi(height, dpi));
}

int TControl::Dpi() const { return parent_ ? parent_->Dpi() : ScreenDpi(); }

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

// ---- TGraphicControl

TGraphicControl::TGraphicControl(TWinControl* parent) { AttachToParent(parent); }

TGraphicControl::~TGraphicControl() {
    if (Parent() && Parent()->Handle()) ::InvalidateRect(Parent()->Handle(), &bounds_, TRUE);
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    Invalidate();
    bounds_ = {left, top, left + width, top + height};
    Invalidate();
}

void TGraphicControl::Invalidate() {
    if (Parent() && Parent()->Handle()) ::InvalidateRect(Parent()->Handle(), &bounds_, TRUE);
}

// ---- TWinControl

namespace {

// The params with their position and size scaled from 96-DPI units to the parent's DPI.
WindowParams ScaledToParent(const WindowParams& params, const TWinControl* parent) {
    WindowParams scaled = params;
    if (!parent) return scaled;
    const int dpi = parent->Dpi();
    scaled.left = ScaleToDpi(params.left, dpi);
    scaled.top = ScaleToDpi(params.top, dpi);
    scaled.width = ScaleToDpi(params.width, dpi);
    scaled.height = ScaleToDpi(params.height, dpi);
    return scaled;
}

// The property of a part window that names its control's object.
constexpr wchar_t kControlProperty[] = L"Kestrum.Control";
// The property of a subclassed system control that keeps the system's window procedure.
constexpr wchar_t kOriginalProcProperty[] = L"Kestrum.OriginalProc";

void RegisterWindowClass(const WindowParams& params, WNDPROC proc) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (::GetClassInfoExW(instance, params.className, &existing)) return;
    WNDCLASSEXW wc{sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = params.icon;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = params.background;
    wc.lpszClassName = params.className;
    if (!::RegisterClassExW(&wc)) throw Exception(L"ウィンドウクラスを登録できません");
}

}  // namespace

TWinControl::~TWinControl() {
    // Children that outlive this window (graphic controls owned elsewhere) forget it.
    for (TControl* child : std::vector<TControl*>(children_)) child->DetachFromParent();
    if (HWND wnd = handle_.get()) {
        // The derived part is gone: stop dispatching to this object before the window goes.
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        if (originalProc_ && IsSubclassedControl(wnd)) {
            ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
            ::RemovePropW(wnd, kOriginalProcProperty);
        }
    }
}

int TWinControl::Dpi() const {
    if (Parent()) return Parent()->Dpi();  // a child window is drawn at its top-level window's DPI
    return Handle() ? WindowDpi(Handle()) : TControl::Dpi();
}

void TWinControl::CreateSystemControl(const WindowParams& designParams, TWinControl* parent, int id) {
    const WindowParams params = ScaledToParent(designParams, parent);
    AttachToParent(parent);
    // Identifiers count per form (the top-level window), from 1000; IDOK and IDCANCEL are given.
    TWinControl* form = parent;
    while (form->Parent()) form = form->Parent();
    HWND wnd = ::CreateWindowExW(params.exStyle, params.className, params.caption.c_str(),
                                 params.style | WS_CHILD, params.left, params.top, params.width, params.height,
                                 parent->Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id ? id : form->nextControlId_++)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!wnd) throw Exception(L"ウィンドウを作成できません");
    handle_.reset(wnd);
    // Subclassed by replacing the window procedure, the object in the window's user data (the
    // system controls leave it to the program). Not SetWindowSubclass: its dispatcher looks up
    // a window property on every message, and under Wine that is a round trip to the server,
    // which made a tree of some thousand nodes take seconds to fill and walk.
    ::SetPropW(wnd, kOriginalProcProperty, reinterpret_cast<HANDLE>(::GetWindowLongPtrW(wnd, GWLP_WNDPROC)));
    ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    originalProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::SubclassProc)));
    if (HFONT font = parent->FontHandle()) ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    // Without its object (gone first), the window keeps only the system's behaviour.
    const auto original = control ? control->originalProc_
                                  : reinterpret_cast<WNDPROC>(::GetPropW(wnd, kOriginalProcProperty));
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        ::RemovePropW(wnd, kOriginalProcProperty);
        if (control) control->handle_.release();
        return ::CallWindowProcW(original, wnd, msg, wParam, lParam);
    }
    if (!control) return ::CallWindowProcW(original, wnd, msg, wParam, lParam);
    return control->Dispatch(msg, wParam, lParam);
}

void TWinControl::BindPartWindow(HWND part) { ::SetPropW(part, kControlProperty, this); }

void TWinControl::UnbindPartWindow(HWND part) noexcept { ::RemovePropW(part, kControlProperty); }

void TWinControl::ScaleChildren(int fromDpi, int toDpi, HFONT oldFont, HFONT newFont) {
    auto scale = [&](LONG value) { return ::MulDiv(value, toDpi, fromDpi); };
    for (TControl* child : children_) {
        const RECT r = child->BoundsRect();
        child->SetBounds(scale(r.left), scale(r.top), scale(r.right) - scale(r.left), scale(r.bottom) - scale(r.top));
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed) continue;
        if (reinterpret_cast<HFONT>(::SendMessageW(windowed->Handle(), WM_GETFONT, 0, 0)) == oldFont)
            ::SendMessageW(windowed->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(newFont), TRUE);
        windowed->ScaleChildren(fromDpi, toDpi, oldFont, newFont);
        windowed->RescaleForDpi(fromDpi, toDpi);
    }
    // A child aligned to this control got its size when this control was sized, before the
    // child's own width was scaled: the alignment is done again with every width scaled.
    Realign();
}

HFONT TWinControl::FontHandle() const { return Parent() ? Parent()->FontHandle() : nullptr; }

std::wstring TWinControl::Text() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(Handle())) + 1, L'\0');
    text.resize(::GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size())));
    return text;
}

void TWinControl::SetText(const std::wstring& text) { ::SetWindowTextW(Handle(), text.c_str()); }

void TWinControl::CreateControlWindow(const WindowParams& designParams, TWinControl* parent) {
    const WindowParams params = ScaledToParent(designParams, parent);
    RegisterWindowClass(params, &TWinControl::StaticWndProc);
    AttachToParent(parent);
    HWND parentWindow = parent ? parent->Handle() : params.owner;
    DWORD style = params.style | (parent ? WS_CHILD : 0);
    // WM_NCCREATE binds the window to this object.
    HWND wnd = ::CreateWindowExW(params.exStyle, params.className, params.caption.c_str(), style,
                                 params.left, params.top, params.width, params.height, parentWindow,
                                 nullptr, ::GetModuleHandleW(nullptr), this);
    if (!wnd) throw Exception(L"ウィンドウを作成できません");
}

TWinControl* TWinControl::FromHandle(HWND wnd) noexcept {
    if (!wnd) return nullptr;
    if (IsOwnWindow(wnd) || IsSubclassedControl(wnd))
        return reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    return static_cast<TWinControl*>(::GetPropW(wnd, kControlProperty));
}

bool TWinControl::IsOwnWindow(HWND wnd) noexcept {
    return wnd && ::GetWindowLongPtrW(wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWndProc);
}

bool TWinControl::IsSubclassedControl(HWND wnd) noexcept {
    return wnd && ::GetWindowLongPtrW(wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        control->handle_.reset(wnd);
    }
    auto* control = reinterpret_cast<TWinControl*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        if (control) control->handle_.release();
        control = nullptr;
    }
    if (!control) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    return control->Dispatch(msg, wParam, lParam);
}

namespace {
// What a message whose handler failed answers. Its default handling does not run: it would go
// on as if the handler had done its part (a failed WM_CLOSE would destroy the window).
LRESULT FailedMessageResult(HWND wnd, UINT msg) noexcept {
    switch (msg) {
        case WM_NCCREATE: return FALSE;  // the window is not made
        case WM_CREATE: return -1;
        case WM_PAINT: ::ValidateRect(wnd, nullptr); return 0;  // not painted again and again
        default: return 0;
    }
}
}  // namespace

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        return WndProc(msg, wParam, lParam);
    } catch (...) {
        Application->HandleException(std::current_exception());
        return FailedMessageResult(Handle(), msg);
    }
}

bool TWinControl::Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND && lParam) {
        TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
        result = 0;
        return child && child != this && child->Command(wParam);
    }
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        TWinControl* child = FromHandle(header->hwndFrom);
        result = 0;
        return child && child != this && child->Notify(header, result);
    }
    return false;
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE) Realign();
    if (msg == WM_GETOBJECT && !accessibleName_.empty() && static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT)
        if (const LRESULT answer = AccessibleObjectNamed(Handle(), wParam, accessibleName_)) return answer;
    if (LRESULT result; Reflect(msg, wParam, lParam, result)) return result;
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (originalProc_) return ::CallWindowProcW(originalProc_, Handle(), msg, wParam, lParam);
    return ::DefWindowProcW(Handle(), msg, wParam, lParam);
}

RECT TWinControl::BoundsRect() const {
    RECT rect{};
    ::GetWindowRect(Handle(), &rect);
    if (::GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_CHILD)
        ::MapWindowPoints(nullptr, ::GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    ::SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TWinControl::ClientWidth() const {
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    return rect.right;
}

int TWinControl::ClientHeight() const {
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    return rect.bottom;
}

void TWinControl::Show() { ::ShowWindow(Handle(), SW_SHOW); }

void TWinControl::Hide() { ::ShowWindow(Handle(), SW_HIDE); }

RECT TWinControl::AlignArea() const {
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    return rect;
}

void TWinControl::Realign() {
    if (!Handle()) return;
    RECT area = AlignArea();
    for (TControl* child : children_)
        if (child->Align() == TAlign::alTop) {
            const int height = child->Height();
            child->SetBounds(area.left, area.top, area.right - area.left, height);
            area.top += height;
        }
    for (TControl* child : children_)
        if (child->Align() == TAlign::alBottom) {
            const int height = child->Height();
            child->SetBounds(area.left, area.bottom - height, area.right - area.left, height);
            area.bottom -= height;
        }
    for (TControl* child : children_)
        if (child->Align() == TAlign::alLeft) {
            const int width = child->Width();
            child->SetBounds(area.left, area.top, width, area.bottom - area.top);
            area.left += width;
        }
    for (TControl* child : children_)
        if (child->Align() == TAlign::alClient)
            child->SetBounds(area.left, area.top, std::max(0L, area.right - area.left),
                             std::max(0L, area.bottom - area.top));
}

void TWinControl::PaintGraphicControls(HDC dc, const RECT& area, bool opaqueOnly) {
    for (TControl* child : children_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(child);
        RECT bounds = child->BoundsRect(), overlap;
        if (!graphic || (opaqueOnly && !graphic->Opaque()) || !::IntersectRect(&overlap, &bounds, &area)) continue;
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
        graphic->Paint(dc);
        ::RestoreDC(dc, saved);
    }
}

void TWinControl::ExcludeOpaqueGraphicControls(HDC dc) const {
    for (const TControl* child : children_) {
        const auto* graphic = dynamic_cast<const TGraphicControl*>(child);
        if (!graphic || !graphic->Opaque()) continue;
        const RECT bounds = graphic->BoundsRect();
        ::ExcludeClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
}

// ---- TCustomControl

void TCustomControl::CreateControlWindow(const WindowParams& params, TWinControl* parent) {
    TWinControl::CreateControlWindow(params, parent);
    canvas_.SetWindow(Handle());
}

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PaintDC paint(Handle());
        Paint();
        return 0;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}
