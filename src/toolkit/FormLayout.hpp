// A small dialog or a page declared as a table: one row per control (labels, edits, buttons,
// list views, frames and panels, each a member of the form or page), created in one pass in the
// rows' order, which is the tab order.
#pragma once

#include <memory>
#include <span>
#include <type_traits>
#include <variant>

#include "toolkit/ComCtrls.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/MaskEdit.hpp"
#include "toolkit/StdCtrls.hpp"

// One control of the form: which member it is, where it sits and what it shows. Labels are
// sized to their caption; a panel is a plain raised one with its caption in the middle.
template <class Form>
struct ControlRow {
    std::variant<std::unique_ptr<TLabel> Form::*, std::unique_ptr<TMaskEdit> Form::*,
                 std::unique_ptr<TEdit> Form::*, std::unique_ptr<TButton> Form::*,
                 std::unique_ptr<TListView> Form::*, std::unique_ptr<TGroupBox> Form::*,
                 std::unique_ptr<TSpinEdit> Form::*, std::unique_ptr<TPanel> Form::*>
        control;
    int left, top, width = 0, height = 0;
    const wchar_t* text = L"";  // caption or initial text
    const wchar_t* mask = L"";  // edit mask of a masked edit
    TEdit::ImeMode ime = TEdit::ImeMode::Default;
    TButton::Role role = TButton::Role::Normal;
    int modalResult = mrNone;
    void (Form::*onClick)() = nullptr;  // a button's handler
    std::unique_ptr<TGroupBox> Form::*in = nullptr;  // the frame it sits in, made by an earlier row
    const wchar_t* name = nullptr;  // for a screen reader, where the label before it does not say it
};

// Makes the controls of the rows as children of the parent (or of their frame), in its font;
// the owner holds them.
template <class Owner>
void CreateFromLayout(Owner& owner, TWinControl& parent, std::span<const ControlRow<std::type_identity_t<Owner>>> layout) {
    for (const ControlRow<Owner>& row : layout) {
        TWinControl* const in = row.in ? (owner.*row.in).get() : &parent;
        const ControlParams params{.left = row.left, .top = row.top, .width = row.width, .height = row.height,
                                   .caption = row.text};
        if (auto label = std::get_if<std::unique_ptr<TLabel> Owner::*>(&row.control)) {
            owner.*(*label) = std::make_unique<TLabel>(in, params);  // no size: fits its caption
        } else if (auto maskEdit = std::get_if<std::unique_ptr<TMaskEdit> Owner::*>(&row.control)) {
            owner.*(*maskEdit) = std::make_unique<TMaskEdit>(in, params, row.mask);
        } else if (auto edit = std::get_if<std::unique_ptr<TEdit> Owner::*>(&row.control)) {
            owner.*(*edit) = std::make_unique<TEdit>(in, params, row.ime);
        } else if (auto button = std::get_if<std::unique_ptr<TButton> Owner::*>(&row.control)) {
            auto& made = owner.*(*button) = std::make_unique<TButton>(in, params, TButtonKind{row.role, row.modalResult});
            if (row.onClick) made->OnClick = [&owner, click = row.onClick] { (owner.*click)(); };
        } else if (auto list = std::get_if<std::unique_ptr<TListView> Owner::*>(&row.control)) {
            const RECT bounds{row.left, row.top, row.left + row.width, row.top + row.height};
            owner.*(*list) = std::make_unique<TListView>(in, bounds);
        } else if (auto frame = std::get_if<std::unique_ptr<TGroupBox> Owner::*>(&row.control)) {
            owner.*(*frame) = std::make_unique<TGroupBox>(in, params);
        } else if (auto spin = std::get_if<std::unique_ptr<TSpinEdit> Owner::*>(&row.control)) {
            owner.*(*spin) = std::make_unique<TSpinEdit>(in, params);
        } else if (auto panel = std::get_if<std::unique_ptr<TPanel> Owner::*>(&row.control)) {
            owner.*(*panel) = std::make_unique<TPanel>(in, TPanel::Params{.left = row.left, .top = row.top,
                                                                        .width = row.width, .height = row.height,
                                                                        .caption = row.text});
        }
        if (row.name) std::visit([&](auto member) { (owner.*member)->SetAccessibleName(row.name); }, row.control);
    }
}

// A form's own controls.
template <class Form>
void CreateFromLayout(Form& form, std::span<const ControlRow<std::type_identity_t<Form>>> layout) {
    CreateFromLayout(form, form, layout);
}
