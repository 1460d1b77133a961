// The key catcher: from the moment the launcher is asked for, a low-level keyboard hook keeps
// the launcher's keys (digits, letters, Enter, Escape) from every other window and hands them to
// the launcher in order, so keys typed before its window is on the screen, or while the window
// system still sends the keyboard elsewhere, reach the launcher and nowhere else; they are taken
// by the key pressed, so a Japanese input method in its composing mode never turns them into
// composition.
//
// Windows calls such a hook by a message sent to the thread that set it, and every key of every
// program waits for the answer. So the hook lives on a thread of its own, whose only work is
// its message loop: the hook procedure notes the key and posts it, whatever the window thread
// is doing. The window thread asks that thread for each change by a posted thread message.
#pragma once

#include <windows.h>

#include <deque>

#include "launcher/LauncherKeys.hpp"
#include "toolkit/Handles.hpp"

// Posted by the catcher to its owner: the launcher's hot key was typed after keys that closed
// the launcher; the keys typed after it are caught for the next one.
constexpr UINT WM_NEXTLAUNCHER = WM_USER + 0x67;

class TKeyCatcher {
public:
    // hotKey: the letter or digit that with Ctrl opens the launcher (0: none); owner: the window
    // told of a next launcher typed ahead (none: nobody).
    explicit TKeyCatcher(UINT hotKey = 0, HWND owner = nullptr);
    ~TKeyCatcher();
    TKeyCatcher(const TKeyCatcher&) = delete;
    TKeyCatcher& operator=(const TKeyCatcher&) = delete;

    // The user asked for the launcher (byHotKey: by its hot key, whose Ctrl may still be held):
    // its keys are caught from now on. Keys caught since the hot key itself was typed while a
    // launcher was leaving are kept for this one.
    void Catch(bool byHotKey);
    // The launcher's window: the keys caught go there as WM_LAUNCHERKEY, the ones so far first.
    // The hot key typed among them comes as kLauncherHotKeyMark, and the keys after it wait:
    // the launcher that took the mark and stays open asks for them with Resume; one that leaves
    // before leaves them to the next launcher.
    void DeliverTo(HWND launcher);
    void Resume();
    // The launcher gets its keys from the window system now: the hook goes.
    void HandOver();
    // The launcher leaves (an item started, Escape, the keyboard gone elsewhere): nothing more is
    // caught for it, but the hot key typed now begins catching for the next launcher, so its
    // keys never reach the program just started.
    void Release();
    // No launcher is open or asked for: the hook goes, after a moment in which the hot key
    // typed right after a start still begins catching for the next launcher.
    void Stop();

    // The test seam: false makes the hook pass every key on, as a hook Windows removed does.
    static void SetHookFiresForTests(bool fires);

private:
    enum TCommand : UINT { kCatch = WM_APP + 1, kDeliverTo, kResume, kHandOver, kRelease, kStop };
    static constexpr UINT kLingerMs = 1000;

    void Post(TCommand command, WPARAM wParam = 0);
    static DWORD WINAPI ThreadMain(void* self);
    // On the key thread, from here on.
    void Execute(const MSG& msg);
    void BeginCatching(bool byHotKey);
    void SetHook();
    void RemoveHook() noexcept;
    void Linger();
    void StopLingering() noexcept;
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM info);
    bool OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key);
    void Deliver(UINT launcherKey);
    void Flush();
    void BeginNextLauncher(bool keepPending);
    bool AnotherOfOurWindowsInFront() const;

    HWND owner_;
    UniqueHandle ready_;
    UniqueHandle thread_;
    DWORD threadId_ = 0;

    // The key thread's alone.
    TKeyFilter filter_;
    UniqueHhook hook_;
    HWND target_ = nullptr;           // the launcher's window, once it exists
    HWND startForeground_ = nullptr;  // in front when the catching began
    // Caught, not posted yet: before there is a window to post to, or after a hot key's mark
    // the launcher has not answered yet.
    std::deque<UINT> pending_;
    bool atMark_ = false;
    bool claimed_ = false;            // the window thread asked for the launcher being caught for
    UINT_PTR lingerTimer_ = 0;        // a thread timer: how long the hook stays after a launcher
};
