// The options dialog: the catalogue in a two-level tree (groups and their items) with its
// editing commands, the look of the launcher and the hot keys. Nothing reaches the INI file
// until the save command. The frame holds the commands, menus, buttons and the save; the
// pages hold their controls.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/comFunc.hpp"
#include "options/OptionCommands.hpp"
#include "options/fmOptAppearance.hpp"
#include "options/fmOptCatalogue.hpp"
#include "options/fmOptStartUp.hpp"
#include "toolkit/ComCtrls.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Forms.hpp"
#include "toolkit/StdCtrls.hpp"

class TfmOption : public TForm {
public:
    using Node = TTreeView::Node;

    explicit TfmOption(HWND owner);
    ~TfmOption() override;

    // Writes the catalogue in tree order, then the settings; all or nothing. Returns false
    // (having written nothing) when a hot key is not one letter or digit.
    bool acSaveShellExecute();

    // The appearance and start-up pages to and from a settings record.
    void SetWindowFromEmvData(const TEmvData& data);
    void GetWindowToEmvData(TEmvData& data) const;
    TCataloguePage& Catalogue() noexcept { return *catalogue_; }
    TAppearancePage& Appearance() noexcept { return *appearance_; }
    TStartUpPage& StartUp() noexcept { return *startUp_; }
    void acExpExecute();
    // Runs a command as its menu entry, tool button or shortcut would.
    void RunCommand(int command);

    TStatusBar& StatusBar() noexcept { return *StatusBar1; }
    TPageControl& Pages() noexcept { return *PageControl1; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;
    void RescaleForDpi(int fromDpi, int toDpi) override;

private:
    // The commands' table (see fmOpt.cpp): a new command is one row there and its handler.
    struct ActionSpec;
    static const ActionSpec kActions[];
    static const ActionSpec* FindAction(int command);
    static std::vector<TToolBar::Button> ToolButtons();
    static void AppendCommand(HMENU menu, const ActionSpec& action, const std::wstring& caption);
    UniqueHmenu NodeMenu(Node node) const;
    void ShowNodeMenu(Node node, POINT at);
    void SaveCommand() { SaveReportingErrors(); }
    // A row's handler that is the catalogue page's.
    template <void (TCataloguePage::*command)()>
    void OnPage() { (catalogue_.get()->*command)(); }

    void FormCreate();
    void FormDestroy() noexcept;
    void CreateFrame();
    void CreateMainMenu();
    void Msg(MSG& msg, bool& handled);
    void DisplayHint();
    void Button2Click();
    bool SaveReportingErrors();
    void ShowCommandHint(int command);
    void MeasureMenuPicture(MEASUREITEMSTRUCT& item) const;
    void DrawMenuPicture(const DRAWITEMSTRUCT& item) const;

    HIMAGELIST images_ = nullptr;  // owned by imageList_
    UniqueHimagelist imageList_;
    std::unique_ptr<TStatusBar> StatusBar1;
    std::unique_ptr<TPanel> pnBottom;
    std::unique_ptr<TButton> Button1, Button2, Button3;
    std::unique_ptr<TPageControl> PageControl1;
    std::unique_ptr<TCataloguePage> catalogue_;
    std::unique_ptr<TAppearancePage> appearance_;
    std::unique_ptr<TStartUpPage> startUp_;
    // What the dialog replaced while it exists, given back when it goes.
    std::function<void(MSG&, bool&)> previousFilter_;
    std::function<void()> previousHint_;
};
