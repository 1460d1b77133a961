// A keyed list display: the groups of the catalogue, or the items of one group, as lines typed
// out one after another over a tinted-glass background (a vertical gradient blended half and
// half with a snapshot of the screen behind the display).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "display/clsLineMgr.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Graphics.hpp"

// The gradient: 102 bands of this height (the display's height div 101, at least 1).
int BandHeight(int displayHeight) noexcept;
// The colour of band 0 ... 101, from top (band 0) to bottom (band 101).
COLORREF BandColor(COLORREF top, COLORREF bottom, int band) noexcept;
// Paints the gradient bands into the bitmap, and the bottom colour below the last band.
void PaintGradient(TBitmap& bitmap, COLORREF top, COLORREF bottom);
// Blends the gradient into the snapshot, every 32-bit word of every row including its padding:
// per byte ceil(s / 2) + floor(g / 2), with no carry into the neighbouring byte.
void BlendRows(uint8_t* snapshot, const uint8_t* gradient, size_t stride, int rows) noexcept;
// The two above in one pass over a 24-bit picture holding the snapshot: each row blended with its
// band's colour, byte for byte what painting the gradient and blending it gives.
void BlendGradientRows(uint8_t* bits, size_t stride, int width, int height, COLORREF top, COLORREF bottom);

class TKestrum : public TImage {
public:
    // A display that fills its parent.
    explicit TKestrum(TWinControl* parent);
    ~TKestrum() override;

    // Replaces the lines with fresh ones read from the catalogue: group number 0 for the list
    // of groups, n for the items of group n. Draws nothing. Every entry can be found and
    // selected by its key, but only the entries that could be seen get a line (a window each):
    // a catalogue of thousands would otherwise take seconds to show.
    void LoadLines(int group);
    // Replaces the lines with one line of text that has no key and no icon. Draws nothing.
    void LoadText(const std::wstring& text);
    // The number of entries loaded (lines or not), and each one whole, whatever its line shows.
    int EntryCount() const noexcept { return static_cast<int>(entries_.size()); }
    const TItemInfo& Entry(int index) const { return entries_.at(index); }
    bool EntryMissing(int index);
    // The line of text LoadText made, if any.
    const std::wstring& Text() const noexcept { return text_; }
    // Copy the font (after setting its character set to DEFAULT_CHARSET).
    void SetLineFont(TFont& font);
    void SetSelectLineFont(TFont& font);
    void SetTopColor(COLORREF color) noexcept { TopColor = color; }
    void SetBottomColor(COLORREF color) noexcept { BottomColor = color; }
    void SetHighlightColor(COLORREF color);
    void SetTypeInterval(int milliseconds);
    void SetOnSelectChange(TLineIndexEvent handler) { OnSelectChange = std::move(handler); }

    // Prepares the screen canvas for the snapshot.
    void OpenScreenCanvas();
    // Paints the gradient blended with the snapshot into the display's picture; in high
    // contrast the system's window colour alone.
    void DrawBackground();
    // Windows' look changed (high contrast, colours): the background and every line drawn
    // again in it. A snapshot taken before is of no use then: the glass goes until the next showing.
    void SystemLookChanged();
    // The same for the window's WM_SETTINGCHANGE or WM_SYSCOLORCHANGE, when it changes what the
    // display draws: contrast turned on or off, or the system's colours while in high contrast.
    void FollowSystemLook(UINT message);
    // Erases all lines and types them out one after another from the top (draws them at once
    // when the user turned Windows' animations off).
    void StartTyping();
    // Stacks all lines and draws each at once; the typing ends.
    void DrawAllLines();
    // Switches character drawing off in all lines while a typing runs.
    void StopTyping();
    void EraseLines();
    // Index of the first entry whose key is the text (case matters), -1 when none.
    int FindKey(const std::wstring& key) const;
    // Selects the entry (and marks its line, if it has one), or clears the selection with -1;
    // reports a selection.
    void SelectLine(int index);

    const std::vector<std::unique_ptr<TLineMgr>>& Lines() const noexcept { return lines_; }
    TLineMgr& Line(int index) const { return *lines_.at(index); }
    // Where the display's parent lies on the screen: the sum of the positions up to the form.
    POINT ParentScreenPosition() const;

    int TypeInterval = 0;
    COLORREF HighlightColor = 0;
    TFont LineFont;
    COLORREF TopColor = 0;
    COLORREF BottomColor = 0;
    TFont SelectLineFont;
    int SelectIndex = -1;
    bool Typing = false;
    bool HighContrast = false;
    TLineIndexEvent OnSelectChange;

private:
    void LineClicked(int index) { SelectLine(index); }
    void LineTyped(int index);
    void DestroyLines();
    TLineMgr& AddLine(int index);
    void ApplySystemLook();
    // How many lines the display's height can show at most: every line is at least 3 pixels
    // high (its text and one pixel above and below).
    int LineCapacity() const;

    std::vector<std::unique_ptr<TLineMgr>> lines_;
    std::vector<TItemInfo> entries_;  // every entry loaded
    std::wstring text_;
    bool animate_ = true;  // the lines of the last StartTyping type out
    std::unique_ptr<TCanvas> screenCanvas_;
    UniqueHdc screenDC_;  // the screen canvas's
};
