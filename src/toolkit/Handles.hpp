// Ownership of Windows handles: one move-only owner per handle, released on every path.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

template <class H, auto Close>
class Unique {
    H h_{};

public:
    explicit Unique(H h = {}) noexcept : h_(h) {}
    Unique(Unique&& o) noexcept : h_(o.release()) {}
    Unique& operator=(Unique&& o) noexcept {
        reset(o.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    H get() const noexcept { return h_; }
    H release() noexcept { return std::exchange(h_, H{}); }
    void reset(H h = {}) noexcept {
        if (h_) Close(h_);
        h_ = h;
    }
    explicit operator bool() const noexcept { return h_ != H{}; }
};

namespace handle_close {
inline void Gdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void Handle(HANDLE h) noexcept {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
}
}  // namespace handle_close

using UniqueHicon = Unique<HICON, &::DestroyIcon>;
using UniqueHmenu = Unique<HMENU, &::DestroyMenu>;
using UniqueHwnd = Unique<HWND, &::DestroyWindow>;
using UniqueHdc = Unique<HDC, &::DeleteDC>;  // from CreateDC / CreateCompatibleDC
using UniqueHfont = Unique<HFONT, &handle_close::Gdi>;
using UniqueHbitmap = Unique<HBITMAP, &handle_close::Gdi>;
using UniqueHbrush = Unique<HBRUSH, &handle_close::Gdi>;
using UniqueHpen = Unique<HPEN, &handle_close::Gdi>;
using UniqueHandle = Unique<HANDLE, &handle_close::Handle>;
using UniqueHglobal = Unique<HGLOBAL, &::GlobalFree>;
using UniqueHhook = Unique<HHOOK, &::UnhookWindowsHookEx>;
using UniqueAtom = Unique<ATOM, &::GlobalDeleteAtom>;  // a global atom
using UniqueHaccel = Unique<HACCEL, &::DestroyAcceleratorTable>;

// A DC of a window from GetDC, given back with ReleaseDC.
class WindowDC {
    HWND wnd_;
    HDC dc_;

public:
    explicit WindowDC(HWND wnd) noexcept : wnd_(wnd), dc_(::GetDC(wnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ::ReleaseDC(wnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
};

// Selects an object into a DC and puts the previous one back, before the object can be deleted.
class SelectGuard {
    HDC dc_;
    HGDIOBJ old_;

public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
};

// A registered global hot key of a window, unregistered when the owner goes.
class HotKeyRegistration {
    HWND wnd_ = nullptr;
    int id_ = 0;

public:
    HotKeyRegistration() = default;
    HotKeyRegistration(HWND wnd, int id) noexcept : wnd_(wnd), id_(id) {}
    HotKeyRegistration(HotKeyRegistration&& o) noexcept
        : wnd_(std::exchange(o.wnd_, nullptr)), id_(o.id_) {}
    HotKeyRegistration& operator=(HotKeyRegistration&& o) noexcept {
        reset();
        wnd_ = std::exchange(o.wnd_, nullptr);
        id_ = o.id_;
        return *this;
    }
    ~HotKeyRegistration() { reset(); }
    explicit operator bool() const noexcept { return wnd_ != nullptr; }
    // Unregisters now; false when the system refused.
    bool Unregister() noexcept { return ::UnregisterHotKey(std::exchange(wnd_, nullptr), id_) != 0; }
    void reset() noexcept {
        if (wnd_) Unregister();
    }
};

// COM for this thread, given back only when it was taken.
class ComInitializer {
    bool initialized_;

public:
    ComInitializer() noexcept
        : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComInitializer(const ComInitializer&) = delete;
    ComInitializer& operator=(const ComInitializer&) = delete;
    ~ComInitializer() {
        if (initialized_) ::CoUninitialize();
    }
};

// A COM interface pointer, released when it goes.
template <class T>
class ComPtr {
    T* p_ = nullptr;

public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    // For the functions that hand out an interface (CoCreateInstance, QueryInterface).
    void** put() noexcept { return reinterpret_cast<void**>(&p_); }
};
