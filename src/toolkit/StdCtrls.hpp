// Buttons, edit boxes and labels: system controls bound to objects.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Controls.hpp"
#include "toolkit/Graphics.hpp"

struct ControlParams {
    int left = 0, top = 0, width = 0, height = 0;
    std::wstring caption;
};

// What a push button does besides its handler: the default button answers Enter, the cancel
// button Esc; a modal result other than 0 ends the modal showing of the form when it is pressed.
enum class TButtonRole { Normal, Default, Cancel };
struct TButtonKind {
    TButtonRole role = TButtonRole::Normal;
    int modalResult = 0;
};

class TButton : public TWinControl {
public:
    using Role = TButtonRole;
    TButton(TWinControl* parent, const ControlParams& params, TButtonKind kind = {});

    std::function<void()> OnClick;
    // What a user's press does: the handler, then the modal result.
    void Click();

protected:
    bool CommandNotify(WORD code) override;

private:
    int modalResult_;
};

class TEdit : public TWinControl {
public:
    // Default leaves the input method as it is; On opens it in Hiragana and Closed closes it
    // whenever the box gets the focus; Disabled gives the box no input method at all.
    enum class ImeMode { Default, On, Closed, Disabled };
    TEdit(TWinControl* parent, const ControlParams& params, ImeMode ime = ImeMode::Default);
    ~TEdit() override;
    std::function<void()> OnChange;

protected:
    bool CommandNotify(WORD code) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ApplyImeMode();
    ImeMode ime_;
    // An On or Closed box has an input context of its own: what it switches stays with it and
    // does not leak, through the thread's shared context, into the controls after it.
    UniqueHimc ownContext_;
};

// How a label shows its text.
struct TLabelLook {
    bool sunken = false;    // drawn in a sunken bevel frame
    bool wordWrap = false;  // long texts broken into lines, a word longer than a line too
};

class TLabel : public TWinControl {
public:
    using Look = TLabelLook;
    // A text. A width or height of 0 fits the caption in the parent's font.
    TLabel(TWinControl* parent, const ControlParams& params, Look look = {});
};

// A frame with a caption around a set of controls, which are its children.
class TGroupBox : public TWinControl {
public:
    TGroupBox(TWinControl* parent, const ControlParams& params);
};

// A whole-number edit with up and down arrows; unbounded. Text that is not a whole number
// reads as 0.
class TSpinEdit : public TEdit {
public:
    TSpinEdit(TWinControl* parent, const ControlParams& params);
    ~TSpinEdit() override;
    int Value() const;
    void SetValue(int value);

protected:
    bool Notify(NMHDR* header, LRESULT& result) override;
    void RescaleForDpi(int fromDpi, int toDpi) override;

private:
    UniqueHwnd arrows_;
};

// A text drawn straight on its parent, over whatever the parent painted before it: no
// background of its own.
class TTransparentLabel : public TGraphicControl {
public:
    TTransparentLabel(TWinControl* parent, const ControlParams& params);
    TFont Font;
    void Paint(HDC dc) override;  // line by line at "\n", cut at the bounds

    const std::wstring& Caption() const noexcept { return caption_; }
    void SetCaption(std::wstring caption);
    // The size the caption takes in the font.
    SIZE TextExtent() const;

private:
    std::wstring caption_;
};
