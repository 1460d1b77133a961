// Buttons, edit boxes and labels: system controls bound to objects.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Controls.hpp"

struct ControlParams {
    int left = 0, top = 0, width = 0, height = 0;
    std::wstring caption;
};

class TButton : public TWinControl {
public:
    enum class Role { Normal, Default, Cancel };
    // A push button; the default button answers Enter, the cancel button Esc. A modal result
    // other than 0 ends the modal showing of the form when the button is pressed.
    TButton(TWinControl* parent, const ControlParams& params, Role role = Role::Normal, int modalResult = 0);

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
    enum class ImeMode { Default, On, Closed };
    TEdit(TWinControl* parent, const ControlParams& params, ImeMode ime = ImeMode::Default, DWORD extraStyle = 0);
    std::function<void()> OnChange;

protected:
    bool CommandNotify(WORD code) override;
};

class TLabel : public TWinControl {
public:
    // A text; sunken draws it in a sunken bevel frame; wordWrap breaks long texts into lines.
    TLabel(TWinControl* parent, const ControlParams& params, bool sunken = false, bool wordWrap = false);
};
