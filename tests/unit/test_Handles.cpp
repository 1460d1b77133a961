// The handle kit: what counts as no handle, handles handed out through a pointer, undoing
// given up, a hot key given back twice.
#include <gtest/gtest.h>

#include <windows.h>

#include "toolkit/Handles.hpp"

TEST(Handles, EachKindKnowsItsNoHandleAndPutOwnsWhatAFunctionHandsOut) {
    const long before = HandleCount(HandleKind::Kernel);
    {
        UniqueFile missing(::CreateFileW(L"Q:\\no such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        UniqueHandle none;
        EXPECT_FALSE(missing || none) << "INVALID_HANDLE_VALUE is no file, null no event";
        UniqueHandle read, write;
        ASSERT_TRUE(::CreatePipe(read.put(), write.put(), nullptr, 0));
        EXPECT_TRUE(read && write);
        EXPECT_EQ(HandleCount(HandleKind::Kernel), before + 2) << "the pipe's ends, and nothing else, held";
    }
    EXPECT_EQ(HandleCount(HandleKind::Kernel), before);
}

TEST(Handles, AReleasedScopeExitRunsNothingAndAHotKeyIsGivenBackOnce) {
    int runs = 0;
    {
        ScopeExit undo([&] { ++runs; });
        undo.release();
    }
    EXPECT_EQ(runs, 0);

    const UniqueHwnd window(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(::RegisterHotKey(window.get(), 7, MOD_CONTROL | MOD_ALT, VK_F9));
    const long before = HandleCount(HandleKind::HotKey);
    HotKeyRegistration hotKey(window.get(), 7);
    EXPECT_TRUE(hotKey.Unregister());
    EXPECT_TRUE(hotKey.Unregister()) << "nothing left to give back";
    EXPECT_EQ(HandleCount(HandleKind::HotKey), before);
}
