// The tinted-glass background: gradient bands and the half-and-half blend.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "display/clsKestrum.hpp"

namespace {

constexpr COLORREF kTop = RGB(180, 180, 250), kBottom = RGB(20, 100, 0);

COLORREF RowColor(TBitmap& bitmap, int row) {
    const uint8_t* p = bitmap.ScanLine(row);
    return RGB(p[2], p[1], p[0]);
}

std::unique_ptr<TBitmap> Gradient(int height, COLORREF top = kTop, COLORREF bottom = kBottom) {
    auto bitmap = std::make_unique<TBitmap>(7, height);
    PaintGradient(*bitmap, top, bottom);
    ::GdiFlush();
    return bitmap;
}

}  // namespace

TEST(Gradient, BandHeightIsTheHeightDiv101AtLeastOne) {
    EXPECT_EQ(BandHeight(100), 1);
    EXPECT_EQ(BandHeight(101), 1);
    EXPECT_EQ(BandHeight(606), 6);
    EXPECT_EQ(BandHeight(613), 6);
    EXPECT_EQ(BandHeight(0), 1);
}

TEST(Gradient, BandsRunFromTheTopColourToTheBottomColour) {
    EXPECT_EQ(BandColor(kTop, kBottom, 0), kTop);
    EXPECT_EQ(BandColor(kTop, kBottom, 101), kBottom);
    // 180 + round(-160 / 101 * 50) = 180 - 79; 180 + round(-80 / 101 * 50) = 180 - 40
    EXPECT_EQ(BandColor(kTop, kBottom, 50), RGB(101, 140, 250 - 124));
    EXPECT_EQ(BandColor(RGB(0, 0, 0), RGB(255, 255, 255), 1), RGB(3, 3, 3));
}

TEST(Gradient, A100PixelDisplayNeverReachesTheBottomColour) {
    auto owned = Gradient(100);
    TBitmap& bitmap = *owned;
    for (int row = 0; row < 100; ++row) EXPECT_EQ(RowColor(bitmap, row), BandColor(kTop, kBottom, row)) << row;
}

TEST(Gradient, A613PixelDisplayFillsTheLastRowWithTheBottomColour) {
    auto owned = Gradient(613);
    TBitmap& bitmap = *owned;
    EXPECT_EQ(RowColor(bitmap, 0), kTop);
    EXPECT_EQ(RowColor(bitmap, 5), kTop);
    EXPECT_EQ(RowColor(bitmap, 6), BandColor(kTop, kBottom, 1));
    EXPECT_EQ(RowColor(bitmap, 606), kBottom);
    EXPECT_EQ(RowColor(bitmap, 611), kBottom);
    EXPECT_EQ(RowColor(bitmap, 612), kBottom);
}

TEST(Gradient, A606PixelDisplayEndsWithBand100) {
    auto owned = Gradient(606);
    TBitmap& bitmap = *owned;
    EXPECT_EQ(RowColor(bitmap, 599), BandColor(kTop, kBottom, 99));
    EXPECT_EQ(RowColor(bitmap, 600), BandColor(kTop, kBottom, 100));
    EXPECT_EQ(RowColor(bitmap, 605), BandColor(kTop, kBottom, 100));
    EXPECT_NE(RowColor(bitmap, 605), kBottom);
}

TEST(Gradient, EqualColoursGiveAFlatTint) {
    auto owned = Gradient(333, RGB(12, 34, 56), RGB(12, 34, 56));
    TBitmap& bitmap = *owned;
    for (int row = 0; row < 333; ++row) ASSERT_EQ(RowColor(bitmap, row), RGB(12, 34, 56)) << row;
}

TEST(Blend, EveryByteOfEveryRowIncludingPaddingIsHalfAndHalf) {
    std::mt19937 random(7);
    for (int width : {1, 2, 3, 5, 13, 64}) {
        const int rows = 9;
        const size_t stride = (width * 3 + 3) & ~3;
        std::vector<uint8_t> s(stride * rows), g(stride * rows);
        for (auto& b : s) b = static_cast<uint8_t>(random());
        for (auto& b : g) b = static_cast<uint8_t>(random());
        s[0] = 255, g[0] = 255;  // no carry into the next byte at the top of the range
        s[1] = 1, g[1] = 1;
        const std::vector<uint8_t> original = s;
        BlendRows(s.data(), g.data(), stride, rows);
        for (size_t i = 0; i < s.size(); ++i)
            ASSERT_EQ(s[i], (original[i] + 1) / 2 + g[i] / 2) << "width " << width << " byte " << i;
    }
}

TEST(Blend, WhiteBlendedWithTheGradientIsHalfwayToWhite) {
    TBitmap snapshot(5, 3);
    TBitmap g5(5, 3);
    PaintGradient(g5, RGB(100, 0, 255), RGB(100, 0, 255));
    ::GdiFlush();
    BlendRows(snapshot.Bits(), g5.Bits(), snapshot.Stride(), 3);
    EXPECT_EQ(RowColor(snapshot, 2), RGB(178, 128, 255));
}

TEST(Blend, OnePassGivesTheSamePixelsAsTheGradientBlendedIntoTheSnapshot) {
    std::mt19937 random(7);
    for (int width : {1, 2, 3, 5, 13, 300}) {
        for (int height : {1, 2, 100, 101, 102, 103, 205, 606, 613, 1080}) {
            TBitmap snapshot(width, height), gradient(width, height);
            for (size_t i = 0; i < snapshot.Stride() * height; ++i) snapshot.Bits()[i] = static_cast<uint8_t>(random());
            std::vector<uint8_t> onePass(snapshot.Bits(), snapshot.Bits() + snapshot.Stride() * height);
            std::memset(gradient.Bits(), 0, gradient.Stride() * height);  // as a fresh section: padding 0
            PaintGradient(gradient, kTop, kBottom);
            ::GdiFlush();
            BlendRows(snapshot.Bits(), gradient.Bits(), snapshot.Stride(), height);
            BlendGradientRows(onePass.data(), snapshot.Stride(), width, height, kTop, kBottom);
            for (int row = 0; row < height; ++row)
                ASSERT_EQ(std::memcmp(snapshot.ScanLine(row), onePass.data() + snapshot.Stride() * row, width * 3), 0)
                    << width << "x" << height << " row " << row;
        }
    }
}
