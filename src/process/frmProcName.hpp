// The picker of a running program: the executables of the running processes with their icons.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/ComCtrls.hpp"
#include "toolkit/FormLayout.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/StdCtrls.hpp"

class TfmProcName : public TForm {
public:
    explicit TfmProcName(HWND owner);
    ~TfmProcName() override;

    // The full path of the selected row; "" when no row is selected.
    void GetExeFileName(std::wstring& fileName) const;

    TListView& List() noexcept { return *lbProcName; }

protected:
    void RescaleForDpi(int fromDpi, int toDpi) override;

private:
    void FormCreate();
    // The list's pictures, made from the icons at the DPI.
    void MakeIconImages(int dpi);

    static const ControlRow<TfmProcName> kLayout[];
    UniqueHimagelist ilProc;
    std::vector<UniqueHicon> icons_;  // of the rows, in their order
    std::unique_ptr<TLabel> Label1;
    std::unique_ptr<TListView> lbProcName;
    std::unique_ptr<TButton> Button1, Button2;
};
