// The start-up page of the options dialog: the two hot keys and the start-up link.
#pragma once

#include <functional>
#include <memory>

#include "data/comFunc.hpp"
#include "toolkit/FormLayout.hpp"
#include "toolkit/StdCtrls.hpp"

// A hot key is one letter or one digit: what the resident program can register.
bool IsValidHotKeyText(const std::wstring& text);

class TStartUpPage {
public:
    // Makes the page's controls on the page panel; show brings the page to the front.
    TStartUpPage(TWinControl& page, std::function<void()> show);

    // The hot keys of the record; its other fields are left.
    void SetFromSettings(const TEmvData& data);
    void GetToSettings(TEmvData& data) const;
    // False, with the page shown and the focus in the edit at fault, once the user has been told,
    // when a key is not one letter or digit or both keys are the same.
    bool CheckHotKeys();
    void btnSetStartUPClick();

    TEdit& HotKeyEdit(bool options) noexcept { return options ? *edOptionHotKey : *edLaunchHotKey; }

private:
    static const ControlRow<TStartUpPage> kLayout[];
    bool Refuse(TEdit& edit, const wchar_t* message);

    std::function<void()> show_;
    std::unique_ptr<TLabel> lbNote, lbLaunchHotKey, lbLaunchCtrl, lbOptionHotKey, lbOptionCtrl;
    std::unique_ptr<TEdit> edLaunchHotKey, edOptionHotKey;
    std::unique_ptr<TButton> btnSetStartUP;
};
