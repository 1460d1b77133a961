#include "launcher/KeyCatcher.hpp"

#include <atomic>
#include <utility>

#include "toolkit/Application.hpp"
#include "toolkit/Exceptions.hpp"
#include "toolkit/Forms.hpp"

namespace {
std::atomic<bool> g_hookFires{true};
// The catcher whose hook runs on this thread.
thread_local TKeyCatcher* t_catcher = nullptr;
}  // namespace

void TKeyCatcher::SetHookFiresForTests(bool fires) { g_hookFires = fires; }

TKeyCatcher::TKeyCatcher(UINT hotKey, HWND owner)
    : owner_(owner), ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), filter_(hotKey) {
    if (!ready_) throw Exception(L"キー入力の準備に失敗しました");
    thread_.reset(::CreateThread(nullptr, 0, &ThreadMain, this, 0, &threadId_));
    if (!thread_) throw Exception(L"キー入力の準備に失敗しました");
    ::WaitForSingleObject(ready_.get(), INFINITE);  // its queue exists: commands are not lost
}

TKeyCatcher::~TKeyCatcher() {
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    ::WaitForSingleObject(thread_.get(), INFINITE);
}

void TKeyCatcher::Catch(bool byHotKey) { Post(kCatch, byHotKey); }
void TKeyCatcher::DeliverTo(HWND launcher) { Post(kDeliverTo, reinterpret_cast<WPARAM>(launcher)); }
void TKeyCatcher::Resume() { Post(kResume); }
void TKeyCatcher::HandOver() { Post(kHandOver); }
void TKeyCatcher::Release() { Post(kRelease); }
void TKeyCatcher::Stop() { Post(kStop); }

void TKeyCatcher::Post(TCommand command, WPARAM wParam) { ::PostThreadMessageW(threadId_, command, wParam, 0); }

DWORD WINAPI TKeyCatcher::ThreadMain(void* self) {
    auto* catcher = static_cast<TKeyCatcher*>(self);
    t_catcher = catcher;
    // The hook's procedure must be called at once, whatever else runs.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    ::SetEvent(catcher->ready_.get());
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) Guarded([&] { catcher->Execute(msg); });
    catcher->RemoveHook();
    return 0;
}

void TKeyCatcher::Execute(const MSG& msg) {
    const bool unclaimed = filter_.Mode() == TKeyFilter::TMode::Catching && !claimed_;
    switch (msg.message) {
        case kCatch:
            if (unclaimed) claimed_ = true;  // begun by the hot key: its keys are this launcher's
            else BeginCatching(msg.wParam != 0);
            StopLingering();
            break;
        case kDeliverTo:
            target_ = reinterpret_cast<HWND>(msg.wParam);
            atMark_ = false;
            Flush();
            break;
        case kResume:  // the hot key changed nothing: the keys after it are this launcher's
            atMark_ = false;
            Flush();
            break;
        case kHandOver:
            if (filter_.Mode() != TKeyFilter::TMode::Catching || unclaimed || atMark_ || !pending_.empty()) break;
            RemoveHook();
            target_ = nullptr;
            break;
        case kRelease:
            if (unclaimed) break;  // the next launcher's catching has begun already
            if (atMark_) {  // the hot key typed after the keys that closed this launcher
                BeginNextLauncher(true);
                if (owner_) ::PostMessageW(owner_, WM_NEXTLAUNCHER, 0, 0);
                break;
            }
            if (!hook_) SetHook();
            filter_.Watch();
            target_ = nullptr;
            break;
        case kStop:
            // The hot key typed right after a start may reach the window system late, with the
            // keys after it in a burst (under Wine, while the program started holds the keyboard
            // before it reads its input): the hook watches for it a moment longer. A launcher
            // the hot key began catching for has its hot-key message on the way.
            if (!hook_) break;
            if (!unclaimed) {
                filter_.Watch();
                target_ = nullptr;
            }
            Linger();
            break;
        case WM_TIMER:
            if (msg.wParam != lingerTimer_) break;
            StopLingering();
            if (filter_.Mode() != TKeyFilter::TMode::Catching || unclaimed) RemoveHook();
            break;
        default: break;
    }
}

void TKeyCatcher::BeginCatching(bool byHotKey) {
    if (!hook_) SetHook();
    filter_.Catch(byHotKey);
    claimed_ = true;
    target_ = nullptr;
    pending_.clear();
    atMark_ = false;
    startForeground_ = ::GetForegroundWindow();
}

void TKeyCatcher::SetHook() {
    filter_.Stop();
    filter_.StartWithHeld([](UINT vk) { return (::GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) != 0; });
    // When the hook cannot be set, keys take the window system's way to the launcher.
    hook_.reset(::SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardProc, ::GetModuleHandleW(nullptr), 0));
}

void TKeyCatcher::Linger() {
    StopLingering();
    lingerTimer_ = ::SetTimer(nullptr, 0, kLingerMs, nullptr);
}

void TKeyCatcher::StopLingering() noexcept {
    if (lingerTimer_) ::KillTimer(nullptr, std::exchange(lingerTimer_, 0));
}

void TKeyCatcher::RemoveHook() noexcept {
    StopLingering();
    hook_.reset();
    filter_.Stop();
    pending_.clear();
    atMark_ = false;
    claimed_ = false;
}

// Catching for a launcher nobody has asked for yet: the hot key's message (or the catcher's own
// message to the owner) is on the way. keepPending: the keys typed after the hot key's mark.
void TKeyCatcher::BeginNextLauncher(bool keepPending) {
    filter_.Catch(true);
    claimed_ = false;
    target_ = nullptr;
    if (!keepPending) pending_.clear();
    atMark_ = false;
    startForeground_ = ::GetForegroundWindow();  // the launcher leaving, or the program started
    if (lingerTimer_) Linger();  // the launcher closed already: its hot-key message is awaited anew
}

// Runs on the key thread, called through its message loop; it only notes the key and posts it,
// and calls nothing that can wait (no activation, no file, no lock).
LRESULT CALLBACK TKeyCatcher::KeyboardProc(int code, WPARAM message, LPARAM info) {
    bool eat = false;
    if (code == HC_ACTION && t_catcher && g_hookFires)
        Guarded([&] { eat = t_catcher->OnKey(message, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(info)); });
    return eat ? 1 : ::CallNextHookEx(nullptr, code, message, info);
}

bool TKeyCatcher::OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) {
    const TKeyFilter::TVerdict verdict = filter_.Key(
        message, key.vkCode, key.scanCode,
        {.anotherOfOursInFront = [this] { return AnotherOfOurWindowsInFront(); },
         .ctrlDown = [] { return (::GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }});
    if (verdict.nextLauncher) BeginNextLauncher(false);
    if (verdict.hotKey) Deliver(kLauncherHotKeyMark);
    if (verdict.key) Deliver(*verdict.key);
    return verdict.eat;
}

void TKeyCatcher::Deliver(UINT launcherKey) {
    pending_.push_back(launcherKey);
    Flush();
}

// Posts the pending keys in order, up to a hot key's mark: what comes after it waits for the
// launcher's answer (Resume, or Release when the keys before the mark closed it).
void TKeyCatcher::Flush() {
    while (target_ && !atMark_ && !pending_.empty()) {
        const UINT key = pending_.front();
        pending_.pop_front();
        ::PostMessageW(target_, WM_LAUNCHERKEY, key, 0);
        atMark_ = key == kLauncherHotKeyMark;
    }
}

// A box or dialog of this program that came up over the launcher (a failed start's message,
// the options dialog) takes its keys the usual way. The hidden resident window holds the
// foreground while the launcher opens: not a box.
bool TKeyCatcher::AnotherOfOurWindowsInFront() const {
    const HWND front = ::GetForegroundWindow();
    if (!front || front == target_ || front == startForeground_ || !::IsWindowVisible(front)) return false;
    return IsOwnProcessWindow(front);
}
