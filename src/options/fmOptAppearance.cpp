#include "options/fmOptAppearance.hpp"

#include <algorithm>
#include <string>

#include "display/DisplaySetUp.hpp"
#include "toolkit/Dpi.hpp"

namespace {
using P = TAppearancePage;
// The font samples on the item preview, 96-DPI units: the first at the top, the second the gap
// below it, each at least this large.
constexpr int kSampleLeft = 7, kSampleTop = 32, kSampleWidth = 152, kSampleHeight = 29, kSampleGap = 11;
constexpr const wchar_t* kSampleCaption[] = {L"通常フォント　あｱＡA", L"選択フォント　あｱＡA"};
}  // namespace

// The gradient colours (a swatch and its ">>" for each end), the window sizes and the fonts.
const ControlRow<TAppearancePage> TAppearancePage::kLayout[] = {
    {.control = &P::lbPreview, .left = 4, .top = 8, .text = L"色のプレビュー"},
    {.control = &P::gbGroupColor, .left = 298, .top = 9, .width = 321, .height = 58, .text = L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳ　色"},
    {.control = &P::pnGroupStart, .left = 8, .top = 20, .width = 77, .height = 25, .text = L"開始", .in = &P::gbGroupColor},
    {.control = &P::btGroupStart, .left = 88, .top = 20, .width = 21, .height = 21, .text = L">>",
     .onClick = &P::ChooseColorOf<0>, .in = &P::gbGroupColor, .name = L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳ　色　開始"},
    {.control = &P::pnGroupEnd, .left = 128, .top = 20, .width = 77, .height = 25, .text = L"終了", .in = &P::gbGroupColor},
    {.control = &P::btGroupEnd, .left = 208, .top = 20, .width = 21, .height = 21, .text = L">>",
     .onClick = &P::ChooseColorOf<1>, .in = &P::gbGroupColor, .name = L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳ　色　終了"},
    {.control = &P::gbItemColor, .left = 298, .top = 83, .width = 321, .height = 58, .text = L"ｱｲﾃﾑｳｨﾝﾄﾞｳ　色"},
    {.control = &P::pnItemStart, .left = 8, .top = 20, .width = 77, .height = 25, .text = L"開始", .in = &P::gbItemColor},
    {.control = &P::btItemStart, .left = 88, .top = 20, .width = 21, .height = 21, .text = L">>",
     .onClick = &P::ChooseColorOf<2>, .in = &P::gbItemColor, .name = L"ｱｲﾃﾑｳｨﾝﾄﾞｳ　色　開始"},
    {.control = &P::pnItemEnd, .left = 128, .top = 20, .width = 77, .height = 25, .text = L"終了", .in = &P::gbItemColor},
    {.control = &P::btItemEnd, .left = 208, .top = 20, .width = 21, .height = 21, .text = L">>",
     .onClick = &P::ChooseColorOf<3>, .in = &P::gbItemColor, .name = L"ｱｲﾃﾑｳｨﾝﾄﾞｳ　色　終了"},
    {.control = &P::gbSizes, .left = 298, .top = 156, .width = 321, .height = 99, .text = L"　ウィンドウのサイズ関連　"},
    {.control = &P::lbWinWidth, .left = 16, .top = 20, .text = L"ｳｨﾝﾄﾞｳの幅", .in = &P::gbSizes},
    {.control = &P::seWinWidth, .left = 152, .top = 16, .width = 73, .height = 21, .in = &P::gbSizes},
    {.control = &P::lbWinHeight, .left = 16, .top = 44, .text = L"ｳｨﾝﾄﾞｳの高さ", .in = &P::gbSizes},
    {.control = &P::seWinHeight, .left = 152, .top = 40, .width = 73, .height = 21, .in = &P::gbSizes},
    {.control = &P::lbGrpWinWidth, .left = 16, .top = 68, .text = L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳの幅", .in = &P::gbSizes},
    {.control = &P::seGrpWinWidth, .left = 152, .top = 64, .width = 73, .height = 21, .in = &P::gbSizes},
    {.control = &P::gbFonts, .left = 298, .top = 270, .width = 321, .height = 77, .text = L"　フォント関連　"},
    {.control = &P::lbNormalFontCaption, .left = 16, .top = 20, .text = L"通常フォント", .in = &P::gbFonts},
    {.control = &P::btNormalFont, .left = 92, .top = 16, .width = 21, .height = 21, .text = L">>",
     .onClick = &P::ChooseFontOf<false>, .in = &P::gbFonts, .name = L"通常フォント"},
    {.control = &P::lbSelectFontCaption, .left = 16, .top = 48, .text = L"選択フォント", .in = &P::gbFonts},
    {.control = &P::btSelectFont, .left = 92, .top = 44, .width = 21, .height = 21, .text = L">>",
     .onClick = &P::ChooseFontOf<true>, .in = &P::gbFonts, .name = L"選択フォント"},
};

TAppearancePage::TAppearancePage(TWinControl& page) {
    CreatePreviews(page);
    CreateFromLayout(*this, page, std::span(kLayout));
}

void TAppearancePage::CreatePreviews(TWinControl& page) {
    Panel4 = std::make_unique<TPanel>(&page, TPanel::Params{.left = 24, .top = 24, .width = 247, .height = 347});
    Panel5 = std::make_unique<TPanel>(Panel4.get(), TPanel::Params{.width = 76, .bevelOuter = TBevelCut::bvNone,
                                                                   .align = TAlign::alLeft});
    pnLeft = std::make_unique<TPanel>(Panel5.get(), TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                   .align = TAlign::alClient});
    pnCle = std::make_unique<TPanel>(Panel4.get(), TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                  .align = TAlign::alClient});
    Panel4->Realign();
    Panel5->Realign();
    GroupPreview_ = std::make_unique<TKestrum>(pnLeft.get());
    ItemPreview_ = std::make_unique<TKestrum>(pnCle.get());
    // Made after the item preview, so they are drawn over its background.
    lbNormalFont = std::make_unique<TTransparentLabel>(pnCle.get(), ControlParams{kSampleLeft, kSampleTop, kSampleWidth, kSampleHeight, kSampleCaption[0]});
    lbSelectFont = std::make_unique<TTransparentLabel>(pnCle.get(), ControlParams{kSampleLeft, kSampleTop + kSampleHeight + kSampleGap, kSampleWidth, kSampleHeight, kSampleCaption[1]});
}

// Each sample as large as its text in its font, the second below the first: a large font's
// sample goes on two lines, its role and then its letters, or shows its letters alone, rather
// than losing them at the preview's edge; a font made smaller leaves nothing of the larger
// text behind.
void TAppearancePage::FitFontSamples() {
    const int dpi = pnCle->Dpi();
    const int left = ScaleToDpi(kSampleLeft, dpi), room = pnCle->ClientWidth() - left;
    int top = ScaleToDpi(kSampleTop, dpi);
    for (const bool selectFont : {false, true}) {
        TTransparentLabel& sample = FontSample(selectFont);
        sample.Font.SetDpi(dpi);
        // The caption on one line, else on two, else the letters alone (the role is written
        // beside the font's button as well).
        const std::wstring caption = kSampleCaption[selectFont];
        const size_t space = caption.find(L'　');
        for (const std::wstring& fitting :
             {caption, caption.substr(0, space) + L'\n' + caption.substr(space + 1), caption.substr(space + 1)}) {
            sample.SetCaption(fitting);
            if (sample.TextExtent().cx <= room) break;
        }
        const SIZE text = sample.TextExtent();
        sample.SetBounds(left, top, std::max<int>(text.cx, ScaleToDpi(kSampleWidth, dpi)),
                         std::max<int>(text.cy, ScaleToDpi(kSampleHeight, dpi)));
        top += sample.Height() + ScaleToDpi(kSampleGap, dpi);
    }
}

void TAppearancePage::SetFromSettings(const TEmvData& d) {
    for (const TFontRole role : {TFontRole::Selected, TFontRole::Normal}) {
        TTransparentLabel& sample = FontSample(role == TFontRole::Selected);
        sample.Font = FontFromSetting(FontSetting(d, role));
    }
    FitFontSamples();
    seWinHeight->SetValue(d.WinHeight);
    seWinWidth->SetValue(d.WinWidth);
    seGrpWinWidth->SetValue(d.GrpWinWidth);
    for (int swatch = 0; swatch < 4; ++swatch)  // in the order of the gradient's ends
        Swatch(swatch).SetColor(GradientColor(d, static_cast<TGradientEnd>(swatch)));
}

void TAppearancePage::GetToSettings(TEmvData& d) const {
    for (const TFontRole role : {TFontRole::Normal, TFontRole::Selected}) {
        const TFont& font = (role == TFontRole::Selected ? lbSelectFont : lbNormalFont)->Font;
        SetFontSetting(d, role, {font.Name(), font.Charset(), static_cast<int>(font.Style() & 0x0F), font.Size(),
                                 font.Color()});
    }
    d.WinHeight = seWinHeight->Value();
    d.WinWidth = seWinWidth->Value();
    d.GrpWinWidth = seGrpWinWidth->Value();
    for (int swatch = 0; swatch < 4; ++swatch)
        SetGradientColor(d, static_cast<TGradientEnd>(swatch), (this->*kSwatches[swatch])->Color());
}

void TAppearancePage::SetPreviews(const TEmvData& d) {
    // The previews are set up as the launcher sets up its displays, typing slower.
    SetUpDisplay(*GroupPreview_, d, TDisplayKind::Groups, 10);
    SetUpDisplay(*ItemPreview_, d, TDisplayKind::Items, 10);
}

void TAppearancePage::Rescale() {
    TEmvData data{};
    GetToSettings(data);
    SetPreviews(data);
    FitFontSamples();
    DrawPreviews();
}

void TAppearancePage::FollowSystemLook(UINT message) {
    GroupPreview_->FollowSystemLook(message);
    ItemPreview_->FollowSystemLook(message);
}

void TAppearancePage::DrawPreviews() {
    GroupPreview_->DrawBackground();
    ItemPreview_->DrawBackground();
}

void TAppearancePage::ChooseGradientColor(int swatch) {
    ColorDialog1.Color = Swatch(swatch).Color();
    if (!ColorDialog1.Execute()) return;
    Swatch(swatch).SetColor(ColorDialog1.Color);
    TEmvData data{};
    GetToSettings(data);
    SetPreviews(data);
    // Only the preview of that colour is drawn again.
    (swatch < 2 ? GroupPreview_ : ItemPreview_)->DrawBackground();
}

void TAppearancePage::ChooseFont(bool selectFont) {
    TTransparentLabel& sample = FontSample(selectFont);
    FontDialog1.Font = sample.Font;
    if (!FontDialog1.Execute()) return;
    sample.Font = FontDialog1.Font;
    FitFontSamples();
}
