// The item dialog: key, title, file, parameters and start folder of one item of the catalogue,
// entered or changed; the file can be chosen in the system's file-open dialog.
#pragma once

#include <windows.h>

#include <memory>

#include "data/clsShellIniFiles.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/MaskEdit.hpp"
#include "toolkit/OpenDialog.hpp"
#include "toolkit/StdCtrls.hpp"

class TfmItem : public TForm {
public:
    // A dialog owned by the window given (the options dialog), filled with an empty record.
    explicit TfmItem(HWND owner);

    // The record the dialog is filled from and, after OK, hands back.
    TItemInfo ItemInfo;

    // Takes the whole record and shows its texts.
    void SetItemInfo(const TItemInfo& info);
    void SetWindowFromItemInfo();
    // Reads the boxes back: the key upper-cased, the other texts as typed, IconNo 0.
    void GetWindowToItemInfo();
    // OK: refuses an empty key, else reads the boxes and closes the dialog.
    void Button1Click();
    // ">>": chooses the file in the file-open dialog, which starts in the folder of the file
    // name typed so far; the start folder becomes the chosen file's folder.
    void Button3Click();

    // The controls in tab order, each with the captions beside it.
    std::unique_ptr<TLabel> Label1;
    std::unique_ptr<TMaskEdit> edKey;
    std::unique_ptr<TLabel> Label2;
    std::unique_ptr<TLabel> Label3;
    std::unique_ptr<TEdit> edName;
    std::unique_ptr<TLabel> Label4;
    std::unique_ptr<TEdit> edFileName;
    std::unique_ptr<TButton> Button3;
    std::unique_ptr<TLabel> Label5;
    std::unique_ptr<TEdit> edParam;
    std::unique_ptr<TLabel> Label6;
    std::unique_ptr<TEdit> edDirName;
    std::unique_ptr<TButton> Button1;
    std::unique_ptr<TButton> Button2;
    TOpenDialog OpenDialog1;

protected:
    // Takes the focus and comes to the front, also over the window of another program that
    // files were dropped from.
    void FormShow() override;
};
