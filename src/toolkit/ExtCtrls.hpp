// Panels and the picture control.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Controls.hpp"
#include "toolkit/Graphics.hpp"

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A container that paints its colour, its bevels and its graphic children.
class TPanel : public TWinControl {
public:
    struct Params {
        int left = 0, top = 0, width = 0, height = 0;
        TBevelCut bevelOuter = TBevelCut::bvRaised;
        TBevelCut bevelInner = TBevelCut::bvNone;
        int bevelWidth = 1;
        TAlign align = TAlign::alNone;
        int borderWidth = 0;  // space kept free inside the bevels for aligned children
        std::wstring caption;  // drawn in the middle
    };
    TPanel(TWinControl* parent, const Params& params);

    COLORREF Color() const noexcept { return color_; }
    void SetColor(COLORREF color);

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    RECT AlignArea() const override;

private:
    void PaintBevels(HDC dc) const;
    void PaintCaption(HDC dc) const;
    TBevelCut bevelOuter_, bevelInner_;
    int bevelWidth_;
    int borderWidth_;
    COLORREF color_;
};

// A control that shows a bitmap on its parent.
class TImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Paint(HDC dc) override;
    bool Opaque() const override;
    // The picture, made white in the control's size when first asked for (or when the size
    // has changed since).
    TBitmap& Picture();

private:
    std::unique_ptr<TBitmap> picture_;
};
