#include "toolkit/Graphics.hpp"

#include <cstring>

#include "toolkit/Dpi.hpp"
#include "toolkit/Exceptions.hpp"

TFont::TFont() : name_(L"ＭＳ Ｐゴシック") {}

void TFont::Assign(const TFont& other) {
    if (this == &other) return;
    color_ = other.color_;
    // Keep the GDI font when only the colour differs: lines switch fonts for every character.
    if (name_ == other.name_ && size_ == other.size_ && pixelHeight_ == other.pixelHeight_ &&
        style_ == other.style_ && charset_ == other.charset_ && dpi_ == other.dpi_)
        return;
    name_ = other.name_;
    size_ = other.size_;
    pixelHeight_ = other.pixelHeight_;
    style_ = other.style_;
    charset_ = other.charset_;
    dpi_ = other.dpi_;
    Changed();
}

void TFont::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    Changed();
}

void TFont::SetName(std::wstring name) {
    name_ = std::move(name);
    Changed();
}

void TFont::SetSize(int points) {
    size_ = points;
    Changed();
}

void TFont::SetPixelHeight(int pixels) {
    pixelHeight_ = pixels;
    Changed();
}

void TFont::SetStyle(unsigned styleBits) {
    style_ = styleBits & 0xFF;
    Changed();
}

void TFont::SetCharset(BYTE charset) {
    charset_ = charset;
    Changed();
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    const int dpi = dpi_ ? dpi_ : ScreenDpi();
    lf.lfHeight = pixelHeight_ ? -ScaleToDpi(pixelHeight_, dpi) : -::MulDiv(size_, dpi, 72);
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) != 0;
    lf.lfUnderline = (style_ & fsUnderline) != 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) != 0;
    lf.lfCharSet = charset_;
    lf.lfQuality = DEFAULT_QUALITY;
    // A face name longer than the field is cut; the font mapper then picks the nearest.
    wcsncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::Handle() const {
    if (!handle_) {
        const LOGFONTW lf = LogFont();
        handle_.reset(::CreateFontIndirectW(&lf));
    }
    return handle_.get();
}

// One drawing operation: the DC (the window's, taken for the operation, or the canvas's own)
// with the canvas state applied, put back as it was afterwards.
class TCanvas::Scope {
public:
    explicit Scope(TCanvas& canvas)
        : window_(canvas.dc_ ? nullptr : canvas.window_),
          dc_(canvas.dc_ ? canvas.dc_ : TakeDC(window_)),
          font_(dc_, canvas.Font.Handle()) {
        ::SetBkMode(dc_, canvas.bkMode_);
        ::SetTextColor(dc_, canvas.Font.Color());
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    ~Scope() {
        if (!window_ || !dc_) return;
        ::ReleaseDC(window_, dc_);
        CountHandle(HandleKind::DC, -1);
    }
    HDC dc() const noexcept { return dc_; }

private:
    static HDC TakeDC(HWND window) noexcept {
        HDC dc = ::GetDC(window);
        if (dc) CountHandle(HandleKind::DC, +1);
        return dc;
    }
    HWND window_;
    HDC dc_;
    SelectGuard font_;
};

void TCanvas::TextOut(int x, int y, std::wstring_view text) {
    Scope scope(*this);
    ::TextOutW(scope.dc(), x, y, text.data(), static_cast<int>(text.size()));
}

SIZE TCanvas::TextExtent(std::wstring_view text) {
    Scope scope(*this);
    SIZE size{};
    ::GetTextExtentPoint32W(scope.dc(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    Scope scope(*this);
    UniqueHpen pen(::CreatePen(Pen.Clear ? PS_NULL : PS_SOLID, 1, Pen.Color));
    UniqueHbrush brush(Brush.Clear ? nullptr : ::CreateSolidBrush(Brush.Color));
    SelectGuard selectPen(scope.dc(), pen.get());
    SelectGuard selectBrush(scope.dc(), brush ? static_cast<HGDIOBJ>(brush.get()) : ::GetStockObject(NULL_BRUSH));
    int oldMode = ::SetROP2(scope.dc(), Pen.Mode);
    ::Rectangle(scope.dc(), left, top, right, bottom);
    ::SetROP2(scope.dc(), oldMode);
}

void TCanvas::FillRect(const RECT& rect) {
    Scope scope(*this);
    UniqueHbrush brush(::CreateSolidBrush(Brush.Color));
    ::FillRect(scope.dc(), &rect, brush.get());
}

void TCanvas::DrawIcon(HICON icon, int x, int y, int width, int height) {
    Scope scope(*this);
    ::DrawIconEx(scope.dc(), x, y, icon, width, height, 0, nullptr, DI_NORMAL);
}

TBitmap::TBitmap(int width, int height)
    : width_(width), height_(height), stride_((static_cast<size_t>(width) * 3 + 3) & ~size_t{3}) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB};
    void* bits = nullptr;
    dc_.reset(::CreateCompatibleDC(nullptr));
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_) throw Exception(L"ビットマップを作成できません");
    bits_ = static_cast<uint8_t*>(bits);
    std::memset(bits_, 0xFF, stride_ * height_);
    previous_ = ::SelectObject(dc_.get(), bitmap_.get());
    canvas_.SetHandle(dc_.get());
}

TBitmap::~TBitmap() {
    // The bitmap leaves the DC before either is deleted.
    if (previous_) ::SelectObject(dc_.get(), previous_);
}

UniqueHbitmap DrawnBitmap(int width, int height, COLORREF background, const std::function<void(HDC)>& draw) {
    WindowDC screen(nullptr);
    UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    UniqueHdc dc(::CreateCompatibleDC(screen.get()));
    SelectGuard select(dc.get(), bitmap.get());
    UniqueHbrush fill(::CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    ::FillRect(dc.get(), &all, fill.get());
    draw(dc.get());
    return bitmap;
}
