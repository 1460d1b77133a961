#include "display/clsLineMgr.hpp"

#include <shellapi.h>

#include <utility>

#include "data/clsShellIniFiles.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/ShellApi.hpp"

namespace {

constexpr UINT_PTR kTypingTimer = 1;
constexpr int kTextTop = 1;
constexpr int kTextStart = 2;  // 96-DPI units, as the gaps below
constexpr int kCharGap = 2;
constexpr int kIconGap = 5;
constexpr int kRightMargin = 10;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Length in UTF-16 units of the character at pos.
size_t CharLength(std::wstring_view text, size_t pos) {
    return IsHighSurrogate(text[pos]) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1]) ? 2 : 1;
}

}  // namespace

std::vector<std::wstring_view> SplitChars(std::wstring_view text) {
    std::vector<std::wstring_view> chars;
    chars.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = CharLength(text, pos);
        chars.push_back(text.substr(pos, length));
        pos += length;
    }
    return chars;
}

int CharCount(std::wstring_view text) {
    int count = 0;
    for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) ++count;
    return count;
}

TLineMgr::TLineMgr(TWinControl* parent) : TLineDataMgr(parent) { SetWidth(0); }

TLineMgr::~TLineMgr() { StopTimer(); }

void TLineMgr::StopTimer() noexcept {
    ::KillTimer(Handle(), kTypingTimer);
    if (std::exchange(timerRunning_, false)) CountHandle(HandleKind::Timer, -1);
}

LRESULT TLineMgr::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kTypingTimer) WMTimer();
            return 0;
        case WM_MOUSEMOVE:
            if (!trackingMouse_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                trackingMouse_ = ::TrackMouseEvent(&track) != FALSE;
                CMMouseEnter();
            }
            return TLineDataMgr::WndProc(msg, wParam, lParam);
        case WM_MOUSELEAVE:
            trackingMouse_ = false;
            CMMouseLeave();
            return 0;
        default: return TLineDataMgr::WndProc(msg, wParam, lParam);
    }
}

void TLineMgr::SetSelected(bool selected) {
    Selected = selected;
    EraseLine();
    DrawHighlight();
    DrawLine();
}

void TLineMgr::EraseLine() {
    if (!Parent()) return;
    const RECT rect = BoundsRect();
    ::InvalidateRect(Parent()->Handle(), &rect, TRUE);
    ::UpdateWindow(Parent()->Handle());
}

bool FileMissing(const std::wstring& fileName) { return !fileName.empty() && ShowsMissingMark(fileName); }

bool TLineMgr::FileMissing() {
    if (!missing_) missing_ = ::FileMissing(FileName);
    return *missing_;
}

void TLineMgr::DrawHighlight() {
    TCanvas& canvas = Canvas();
    canvas.SetBkMode(TRANSPARENT);
    if (HighContrast) {
        // The system's highlight, solid: what shows through a blend may be any colour.
        if (Selected || MouseIn) {
            canvas.Brush = {::GetSysColor(COLOR_HIGHLIGHT), false};
            canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
        }
        return;
    }
    if (Selected || MouseIn) {
        canvas.Brush = {HighlightColor, false};
        // Every pixel becomes the highlight AND what is there: yellow keeps red and green.
        canvas.Pen = {HighlightColor, false, R2_MASKPEN};
    } else {
        canvas.Brush.Clear = true;
        canvas.Pen.Clear = true;
    }
    canvas.Pen.Color = canvas.Brush.Color;
    canvas.Rectangle(0, 0, ClientWidth(), ClientHeight());
}

void TLineMgr::DrawIcon() {
    if (Plain) return;
    // The shell is asked once per line, not at every redraw, hover and selection.
    if (iconOf_ != FileName) {
        icon_.reset(LookUpFileIcon(FileName));  // a network path: its type's icon, the share untouched
        iconOf_ = FileName;
    }
    if (icon_) Canvas().DrawIcon(icon_.get(), 0, 0, Height(), Height());
    XPos += Height() + ScaleToDpi(kIconGap, Dpi());
}

void TLineMgr::DrawChar(int x, int y, std::wstring_view character) {
    if (Halted) return;
    TCanvas& canvas = Canvas();
    canvas.SetBkMode(TRANSPARENT);
    // The raised look: a white copy up-left and a black copy down-right, then the character
    // itself, all three in the character's own font. (Copies in the previous character's font
    // left a large dark ghost behind a selected line's first character when the normal font
    // is the larger.)
    if (const TFont* font = Selected ? SelectLineFont : LineFont) canvas.Font.Assign(*font);
    if (HighContrast) {
        const int role = Selected || MouseIn ? COLOR_HIGHLIGHTTEXT : FileMissing() ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
        canvas.Font.SetColor(::GetSysColor(role));
        canvas.TextOut(x, y, character);
        return;
    }
    const COLORREF color = canvas.Font.Color();
    canvas.Font.SetColor(RGB(255, 255, 255));
    canvas.TextOut(x - 1, y - 1, character);
    canvas.Font.SetColor(RGB(0, 0, 0));
    canvas.TextOut(x + 1, y + 1, character);
    canvas.Font.SetColor(color);
    canvas.TextOut(x, y, character);
}

void TLineMgr::BeginTyping() {
    Halted = false;
    if (LineFont) Canvas().Font.Assign(*LineFont);
    text_ = LineText();
    const int parentWidth = Parent() ? Parent()->ClientWidth() : 0;
    // The height of one line of text does not grow with its length: a long name is measured
    // by its beginning.
    constexpr size_t kMeasured = 4096;
    SetBounds(Left(), Top(), parentWidth - ScaleToDpi(kRightMargin, Dpi()),
              Canvas().TextHeight(std::wstring_view(text_).substr(0, kMeasured)) + 2);
    EraseLine();
    chars_ = SplitChars(text_);
    Typing = true;
    DrawHighlight();
    CharIndex = 0;
    XPos = ScaleToDpi(kTextStart, Dpi());
    // Starting again replaces a running timer (same identifier).
    TimerID = ::SetTimer(Handle(), kTypingTimer, static_cast<UINT>(TypeInterval), nullptr);
    if (TimerID && !std::exchange(timerRunning_, true)) CountHandle(HandleKind::Timer, +1);
}

void TLineMgr::EndTyping() {
    StopTimer();
    TimerID = 0;
    Typing = false;
    if (OnTyped) OnTyped(LineIndex);
}

void TLineMgr::WMTimer() {
    if (CharIndex == 0) {
        DrawIcon();
        CharIndex = 1;
    }
    Canvas().SetBkMode(TRANSPARENT);
    const int count = static_cast<int>(chars_.size());
    if (count < CharIndex || XPos > Width()) {
        EndTyping();
        return;
    }
    const std::wstring_view character = chars_[CharIndex - 1];
    DrawChar(XPos, kTextTop, character);
    XPos += Canvas().TextWidth(character) + ScaleToDpi(kCharGap, Dpi());
    ++CharIndex;
}

void TLineMgr::DrawLine() {
    StopTimer();
    XPos = ScaleToDpi(kTextStart, Dpi());
    DrawIcon();
    Canvas().SetBkMode(TRANSPARENT);
    const int gap = ScaleToDpi(kCharGap, Dpi());
    for (std::wstring_view character : chars_) {
        if (Halted) return;
        // What starts beyond the right edge would be clipped away: a name of any length is
        // drawn in the time its visible part takes.
        if (XPos > Width()) break;
        DrawChar(XPos, kTextTop, character);
        XPos += Canvas().TextWidth(character) + gap;
    }
    if (Typing) EndTyping();
}

void TLineMgr::CMMouseEnter() {
    MouseIn = true;
    EraseLine();
    DrawHighlight();
    DrawLine();
}

void TLineMgr::CMMouseLeave() {
    MouseIn = false;
    EraseLine();
    DrawHighlight();
    DrawLine();
}
