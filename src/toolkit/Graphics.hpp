// Fonts, canvases and 24-bit bitmaps over GDI.
#pragma once

#include <windows.h>

#include <functional>

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/Handles.hpp"

// Font style bit set: the integer value stored in the settings.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font description; its GDI font is made when first needed and kept until an attribute
// other than the colour changes.
class TFont {
public:
    TFont();
    TFont(const TFont& other) { Assign(other); }
    TFont& operator=(const TFont& other) {
        Assign(other);
        return *this;
    }

    // Face, size, style, colour and character set of the other font.
    void Assign(const TFont& other);

    const std::wstring& Name() const noexcept { return name_; }
    int Size() const noexcept { return size_; }  // points
    // Character height in 96-DPI pixels instead of a size in points (0: the size counts).
    int PixelHeight() const noexcept { return pixelHeight_; }
    void SetPixelHeight(int pixels);
    // The DPI the font is drawn at (0, at first: the screen's).
    int Dpi() const noexcept { return dpi_; }
    void SetDpi(int dpi);
    unsigned Style() const noexcept { return style_; }
    COLORREF Color() const noexcept { return color_; }
    BYTE Charset() const noexcept { return charset_; }

    void SetName(std::wstring name);
    void SetSize(int points);
    void SetStyle(unsigned styleBits);  // only the low byte counts
    void SetColor(COLORREF color) noexcept { color_ = color; }
    void SetCharset(BYTE charset);

    HFONT Handle() const;  // owned by the font
    // The font as the system describes it, its height in pixels at its DPI.
    LOGFONTW LogFont() const;

private:
    void Changed() noexcept { handle_.reset(); }
    std::wstring name_;
    int size_ = 9;
    int pixelHeight_ = 0;
    int dpi_ = 0;
    unsigned style_ = 0;
    COLORREF color_ = 0;
    BYTE charset_ = DEFAULT_CHARSET;
    mutable UniqueHfont handle_;
};

// Drawing state and operations on a device context. A canvas over a window takes the window's
// DC for each operation and gives it back; a canvas over a memory or screen DC uses that one.
class TCanvas {
public:
    struct BrushState {
        COLORREF Color = RGB(255, 255, 255);
        bool Clear = false;
    };
    struct PenState {
        COLORREF Color = 0;
        bool Clear = false;
        int Mode = R2_COPYPEN;
    };

    TCanvas() = default;
    explicit TCanvas(HWND window) noexcept : window_(window) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Draws on this window, taking its DC for each operation (borrowed).
    void SetWindow(HWND window) noexcept { window_ = window; }
    // Draws on this DC from now on (borrowed; nullptr detaches).
    void SetHandle(HDC dc) noexcept { dc_ = dc; }
    HDC Handle() const noexcept { return dc_; }

    TFont Font;
    BrushState Brush;
    PenState Pen;
    void SetBkMode(int mode) noexcept { bkMode_ = mode; }

    void TextOut(int x, int y, std::wstring_view text);
    SIZE TextExtent(std::wstring_view text);
    int TextWidth(std::wstring_view text) { return TextExtent(text).cx; }
    int TextHeight(std::wstring_view text) { return TextExtent(text).cy; }
    // Outline with the pen and fill with the brush, both through the pen mode.
    void Rectangle(int left, int top, int right, int bottom);
    // Fills with the brush colour.
    void FillRect(const RECT& rect);
    void DrawIcon(HICON icon, int x, int y, int width, int height);

private:
    class Scope;
    HWND window_ = nullptr;  // borrowed
    HDC dc_ = nullptr;       // borrowed
    int bkMode_ = OPAQUE;
};

// A 24-bit bitmap with row access; new bitmaps are white.
class TBitmap {
public:
    TBitmap(int width, int height);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // Bytes of one row including the padding to a multiple of 4.
    size_t Stride() const noexcept { return stride_; }
    uint8_t* ScanLine(int row) noexcept { return bits_ + stride_ * row; }
    uint8_t* Bits() noexcept { return bits_; }
    TCanvas& Canvas() noexcept { return canvas_; }
    HDC DC() const noexcept { return dc_.get(); }

private:
    int width_, height_;
    size_t stride_;
    uint8_t* bits_ = nullptr;  // owned by the section
    UniqueHdc dc_;
    UniqueHbitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    TCanvas canvas_;
};

// A picture of the screen's format, filled with the background and then drawn by the function
// through a memory DC (released before the picture is returned).
UniqueHbitmap DrawnBitmap(int width, int height, COLORREF background, const std::function<void(HDC)>& draw);
