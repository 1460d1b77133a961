// The appearance page of the options dialog: the previews, the gradient colours, the window
// sizes and the two fonts, to and from the settings record.
#include "options/fmOpt.hpp"

#include "display/DisplaySetUp.hpp"

void TfmOption::CreateAppearancePage(TPanel& page) {
    auto add = [&](auto control) {
        auto* raw = control.get();
        pageControls_.push_back(std::move(control));
        return raw;
    };
    add(std::make_unique<TLabel>(&page, ControlParams{4, 8, 0, 0, L"色のプレビュー"}));
    Panel4 = std::make_unique<TPanel>(&page, TPanel::Params{.left = 24, .top = 24, .width = 247, .height = 347});
    Panel5 = std::make_unique<TPanel>(Panel4.get(), TPanel::Params{.width = 76, .bevelOuter = TBevelCut::bvNone,
                                                                   .align = TAlign::alLeft});
    pnLeft = std::make_unique<TPanel>(Panel5.get(), TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                   .align = TAlign::alClient});
    pnCle = std::make_unique<TPanel>(Panel4.get(), TPanel::Params{.bevelOuter = TBevelCut::bvNone,
                                                                  .align = TAlign::alClient});
    Panel4->Realign();
    Panel5->Realign();
    GroupPreview_ = std::make_unique<TKestrum>(pnLeft.get());
    ItemPreview_ = std::make_unique<TKestrum>(pnCle.get());
    // Made after the item preview, so they are drawn over its background.
    lbNormalFont = std::make_unique<TTransparentLabel>(pnCle.get(), ControlParams{7, 32, 152, 29, L"通常フォント　あｱＡA"});
    lbSelectFont = std::make_unique<TTransparentLabel>(pnCle.get(), ControlParams{7, 72, 152, 29, L"選択フォント　あｱＡA"});

    // The gradient colours: a swatch and its ">>" button for each.
    struct ColorBox {
        const wchar_t* caption;
        int top;
    };
    const ColorBox colorBoxes[] = {{L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳ　色", 9}, {L"ｱｲﾃﾑｳｨﾝﾄﾞｳ　色", 83}};
    for (int box = 0; box < 2; ++box) {
        auto* frame = add(std::make_unique<TGroupBox>(&page, ControlParams{298, colorBoxes[box].top, 321, 58,
                                                                            colorBoxes[box].caption}));
        for (int end = 0; end < 2; ++end) {
            const int swatch = box * 2 + end;  // group start, group end, item start, item end
            const int left = 8 + end * 120;
            auto* panel = add(std::make_unique<TPanel>(frame, TPanel::Params{.left = left, .top = 20, .width = 77,
                                                                             .height = 25,
                                                                             .caption = end ? L"終了" : L"開始"}));
            swatches_[box == 0 ? end : 2 + end] = static_cast<TPanel*>(panel);
            auto* button = static_cast<TButton*>(add(std::make_unique<TButton>(frame, ControlParams{left + 80, 20, 21, 21, L">>"})));
            button->OnClick = [this, swatch] { ChooseGradientColor(swatch); };
        }
    }

    auto* sizes = add(std::make_unique<TGroupBox>(&page, ControlParams{298, 156, 321, 99, L"　ウィンドウのサイズ関連　"}));
    const wchar_t* sizeCaptions[] = {L"ｳｨﾝﾄﾞｳの幅", L"ｳｨﾝﾄﾞｳの高さ", L"ｸﾞﾙｰﾌﾟｳｨﾝﾄﾞｳの幅"};
    for (int i = 0; i < 3; ++i) {
        add(std::make_unique<TLabel>(sizes, ControlParams{16, 20 + i * 24, 0, 0, sizeCaptions[i]}));
        sizeEdits_[i] = static_cast<TSpinEdit*>(add(std::make_unique<TSpinEdit>(sizes, ControlParams{152, 16 + i * 24, 73, 21})));
    }

    auto* fonts = add(std::make_unique<TGroupBox>(&page, ControlParams{298, 270, 321, 77, L"　フォント関連　"}));
    add(std::make_unique<TLabel>(fonts, ControlParams{16, 20, 0, 0, L"通常フォント"}));
    add(std::make_unique<TLabel>(fonts, ControlParams{16, 48, 0, 0, L"選択フォント"}));
    for (bool selectFont : {false, true}) {
        auto* button = static_cast<TButton*>(add(std::make_unique<TButton>(fonts, ControlParams{92, selectFont ? 44 : 16, 21, 21, L">>"})));
        button->OnClick = [this, selectFont] { ChooseFont(selectFont); };
    }
}

void TfmOption::SetWindowFromEmvData(const TEmvData& d) {
    edLaunchHotKey->SetText(d.MainKey);
    edOptionHotKey->SetText(d.OptionKey);
    for (const TFontRole role : {TFontRole::Selected, TFontRole::Normal}) {
        TTransparentLabel& sample = FontSample(role == TFontRole::Selected);
        sample.Font = FontFromSetting(FontSetting(d, role));
        sample.Invalidate();
    }
    sizeEdits_[1]->SetValue(d.WinHeight);
    sizeEdits_[0]->SetValue(d.WinWidth);
    sizeEdits_[2]->SetValue(d.GrpWinWidth);
    for (int swatch = 0; swatch < 4; ++swatch)  // in the order of the gradient's ends
        swatches_[swatch]->SetColor(GradientColor(d, static_cast<TGradientEnd>(swatch)));
}

void TfmOption::GetWindowToEmvData(TEmvData& data) const {
    TEmvData d{};
    d.MainKey = edLaunchHotKey->Text();
    d.OptionKey = edOptionHotKey->Text();
    for (const TFontRole role : {TFontRole::Normal, TFontRole::Selected}) {
        const TFont& font = (role == TFontRole::Selected ? lbSelectFont : lbNormalFont)->Font;
        SetFontSetting(d, role, {font.Name(), font.Charset(), static_cast<int>(font.Style() & 0x0F), font.Size(),
                                 font.Color()});
    }
    d.WinHeight = sizeEdits_[1]->Value();
    d.WinWidth = sizeEdits_[0]->Value();
    d.GrpWinWidth = sizeEdits_[2]->Value();
    for (int swatch = 0; swatch < 4; ++swatch)
        SetGradientColor(d, static_cast<TGradientEnd>(swatch), swatches_[swatch]->Color());
    data = std::move(d);
}

void TfmOption::SetPrevFromEmvData(const TEmvData& d) {
    // The previews are set up as the launcher sets up its displays, typing slower.
    SetUpDisplay(*GroupPreview_, d, TDisplayKind::Groups, 10);
    SetUpDisplay(*ItemPreview_, d, TDisplayKind::Items, 10);
}

void TfmOption::ChooseGradientColor(int swatch) {
    ColorDialog1.Color = swatches_[swatch]->Color();
    if (!ColorDialog1.Execute()) return;
    swatches_[swatch]->SetColor(ColorDialog1.Color);
    TEmvData data;
    GetWindowToEmvData(data);
    SetPrevFromEmvData(data);
    // Only the preview of that colour is drawn again.
    (swatch < 2 ? GroupPreview_ : ItemPreview_)->DrawBackground();
}

void TfmOption::ChooseFont(bool selectFont) {
    TTransparentLabel& sample = selectFont ? *lbSelectFont : *lbNormalFont;
    FontDialog1.Font = sample.Font;
    if (!FontDialog1.Execute()) return;
    sample.Font = FontDialog1.Font;
    sample.Invalidate();
}
