// One line of a keyed list display: the entry's shell icon and the text key + " : " + name,
// typed out one character per timer tick with an embossed look, highlighted when selected or
// under the mouse pointer. Everything is drawn straight onto the screen through the line's
// window; the line is erased by having its parent repaint its area.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/clsCharLine.hpp"
#include "toolkit/Graphics.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/Strings.hpp"

// The text split into characters: one Unicode code point each, so a surrogate pair (like a
// double-byte character) is never cut in two.
std::vector<std::wstring_view> SplitChars(std::wstring_view text);
int CharCount(std::wstring_view text);
// Whether the file an entry starts is missing; an entry without one (a group) never is.
bool FileMissing(const std::wstring& fileName);

class TLineMgr : public TLineDataMgr {
public:
    explicit TLineMgr(TWinControl* parent);
    ~TLineMgr() override;

    void SetHighlightColor(COLORREF color) noexcept { HighlightColor = color; }
    void SetTypeInterval(int milliseconds) noexcept { TypeInterval = milliseconds; }
    void SetLineFont(const TFont* font) noexcept { LineFont = font; }
    void SetSelectLineFont(const TFont* font) noexcept { SelectLineFont = font; }
    void SetHalted(bool halted) noexcept { Halted = halted; }
    void SetOnTyped(TLineIndexEvent handler) { OnTyped = std::move(handler); }
    // A line of text alone: no key, no icon (a hint where the catalogue has nothing to show).
    void SetPlain(bool plain) noexcept { Plain = plain; }
    // Drawn in the system's colours: no emboss, the highlight and its text as Windows has them.
    void SetHighContrast(bool on) noexcept { HighContrast = on; }
    // Whether the entry's file is missing (looked at once).
    bool FileMissing();
    void SetSelected(bool selected);

    // Sizes the line, splits its text and starts typing it out.
    void BeginTyping();
    // Draws the icon and every character at once; ends a running typing.
    void DrawLine();
    // Has the parent repaint the line's area at once.
    void EraseLine();

    std::wstring LineText() const { return Plain ? DispName : KeyLabel(Key, DispName); }

    COLORREF HighlightColor = 0;
    int TypeInterval = 1;
    const TFont* LineFont = nullptr;        // the display's
    const TFont* SelectLineFont = nullptr;  // the display's
    bool Selected = false;
    bool Halted = false;
    bool Plain = false;
    bool HighContrast = false;
    UINT_PTR TimerID = 0;
    bool Typing = false;
    int CharIndex = 0;  // 1-based number of the next character; 0: the icon is not drawn yet
    int XPos = 0;
    TLineIndexEvent OnTyped;

    // The characters of the last BeginTyping.
    const std::vector<std::wstring_view>& Chars() const noexcept { return chars_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawHighlight();
    void DrawChar(int x, int y, std::wstring_view character);
    void DrawIcon();
    void WMTimer();
    void CMMouseEnter();
    void CMMouseLeave();
    void EndTyping();
    void StopTimer() noexcept;

    UniqueHicon icon_;     // the file's icon, looked up once for the file name below
    std::optional<std::wstring> iconOf_;  // none until looked up
    std::optional<bool> missing_;         // likewise
    std::wstring text_;  // the text the characters point into
    std::vector<std::wstring_view> chars_;
    bool trackingMouse_ = false;
    bool timerRunning_ = false;
};
