// The appearance page of the options dialog: the previews, the gradient colours, the window
// sizes and the two fonts, to and from the settings record.
#pragma once

#include <memory>

#include "data/comFunc.hpp"
#include "display/clsKestrum.hpp"
#include "toolkit/CommonDialogs.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/FormLayout.hpp"
#include "toolkit/StdCtrls.hpp"

class TAppearancePage {
public:
    // Makes the page's controls on the page panel.
    explicit TAppearancePage(TWinControl& page);

    // The page's fields of the record (fonts, window sizes, colours); the hot keys are left.
    void SetFromSettings(const TEmvData& data);
    void GetToSettings(TEmvData& data) const;
    // Fonts and colours of the record to both previews (not redrawn).
    void SetPreviews(const TEmvData& data);
    void DrawPreviews();
    // The previews' fonts and the font samples made anew at the page's DPI, drawn again.
    void Rescale();
    // A WM_SETTINGCHANGE or WM_SYSCOLORCHANGE of the dialog: the previews follow Windows' look.
    void FollowSystemLook(UINT message);
    // The colour buttons, by gradient end: 0 group start, 1 group end, 2 item start, 3 item end.
    void ChooseGradientColor(int swatch);
    // The font buttons: false the normal font, true the selected-line font.
    void ChooseFont(bool selectFont);

    TKestrum& GroupPreview() noexcept { return *GroupPreview_; }
    TKestrum& ItemPreview() noexcept { return *ItemPreview_; }
    TPanel& Swatch(int swatch) noexcept { return *(this->*kSwatches[swatch]); }
    TSpinEdit& SizeEdit(int index) noexcept { return *(this->*kSizeEdits[index]); }  // width, height, group width
    TTransparentLabel& FontSample(bool selectFont) noexcept { return selectFont ? *lbSelectFont : *lbNormalFont; }

private:
    static const ControlRow<TAppearancePage> kLayout[];
    void CreatePreviews(TWinControl& page);
    void FitFontSamples();
    template <int swatch>
    void ChooseColorOf() { ChooseGradientColor(swatch); }
    template <bool selectFont>
    void ChooseFontOf() { ChooseFont(selectFont); }

    // The previews: the group display on the left, the item display with the font samples.
    std::unique_ptr<TPanel> Panel4, Panel5, pnLeft, pnCle;
    std::unique_ptr<TKestrum> GroupPreview_, ItemPreview_;
    std::unique_ptr<TTransparentLabel> lbNormalFont, lbSelectFont;
    // The controls of the layout table.
    std::unique_ptr<TLabel> lbPreview;
    std::unique_ptr<TGroupBox> gbGroupColor, gbItemColor, gbSizes, gbFonts;
    std::unique_ptr<TPanel> pnGroupStart, pnGroupEnd, pnItemStart, pnItemEnd;
    std::unique_ptr<TButton> btGroupStart, btGroupEnd, btItemStart, btItemEnd;
    std::unique_ptr<TLabel> lbWinWidth, lbWinHeight, lbGrpWinWidth;
    std::unique_ptr<TSpinEdit> seWinWidth, seWinHeight, seGrpWinWidth;
    std::unique_ptr<TLabel> lbNormalFontCaption, lbSelectFontCaption;
    std::unique_ptr<TButton> btNormalFont, btSelectFont;
    TColorDialog ColorDialog1;
    TFontDialog FontDialog1;

    // In the order of their index.
    static constexpr std::unique_ptr<TPanel> TAppearancePage::*kSwatches[] = {
        &TAppearancePage::pnGroupStart, &TAppearancePage::pnGroupEnd, &TAppearancePage::pnItemStart,
        &TAppearancePage::pnItemEnd};
    static constexpr std::unique_ptr<TSpinEdit> TAppearancePage::*kSizeEdits[] = {
        &TAppearancePage::seWinWidth, &TAppearancePage::seWinHeight, &TAppearancePage::seGrpWinWidth};
};
