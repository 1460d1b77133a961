// Message boxes. Every box the program shows goes through ShowMessageBox, so a test can answer
// the boxes (and see their texts) without a real box on the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

// Button set of MessageDlg.
enum TMsgDlgButtons : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };

// Modal results, the same numbers as the system's button identifiers.
enum TModalResult : int { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO };

struct MessageBoxRequest {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;  // MB_ flags
};

// The test seam: when set, it answers every box instead of the user (returns a modal result).
using MessageBoxAnswerer = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// Shows a modal box (or hands it to the answerer) and returns the button chosen.
int ShowMessageBox(const MessageBoxRequest& request);

// A box with the text, the application title as caption and one OK button; MB_TOPMOST in the
// extra style puts it in front of every window.
void ShowMessage(const std::wstring& text, UINT extraStyle = 0);

// A question or notice in the framework's style: caption "確認" for a confirmation, Japanese
// button texts. Returns the modal result of the button chosen.
int MessageDlg(const std::wstring& text, TMsgDlgType type, unsigned buttons);
