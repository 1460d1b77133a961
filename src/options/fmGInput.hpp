// The group dialog: the key and name of one group of the catalogue, entered or changed.
#pragma once

#include <windows.h>

#include <memory>

#include "data/clsShellIniFiles.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/MaskEdit.hpp"
#include "toolkit/StdCtrls.hpp"

class TfmGroup : public TForm {
public:
    // A dialog owned by the window given (the options dialog), filled with an empty record.
    explicit TfmGroup(HWND owner);

    // The record the dialog is filled from and, after OK, hands back.
    TItemInfo ItemInfo;

    // Takes the whole record and shows its key and name.
    void SetItemInfo(const TItemInfo& info);
    void SetWindowFromItemInfo();
    // Reads the key and name back; the other fields keep what SetItemInfo put there.
    void GetWindowToItemInfo();
    // OK: reads the boxes and closes the dialog with mrOk.
    void Button1Click();

    // The controls in tab order, each with the captions beside it.
    std::unique_ptr<TLabel> Label1;
    std::unique_ptr<TMaskEdit> edKey;
    std::unique_ptr<TLabel> Label2;
    std::unique_ptr<TLabel> Label3;
    std::unique_ptr<TEdit> edName;
    std::unique_ptr<TButton> Button1;
    std::unique_ptr<TButton> Button2;
};
