// A small dialog declared as a table: one row per control (labels, masked edits, edits, buttons
// and list views, each a member of the form), created in one pass in the rows' order, which is
// the tab order.
#pragma once

#include <memory>
#include <span>
#include <type_traits>
#include <variant>

#include "toolkit/ComCtrls.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/MaskEdit.hpp"
#include "toolkit/StdCtrls.hpp"

// One control of the form: which member it is, where it sits and what it shows. Labels are
// sized to their caption.
template <class Form>
struct ControlRow {
    std::variant<std::unique_ptr<TLabel> Form::*, std::unique_ptr<TMaskEdit> Form::*,
                 std::unique_ptr<TEdit> Form::*, std::unique_ptr<TButton> Form::*,
                 std::unique_ptr<TListView> Form::*>
        control;
    int left, top, width = 0, height = 0;
    const wchar_t* text = L"";  // caption or initial text
    const wchar_t* mask = L"";  // edit mask of a masked edit
    TEdit::ImeMode ime = TEdit::ImeMode::Default;
    TButton::Role role = TButton::Role::Normal;
    int modalResult = mrNone;
    void (Form::*onClick)() = nullptr;  // a button's handler
    UniqueHimagelist Form::*images = nullptr;  // a list view's small pictures
};

// Makes the controls of the rows as children of the form, in the form's font.
template <class Form>
void CreateFromLayout(Form& form, std::span<const ControlRow<std::type_identity_t<Form>>> layout) {
    for (const ControlRow<Form>& row : layout) {
        const ControlParams params{.left = row.left, .top = row.top, .width = row.width, .height = row.height,
                                   .caption = row.text};
        if (auto label = std::get_if<std::unique_ptr<TLabel> Form::*>(&row.control)) {
            form.*(*label) = std::make_unique<TLabel>(&form, params);  // no size: fits its caption
        } else if (auto maskEdit = std::get_if<std::unique_ptr<TMaskEdit> Form::*>(&row.control)) {
            form.*(*maskEdit) = std::make_unique<TMaskEdit>(&form, params, row.mask);
        } else if (auto edit = std::get_if<std::unique_ptr<TEdit> Form::*>(&row.control)) {
            form.*(*edit) = std::make_unique<TEdit>(&form, params, row.ime);
        } else if (auto button = std::get_if<std::unique_ptr<TButton> Form::*>(&row.control)) {
            auto& made = form.*(*button) = std::make_unique<TButton>(&form, params, TButtonKind{row.role, row.modalResult});
            if (row.onClick) made->OnClick = [&form, click = row.onClick] { (form.*click)(); };
        } else if (auto list = std::get_if<std::unique_ptr<TListView> Form::*>(&row.control)) {
            const RECT bounds{row.left, row.top, row.left + row.width, row.top + row.height};
            form.*(*list) = std::make_unique<TListView>(&form, bounds, row.images ? (form.*row.images).get() : nullptr);
        }
    }
}
