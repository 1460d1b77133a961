// The start-up page of the options dialog: the two hot keys and the start-up link.
#include "options/fmOpt.hpp"

#include "options/modStartUP.hpp"
#include "toolkit/Dialogs.hpp"

void TfmOption::CreateStartUpPage(TPanel& page) {
    auto label = [&](int left, int top, const wchar_t* caption) {
        pageControls_.push_back(std::make_unique<TLabel>(&page, ControlParams{left, top, 0, 0, caption}));
    };
    label(8, 8, L"※　起動キーについては再起動後適用されます");
    label(12, 36, L"ランチャー起動キー　：");
    label(172, 36, L"Ctrl　+");
    edLaunchHotKey = std::make_unique<TEdit>(&page, ControlParams{212, 32, 30, 20}, TEdit::ImeMode::Disabled);
    label(12, 60, L"ｵﾌﾟｼｮﾝｳｨﾝﾄﾞｳ起動キー　：");
    label(172, 60, L"Ctrl　+");
    edOptionHotKey = std::make_unique<TEdit>(&page, ControlParams{212, 56, 30, 20}, TEdit::ImeMode::Disabled);
    for (TEdit* edit : {edLaunchHotKey.get(), edOptionHotKey.get()}) ::SendMessageW(edit->Handle(), EM_LIMITTEXT, 1, 0);
    auto button = std::make_unique<TButton>(&page, ControlParams{8, 88, 125, 25, L"スタートアップ登録(&S)"});
    button->OnClick = [this] { btnSetStartUPClick(); };
    pageControls_.push_back(std::move(button));
}

void TfmOption::btnSetStartUPClick() { CreateStartUpLink(); }

bool IsValidHotKeyText(const std::wstring& text) { return text.size() == 1 && HotKeyCode(text); }

bool TfmOption::CheckHotKeys() {
    auto refuse = [this](TEdit& edit, const wchar_t* message) {
        ShowMessage(message);
        PageControl1->SetActivePageIndex(2);
        edit.SetFocus();
        return false;
    };
    for (TEdit* edit : {edLaunchHotKey.get(), edOptionHotKey.get()})
        if (!IsValidHotKeyText(edit->Text())) return refuse(*edit, L"起動キーには英字か数字を1文字入力してください");
    // One key cannot open both windows: from the next start Kestrum could not register it twice.
    if (SameHotKey(edLaunchHotKey->Text(), edOptionHotKey->Text()))
        return refuse(*edOptionHotKey, L"ランチャーとオプションウィンドウの起動キーには別々の文字を入力してください");
    return true;
}
