// An edit box with an edit mask of one position: "0;1;_" takes one digit, "L;1;_" one letter.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "toolkit/StdCtrls.hpp"

// The mask has three parts separated by ';': the position's rule ("0": a digit 0 to 9, "L": a
// letter a to z or A to Z), whether an empty position is read as one space ("1") or not at all
// ("0"), and the character shown for an empty position ("_").
//
// The box shows the blank character while its position is empty; its text (Text(),
// GetWindowText) is what the mask reads: the character, or one space for the empty position.
// Setting the text shows its first character as it is (also one the rule would refuse from the
// keyboard); an empty text or a space empties the position.
//
// Typing a character that fits replaces the position, one that does not fit is refused with a
// beep; Backspace and Delete empty the position. When the box was edited and the focus moves
// to another control of its window while the position is empty, the box beeps, says so in the
// error box and takes the focus back. Esc in a box holding an edit undoes the edit (the dialog
// is not cancelled).
class TMaskEdit : public TEdit {
public:
    TMaskEdit(TWinControl* parent, const ControlParams& params, std::wstring_view editMask);

    // The text as shown, with the blank character for the empty position.
    std::wstring EditText() const;
    // True while the box holds an edit of the user's that has not been left with a valid text.
    bool Modified() const noexcept { return modified_; }
    // For OK: a box whose position is empty, edited or not, says so as an edit left empty does
    // (beep, error box, focus back in the box) and gives false.
    bool CheckFilled();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    enum class Rule { Digit, Letter };

    bool Fits(wchar_t c) const noexcept;
    bool PositionEmpty() const;
    std::wstring ReadValue() const;
    // Shows the text and puts the caret at the position given.
    void ShowEditText(const std::wstring& text, int caret);
    void SetValue(std::wstring_view value);

    void EditChar(wchar_t c);
    bool EditKeyDown(WPARAM key);
    void EnterPosition(wchar_t c);
    void ClearPosition();
    void Paste();
    void Cut();
    void Undo();
    void FocusLeaves(HWND next);
    void ValidateEdit();
    void ReportEmpty();
    LRESULT GetText(WPARAM size, LPARAM buffer) const;

    Rule rule_ = Rule::Digit;
    bool blankReadsAsSpace_ = true;
    wchar_t blank_ = L'_';
    bool modified_ = false;
    std::wstring undoValue_;  // the text before the current edit
};
