// The launcher window: groups on the left, the items of the selected group on the right; a
// digit selects a group, a letter starts an item through the shell.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "data/comFunc.hpp"
#include "display/clsKestrum.hpp"
#include "toolkit/ExtCtrls.hpp"
#include "toolkit/Forms.hpp"

constexpr UINT WM_USERACTIVE = WM_USER + 0x65;  // posted to itself once it is on the screen

// The message for a result of the shell's open operation; none for a success (above 32).
std::optional<std::wstring> LaunchFailureMessage(INT_PTR result);

// Starts the file through the shell's open operation (owner: the application's window) and
// tells the user in a box when the shell fails.
void ExecFile(const std::wstring& fileName, const std::wstring& param, const std::wstring& dirName);

// Fonts of the display lines from the settings: face, style (low byte), size, colour.
void SetNormalFont(TKestrum& display, const TEmvData& settings);
void SetSelectFont(TKestrum& display, const TEmvData& settings);
// A display as the launcher shows it: yellow highlight, the typing interval, both fonts of the
// settings and the gradient colours given.
void SetUpDisplay(TKestrum& display, const TEmvData& settings, COLORREF top, COLORREF bottom, int typeInterval);

class TfmShow : public TForm {
public:
    explicit TfmShow(HWND owner);
    ~TfmShow() override;

    TKestrum& GroupDisplay() noexcept { return *groupDisplay_; }
    TKestrum& ItemDisplay() noexcept { return *itemDisplay_; }
    TPanel& LeftParentPanel() noexcept { return *pnLeftParent; }

    void FormKeyDown(WPARAM key);
    void FormKeyPress(wchar_t character);
    void OnGroupSelectChangeAfter(int index);
    void OnItemSelectChangeAfter(int index);

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;

private:
    void FormCreate();
    void UserActive();
    void AskForFocusAgain();
    void WMKillFocus(HWND newFocus);

    static constexpr UINT_PTR kFocusTimer = 1;
    static constexpr int kFocusRequests = 15;
    int focusRequestsLeft_ = 0;

    std::unique_ptr<TPanel> pnLeftParent;
    std::unique_ptr<TPanel> pnLeft;
    std::unique_ptr<TPanel> pnCle;
    std::unique_ptr<TKestrum> groupDisplay_;
    std::unique_ptr<TKestrum> itemDisplay_;
};
