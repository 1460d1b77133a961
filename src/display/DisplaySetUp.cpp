#include "display/DisplaySetUp.hpp"

namespace {

constexpr COLORREF kHighlight = RGB(255, 255, 0);  // yellow

}  // namespace

TFont FontFromSetting(const TFontSetting& setting) {
    TFont font;
    font.SetName(setting.name);
    font.SetCharset(static_cast<BYTE>(setting.charset));
    font.SetStyle(static_cast<unsigned>(setting.style) & 0xFF);
    font.SetSize(setting.size);
    font.SetColor(setting.color);
    return font;
}

void SetUpDisplay(TKestrum& display, const TEmvData& settings, TDisplayKind kind, int typeInterval) {
    display.SetHighlightColor(kHighlight);
    display.SetTypeInterval(typeInterval);
    TFont normal = FontFromSetting(FontSetting(settings, TFontRole::Normal));
    TFont selected = FontFromSetting(FontSetting(settings, TFontRole::Selected));
    normal.SetDpi(display.Dpi());
    selected.SetDpi(display.Dpi());
    display.SetLineFont(normal);
    display.SetSelectLineFont(selected);
    const bool groups = kind == TDisplayKind::Groups;
    display.SetTopColor(GradientColor(settings, groups ? TGradientEnd::GroupStart : TGradientEnd::ItemStart));
    display.SetBottomColor(GradientColor(settings, groups ? TGradientEnd::GroupEnd : TGradientEnd::ItemEnd));
}
