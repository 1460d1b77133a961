// The appearance and start-up pages of the options dialog: settings to controls and back,
// the previews, the font and colour choices, the hot-key check and the start-up shortcut.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "data/comFunc.hpp"
#include "options/fmOpt.hpp"
#include "options/modStartUP.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/CommonDialogs.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/Module.hpp"

namespace {

class AppearanceTest : public ::testing::Test, protected OwnIniFile {
protected:
    void TearDown() override {
        SetColorDialogAnswererForTests(nullptr);
        SetFontDialogAnswererForTests(nullptr);
    }
    TEmvData Saved() {
        TEmvData data{};
        LoadEmvData(data);
        return data;
    }
    static COLORREF PreviewPixel(TKestrum& preview, int y) {
        WindowDC dc(preview.Parent()->Handle());
        return ::GetPixel(dc.get(), 3, y);
    }

};

}  // namespace

TEST_F(AppearanceTest, WithoutSettingsThePagesShowTheDefaults) {
    TfmOption dialog(nullptr);
    for (int swatch = 0; swatch < 4; ++swatch) EXPECT_EQ(dialog.Appearance().Swatch(swatch).Color(), RGB(180, 180, 250));
    EXPECT_EQ(dialog.Appearance().SizeEdit(0).Value(), 800);
    EXPECT_EQ(dialog.Appearance().SizeEdit(1).Value(), 600);
    EXPECT_EQ(dialog.Appearance().SizeEdit(2).Value(), 300);
    EXPECT_EQ(dialog.Appearance().FontSample(false).Font.Name(), L"ＭＳ Ｐ明朝");
    EXPECT_EQ(dialog.Appearance().FontSample(false).Font.Size(), 11);
    EXPECT_EQ(dialog.Appearance().FontSample(false).Font.Color(), RGB(100, 100, 255));
    EXPECT_EQ(dialog.Appearance().FontSample(true).Font.Color(), RGB(255, 100, 100));
    EXPECT_EQ(dialog.StartUp().HotKeyEdit(false).Text(), L"K");
    EXPECT_EQ(dialog.StartUp().HotKeyEdit(true).Text(), L"Y");
}

TEST_F(AppearanceTest, EveryFieldRoundTripsAndOutOfRangeValuesFollowTheColourRule) {
    WriteFileBytes(ini, "[EMVDATA]\r\nMAINKEY=j\r\nOPTIONKEY=7\r\nNORMALFONTNAME=IPAGothic\r\nNORMALFONTCHARSET=128\r\n"
                        "NORMALFONTSIZE=14\r\nNORMALFONTRED=300\r\nNORMALFONTGREEN=-1\r\nNORMALFONTBLUE=7\r\n"
                        "NORMALFONTSTYLE=3\r\nGROUPSTARTRED=1\r\nGROUPSTARTGREEN=2\r\nGROUPSTARTBLUE=3\r\n"
                        "ITEMSTARTRED=4\r\nITEMSTARTGREEN=5\r\nITEMSTARTBLUE=6\r\nGROUPENDRED=7\r\nGROUPENDGREEN=8\r\n"
                        "GROUPENDBLUE=9\r\nITEMENDRED=10\r\nITEMENDGREEN=11\r\nITEMENDBLUE=12\r\n"
                        "SELECTFONTNAME=IPAMincho\r\nSELECTFONTCHARSET=1\r\nSELECTFONTSIZE=20\r\nSELECTFONTRED=0\r\n"
                        "SELECTFONTGREEN=128\r\nSELECTFONTBLUE=255\r\nSELECTFONTSTYLE=260\r\nWINWIDTH=-5\r\n"
                        "WINHEIGHT=5000\r\nGRPWINWIDTH=0\r\n");
    TfmOption dialog(nullptr);
    EXPECT_EQ(dialog.Appearance().FontSample(false).Font.Color(), RGB(44, 255, 7)) << "300 is 44, -1 is 255";
    EXPECT_EQ(dialog.Appearance().SizeEdit(0).Value(), -5);
    ASSERT_TRUE(dialog.acSaveShellExecute());
    const TEmvData saved = Saved();
    EXPECT_EQ(saved.MainKey, L"j");
    EXPECT_EQ(saved.OptionKey, L"7");
    EXPECT_EQ(saved.NormalFontName, L"IPAGothic");
    EXPECT_EQ(saved.NormalFontRed, 44);
    EXPECT_EQ(saved.NormalFontGreen, 255);
    EXPECT_EQ(saved.NormalFontStyle, 3);
    EXPECT_EQ(saved.NormalFontSize, 14);
    EXPECT_EQ(saved.SelectFontStyle, 4) << "only the low byte of the style counts";
    EXPECT_EQ(saved.SelectFontCharset, 1);
    EXPECT_EQ(saved.SelectFontGreen, 128);
    EXPECT_EQ((std::vector<int>{saved.GroupStartRed, saved.GroupStartBlue, saved.ItemStartGreen, saved.GroupEndBlue,
                                saved.ItemEndRed, saved.ItemEndBlue}),
              (std::vector<int>{1, 3, 5, 9, 10, 12}));
    EXPECT_EQ(saved.WinWidth, -5);
    EXPECT_EQ(saved.WinHeight, 5000);
    EXPECT_EQ(saved.GrpWinWidth, 0);
}

TEST_F(AppearanceTest, TheArrowsStopAtTheEndsOfTheWholeNumbers) {
    TfmOption dialog(nullptr);
    TSpinEdit& size = dialog.Appearance().SizeEdit(0);
    for (const auto& [start, key, end] : {std::tuple{INT_MAX, VK_UP, INT_MAX}, {INT_MIN, VK_DOWN, INT_MIN}, {7, VK_UP, 8}}) {
        size.SetValue(start);
        ::SendMessageW(size.Handle(), WM_KEYDOWN, key, 0);  // the arrow keys step as the arrows do
        EXPECT_EQ(size.Value(), end) << start;
    }
}

TEST_F(AppearanceTest, CtrlTabStepsThroughThePagesBothWays) {
    TfmOption dialog(nullptr);
    dialog.Show();
    dialog.Catalogue().Tree().SetFocus();
    for (const auto& [shift, page] : {std::pair{false, 1}, {false, 2}, {false, 0}, {true, 2}, {true, 1}}) {
        SendCtrlKey(VK_TAB, shift);
        EXPECT_TRUE(WaitFor([&] { return dialog.Pages().ActivePageIndex() == page; })) << page;
    }
}

TEST_F(AppearanceTest, AClearedOrWrongSizeSavesAsZero) {
    TfmOption dialog(nullptr);
    dialog.Appearance().SizeEdit(0).SetText(L"");
    dialog.Appearance().SizeEdit(1).SetText(L"12x");
    ASSERT_TRUE(dialog.acSaveShellExecute());
    EXPECT_EQ(Saved().WinWidth, 0);
    EXPECT_EQ(Saved().WinHeight, 0);
    EXPECT_EQ(Saved().GrpWinWidth, 300);
}

TEST_F(AppearanceTest, AChosenFontShowsAtOnceAndSavesItsStyleAndColour) {
    TfmOption dialog(nullptr);
    TFont preset;
    SetFontDialogAnswererForTests([&](const TFont& font) {
        preset = font;
        TFont chosen = font;
        chosen.SetStyle(fsBold | fsUnderline);
        chosen.SetColor(RGB(10, 20, 30));
        return std::optional<TFont>(chosen);
    });
    dialog.Appearance().ChooseFont(false);
    EXPECT_EQ(preset.Name(), L"ＭＳ Ｐ明朝") << "preset to the sample's font";
    EXPECT_EQ(dialog.Appearance().FontSample(false).Font.Color(), RGB(10, 20, 30));
    SetFontDialogAnswererForTests([](const TFont&) { return std::optional<TFont>(); });
    dialog.Appearance().ChooseFont(true);  // cancelled: unchanged
    EXPECT_EQ(dialog.Appearance().FontSample(true).Font.Color(), RGB(255, 100, 100));
    ASSERT_TRUE(dialog.acSaveShellExecute());
    EXPECT_EQ(Saved().NormalFontStyle, 5);
    EXPECT_EQ(Saved().NormalFontRed, 10);
    EXPECT_EQ(Saved().NormalFontBlue, 30);
}

// A large font's sample keeps its letters inside the preview (on a line of their own), and the
// samples follow every size, larger and smaller, without overlapping.
TEST_F(AppearanceTest, TheFontSamplesKeepTheirLettersInThePreviewAtEverySize) {
    TfmOption dialog(nullptr);
    TAppearancePage& page = dialog.Appearance();
    for (const int size : {24, 16, 9}) {
        for (const bool selectFont : {false, true}) {
            SetFontDialogAnswererForTests([&](const TFont& font) {
                TFont chosen = font;
                chosen.SetSize(size);
                chosen.SetStyle(fsBold);
                return std::optional<TFont>(chosen);
            });
            page.ChooseFont(selectFont);
        }
        const TTransparentLabel &normal = page.FontSample(false), &selected = page.FontSample(true);
        for (const TTransparentLabel* sample : {&normal, &selected}) {
            EXPECT_NE(sample->Caption().find(L"あｱＡA"), std::wstring::npos) << size << " pt";
            EXPECT_LE(sample->TextExtent().cx, page.ItemPreview().Width() - sample->Left()) << size << " pt";
            EXPECT_GE(sample->Height(), sample->TextExtent().cy) << size << " pt";
        }
        EXPECT_GE(selected.Top(), normal.Top() + normal.Height()) << size << " pt";
    }
    EXPECT_EQ(page.FontSample(false).Caption(), L"通常フォント　あｱＡA") << "one line again at 9 pt";
    EXPECT_EQ(page.FontSample(true).Top(), 72) << "where it always was, at a small size";
}

TEST_F(AppearanceTest, AColourChoiceRedrawsOnlyItsOwnPreview) {
    TfmOption dialog(nullptr);
    dialog.Show();
    dialog.Pages().SetActivePageIndex(1);
    dialog.Appearance().GroupPreview().DrawBackground();
    dialog.Appearance().ItemPreview().DrawBackground();
    PumpMessages();
    const COLORREF groupBefore = PreviewPixel(dialog.Appearance().GroupPreview(), 2);
    const COLORREF itemBefore = PreviewPixel(dialog.Appearance().ItemPreview(), 2);
    COLORREF preset = 0;
    SetColorDialogAnswererForTests([&](COLORREF color) {
        preset = color;
        return std::optional<COLORREF>(RGB(0, 0, 0));
    });
    dialog.Appearance().ChooseGradientColor(0);  // group start
    PumpMessages();
    EXPECT_EQ(preset, RGB(180, 180, 250));
    EXPECT_EQ(dialog.Appearance().Swatch(0).Color(), RGB(0, 0, 0));
    EXPECT_EQ(PreviewPixel(dialog.Appearance().GroupPreview(), 2), RGB(128, 128, 128)) << "black blended with white";
    EXPECT_NE(PreviewPixel(dialog.Appearance().GroupPreview(), 2), groupBefore);
    EXPECT_EQ(PreviewPixel(dialog.Appearance().ItemPreview(), 2), itemBefore);

    dialog.Appearance().ChooseGradientColor(2);  // item start: now the item preview follows
    PumpMessages();
    EXPECT_EQ(PreviewPixel(dialog.Appearance().ItemPreview(), 2), RGB(128, 128, 128));
    SaveWindowShot(dialog.Handle(), L"options-appearance-page");
}

TEST_F(AppearanceTest, CancellingTheDialogLeavesTheFileAsItWas) {
    WriteFileBytes(ini, "[EMVDATA]\r\nWINWIDTH=640\r\n");
    {
        TfmOption dialog(nullptr);
        dialog.Appearance().SizeEdit(0).SetValue(1);
        SetColorDialogAnswererForTests([](COLORREF) { return std::optional<COLORREF>(RGB(1, 2, 3)); });
        dialog.Appearance().ChooseGradientColor(3);
    }
    EXPECT_EQ(ReadFileBytes(ini), "[EMVDATA]\r\nWINWIDTH=640\r\n");
}

TEST_F(AppearanceTest, AHotKeyThatIsNotOneLetterOrDigitStopsTheSaveBeforeAnyWrite) {
    WriteFileBytes(ini, "[EMVDATA]\r\nMAINKEY=K\r\n");
    TfmOption dialog(nullptr);
    for (const wchar_t* wrong : {L"", L"@", L"ｋ"}) {
        boxes.clear();
        dialog.StartUp().HotKeyEdit(true).SetText(wrong);
        EXPECT_FALSE(dialog.acSaveShellExecute()) << "key " << testing::PrintToString(std::wstring(wrong));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], L"起動キーには英字か数字を1文字入力してください");
        EXPECT_EQ(dialog.Pages().ActivePageIndex(), 2) << "the start-up page is shown";
        EXPECT_EQ(::GetFocus(), dialog.StartUp().HotKeyEdit(true).Handle());
        EXPECT_EQ(ReadFileBytes(ini), "[EMVDATA]\r\nMAINKEY=K\r\n");
    }
    // One key for both windows, whatever its case: refused with the focus in the second key.
    boxes.clear();
    dialog.StartUp().HotKeyEdit(true).SetText(L"k");
    EXPECT_FALSE(dialog.acSaveShellExecute());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"ランチャーとオプションウィンドウの起動キーには別々の文字を入力してください");
    EXPECT_EQ(::GetFocus(), dialog.StartUp().HotKeyEdit(true).Handle());
    EXPECT_EQ(ReadFileBytes(ini), "[EMVDATA]\r\nMAINKEY=K\r\n");

    dialog.StartUp().HotKeyEdit(false).SetText(L"l");
    dialog.StartUp().HotKeyEdit(true).SetText(L"9");
    EXPECT_TRUE(dialog.acSaveShellExecute());
    EXPECT_EQ(Saved().MainKey, L"l") << "saved as typed";
    EXPECT_EQ(Saved().OptionKey, L"9");
    EXPECT_TRUE(IsValidHotKeyText(L"Z"));
    EXPECT_FALSE(IsValidHotKeyText(L"KK"));
}

TEST(StartUpLink, NamesAndFolders) {
    EXPECT_EQ(StartUpLinkPath(L"C:\\Start", L"D:\\Tools\\Kestrum.exe"), L"C:\\Start\\Kestrum.lnk");
    EXPECT_EQ(StartUpWorkingFolder(L"D:\\Tools\\Kestrum.exe"), L"D:\\Tools");
    EXPECT_EQ(StartUpWorkingFolder(L"D:\\Kestrum.exe"), L"D:\\");
}

TEST(StartUpLink, TheShortcutStartsThisProgramFromItsFolderAndIsReplaced) {
    ComInitializer com;
    wchar_t folder[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, TRUE));
    const std::wstring exe = ExePath();
    const std::wstring link = StartUpLinkPath(folder, exe);
    ::DeleteFileW(link.c_str());
    CreateStartUpLink();
    CreateStartUpLink();  // again: the same file, replaced
    ASSERT_TRUE(FileExists(link));

    ComPtr<IShellLinkW> shellLink;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                             shellLink.put())));
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, file.put())));
    ASSERT_TRUE(SUCCEEDED(file->Load(link.c_str(), STGM_READ)));
    wchar_t text[MAX_PATH] = {};
    shellLink->GetPath(text, MAX_PATH, nullptr, 0);
    EXPECT_EQ(_wcsicmp(text, exe.c_str()), 0) << std::wstring(text);
    shellLink->GetArguments(text, MAX_PATH);
    EXPECT_EQ(std::wstring(text), L"/starup");
    shellLink->GetWorkingDirectory(text, MAX_PATH);
    EXPECT_EQ(_wcsicmp(text, StartUpWorkingFolder(exe).c_str()), 0) << std::wstring(text);

    WIN32_FIND_DATAW found;
    int links = 0;
    const std::wstring pattern = std::wstring(folder) + L"\\" + exe.substr(exe.rfind(L'\\') + 1, 3) + L"*.lnk";
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do ++links;
        while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    EXPECT_EQ(links, 1);
    ::DeleteFileW(link.c_str());
}

TEST(StartUpLink, AStartUpFolderThatCannotBeFoundIsReportedAndNothingIsWritten) {
    // The user's start-up folder moved to a drive that is not there.
    constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const TestRegistryValue startUp(HKEY_CURRENT_USER, kShellFolders, L"Startup", REG_EXPAND_SZ,
                                    L"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
    const wchar_t missing[] = L"Q:\\not here\\Startup";
    startUp.Set(REG_EXPAND_SZ, missing, sizeof missing);
    ComInitializer com;
    std::wstring message;
    try {
        CreateStartUpLink();
    } catch (const Exception& e) {
        message = e.Message;
    }
    EXPECT_EQ(message, L"スタートアップフォルダが見つかりません。ショートカットは作成されませんでした");
    EXPECT_FALSE(FileExists(StartUpLinkPath(missing, ExePath())));
}
