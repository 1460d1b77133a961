#include "toolkit/ExtCtrls.hpp"

#include "toolkit/Dpi.hpp"

// ---- TPanel

TPanel::TPanel(TWinControl* parent, const Params& params)
    : bevelOuter_(params.bevelOuter),
      bevelInner_(params.bevelInner),
      bevelWidth_(params.bevelWidth),
      borderWidth_(params.borderWidth),
      color_(::GetSysColor(COLOR_BTNFACE)) {
    CreateControlWindow({.className = L"TPanel",
                         .caption = params.caption,
                         .style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                         .exStyle = WS_EX_CONTROLPARENT,  // Tab reaches the controls on it
                         .left = params.left, .top = params.top,
                         .width = params.width, .height = params.height},
                        parent);
    SetAlign(params.align);
}

void TPanel::SetColor(COLORREF color) {
    color_ = color;
    Invalidate();
}

RECT TPanel::AlignArea() const {
    RECT area = TWinControl::AlignArea();
    const int inset = (bevelOuter_ != TBevelCut::bvNone ? bevelWidth_ : 0) +
                      (bevelInner_ != TBevelCut::bvNone ? bevelWidth_ : 0) + ScaleToDpi(borderWidth_, Dpi());
    ::InflateRect(&area, -inset, -inset);
    return area;
}

void TPanel::PaintBevels(HDC dc) const {
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    for (TBevelCut cut : {bevelOuter_, bevelInner_}) {
        if (cut == TBevelCut::bvNone) continue;
        const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_BTNSHADOW);
        const COLORREF topLeft = cut == TBevelCut::bvRaised ? light : dark;
        const COLORREF bottomRight = cut == TBevelCut::bvRaised ? dark : light;
        for (int i = 0; i < bevelWidth_; ++i) {
            UniqueHbrush tl(::CreateSolidBrush(topLeft)), br(::CreateSolidBrush(bottomRight));
            RECT top{rect.left, rect.top, rect.right - 1, rect.top + 1};
            RECT left{rect.left, rect.top, rect.left + 1, rect.bottom - 1};
            RECT bottom{rect.left, rect.bottom - 1, rect.right, rect.bottom};
            RECT right{rect.right - 1, rect.top, rect.right, rect.bottom};
            ::FillRect(dc, &top, tl.get());
            ::FillRect(dc, &left, tl.get());
            ::FillRect(dc, &bottom, br.get());
            ::FillRect(dc, &right, br.get());
            ::InflateRect(&rect, -1, -1);
        }
    }
}

void TPanel::PaintCaption(HDC dc) const {
    const std::wstring caption = Text();
    if (caption.empty()) return;
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    SelectGuard font(dc, FontHandle() ? static_cast<HGDIOBJ>(FontHandle()) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            // A picture that covers its place is drawn here as well as in the paint: a window
            // being shown is erased at once, and its first frame on the screen can come before
            // the paint (under Wine it does), showing the picture's place still black.
            HDC dc = reinterpret_cast<HDC>(wParam);
            const int saved = ::SaveDC(dc);
            ExcludeOpaqueGraphicControls(dc);
            RECT rect{};
            ::GetClientRect(Handle(), &rect);
            UniqueHbrush brush(::CreateSolidBrush(color_));
            ::FillRect(dc, &rect, brush.get());
            ::RestoreDC(dc, saved);
            PaintGraphicControls(dc, rect, true);
            return 1;
        }
        case WM_PAINT: {
            PaintDC paint(Handle());
            PaintBevels(paint.get());
            PaintCaption(paint.get());
            PaintGraphicControls(paint.get(), paint.area());
            return 0;
        }
        default: return TWinControl::WndProc(msg, wParam, lParam);
    }
}

// ---- TImage

void TImage::Paint(HDC dc) {
    if (!picture_) return;
    const RECT r = BoundsRect();
    ::BitBlt(dc, r.left, r.top, picture_->Width(), picture_->Height(), picture_->DC(), 0, 0, SRCCOPY);
}

bool TImage::Opaque() const {
    return picture_ && picture_->Width() >= Width() && picture_->Height() >= Height();
}

TBitmap& TImage::Picture() {
    if (!picture_ || picture_->Width() != Width() || picture_->Height() != Height())
        picture_ = std::make_unique<TBitmap>(Width(), Height());
    return *picture_;
}
