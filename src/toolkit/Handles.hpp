// Ownership of Windows handles: one move-only owner per handle, released on every path.
#pragma once

#include <windows.h>
#include <imm.h>
#include <objbase.h>

#include <atomic>
#include <exception>
#include <functional>
#include <utility>

// The kinds of handles the program holds, each with a live count: the program is resident for
// weeks, so a count that grows with use is a leak. Tests read the counts (see HandleCount).
enum class HandleKind : int {
    Window, GdiObject, DC, Icon, Menu, Hook, Atom, Accelerator, ImageList, Kernel, Memory, Timer, HotKey, Com,
    Module, PidList, InputContext, Count
};

inline std::atomic<long>& HandleCounter(HandleKind kind) noexcept {
    static std::atomic<long> counters[static_cast<int>(HandleKind::Count)];
    return counters[static_cast<int>(kind)];
}
inline long HandleCount(HandleKind kind) noexcept { return HandleCounter(kind).load(); }
inline void CountHandle(HandleKind kind, long change) noexcept { HandleCounter(kind) += change; }

// What a kind of handle holds when there is none: most give null, the file functions (and the
// snapshot of the processes) INVALID_HANDLE_VALUE.
template <class H>
struct NullIsNone {
    static H None() noexcept { return H{}; }
};
struct InvalidIsNone {
    static HANDLE None() noexcept { return INVALID_HANDLE_VALUE; }
};

template <class H, auto Close, HandleKind Kind, class Empty = NullIsNone<H>>
class Unique {
    H h_ = Empty::None();

    static void Track(H h, long change) noexcept {
        if (h != Empty::None()) CountHandle(Kind, change);
    }

public:
    Unique() noexcept = default;
    explicit Unique(H h) noexcept : h_(h) { Track(h_, +1); }
    Unique(Unique&& o) noexcept : h_(o.release()) { Track(h_, +1); }
    Unique& operator=(Unique&& o) noexcept {
        reset(o.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    H get() const noexcept { return h_; }
    // Gives the handle up (to its new owner, or because it is gone already).
    H release() noexcept {
        Track(h_, -1);
        return std::exchange(h_, Empty::None());
    }
    void reset(H h = Empty::None()) noexcept {
        if (h == h_) return;
        if (h_ != Empty::None()) {
            Close(h_);
            Track(h_, -1);
        }
        h_ = h;
        Track(h_, +1);
    }
    explicit operator bool() const noexcept { return h_ != Empty::None(); }

    // For the functions that hand a handle out through a pointer: the handle held before is
    // closed first, and the one handed out is owned (and counted) once the call has returned.
    class Out {
        Unique& owner_;

    public:
        explicit Out(Unique& owner) noexcept : owner_(owner) {}
        ~Out() { Track(owner_.h_, +1); }
        operator H*() const noexcept { return &owner_.h_; }
    };
    Out put() noexcept {
        reset();
        return Out(*this);
    }
};

namespace handle_close {
inline void Gdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void Handle(HANDLE h) noexcept { ::CloseHandle(h); }
}  // namespace handle_close

using UniqueHicon = Unique<HICON, &::DestroyIcon, HandleKind::Icon>;
using UniqueHmenu = Unique<HMENU, &::DestroyMenu, HandleKind::Menu>;
using UniqueHwnd = Unique<HWND, &::DestroyWindow, HandleKind::Window>;
using UniqueHdc = Unique<HDC, &::DeleteDC, HandleKind::DC>;  // from CreateDC / CreateCompatibleDC
using UniqueHfont = Unique<HFONT, &handle_close::Gdi, HandleKind::GdiObject>;
using UniqueHbitmap = Unique<HBITMAP, &handle_close::Gdi, HandleKind::GdiObject>;
using UniqueHbrush = Unique<HBRUSH, &handle_close::Gdi, HandleKind::GdiObject>;
using UniqueHpen = Unique<HPEN, &handle_close::Gdi, HandleKind::GdiObject>;
using UniqueHandle = Unique<HANDLE, &handle_close::Handle, HandleKind::Kernel>;  // none: null
using UniqueFile = Unique<HANDLE, &handle_close::Handle, HandleKind::Kernel, InvalidIsNone>;  // CreateFile's
using UniqueHglobal = Unique<HGLOBAL, &::GlobalFree, HandleKind::Memory>;
using UniqueHhook = Unique<HHOOK, &::UnhookWindowsHookEx, HandleKind::Hook>;
using UniqueAtom = Unique<ATOM, &::GlobalDeleteAtom, HandleKind::Atom>;  // a global atom
using UniqueHaccel = Unique<HACCEL, &::DestroyAcceleratorTable, HandleKind::Accelerator>;
using UniqueHimc = Unique<HIMC, &::ImmDestroyContext, HandleKind::InputContext>;  // from ImmCreateContext

// A DC of a window from GetDC, given back with ReleaseDC.
class WindowDC {
    HWND wnd_;
    HDC dc_;

public:
    explicit WindowDC(HWND wnd) noexcept : wnd_(wnd), dc_(::GetDC(wnd)) {
        if (dc_) CountHandle(HandleKind::DC, +1);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (!dc_) return;
        ::ReleaseDC(wnd_, dc_);
        CountHandle(HandleKind::DC, -1);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
};

// The painting of a window's invalid area: BeginPaint now, EndPaint however the painting ends.
class PaintDC {
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;

public:
    explicit PaintDC(HWND wnd) noexcept : wnd_(wnd), dc_(::BeginPaint(wnd, &ps_)) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { ::EndPaint(wnd_, &ps_); }
    HDC get() const noexcept { return dc_; }
    const RECT& area() const noexcept { return ps_.rcPaint; }
};

// Runs the function when the scope ends, however it ends, unless released before.
template <class F>
class ScopeExit {
    F f_;
    bool armed_ = true;

public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() {
        if (armed_) f_();
    }
    // The function will not run (what it undoes is to stay).
    void release() noexcept { armed_ = false; }
};

// The child windows of a window (all descendants), the top-level windows of a thread or of the
// desktop, one call each until the function returns false. An exception of the function ends
// the enumeration and goes on from here, not through the system's enumerator.
namespace enum_windows {
struct Visit {
    const std::function<bool(HWND)>& visit;
    std::exception_ptr error;
};
inline BOOL CALLBACK Call(HWND wnd, LPARAM param) noexcept {
    auto* state = reinterpret_cast<Visit*>(param);
    try {
        return state->visit(wnd);
    } catch (...) {
        state->error = std::current_exception();
        return FALSE;
    }
}
template <class Enumerate>
void Run(Enumerate enumerate, const std::function<bool(HWND)>& visit) {
    Visit state{visit, nullptr};
    enumerate(&Call, reinterpret_cast<LPARAM>(&state));
    if (state.error) std::rethrow_exception(state.error);
}
}  // namespace enum_windows

inline void ForEachChildWindow(HWND parent, const std::function<bool(HWND)>& visit) {
    enum_windows::Run([&](WNDENUMPROC call, LPARAM param) { ::EnumChildWindows(parent, call, param); }, visit);
}
inline void ForEachTopWindow(const std::function<bool(HWND)>& visit) {
    enum_windows::Run([](WNDENUMPROC call, LPARAM param) { ::EnumWindows(call, param); }, visit);
}
inline void ForEachThreadWindow(DWORD thread, const std::function<bool(HWND)>& visit) {
    enum_windows::Run([&](WNDENUMPROC call, LPARAM param) { ::EnumThreadWindows(thread, call, param); }, visit);
}

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
    HotKeyRegistration(HWND wnd, int id) noexcept : wnd_(wnd), id_(id) { CountHandle(HandleKind::HotKey, +1); }
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
    // Unregisters now; false when the system refused. Nothing to do the second time.
    bool Unregister() noexcept {
        if (!wnd_) return true;
        CountHandle(HandleKind::HotKey, -1);
        return ::UnregisterHotKey(std::exchange(wnd_, nullptr), id_) != 0;
    }
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
    ~ComPtr() { reset(); }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    // For the functions that hand out an interface (CoCreateInstance, QueryInterface): the
    // pointer held before is released first, and the one handed out is owned (and counted)
    // once the call has returned.
    class Out {
        ComPtr& owner_;

    public:
        explicit Out(ComPtr& owner) noexcept : owner_(owner) {}
        ~Out() {
            if (owner_.p_) CountHandle(HandleKind::Com, +1);
        }
        operator void**() const noexcept { return reinterpret_cast<void**>(&owner_.p_); }
    };
    Out put() noexcept {
        reset();
        return Out(*this);
    }
    void reset() noexcept {
        if (!p_) return;
        std::exchange(p_, nullptr)->Release();
        CountHandle(HandleKind::Com, -1);
    }
};
