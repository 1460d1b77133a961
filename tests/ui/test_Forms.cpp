#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Dpi.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/Forms.hpp"

namespace {

constexpr UINT WM_TEST_THROW = WM_APP + 1;
constexpr UINT WM_TEST_RESULT = WM_APP + 2;
constexpr UINT WM_TEST_QUIT = WM_APP + 3;

class TestForm : public TForm {
public:
    explicit TestForm(HWND ownerWindow = nullptr) {
        CreateFormWindow({.className = L"KestrumTestForm", .caption = L"test", .style = WS_POPUP,
                          .left = 10, .top = 10, .width = 100, .height = 80, .owner = ownerWindow});
    }
    bool ownerEnabledWhileModal = true;
    HWND owner = nullptr;
    bool closeFails = false;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_TEST_THROW: throw Exception(L"壊れたメッセージ");
            case WM_CLOSE:
                if (closeFails) throw Exception(L"閉じられません");
                return TForm::WndProc(msg, wParam, lParam);
            case WM_TEST_RESULT:
                ownerEnabledWhileModal = ::IsWindowEnabled(owner);
                ModalResult = static_cast<int>(wParam);
                return 0;
            case WM_TEST_QUIT: ::PostQuitMessage(3); return 0;
            default: return TForm::WndProc(msg, wParam, lParam);
        }
    }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Title = L"Kestrum";
        SetMessageBoxAnswerer([this](const MessageBoxRequest& box) {
            boxes.push_back(box);
            return int(mrOk);
        });
    }
    void TearDown() override { SetMessageBoxAnswerer(nullptr); }
    std::vector<MessageBoxRequest> boxes;
};

}  // namespace

TEST_F(FormsTest, AnExceptionInAHandlerIsReportedAfterTheMessageWithoutItsDefaultHandling) {
    TestForm form;
    form.closeFails = true;
    ::SendMessageW(form.Handle(), WM_TEST_THROW, 0, 0);
    ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);  // handled by default, it destroys the window
    EXPECT_TRUE(boxes.empty()) << "no box inside the failing messages";
    EXPECT_TRUE(::IsWindow(form.Handle()));
    PumpMessages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"壊れたメッセージ");
    EXPECT_EQ(boxes[1].text, L"閉じられません");
    EXPECT_EQ(boxes[0].caption, L"Kestrum");
}

TEST_F(FormsTest, ShowModalDisablesTheOwnerAndReturnsTheResult) {
    TestForm owner;
    owner.Show();
    TestForm dialog(owner.Handle());
    dialog.owner = owner.Handle();
    ::PostMessageW(dialog.Handle(), WM_TEST_RESULT, mrYes, 0);
    EXPECT_EQ(dialog.ShowModal(), mrYes);
    EXPECT_FALSE(dialog.ownerEnabledWhileModal);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(::IsWindowVisible(dialog.Handle()));

    // Closing a modal form ends its showing with Cancel.
    ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(FormsTest, AQuitDuringAModalShowingReachesTheOuterLoop) {
    TestForm dialog;
    ::PostMessageW(dialog.Handle(), WM_TEST_QUIT, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(FormsTest, TheMessageFilterSeesMessagesFirstAndCanSwallowThem) {
    TestForm dialog;
    std::vector<UINT> seen;
    Application->OnMessage = [&](MSG& msg, bool& handled) {
        seen.push_back(msg.message);
        handled = msg.message == WM_TEST_THROW;  // never dispatched: nothing to report
    };
    ::PostMessageW(dialog.Handle(), WM_TEST_THROW, 0, 0);
    ::PostMessageW(dialog.Handle(), WM_TEST_RESULT, mrOk, 0);
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    Application->OnMessage = nullptr;
    EXPECT_TRUE(boxes.empty());
    EXPECT_NE(std::find(seen.begin(), seen.end(), WM_TEST_THROW), seen.end());
}

TEST_F(FormsTest, ADialogIsCentredOnTheWorkAreaAndNeverLeavesIt) {
    const RECT work = WorkAreaOf(nullptr);
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    const struct {
        int width, height;
    } sizes[] = {{300, 200}, {workWidth * 2, 150}, {150, workHeight * 2}, {workWidth * 3, workHeight * 3}};
    for (const auto& size : sizes) {
        TestForm form;
        form.SetSizeCentered(size.width * kDesignDpi / form.Dpi(),
                             size.height * kDesignDpi / form.Dpi());
        RECT r{};
        ::GetWindowRect(form.Handle(), &r);
        EXPECT_GE(r.left, work.left) << size.width << "x" << size.height;
        EXPECT_GE(r.top, work.top) << size.width << "x" << size.height;
        EXPECT_LE(r.right, work.right) << size.width << "x" << size.height;
        EXPECT_LE(r.bottom, work.bottom) << size.width << "x" << size.height;
        EXPECT_NEAR(r.left - work.left, work.right - r.right, 1) << "centred across";
        EXPECT_NEAR(r.top - work.top, work.bottom - r.bottom, 1) << "centred down";
    }
}
