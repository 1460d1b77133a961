#include "options/OptionPictures.hpp"

#include <cmath>

#include "toolkit/Dpi.hpp"

namespace {

constexpr int kSize = 20;  // 96-DPI units: the drawing's grid
constexpr COLORREF kTransparent = RGB(254, 1, 253);
constexpr COLORREF kGroupBlue = RGB(140, 200, 245), kGroupEdge = RGB(40, 90, 150);
constexpr COLORREF kItemGreen = RGB(120, 200, 110), kItemEdge = RGB(30, 110, 40);

enum class Motif { Group, GroupAndItem };
enum class Mark { Star, Arrows, Cross, Window };

struct Pen {
    Pen(HDC dc, COLORREF color, int width) : pen_(::CreatePen(PS_SOLID, width, color)), select_(dc, pen_.get()) {}
    UniqueHpen pen_;
    SelectGuard select_;
};
struct Brush {
    Brush(HDC dc, COLORREF color) : brush_(::CreateSolidBrush(color)), select_(dc, brush_.get()) {}
    UniqueHbrush brush_;
    SelectGuard select_;
};

void FolderTab(HDC dc, int left, int top, int right, int bottom) {
    Pen pen(dc, kGroupEdge, 1);
    Brush brush(dc, kGroupBlue);
    const POINT shape[] = {{left, top}, {left + 6, top}, {left + 8, top + 2}, {right, top + 2},
                           {right, bottom}, {left, bottom}};
    ::Polygon(dc, shape, static_cast<int>(std::size(shape)));
}

void Child(HDC dc) {
    {
        Pen line(dc, kGroupEdge, 1);
        ::MoveToEx(dc, 4, 9, nullptr);
        ::LineTo(dc, 4, 15);
        ::LineTo(dc, 8, 15);
    }
    Pen pen(dc, kItemEdge, 1);
    Brush brush(dc, kItemGreen);
    ::Rectangle(dc, 8, 12, 15, 19);
}

void DrawMark(HDC dc, Mark mark) {
    switch (mark) {
        case Mark::Star: {
            POINT star[10];
            for (int i = 0; i < 10; ++i) {
                const double angle = -3.14159265 / 2 + i * 3.14159265 / 5;
                const double radius = (i % 2) ? 2.2 : 5.0;
                star[i] = {static_cast<LONG>(std::lround(14.5 + radius * std::cos(angle))),
                           static_cast<LONG>(std::lround(13.5 + radius * std::sin(angle)))};
            }
            Pen pen(dc, RGB(180, 140, 0), 1);
            Brush brush(dc, RGB(255, 230, 0));
            ::Polygon(dc, star, 10);
            break;
        }
        case Mark::Arrows: {
            Pen pen(dc, RGB(0, 120, 60), 2);
            ::Arc(dc, 10, 9, 19, 18, 19, 12, 10, 15);
            ::Arc(dc, 10, 9, 19, 18, 10, 15, 19, 12);
            Brush brush(dc, RGB(0, 120, 60));
            const POINT head1[] = {{17, 8}, {19, 12}, {15, 12}};
            const POINT head2[] = {{12, 19}, {10, 15}, {14, 15}};
            ::Polygon(dc, head1, 3);
            ::Polygon(dc, head2, 3);
            break;
        }
        case Mark::Cross: {
            Pen pen(dc, RGB(230, 0, 200), 3);
            ::MoveToEx(dc, 11, 10, nullptr);
            ::LineTo(dc, 18, 17);
            ::MoveToEx(dc, 18, 10, nullptr);
            ::LineTo(dc, 11, 17);
            break;
        }
        case Mark::Window: {
            Pen pen(dc, RGB(60, 60, 60), 1);
            Brush brush(dc, RGB(255, 255, 255));
            ::Rectangle(dc, 6, 11, 18, 19);
            Brush title(dc, RGB(40, 70, 160));
            ::Rectangle(dc, 6, 11, 18, 14);
            break;
        }
    }
}

UniqueHbitmap Picture(Motif motif, Mark mark, COLORREF background, int dpi) {
    const int size = ScaleToDpi(kSize, dpi);
    return DrawnBitmap(size, size, background, [&](HDC dc) {
        // Drawn on the 20-unit grid, scaled as it is drawn: sharp at any DPI, not stretched.
        ::SetGraphicsMode(dc, GM_ADVANCED);
        const float scale = static_cast<float>(dpi) / kDesignDpi;
        const XFORM toDpi{scale, 0, 0, scale, 0, 0};
        ::SetWorldTransform(dc, &toDpi);
        if (motif == Motif::Group) {
            FolderTab(dc, 1, 3, 16, 14);
        } else {
            FolderTab(dc, 1, 1, 14, 9);
            Child(dc);
        }
        DrawMark(dc, mark);
    });
}

struct PictureRecipe {
    Motif motif;
    Mark mark;
};
constexpr PictureRecipe kPictures[picCount] = {
    {Motif::Group, Mark::Star},         {Motif::GroupAndItem, Mark::Star},  {Motif::Group, Mark::Arrows},
    {Motif::GroupAndItem, Mark::Arrows}, {Motif::Group, Mark::Cross},        {Motif::GroupAndItem, Mark::Cross},
    {Motif::Group, Mark::Window},
};

}  // namespace

UniqueHimagelist MakeOptionPictures(int dpi) {
    const int size = ScaleToDpi(kSize, dpi);
    UniqueHimagelist images(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, picCount, 0));
    for (const PictureRecipe& recipe : kPictures) {
        UniqueHbitmap picture = Picture(recipe.motif, recipe.mark, kTransparent, dpi);
        ::ImageList_AddMasked(images.get(), picture.get(), kTransparent);
    }
    return images;
}
