#include "options/fmOptStartUp.hpp"

#include "options/modStartUP.hpp"
#include "toolkit/Dialogs.hpp"

namespace {
using P = TStartUpPage;
constexpr auto kImeOff = TEdit::ImeMode::Disabled;  // a key is a letter or digit, never composed
}  // namespace

const ControlRow<TStartUpPage> TStartUpPage::kLayout[] = {
    {.control = &P::lbNote, .left = 8, .top = 8, .text = L"※　起動キーについては再起動後適用されます"},
    {.control = &P::lbLaunchHotKey, .left = 12, .top = 36, .text = L"ランチャー起動キー　："},
    {.control = &P::lbLaunchCtrl, .left = 166, .top = 36, .text = L"Ctrl　+"},
    {.control = &P::edLaunchHotKey, .left = 212, .top = 32, .width = 30, .height = 20, .ime = kImeOff,
     .name = L"ランチャー起動キー　Ctrl　+"},
    {.control = &P::lbOptionHotKey, .left = 12, .top = 60, .text = L"ｵﾌﾟｼｮﾝｳｨﾝﾄﾞｳ起動キー　："},
    {.control = &P::lbOptionCtrl, .left = 166, .top = 60, .text = L"Ctrl　+"},
    {.control = &P::edOptionHotKey, .left = 212, .top = 56, .width = 30, .height = 20, .ime = kImeOff,
     .name = L"ｵﾌﾟｼｮﾝｳｨﾝﾄﾞｳ起動キー　Ctrl　+"},
    {.control = &P::btnSetStartUP, .left = 8, .top = 88, .width = 125, .height = 25, .text = L"スタートアップ登録(&S)",
     .onClick = &P::btnSetStartUPClick},
};

TStartUpPage::TStartUpPage(TWinControl& page, std::function<void()> show) : show_(std::move(show)) {
    CreateFromLayout(*this, page, std::span(kLayout));
    for (TEdit* edit : {edLaunchHotKey.get(), edOptionHotKey.get()}) ::SendMessageW(edit->Handle(), EM_LIMITTEXT, 1, 0);
}

void TStartUpPage::SetFromSettings(const TEmvData& d) {
    edLaunchHotKey->SetText(d.MainKey);
    edOptionHotKey->SetText(d.OptionKey);
}

void TStartUpPage::GetToSettings(TEmvData& d) const {
    d.MainKey = edLaunchHotKey->Text();
    d.OptionKey = edOptionHotKey->Text();
}

void TStartUpPage::btnSetStartUPClick() { CreateStartUpLink(); }

bool IsValidHotKeyText(const std::wstring& text) { return text.size() == 1 && HotKeyCode(text); }

bool TStartUpPage::Refuse(TEdit& edit, const wchar_t* message) {
    ShowMessage(message);
    show_();
    edit.SetFocus();
    return false;
}

bool TStartUpPage::CheckHotKeys() {
    for (TEdit* edit : {edLaunchHotKey.get(), edOptionHotKey.get()})
        if (!IsValidHotKeyText(edit->Text())) return Refuse(*edit, L"起動キーには英字か数字を1文字入力してください");
    // One key cannot open both windows: from the next start Kestrum could not register it twice.
    if (SameHotKey(edLaunchHotKey->Text(), edOptionHotKey->Text()))
        return Refuse(*edOptionHotKey, L"ランチャーとオプションウィンドウの起動キーには別々の文字を入力してください");
    return true;
}
