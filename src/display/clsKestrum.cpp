#include "display/clsKestrum.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/SystemLook.hpp"

namespace {

constexpr int kBandCount = 102;
constexpr int kLineLeft = 10;      // 96-DPI units, as every length of the layout
constexpr int kFirstLineTop = 10;

BYTE BandComponent(int from, int to, int band) {
    return static_cast<BYTE>(from + std::lround(static_cast<double>(to - from) / 101.0 * band));
}

}  // namespace

int BandHeight(int displayHeight) noexcept {
    const int height = displayHeight / 101;
    return height > 0 ? height : 1;
}

COLORREF BandColor(COLORREF top, COLORREF bottom, int band) noexcept {
    return RGB(BandComponent(GetRValue(top), GetRValue(bottom), band),
               BandComponent(GetGValue(top), GetGValue(bottom), band),
               BandComponent(GetBValue(top), GetBValue(bottom), band));
}

void PaintGradient(TBitmap& bitmap, COLORREF top, COLORREF bottom) {
    TCanvas& canvas = bitmap.Canvas();
    top = ::GetNearestColor(bitmap.DC(), top);
    bottom = ::GetNearestColor(bitmap.DC(), bottom);
    const int width = bitmap.Width(), height = bitmap.Height(), band = BandHeight(height);
    for (int i = 0; i < kBandCount && i * band < height; ++i) {
        canvas.Brush.Color = BandColor(top, bottom, i);
        canvas.FillRect({0, i * band, width, (i + 1) * band});
    }
    if (kBandCount * band < height) {
        canvas.Brush.Color = BandColor(top, bottom, kBandCount - 1);
        canvas.FillRect({0, kBandCount * band, width, height});
    }
}

void BlendRows(uint8_t* snapshot, const uint8_t* gradient, size_t stride, int rows) noexcept {
    const size_t words = stride / 4;
    for (int row = 0; row < rows; ++row) {
        uint8_t* s = snapshot + stride * row;
        const uint8_t* g = gradient + stride * row;
        for (size_t w = 0; w < words; ++w) {
            uint32_t sw, gw;
            std::memcpy(&sw, s + w * 4, 4);
            std::memcpy(&gw, g + w * 4, 4);
            sw = sw - ((sw >> 1) & 0x7F7F7F7Fu) + ((gw >> 1) & 0x7F7F7F7Fu);
            std::memcpy(s + w * 4, &sw, 4);
        }
    }
}

void BlendGradientRows(uint8_t* bits, size_t stride, int width, int height, COLORREF top, COLORREF bottom) {
    // One row of the gradient (its padding 0, as in a fresh section), made anew when the band
    // changes and blended into every row of that band.
    std::vector<uint8_t> gradientRow(stride, 0);
    const int band = BandHeight(height);
    int rowBand = -1;
    for (int row = 0; row < height; ++row) {
        if (const int b = std::min(row / band, kBandCount - 1); b != rowBand) {
            rowBand = b;
            const COLORREF color = BandColor(top, bottom, b);
            for (int x = 0; x < width; ++x) {
                gradientRow[x * 3] = GetBValue(color);
                gradientRow[x * 3 + 1] = GetGValue(color);
                gradientRow[x * 3 + 2] = GetRValue(color);
            }
        }
        BlendRows(bits + stride * row, gradientRow.data(), stride, 1);
    }
}

TKestrum::TKestrum(TWinControl* parent) : TImage(parent) { SetAlign(TAlign::alClient); }

TKestrum::~TKestrum() { DestroyLines(); }

void TKestrum::DestroyLines() {
    // What the lines covered is painted again once, after they have all gone.
    RECT covered{};
    for (auto& line : lines_) {
        const RECT rect = line->BoundsRect();
        ::UnionRect(&covered, &covered, &rect);
        line.reset();
    }
    lines_.clear();
    entries_.clear();
    text_.clear();
    if (Parent() && !::IsRectEmpty(&covered)) {
        ::InvalidateRect(Parent()->Handle(), &covered, TRUE);
        ::UpdateWindow(Parent()->Handle());
    }
}

int TKestrum::LineCapacity() const {
    constexpr int kSmallestLineHeight = 3;
    const int height = Height() > 0 ? Height() : ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return (std::max(0, height - ScaleToDpi(kFirstLineTop, Dpi())) + kSmallestLineHeight - 1) / kSmallestLineHeight;
}

void TKestrum::LoadLines(int group) {
    DestroyLines();
    TShellIniFile catalogue;
    const int count = group == 0 ? catalogue.GetGroupCount() : catalogue.GetItemCount(group);
    const int withLines = std::min(count, LineCapacity());
    entries_.reserve(count);
    lines_.reserve(withLines);
    for (int i = 0; i < count; ++i) {
        TItemInfo& info = entries_.emplace_back();
        if (group == 0) catalogue.ReadItemInfo(i + 1, 0, info);
        else catalogue.ReadItemInfo(group, i + 1, info);
        if (i >= withLines) continue;
        TLineMgr& line = AddLine(i);
        line.SetKey(info.Key);
        line.SetDispName(info.Name);
        line.SetFileName(info.FileName);
    }
}

void TKestrum::LoadText(const std::wstring& text) {
    DestroyLines();
    TLineMgr& line = AddLine(0);
    line.SetPlain(true);
    line.SetDispName(text);
    text_ = text;
}

bool TKestrum::EntryMissing(int index) {
    // A line looks once; an entry out of sight is looked at when asked.
    if (index < static_cast<int>(lines_.size())) return lines_[index]->FileMissing();
    return FileMissing(entries_.at(index).FileName);
}

void TKestrum::ApplySystemLook() {
    HighContrast = CurrentSystemLook().highContrast;
    for (auto& line : lines_) line->SetHighContrast(HighContrast);
}

void TKestrum::FollowSystemLook(UINT message) {
    const bool highContrast = CurrentSystemLook().highContrast;
    if (highContrast != HighContrast || (message == WM_SYSCOLORCHANGE && highContrast)) SystemLookChanged();
}

void TKestrum::SystemLookChanged() {
    if (HighContrast && !CurrentSystemLook().highContrast) {
        screenCanvas_.reset();
        screenDC_.reset();
    }
    DrawBackground();
    if (Parent()) ::UpdateWindow(Parent()->Handle());
    if (lines_.empty() || lines_.front()->Height() == 0) return;
    DrawAllLines();
    // The repaint took the highlight away.
    if (SelectIndex >= 0 && SelectIndex < static_cast<int>(lines_.size())) lines_[SelectIndex]->SetSelected(true);
}

TLineMgr& TKestrum::AddLine(int index) {
    auto line = std::make_unique<TLineMgr>(Parent());
    line->SetContena(this);
    line->SetLeft(ScaleToDpi(kLineLeft, Dpi()));
    line->SetLineIndex(index);
    line->SetOnLineClick([this](int clicked) { LineClicked(clicked); });
    line->SetLineFont(&LineFont);
    line->SetSelectLineFont(&SelectLineFont);
    line->SetHighlightColor(HighlightColor);
    line->SetTypeInterval(TypeInterval);
    line->SetHighContrast(HighContrast);
    line->SetOnTyped([this](int typed) { LineTyped(typed); });
    lines_.push_back(std::move(line));
    return *lines_.back();
}

void TKestrum::SetLineFont(TFont& font) {
    font.SetCharset(DEFAULT_CHARSET);
    LineFont.Assign(font);
    for (auto& line : lines_) line->SetLineFont(&LineFont);
}

void TKestrum::SetSelectLineFont(TFont& font) {
    font.SetCharset(DEFAULT_CHARSET);
    SelectLineFont.Assign(font);
    for (auto& line : lines_) line->SetSelectLineFont(&SelectLineFont);
}

void TKestrum::SetHighlightColor(COLORREF color) {
    HighlightColor = color;
    for (auto& line : lines_) line->SetHighlightColor(color);
}

void TKestrum::SetTypeInterval(int milliseconds) {
    TypeInterval = milliseconds;
    for (auto& line : lines_) line->SetTypeInterval(milliseconds);
}

void TKestrum::OpenScreenCanvas() {
    if (!screenCanvas_) screenCanvas_ = std::make_unique<TCanvas>();
    UniqueHdc screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    screenCanvas_->SetHandle(screen.get());
    screenDC_ = std::move(screen);  // the context held before is released
}

POINT TKestrum::ParentScreenPosition() const {
    // The sum of the positions up to the form, whose position is on the screen.
    POINT pos{0, 0};
    for (const TWinControl* control = Parent(); control; control = control->Parent()) {
        const RECT bounds = control->BoundsRect();
        pos.x += bounds.left;
        pos.y += bounds.top;
    }
    return pos;
}

void TKestrum::DrawBackground() {
    ApplySystemLook();
    const int width = Width(), height = Height();
    if (width <= 0 || height <= 0) return;  // nothing to paint
    // The screen goes straight into the picture, which is then blended in place, row by row.
    TBitmap& picture = Picture();
    if (HighContrast) {
        picture.Canvas().Brush = {::GetSysColor(COLOR_WINDOW), false};
        picture.Canvas().FillRect({0, 0, width, height});
        Invalidate();
        return;
    }
    if (screenCanvas_ && screenCanvas_->Handle()) {
        const POINT at = ParentScreenPosition();
        ::BitBlt(picture.DC(), 0, 0, width, height, screenCanvas_->Handle(), at.x, at.y, SRCCOPY);
    } else {
        std::memset(picture.Bits(), 0xFF, picture.Stride() * height);  // as a fresh bitmap
    }
    ::GdiFlush();
    BlendGradientRows(picture.Bits(), picture.Stride(), width, height, TopColor, BottomColor);
    Invalidate();
}

void TKestrum::StartTyping() {
    Typing = true;
    animate_ = CurrentSystemLook().animations;
    for (auto& line : lines_) line->EraseLine();
    if (!animate_) {
        // Each line put in its place before it is sized and drawn whole: a line moved after
        // drawing would carry its pixels along.
        for (size_t i = 0; i < lines_.size(); ++i) {
            TLineMgr& line = *lines_[i];
            line.SetTop(i == 0 ? ScaleToDpi(kFirstLineTop, Dpi()) : lines_[i - 1]->Top() + lines_[i - 1]->Height());
            line.BeginTyping();
            line.DrawLine();
        }
        Typing = false;
        return;
    }
    if (!lines_.empty()) {
        lines_.front()->SetTop(ScaleToDpi(kFirstLineTop, Dpi()));
        lines_.front()->BeginTyping();
    }
}

void TKestrum::LineTyped(int index) {
    if (!animate_) return;  // StartTyping draws the lines itself
    if (index < static_cast<int>(lines_.size()) - 1) {
        TLineMgr& current = *lines_[index];
        TLineMgr& next = *lines_[index + 1];
        next.SetTop(current.Top() + current.Height());
        next.BeginTyping();
    } else {
        Typing = false;
    }
}

void TKestrum::DrawAllLines() {
    for (size_t i = 0; i < lines_.size(); ++i) {
        TLineMgr& line = *lines_[i];
        line.SetTop(i == 0 ? ScaleToDpi(kFirstLineTop, Dpi()) : lines_[i - 1]->Top() + lines_[i - 1]->Height());
        line.DrawLine();
    }
    Typing = false;
}

void TKestrum::StopTyping() {
    if (!Typing) return;
    for (auto& line : lines_) {
        line->SetTypeInterval(0);
        line->SetHalted(true);
    }
}

void TKestrum::EraseLines() {
    for (auto& line : lines_) line->EraseLine();
}

int TKestrum::FindKey(const std::wstring& key) const {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const TItemInfo& entry) { return entry.Key == key; });
    return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

void TKestrum::SelectLine(int index) {
    const int lineCount = static_cast<int>(lines_.size());
    // A selection left over from before a reload may point past the lines, and an entry out of
    // sight has none: nothing to unmark then.
    const bool hasSelectedLine = SelectIndex >= 0 && SelectIndex < lineCount;
    if (index == -1 && SelectIndex >= 0) {
        if (hasSelectedLine) lines_[SelectIndex]->SetSelected(false);
        SelectIndex = -1;
    }
    if (index < 0 || index >= EntryCount()) return;
    if (SelectIndex >= 0 && hasSelectedLine) lines_[SelectIndex]->SetSelected(false);
    SelectIndex = index;
    if (index < lineCount) lines_[index]->SetSelected(true);
    if (OnSelectChange) OnSelectChange(SelectIndex);
}
