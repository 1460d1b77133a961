#include "toolkit/CommonDialogs.hpp"

#include <commdlg.h>

#include <cwchar>

namespace {

ColorDialogAnswerer& ColorAnswerer() {
    static ColorDialogAnswerer answerer;
    return answerer;
}

FontDialogAnswerer& FontAnswerer() {
    static FontDialogAnswerer answerer;
    return answerer;
}


}  // namespace

void SetColorDialogAnswererForTests(ColorDialogAnswerer answerer) { ColorAnswerer() = std::move(answerer); }
void SetFontDialogAnswererForTests(FontDialogAnswerer answerer) { FontAnswerer() = std::move(answerer); }

bool TColorDialog::Execute() {
    std::optional<COLORREF> chosen;
    if (ColorAnswerer()) {
        chosen = ColorAnswerer()(Color);
    } else {
        static COLORREF custom[16] = {};
        CHOOSECOLORW dialog{sizeof dialog};
        dialog.hwndOwner = ::GetActiveWindow();
        dialog.rgbResult = Color;
        dialog.lpCustColors = custom;
        dialog.Flags = CC_RGBINIT;
        if (::ChooseColorW(&dialog)) chosen = dialog.rgbResult;
    }
    if (chosen) Color = *chosen;
    return chosen.has_value();
}

bool TFontDialog::Execute() {
    if (FontAnswerer()) {
        std::optional<TFont> chosen = FontAnswerer()(Font);
        if (chosen) Font = *chosen;
        return chosen.has_value();
    }
    LOGFONTW lf = Font.LogFont();
    CHOOSEFONTW dialog{sizeof dialog};
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpLogFont = &lf;
    dialog.rgbColors = Font.Color();
    dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_SCRIPTSONLY | CF_INITTOLOGFONTSTRUCT;
    if (!::ChooseFontW(&dialog)) return false;
    Font.SetName(lf.lfFaceName);
    Font.SetCharset(lf.lfCharSet);
    Font.SetSize(dialog.iPointSize / 10);
    unsigned style = 0;
    if (lf.lfWeight >= FW_BOLD) style |= fsBold;
    if (lf.lfItalic) style |= fsItalic;
    if (lf.lfUnderline) style |= fsUnderline;
    if (lf.lfStrikeOut) style |= fsStrikeOut;
    Font.SetStyle(style);
    Font.SetColor(dialog.rgbColors);
    return true;
}
