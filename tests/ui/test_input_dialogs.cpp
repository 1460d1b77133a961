// The group and item dialogs shown modally and driven with messages as the modal loop would
// take them from the queue (through the dialog keys); boxes and the file-open dialog answered
// through their seams.
#include <gtest/gtest.h>

#include <windows.h>
#include <imm.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <optional>
#include <type_traits>
#include <string>
#include <utility>
#include <vector>

#include "options/fmGInput.hpp"
#include "options/fmIInput.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/OpenDialog.hpp"

namespace {

constexpr UINT WM_TEST_SCRIPT = WM_APP + 40;
constexpr int kLeftOpen = 99;  // what Run returns when the script did not close the dialog

constexpr wchar_t kMaskError[] = L"入力値が不正です。エスケープキーで変更を取り消せます";

// A dialog that runs a test script inside its modal showing.
template <class Form>
class Scripted : public Form {
public:
    Scripted() : Form(nullptr) {}

    // Shows the dialog modally with the script running in its loop; returns the modal result.
    int Run(std::function<void(Form&)> script) {
        script_ = std::move(script);
        ::PostMessageW(this->Handle(), WM_TEST_SCRIPT, 0, 0);
        return this->ShowModal();
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != WM_TEST_SCRIPT) return Form::WndProc(msg, wParam, lParam);
        std::exchange(script_, nullptr)(*this);
        // A script that failed half-way must not leave the test waiting for a user.
        if (this->ModalResult == mrNone) this->ModalResult = kLeftOpen;
        return 0;
    }

private:
    std::function<void(Form&)> script_;
};

// The messages waiting for this thread, handled as the modal loop handles them.
void PumpDialog() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Application->ProcessMessage(msg);
    }
}

void Deliver(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{wnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    Application->ProcessMessage(msg);
    PumpDialog();
}

// A key pressed and released in the window that has the focus.
void Press(WORD vk) {
    HWND focus = ::GetFocus();
    ASSERT_NE(focus, nullptr);
    Deliver(focus, WM_KEYDOWN, vk, 1);
    Deliver(focus, WM_KEYUP, vk, 0xC0000001);
}

void Type(const TWinControl& box, wchar_t c) { Deliver(box.Handle(), WM_CHAR, c, 1); }

void Focus(const TWinControl& control) {
    ::SetFocus(control.Handle());
    PumpDialog();
}

class InputDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Title = L"Kestrum";
        SetMessageBoxAnswerer([this](const MessageBoxRequest& box) {
            boxes.push_back(box);
            return int(mrOk);
        });
        SetOpenDialogAnswererForTests([this](const OpenDialogRequest& request) {
            browses.push_back(request);
            return browseAnswer;
        });
    }
    void TearDown() override {
        SetMessageBoxAnswerer(nullptr);
        SetOpenDialogAnswererForTests(nullptr);
    }

    std::vector<MessageBoxRequest> boxes;
    std::vector<OpenDialogRequest> browses;
    std::optional<std::wstring> browseAnswer;
};

}  // namespace

// What the user sees on opening: the dialog in front, every caption whole, no control over
// another, the focus in the key box showing its empty place, Tab going on to the name.
template <class Form>
void ExpectReadyToType(const wchar_t* caption, const wchar_t* shot) {
    Scripted<Form> dialog;
    EXPECT_EQ(dialog.Text(), caption);
    EXPECT_EQ(dialog.edKey->EditText(), L"_") << "the empty position";
    dialog.Run([&](Form& form) {
        EXPECT_EQ(LayoutFaults(form.Handle()), std::vector<std::string>{}) << ToUtf8(caption);
        EXPECT_EQ(::GetForegroundWindow(), form.Handle());
        EXPECT_EQ(::GetFocus(), form.edKey->Handle());
        EXPECT_EQ(::GetNextDlgTabItem(form.Handle(), form.edKey->Handle(), FALSE), form.edName->Handle());
        SaveWindowShot(form.Handle(), shot);
        Press(VK_ESCAPE);
    });
}

TEST_F(InputDialogTest, TheDialogsOpenInFrontWholeWithTheFocusInTheKeyBox) {
    ExpectReadyToType<TfmGroup>(L"グループ操作ダイアログ", L"fmGroup");
    ExpectReadyToType<TfmItem>(L"アイテム操作ダイアログ", L"fmItem");
}

TEST_F(InputDialogTest, PathBoxesStartWithTheInputMethodClosedAndKeyBoxesHaveNone) {
    Scripted<TfmItem> dialog;
    // Open status as each box gets the focus, or -1 for a box without an input method.
    auto statusOnFocus = [](TEdit& box) {
        box.SetFocus();
        HIMC context = ::ImmGetContext(box.Handle());
        if (!context) return -1;
        const int open = ::ImmGetOpenStatus(context) ? 1 : 0;
        ::ImmReleaseContext(box.Handle(), context);
        return open;
    };
    dialog.Run([&](TfmItem& form) {
        EXPECT_EQ(statusOnFocus(*form.edKey), -1) << "key presses arrive as plain characters";
        EXPECT_EQ(statusOnFocus(*form.edName), 1);
        for (TEdit* box : {form.edFileName.get(), form.edParam.get(), form.edDirName.get()}) {
            EXPECT_EQ(statusOnFocus(*box), 0) << "closed, but there to be opened for Japanese";
            HIMC context = ::ImmGetContext(box->Handle());
            ::ImmSetOpenStatus(context, TRUE);  // the user turns it on ...
            ::ImmReleaseContext(box->Handle(), context);
        }
        EXPECT_EQ(statusOnFocus(*form.edFileName), 0) << "... and it is closed again on the next visit";
        // What the title box switched on stays with it: the controls after it (a button here,
        // the catalogue tree after the dialog) keep the thread's input method as it was.
        EXPECT_EQ(statusOnFocus(*form.edName), 1);
        form.Button1->SetFocus();
        HIMC shared = ::ImmGetContext(form.Button1->Handle());
        EXPECT_FALSE(shared && ::ImmGetOpenStatus(shared));
        if (shared) ::ImmReleaseContext(form.Button1->Handle(), shared);
        Press(VK_ESCAPE);
    });
}

// An entry saved without a key would hide itself and all after it: OK refuses it.
template <class Form>
void OkAtOnceIsRefusedAsAnEditLeftEmpty(std::vector<MessageBoxRequest>& boxes) {
    Scripted<Form> dialog;
    const int result = dialog.Run([&](Form& form) {
        form.edName->SetFocus();
        Press(VK_RETURN);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, kMaskError);
        EXPECT_EQ(::GetFocus(), form.edKey->Handle()) << "the focus is back in the key box";
        EXPECT_EQ(form.ModalResult, mrNone) << "the dialog stays open";
        Type(*form.edKey, std::is_same_v<Form, TfmGroup> ? L'3' : L'q');
        Press(VK_RETURN);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog.ItemInfo.Key, (std::is_same_v<Form, TfmGroup> ? L"3" : L"Q"));
}

TEST_F(InputDialogTest, OkWithTheKeyBoxUntouchedIsRefusedAsAnEditLeftEmpty) {
    OkAtOnceIsRefusedAsAnEditLeftEmpty<TfmGroup>(boxes);
    boxes.clear();
    OkAtOnceIsRefusedAsAnEditLeftEmpty<TfmItem>(boxes);
}

TEST_F(InputDialogTest, TheGroupKeyTakesADigitOnlyAndTheOtherFieldsPassThrough) {
    Scripted<TfmGroup> dialog;
    dialog.SetItemInfo({L"1", L"ツール", L"C:\\a.exe", L"-x", L"C:\\", 7});
    EXPECT_EQ(dialog.edKey->Text(), L"1");
    EXPECT_EQ(dialog.edName->Text(), L"ツール");
    const int result = dialog.Run([](TfmGroup& form) {
        Type(*form.edKey, L'a');  // refused with a beep
        EXPECT_EQ(form.edKey->Text(), L"1");
        Type(*form.edKey, L'5');
        EXPECT_EQ(form.edKey->Text(), L"5");
        EXPECT_EQ(form.edKey->EditText(), L"5");
        form.edName->SetText(L"開発　ツール ");
        form.Button1->Click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog.ItemInfo, (TItemInfo{L"5", L"開発　ツール ", L"C:\\a.exe", L"-x", L"C:\\", 7}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(InputDialogTest, TheItemKeyTakesALetterOnlyAndComesBackUpperCasedWithIconNoZero) {
    Scripted<TfmItem> dialog;
    dialog.SetItemInfo({L"q", L"App", L"app.exe", L"", L"C:\\work", 12});
    const int result = dialog.Run([](TfmItem& form) {
        Type(*form.edKey, L'7');  // refused with a beep
        EXPECT_EQ(form.edKey->Text(), L"q");
        Type(*form.edKey, L'z');
        Press(VK_ESCAPE);  // undoes the edit of a key that is not empty too
        EXPECT_EQ(form.edKey->Text(), L"q");
        EXPECT_EQ(form.ModalResult, mrNone);
        Type(*form.edKey, L'x');
        EXPECT_EQ(form.edKey->Text(), L"x");
        form.edParam->SetText(L"  /s  ");
        Press(VK_RETURN);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog.ItemInfo, (TItemInfo{L"X", L"App", L"app.exe", L"  /s  ", L"C:\\work", 0}));
}

TEST_F(InputDialogTest, AKeyBoxLeftEmptyAfterAnEditIsReportedAndKeepsTheFocusUntilEscUndoesTheEdit) {
    Scripted<TfmGroup> dialog;
    dialog.SetItemInfo({L"3", L"Tools"});
    const int result = dialog.Run([this](TfmGroup& form) {
        Press(VK_TAB);  // leaving a box that was not edited is no edit
        EXPECT_EQ(::GetFocus(), form.edName->Handle());
        Focus(*form.edKey);
        Type(*form.edKey, L'8');
        Press(VK_TAB);  // left with a digit: fine
        EXPECT_TRUE(boxes.empty());

        Focus(*form.edKey);
        Press(VK_DELETE);
        EXPECT_EQ(form.edKey->EditText(), L"_");
        EXPECT_TRUE(form.edKey->Modified());
        Press(VK_TAB);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, kMaskError);
        EXPECT_EQ(boxes[0].caption, L"Kestrum");
        EXPECT_EQ(boxes[0].owner, form.Handle());
        EXPECT_EQ(::GetFocus(), form.edKey->Handle()) << "the focus is back in the box";

        Press(VK_ESCAPE);
        EXPECT_EQ(form.ModalResult, mrNone) << "Esc undid the edit instead of cancelling";
        EXPECT_EQ(form.edKey->Text(), L"8") << "the text when the box was entered";
        EXPECT_FALSE(form.edKey->Modified());
        Press(VK_TAB);
        EXPECT_EQ(boxes.size(), 1u);

        Press(VK_ESCAPE);  // nothing to undo in the name box: the dialog is cancelled
    });
    EXPECT_EQ(result, mrCancel);
}

TEST_F(InputDialogTest, CancelEscAndTheCloseBoxGiveCancelAndLeaveTheRecordAlone) {
    const TItemInfo group{L"2", L"Old"};
    for (int way = 0; way < 3; ++way) {
        Scripted<TfmGroup> dialog;
        dialog.SetItemInfo(group);
        const int result = dialog.Run([way](TfmGroup& form) {
            form.edName->SetText(L"New");
            if (way == 0) ::SendMessageW(form.Button2->Handle(), BM_CLICK, 0, 0);
            else if (way == 1) Press(VK_ESCAPE);
            else Deliver(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(result, mrCancel) << way;
        EXPECT_EQ(dialog.ItemInfo, group) << way;
    }

    Scripted<TfmItem> item;
    EXPECT_EQ(item.Run([](TfmItem& form) { Deliver(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }), mrCancel);
    EXPECT_EQ(item.Run([](TfmItem& form) { ::SendMessageW(form.Button2->Handle(), BM_CLICK, 0, 0); }), mrCancel);
}

TEST_F(InputDialogTest, TheBrowseStartsInTheFileBoxFolderAndSetsFileAndStartFolder) {
    TfmItem dialog(nullptr);
    dialog.SetItemInfo({L"A", L"Title", L"", L"-p", L"D:\\old"});

    browseAnswer = L"C:\\Tools\\run.exe";
    dialog.Button3->Click();
    ASSERT_EQ(browses.size(), 1u);
    EXPECT_EQ(browses[0].initialDir, L"") << "an empty file box leaves the folder to the system";
    EXPECT_EQ(browses[0].filter, L"実行ファイル(*.EXE)|*.exe|全てのファイル(*.*)|*.*");
    EXPECT_EQ(browses[0].filterIndex, 1);
    EXPECT_EQ(dialog.edFileName->Text(), L"C:\\Tools\\run.exe");
    EXPECT_EQ(dialog.edDirName->Text(), L"C:\\Tools\\") << "with its trailing backslash";
    EXPECT_EQ(dialog.edName->Text(), L"Title");
    EXPECT_EQ(dialog.edParam->Text(), L"-p");

    browseAnswer = std::nullopt;  // a cancel changes nothing
    dialog.edFileName->SetText(L"E:\\アプリ\\古い\\x.exe");
    dialog.Button3->Click();
    ASSERT_EQ(browses.size(), 2u);
    EXPECT_EQ(browses[1].initialDir, L"E:\\アプリ\\古い\\");
    EXPECT_EQ(dialog.edFileName->Text(), L"E:\\アプリ\\古い\\x.exe");
    EXPECT_EQ(dialog.edDirName->Text(), L"C:\\Tools\\");

    // The folder part ends at the last backslash or drive colon.
    const std::pair<const wchar_t*, const wchar_t*> folders[] = {
        {L"C:run.exe", L"C:"}, {L"run.exe", L""}, {L"\\\\server\\share\\a b\\c.exe", L"\\\\server\\share\\a b\\"}};
    for (const auto& [typed, folder] : folders) {
        dialog.edFileName->SetText(typed);
        dialog.Button3->Click();
        EXPECT_EQ(browses.back().initialDir, folder) << typed;
    }
}

TEST_F(InputDialogTest, TheKeyBoxShowsProgramTextsAsTheyAreAndRefusesPastedMisfits) {
    TfmGroup dialog(nullptr);
    dialog.edKey->SetText(L"A");  // a group key from an old file that the mask would refuse
    EXPECT_EQ(dialog.edKey->Text(), L"A");
    dialog.edKey->SetText(L"");
    EXPECT_EQ(dialog.edKey->Text(), L" ");
    EXPECT_EQ(dialog.edKey->EditText(), L"_");
    EXPECT_FALSE(dialog.edKey->Modified()) << "set by the program, not edited";

    const auto paste = [&](const wchar_t* text) {
        ASSERT_TRUE(::OpenClipboard(dialog.Handle()));
        ::EmptyClipboard();
        const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        UniqueHglobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
        memcpy(::GlobalLock(block.get()), text, bytes);
        ::GlobalUnlock(block.get());
        if (::SetClipboardData(CF_UNICODETEXT, block.get())) block.release();  // the clipboard's now
        ::CloseClipboard();
        ::SendMessageW(dialog.edKey->Handle(), WM_PASTE, 0, 0);
    };
    paste(L"x");
    EXPECT_EQ(dialog.edKey->Text(), L" ");
    paste(L"42");
    EXPECT_EQ(dialog.edKey->Text(), L"4");
    EXPECT_TRUE(dialog.edKey->Modified());
}
