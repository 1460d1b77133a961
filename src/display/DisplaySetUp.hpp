// A keyed list display set up from the settings: the launcher's two displays and the options
// dialog's previews look alike through this.
#pragma once

#include "data/comFunc.hpp"
#include "display/clsKestrum.hpp"
#include "toolkit/Graphics.hpp"

enum class TDisplayKind { Groups, Items };

// A font of the settings: face, character set, style (low byte), size, colour.
TFont FontFromSetting(const TFontSetting& setting);

// Yellow highlight, the typing interval, both fonts of the settings and the gradient of the
// kind's colours.
void SetUpDisplay(TKestrum& display, const TEmvData& settings, TDisplayKind kind, int typeInterval);
