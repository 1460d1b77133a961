// The system's colour and font dialogs. Every showing goes through Execute, so a test can
// answer it without a dialog on the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "toolkit/Graphics.hpp"

class TColorDialog {
public:
    COLORREF Color = 0;
    // Shows the dialog preset to Color; true when the user chose one, now in Color.
    bool Execute();
};

class TFontDialog {
public:
    // Preset font; after a confirmed showing, the chosen one (face, character set, size, style,
    // colour). The dialog offers underline, strike-out and a colour, and only fonts of scripts
    // the system code page has.
    TFont Font;
    bool Execute();
};

// Test seams: when set, they answer every showing (nothing for a cancel).
using ColorDialogAnswerer = std::function<std::optional<COLORREF>(COLORREF preset)>;
void SetColorDialogAnswererForTests(ColorDialogAnswerer answerer);
using FontDialogAnswerer = std::function<std::optional<TFont>(const TFont& preset)>;
void SetFontDialogAnswererForTests(FontDialogAnswerer answerer);
