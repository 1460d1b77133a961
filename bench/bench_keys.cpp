// What the launcher's key catcher costs every other program's keys: the time a key (F7, no
// launcher key) takes to come past the low-level hooks, measured by a hook of another thread
// that is called after them. Interleaved rounds of:
//   floor     no hook of ours;
//   catcher   the key catcher catching, its window thread (this one) idle;
//   busy      the same, with this thread busy the whole time;
//   own hook  a hook procedure on this thread while it is busy, as the catcher had before it got
//             a thread of its own (Wine waits 2 s for it, Windows up to LowLevelHooksTimeout):
//             the press and the release of F7 wait in turn.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "launcher/KeyCatcher.hpp"
#include "support/KeyStopwatch.hpp"
#include "toolkit/Handles.hpp"

namespace {

using Clock = std::chrono::steady_clock;

LRESULT CALLBACK PassOn(int code, WPARAM message, LPARAM info) { return ::CallNextHookEx(nullptr, code, message, info); }

// Types F7 from another thread while this one runs `meanwhile`; milliseconds until it came past
// the hooks. Under Wine a hook that timed out leaves the later hooks out, so a key the observer
// never sees counts from the moment Wine let it go on (SendInput waits for the hooks there).
double KeyDelayMs(const KeyStopwatch& stopwatch, const std::function<void()>& meanwhile) {
    double delay = -1;
    std::thread typist([&] {
        const Clock::time_point typed = Clock::now();
        INPUT keys[2] = {};
        for (int i = 0; i < 2; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = VK_F7;
            keys[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
        }
        ::SendInput(2, keys, sizeof(INPUT));
        const Clock::time_point wentOn = Clock::now();
        delay = std::chrono::duration<double, std::milli>(wentOn - typed).count();
        while (Clock::now() - wentOn < std::chrono::milliseconds(200)) {
            if (const Clock::time_point seen = stopwatch.SeenAt(); seen >= typed) {
                delay = std::chrono::duration<double, std::milli>(seen - typed).count();
                break;
            }
            ::Sleep(1);
        }
    });
    meanwhile();
    typist.join();
    return delay;
}

void WaitForHooks(long count) {
    while (HandleCount(HandleKind::Hook) < count) ::Sleep(1);
}

void BusyFor(int ms) { ::Sleep(ms); }

void Print(const char* what, std::vector<double> samples, double floor) {
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("%-10s median %8.2f ms  max %8.2f ms  (%zu keys)  median/floor %.1fx\n", what, median, samples.back(),
                samples.size(), floor > 0 ? median / floor : 0.0);
}

}  // namespace

int main() {
    const KeyStopwatch stopwatch(VK_F7);  // first: hooks set later are called before it

    constexpr int kRounds = 15, kOwnHookRounds = 2, kBusyMs = 300;
    std::vector<double> floor, catcher, busy, ownHook;
    for (int round = 0; round < kRounds; ++round) {
        floor.push_back(KeyDelayMs(stopwatch, [] {}));
        TKeyCatcher keys;
        const long hooks = HandleCount(HandleKind::Hook);
        keys.Catch(false);
        WaitForHooks(hooks + 1);
        catcher.push_back(KeyDelayMs(stopwatch, [] {}));
        busy.push_back(KeyDelayMs(stopwatch, [] { BusyFor(kBusyMs); }));
        if (round < kOwnHookRounds) {
            UniqueHhook own(::SetWindowsHookExW(WH_KEYBOARD_LL, &PassOn, ::GetModuleHandleW(nullptr), 0));
            ownHook.push_back(KeyDelayMs(stopwatch, [] { BusyFor(2500); }));
        }
    }
    std::sort(floor.begin(), floor.end());
    const double floorMedian = floor[floor.size() / 2];
    std::printf("A key of another program past the hooks, while this thread is busy %d ms:\n", kBusyMs);
    Print("floor", floor, floorMedian);
    Print("catcher", catcher, floorMedian);
    Print("busy", busy, floorMedian);
    Print("own hook", ownHook, floorMedian);
    return 0;
}
