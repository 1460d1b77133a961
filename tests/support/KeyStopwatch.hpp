// Another program's low-level hook, on a thread of its own: set before a hook of ours, it is
// called after it, and notes when a key has come past.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "toolkit/Handles.hpp"

class KeyStopwatch {
public:
    explicit KeyStopwatch(UINT vk) : thread_([this, vk] { Run(vk); }) {
        while (!threadId_) std::this_thread::yield();
    }
    ~KeyStopwatch() {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    KeyStopwatch(const KeyStopwatch&) = delete;
    KeyStopwatch& operator=(const KeyStopwatch&) = delete;
    // When the key was last pressed past the hooks set after this one (the clock's zero: never).
    std::chrono::steady_clock::time_point SeenAt() const { return seenAt_.load(); }

private:
    void Run(UINT vk) {
        watched_ = vk;
        self_ = this;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        UniqueHhook hook(::SetWindowsHookExW(WH_KEYBOARD_LL, &Proc, ::GetModuleHandleW(nullptr), 0));
        threadId_ = ::GetCurrentThreadId();
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    }
    static LRESULT CALLBACK Proc(int code, WPARAM message, LPARAM info) {
        if (code == HC_ACTION && message == WM_KEYDOWN && reinterpret_cast<KBDLLHOOKSTRUCT*>(info)->vkCode == watched_)
            self_->seenAt_ = std::chrono::steady_clock::now();
        return ::CallNextHookEx(nullptr, code, message, info);
    }
    static inline thread_local UINT watched_ = 0;
    static inline thread_local KeyStopwatch* self_ = nullptr;
    std::atomic<std::chrono::steady_clock::time_point> seenAt_{};
    std::atomic<DWORD> threadId_{0};
    std::thread thread_;
};
