// The line controls and the keyed list display on a real window, driven with messages; what
// they draw is read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "display/clsKestrum.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/SystemLook.hpp"

namespace {

constexpr int kFormLeft = 100, kFormTop = 80, kFormWidth = 480, kFormHeight = 360;
constexpr COLORREF kTop = RGB(40, 60, 120), kBottom = RGB(90, 30, 60);
constexpr COLORREF kLineColor = RGB(0, 0, 255), kSelectColor = RGB(255, 0, 0);
constexpr int kNoTicks = 1000000;  // a typing interval that never fires: tests send the ticks

class HostForm : public TForm {
public:
    HostForm() {
        CreateFormWindow({.className = L"KestrumDisplayHost", .style = WS_POPUP,
                          .exStyle = WS_EX_TOPMOST, .left = kFormLeft, .top = kFormTop,
                          .width = kFormWidth, .height = kFormHeight});
        panel = std::make_unique<TPanel>(this, TPanel::Params{.width = kFormWidth, .height = kFormHeight,
                                                              .bevelOuter = TBevelCut::bvNone,
                                                              .align = TAlign::alClient});
        Realign();
        Show();
        ::UpdateWindow(Handle());
    }
    std::unique_ptr<TPanel> panel;
};

struct Entry {
    std::wstring key, name, file;
};

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniFilePathForTests(dir.File(L"Kestrum.INI"));
        Catalogue({{L"1", L"ツール", L""}, {L"2", L"空のグループ", L""}, {L"3", L"Games", L""}},
                  {{L"N", L"Notepad", L"C:\\windows\\notepad.exe"}, {L"R", L"レジストリ", L""}});
        display = std::make_unique<TKestrum>(host.panel.get());
        TFont normal, selected;
        normal.SetName(L"ＭＳ Ｐゴシック");
        normal.SetSize(14);
        normal.SetColor(kLineColor);
        selected.Assign(normal);
        selected.SetStyle(fsBold);
        selected.SetColor(kSelectColor);
        display->SetHighlightColor(RGB(255, 255, 0));
        display->SetTypeInterval(kNoTicks);
        display->SetLineFont(normal);
        display->SetSelectLineFont(selected);
        display->SetTopColor(kTop);
        display->SetBottomColor(kBottom);
        display->SetOnSelectChange([this](int index) { reports.push_back(index); });
        display->DrawBackground();
        ::UpdateWindow(host.panel->Handle());
    }
    void TearDown() override {
        display.reset();
        SetIniFilePathForTests(L"");
        SetSystemLookForTests(std::nullopt);
    }

    // Writes groups (the first one holding the items) into the catalogue.
    void Catalogue(const std::vector<Entry>& groups, const std::vector<Entry>& firstGroupItems) {
        TShellIniFile catalogue;
        catalogue.EraseData();
        for (size_t g = 0; g < groups.size(); ++g)
            catalogue.WriteItemInfo({groups[g].key, groups[g].name, groups[g].file}, int(g) + 1, 0);
        for (size_t i = 0; i < firstGroupItems.size(); ++i)
            catalogue.WriteItemInfo({firstGroupItems[i].key, firstGroupItems[i].name, firstGroupItems[i].file},
                                    1, int(i) + 1);
    }
    // One tick of the line's typing timer, as the system would deliver it.
    static void Tick(TLineMgr& line) { ::SendMessageW(line.Handle(), WM_TIMER, 1, 0); }
    // One tick for the line being typed; false when no line is typing.
    bool TickTypingLine() {
        for (auto& line : display->Lines())
            if (line->Typing) {
                Tick(*line);
                return true;
            }
        return false;
    }
    // Ticks the lines of the display until its typing ends; returns the number of ticks.
    int TickUntilTyped() {
        int ticks = 0;
        while (display->Typing && ticks < 100000 && TickTypingLine()) ++ticks;
        return ticks;
    }
    // The colour on the screen at a point of the panel.
    COLORREF PanelPixel(int x, int y) {
        WindowDC dc(host.panel->Handle());
        return ::GetPixel(dc.get(), x, y);
    }

    TempDir dir;
    HostForm host;
    std::unique_ptr<TKestrum> display;
    std::vector<int> reports;
};

// What a background pixel is when nothing was snapshot: white blended with the gradient.
COLORREF BlendedWithWhite(COLORREF c) {
    return RGB(128 + GetRValue(c) / 2, 128 + GetGValue(c) / 2, 128 + GetBValue(c) / 2);
}

}  // namespace

TEST_F(DisplayTest, LoadsGroupsOrItemsFromTheCatalogueWithoutDrawing) {
    display->LoadLines(0);
    ASSERT_EQ(display->Lines().size(), 3u);
    EXPECT_EQ(display->Line(1).Key, L"2");
    EXPECT_EQ(display->Line(1).DispName, L"空のグループ");
    EXPECT_EQ(display->Line(2).LineIndex, 2);
    EXPECT_EQ(display->Line(0).LineText(), L"1 : ツール");
    EXPECT_EQ(display->Line(0).Width(), 0) << "no size before typing";
    EXPECT_EQ(display->Line(0).Left(), 10);

    display->LoadLines(1);
    ASSERT_EQ(display->Lines().size(), 2u);
    EXPECT_EQ(display->Line(0).FileName, L"C:\\windows\\notepad.exe");
    EXPECT_EQ(display->FindKey(L"R"), 1);
    EXPECT_EQ(display->FindKey(L"r"), -1) << "keys compare exactly";

    display->LoadLines(2);
    EXPECT_TRUE(display->Lines().empty());
    EXPECT_EQ(display->FindKey(L"N"), -1);
}

TEST_F(DisplayTest, EntriesOutOfSightHaveNoLineButTheirKeysStillSelectThem) {
    std::vector<std::vector<TItemInfo>> groups;
    for (int g = 0; g < 2000; ++g) groups.push_back({{g == 1999 ? L"Z" : L"1", L"group"}});
    TShellIniFile().WriteCatalogue(groups);
    display->LoadLines(0);
    EXPECT_EQ(display->EntryCount(), 2000);
    const size_t lines = display->Lines().size();
    EXPECT_GE(lines, size_t(kFormHeight / 3) - 4) << "every line that a small font could show";
    EXPECT_LE(lines, size_t(kFormHeight / 3) + 1);
    ASSERT_EQ(display->FindKey(L"Z"), 1999);
    display->SelectLine(1999);
    display->SelectLine(0);
    EXPECT_EQ(reports, (std::vector<int>{1999, 0}));
    EXPECT_TRUE(display->Line(0).Selected);
}

TEST_F(DisplayTest, FindKeyGivesTheFirstOfEqualKeys) {
    Catalogue({{L"1", L"a", L""}, {L"5", L"b", L""}, {L"5", L"c", L""}}, {});
    display->LoadLines(0);
    EXPECT_EQ(display->FindKey(L"5"), 1);
}

TEST_F(DisplayTest, ALineOfNCharactersEndsOnTickNPlusOneAndReportsOnce) {
    Catalogue({{L"1", L"ab×ｱ漢", L""}}, {});  // half- and full-width, double-byte in the file
    display->LoadLines(0);
    TLineMgr& line = display->Line(0);
    int typed = 0;
    line.SetOnTyped([&](int) { ++typed; });
    display->StartTyping();
    ASSERT_TRUE(line.Typing);
    const int n = CharCount(line.LineText());
    ASSERT_EQ(n, 9);  // "1 : " and five characters
    EXPECT_EQ(line.Height(), line.Canvas().TextHeight(line.LineText()) + 2);
    EXPECT_EQ(line.Width(), host.panel->ClientWidth() - 10);

    Tick(line);
    EXPECT_EQ(line.CharIndex, 2) << "the first tick draws the icon and the first character";
    const int firstCharX = 2 + line.Height() + 5;
    EXPECT_EQ(line.XPos, firstCharX + line.Canvas().TextWidth(L"1") + 2);
    for (int tick = 2; tick <= n; ++tick) Tick(line);
    EXPECT_TRUE(line.Typing) << "after n ticks the line still waits for its last tick";
    EXPECT_EQ(typed, 0);
    Tick(line);
    EXPECT_FALSE(line.Typing);
    EXPECT_EQ(typed, 1);
    EXPECT_EQ(line.TimerID, 0u);
}

TEST_F(DisplayTest, CharactersAreCodePointsNeverHalves) {
    const std::wstring text = L"A\xD834\xDD1E" L"ｶ漢\xD800";
    auto chars = SplitChars(text);
    ASSERT_EQ(chars.size(), 5u);
    EXPECT_EQ(chars[1], std::wstring_view(L"\xD834\xDD1E"));
    EXPECT_EQ(chars[2], std::wstring_view(L"ｶ"));
    EXPECT_EQ(chars[4], std::wstring_view(L"\xD800")) << "a lone surrogate at the end is one character";
    EXPECT_EQ(CharCount(text), 5);
    EXPECT_EQ(CharCount(L"1 : "), 4);
}

TEST_F(DisplayTest, ATextWiderThanTheLineEndsTypingAtTheEdgeAndDrawLineDrawsWhatShows) {
    Catalogue({{L"1", std::wstring(300, L'W'), L""}}, {});
    display->LoadLines(0);
    TLineMgr& line = display->Line(0);
    display->StartTyping();
    const int ticks = TickUntilTyped();
    EXPECT_LT(ticks, 300) << "typing ends once the next character would start beyond the edge";
    EXPECT_GT(line.XPos, line.Width());
    line.DrawLine();
    // Everything up to the edge is drawn; what would start beyond it is clipped, so not drawn.
    EXPECT_GT(line.XPos, line.Width());
    EXPECT_LE(line.XPos, line.Width() + line.Canvas().TextWidth(L"W") + 2);
}

TEST_F(DisplayTest, TheRealTimerTypesEveryLineOneAfterAnother) {
    display->SetTypeInterval(1);
    display->LoadLines(0);
    display->StartTyping();
    ASSERT_TRUE(WaitFor([&] { return !display->Typing; }));
    for (size_t i = 0; i < display->Lines().size(); ++i) {
        const TLineMgr& line = display->Line(int(i));
        EXPECT_FALSE(line.Typing);
        EXPECT_EQ(line.Top(), i == 0 ? 10 : display->Line(int(i) - 1).Top() + display->Line(int(i) - 1).Height());
    }
}

TEST_F(DisplayTest, DrawAllLinesInTheMiddleOfTypingCompletesAndStacksEveryLine) {
    std::vector<Entry> ten;
    for (int i = 0; i < 10; ++i) ten.push_back({std::to_wstring(i), L"Group " + std::to_wstring(i), L""});
    Catalogue(ten, {});
    display->LoadLines(0);
    display->StartTyping();
    while (!display->Line(2).Typing) ASSERT_TRUE(TickTypingLine());
    Tick(display->Line(2));  // the third line is partly typed
    display->DrawAllLines();
    EXPECT_FALSE(display->Typing);
    for (int i = 0; i < 10; ++i) {
        const TLineMgr& line = display->Line(i);
        EXPECT_FALSE(line.Typing) << i;
        EXPECT_GT(line.Height(), 2) << i;
        EXPECT_EQ(line.Top(), i == 0 ? 10 : display->Line(i - 1).Top() + display->Line(i - 1).Height()) << i;
        EXPECT_EQ(line.TimerID, 0u) << i;
    }
}

TEST_F(DisplayTest, HaltedLinesDrawNothingMoreButStillFinishByCount) {
    display->LoadLines(0);
    display->StopTyping();
    EXPECT_FALSE(display->Line(0).Halted) << "no typing runs: nothing changes";

    display->StartTyping();
    TLineMgr& line = display->Line(0);
    Tick(line);
    Tick(line);
    display->StopTyping();
    EXPECT_TRUE(line.Halted);
    EXPECT_EQ(line.TypeInterval, 0);
    const COLORREF before = PanelPixel(line.Left() + line.XPos + 3, line.Top() + line.Height() / 2);
    const int charIndex = line.CharIndex;
    TickUntilTyped();
    EXPECT_GT(line.CharIndex, charIndex) << "the ticks still count";
    EXPECT_FALSE(display->Typing) << "and the typing still ends, line after line";
    EXPECT_EQ(PanelPixel(line.Left() + line.XPos - 3, line.Top() + line.Height() / 2), before)
        << "nothing was drawn after the halt";
}

TEST_F(DisplayTest, SelectLineReportsOnlyNewSelections) {
    display->LoadLines(0);
    display->StartTyping();
    TickUntilTyped();
    display->SelectLine(-1);
    EXPECT_TRUE(reports.empty());
    display->SelectLine(1);
    display->SelectLine(1);
    EXPECT_EQ(reports, (std::vector<int>{1, 1})) << "re-selecting redraws and reports again";
    EXPECT_TRUE(display->Line(1).Selected);
    display->SelectLine(7);
    display->SelectLine(-2);
    EXPECT_EQ(display->SelectIndex, 1) << "out of range: the selection stays";
    display->SelectLine(2);
    EXPECT_FALSE(display->Line(1).Selected);
    display->SelectLine(-1);
    EXPECT_EQ(display->SelectIndex, -1);
    EXPECT_FALSE(display->Line(2).Selected);
    EXPECT_EQ(reports, (std::vector<int>{1, 1, 2})) << "clearing reports nothing";
}

TEST_F(DisplayTest, AClickSelectsTheLineAndReportsItsPosition) {
    display->LoadLines(0);
    display->StartTyping();
    TickUntilTyped();
    ::SendMessageW(display->Line(2).Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(display->Line(2).Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(display->SelectIndex, 2);
    EXPECT_EQ(reports, std::vector<int>{2});
}

TEST_F(DisplayTest, BackgroundIsTheGradientBlendedWithWhiteWithoutASnapshot) {
    const int height = display->Height();
    ASSERT_EQ(display->Width(), kFormWidth);
    const int band = BandHeight(height);
    for (int i : {0, 1, 50, 100}) {
        const int y = i * band;
        EXPECT_EQ(PanelPixel(5, y), BlendedWithWhite(BandColor(kTop, kBottom, i))) << "band " << i;
        EXPECT_EQ(PanelPixel(kFormWidth - 1, y), BlendedWithWhite(BandColor(kTop, kBottom, i))) << "band " << i;
    }
}

TEST_F(DisplayTest, ErasingThePanelAlreadyDrawsTheGlass) {
    // A window being shown may reach the screen after its erase and before its paint.
    TBitmap target(kFormWidth, kFormHeight);
    ::SendMessageW(host.panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    EXPECT_EQ(::GetPixel(target.DC(), 5, 0), BlendedWithWhite(BandColor(kTop, kBottom, 0)));
}

TEST_F(DisplayTest, TheSelectedLineIsMaskedYellowAndTheTextStartsAfterTheIconSquare) {
    display->LoadLines(0);
    display->StartTyping();
    TickUntilTyped();
    const TLineMgr& line = display->Line(0);
    const int y = line.Top() + line.Height() / 2;
    const int farRight = line.Left() + line.Width() - 3;  // no text out there
    const COLORREF plain = PanelPixel(farRight, y);
    display->SelectLine(0);
    const COLORREF masked = PanelPixel(farRight, y);
    EXPECT_EQ(GetRValue(masked), GetRValue(plain));
    EXPECT_EQ(GetGValue(masked), GetGValue(plain));
    EXPECT_EQ(GetBValue(masked), 0);

    // No icon (empty file name): nothing in the icon square and its gap, text from Height + 7.
    const int textX = line.Left() + line.Height() + 7;
    bool drawnBefore = false, drawnAfter = false;
    for (int x = line.Left() + 1; x < textX - 1; ++x)
        for (int yy = line.Top() + 1; yy < line.Top() + line.Height() - 1; ++yy)
            drawnBefore |= PanelPixel(x, yy) != PanelPixel(line.Left() + 1, yy);
    for (int x = textX - 1; x < textX + 12; ++x)
        for (int yy = line.Top(); yy < line.Top() + line.Height(); ++yy)
            drawnAfter |= PanelPixel(x, yy) == kSelectColor;
    EXPECT_FALSE(drawnBefore);
    EXPECT_TRUE(drawnAfter);
}

// The copies are in the character's own font: a selected line whose normal font is the larger
// shows no large dark digit behind its small one.
TEST_F(DisplayTest, CharactersAreEmbossedWhiteUpLeftAndBlackDownRightInTheirOwnFont) {
    const struct {
        bool selected;
        int normalSize, selectedSize;
    } cases[] = {{false, 14, 14}, {true, 16, 11}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected ? "selected, normal font larger" : "plain line");
        Catalogue({{L"3", L"", L""}}, {});
        TFont normal, selected;
        normal.SetName(L"ＭＳ Ｐゴシック");
        normal.SetStyle(fsBold);
        normal.SetSize(c.normalSize);
        normal.SetColor(kLineColor);
        selected.SetName(L"ＭＳ Ｐゴシック");
        selected.SetSize(c.selectedSize);
        selected.SetColor(kSelectColor);
        display->SetLineFont(normal);
        display->SetSelectLineFont(selected);
        display->LoadLines(0);
        display->StartTyping();
        TickUntilTyped();
        TLineMgr& line = display->Line(0);
        const int charWidth = line.Canvas().TextWidth(L"3");  // in the normal font, the larger
        if (c.selected) display->SelectLine(0);
        const COLORREF textColor = c.selected ? kSelectColor : kLineColor;
        // Bounding boxes of the pure white, pure black and pure text-colour pixels of "3".
        RECT white{9999, 9999, -1, -1}, black = white, main = white;
        auto extend = [](RECT& r, int x, int y) {
            r.left = std::min<LONG>(r.left, x);
            r.top = std::min<LONG>(r.top, y);
            r.right = std::max<LONG>(r.right, x);
            r.bottom = std::max<LONG>(r.bottom, y);
        };
        const int textX = line.Left() + line.Height() + 7;
        for (int x = textX - 3; x < textX + charWidth + 3; ++x)
            for (int y = line.Top() - 2; y < line.Top() + line.Height() + 2; ++y) {
                const COLORREF px = PanelPixel(x, y);
                if (px == RGB(255, 255, 255)) extend(white, x, y);
                if (px == RGB(0, 0, 0)) extend(black, x, y);
                if (px == textColor) extend(main, x, y);
            }
        ASSERT_GE(main.right, main.left) << "the character is drawn in the text colour";
        EXPECT_EQ(white.left, main.left - 1);
        EXPECT_EQ(white.top, main.top - 1);
        EXPECT_EQ(black.right, main.right + 1);
        EXPECT_EQ(black.bottom, main.bottom + 1);
    }
}

// In high contrast: the window colour without glass or gradient, the selected line in the
// system's highlight, a missing file's line in grey, no embossed copies; the glass again once
// the setting is off.
TEST_F(DisplayTest, InHighContrastTheLinesAreInTheSystemsColoursAndFollowTheSetting) {
    Catalogue({{L"1", L"Tools", L""}}, {{L"N", L"Notepad", L"C:\\windows\\notepad.exe"},
                                        {L"X", L"Gone", L"C:\\no\\such.exe"}});
    SetSystemLookForTests(TSystemLook{.highContrast = true});
    display->OpenScreenCanvas();
    display->DrawBackground();
    display->LoadLines(1);
    display->StartTyping();
    TickUntilTyped();
    display->SelectLine(0);
    SaveWindowShot(host.Handle(), L"display-high-contrast");
    auto colours = [&](const TLineMgr& line) {
        std::vector<COLORREF> seen;
        for (int x = line.Left(); x < line.Left() + line.Width(); x += 1)
            for (int y = line.Top(); y < line.Top() + line.Height(); ++y)
                if (const COLORREF px = PanelPixel(x, y); std::find(seen.begin(), seen.end(), px) == seen.end())
                    seen.push_back(px);
        return seen;
    };
    auto has = [](const std::vector<COLORREF>& seen, int role) {
        return std::find(seen.begin(), seen.end(), ::GetSysColor(role)) != seen.end();
    };
    const std::vector<COLORREF> selected = colours(display->Line(0)), missing = colours(display->Line(1));
    EXPECT_TRUE(has(selected, COLOR_HIGHLIGHT) && has(selected, COLOR_HIGHLIGHTTEXT));
    EXPECT_FALSE(has(selected, COLOR_WINDOWTEXT)) << "no black copy of the emboss";
    EXPECT_TRUE(has(missing, COLOR_GRAYTEXT) && has(missing, COLOR_WINDOW));
    EXPECT_FALSE(has(missing, COLOR_WINDOWTEXT));
    const POINT empty{display->Width() - 5, display->Height() - 5};
    EXPECT_EQ(PanelPixel(empty.x, empty.y), ::GetSysColor(COLOR_WINDOW));

    SetSystemLookForTests(TSystemLook{});
    display->SystemLookChanged();
    EXPECT_NE(PanelPixel(empty.x, empty.y), ::GetSysColor(COLOR_WINDOW)) << "the gradient again";
    EXPECT_FALSE(has(colours(display->Line(0)), COLOR_HIGHLIGHT));
}

TEST_F(DisplayTest, WithWindowsAnimationsOffTheLinesAppearAtOnce) {
    SetSystemLookForTests(TSystemLook{.animations = false});
    display->LoadLines(0);
    display->StartTyping();
    EXPECT_FALSE(display->Typing);
    for (auto& line : display->Lines()) EXPECT_GT(line->Height(), 0);
}

TEST_F(DisplayTest, PictureOfATypedDisplayWithASelectedLine) {
    Catalogue({{L"1", L"ツール", L"C:\\windows\\notepad.exe"}, {L"2", L"システム", L"C:\\windows\\regedit.exe"},
               {L"3", L"フォルダ", L"C:\\windows"}, {L"4", L"Games ｹﾞｰﾑ", L""}},
              {});
    display->OpenScreenCanvas();
    display->DrawBackground();
    display->LoadLines(0);
    display->StartTyping();
    TickUntilTyped();
    display->SelectLine(1);
    SaveWindowShot(host.Handle(), L"display-typed-selected");
    const TLineMgr& withIcon = display->Line(0);
    bool iconDrawn = false;
    for (int x = withIcon.Left() + 2; x < withIcon.Left() + withIcon.Height() - 2; ++x)
        iconDrawn |= PanelPixel(x, withIcon.Top() + withIcon.Height() / 2) !=
                     PanelPixel(withIcon.Left() + withIcon.Width() - 3, withIcon.Top() + withIcon.Height() / 2);
    EXPECT_TRUE(iconDrawn) << "the shell icon of the entry's file";
}

TEST_F(DisplayTest, HoverHighlightsAndLeavingKeepsOnlyTheSelection) {
    display->LoadLines(0);
    display->StartTyping();
    TickUntilTyped();
    TLineMgr& hovered = display->Line(0);
    TLineMgr& selected = display->Line(1);
    display->SelectLine(1);
    auto blueAtRightEnd = [&](TLineMgr& line) {
        return GetBValue(PanelPixel(line.Left() + line.Width() - 3, line.Top() + line.Height() / 2));
    };
    ASSERT_NE(blueAtRightEnd(hovered), 0);

    ::SendMessageW(hovered.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(hovered.MouseIn);
    EXPECT_EQ(blueAtRightEnd(hovered), 0) << "the line under the pointer is masked";
    ::SendMessageW(hovered.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(hovered.MouseIn);
    EXPECT_NE(blueAtRightEnd(hovered), 0) << "an unselected line loses the highlight";

    ::SendMessageW(selected.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(blueAtRightEnd(selected), 0);
    ::SendMessageW(selected.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(blueAtRightEnd(selected), 0) << "the selected line keeps it";
    EXPECT_EQ(reports, std::vector<int>{1}) << "hovering selects nothing";
}

TEST_F(DisplayTest, HoveringALineBeingTypedCompletesItAndTheNextOneBegins) {
    display->LoadLines(0);
    display->StartTyping();
    TLineMgr& first = display->Line(0);
    Tick(first);
    ::SendMessageW(first.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_FALSE(first.Typing);
    EXPECT_TRUE(display->Line(1).Typing);
    EXPECT_EQ(display->Line(1).Top(), first.Top() + first.Height());
}

TEST_F(DisplayTest, RepaintingTheParentWipesALineAndTheLineDoesNotRedrawItself) {
    display->LoadLines(0);
    display->StartTyping();
    TickUntilTyped();
    const TLineMgr& line = display->Line(0);
    const RECT area = line.BoundsRect();
    auto countDiffering = [&] {
        int differing = 0;
        for (int x = area.left; x < area.right; x += 2)
            for (int y = area.top; y < area.bottom; ++y)
                differing += PanelPixel(x, y) != PanelPixel(kFormWidth - 1, y);
        return differing;
    };
    ASSERT_GT(countDiffering(), 0) << "the typed text is on the screen";
    ::InvalidateRect(host.panel->Handle(), &area, TRUE);
    ::UpdateWindow(host.panel->Handle());
    PumpMessages();
    EXPECT_EQ(countDiffering(), 0) << "only the display's picture is left";
}
