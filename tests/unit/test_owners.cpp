// The two owners the resident's parts ask: the key catcher's decision on each key event, and
// the resident's state deciding what a request for a window does.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ResidentState.hpp"
#include "launcher/LauncherKeys.hpp"

namespace {

struct KeyEvent {
    bool down;
    UINT vk;
};
KeyEvent Down(UINT vk) { return {true, vk}; }
KeyEvent Up(UINT vk) { return {false, vk}; }

// Per event: '.' passed on, 'e' kept back (the release of a caught key), 'n' the hot key began
// catching for the next launcher, 'h' the hot key typed while catching, otherwise the launcher
// key caught ('1', 'A', '\x1b' Escape).
std::string Outcomes(TKeyFilter& filter, const std::vector<KeyEvent>& events, bool oursInFront, bool ctrlDown) {
    std::string outcomes;
    const TKeyFilter::TAsk ask{[&] { return oursInFront; }, [&] { return ctrlDown; }};
    for (const KeyEvent& event : events) {
        const auto verdict = filter.Key(event.down ? WM_KEYDOWN : WM_KEYUP, event.vk, 0, ask);
        outcomes += verdict.key            ? static_cast<char>(*verdict.key)
                    : verdict.nextLauncher ? 'n'
                    : verdict.hotKey       ? 'h'
                    : verdict.eat          ? 'e'
                                           : '.';
    }
    return outcomes;
}

}  // namespace

TEST(KeyFilter, CatchesTheLaunchersKeysAndPassesEveryOtherKeyOn) {
    const struct {
        const char* what;
        std::function<void(TKeyFilter&)> start;
        std::vector<KeyEvent> events;
        std::string outcomes;
        bool oursInFront = false;
        bool ctrlDownBySystem = false;
    } cases[] = {
        {"the Ctrl of the hot key still held (and repeating): the digit is the launcher's",
         [](TKeyFilter& f) { f.Catch(true); },
         {Down(VK_LCONTROL), Down('1'), Up('1'), Up(VK_LCONTROL), Down('2')}, ".1e.2"},
        {"the Ctrl of the hot key held, as the hook found it when it was set",
         [](TKeyFilter& f) { f.StartWithHeld([](UINT vk) { return vk == VK_LCONTROL; }); f.Catch(true); },
         {Down('1')}, "1"},
        {"Ctrl pressed anew, Alt or the Windows key: another program's key",
         [](TKeyFilter& f) { f.Catch(true); },
         {Up(VK_LCONTROL), Down(VK_RCONTROL), Down('1'), Up(VK_RCONTROL), Down(VK_LMENU), Down('A'), Up(VK_LMENU),
          Down(VK_LWIN), Down('A'), Up(VK_LWIN), Down(VK_LSHIFT), Down('A')},
         "...........A"},
        {"the hot key again while the launcher is open is told of, and passes",
         [](TKeyFilter& f) { f.Catch(true); }, {Down('K'), Up('K')}, "h."},
        {"the hot key with a Ctrl the window system holds but no event told of",
         [](TKeyFilter& f) { f.Catch(false); }, {Down('K'), Down('1')}, "h1", false, true},
        {"keys that are no launcher key, the keypad's digits as digits",
         [](TKeyFilter& f) { f.Catch(false); }, {Down(VK_F5), Down(VK_SPACE), Down(VK_NUMPAD3), Down(VK_RETURN)},
         "..3\r"},
        {"Escape: caught, then nothing more until the hot key begins the next launcher",
         [](TKeyFilter& f) { f.Catch(false); },
         {Down(VK_ESCAPE), Down('1'), Up(VK_ESCAPE), Down(VK_LCONTROL), Down('K'), Up('K'), Up(VK_LCONTROL), Down('3'),
          Up('3')},
         "\x1b.e.n..3e"},
        {"leaving: only Ctrl and the hot key's letter alone begin the next launcher",
         [](TKeyFilter& f) { f.Watch(); },
         {Down('K'), Down(VK_LSHIFT), Down(VK_LCONTROL), Down('K'), Up(VK_LSHIFT), Down('3'), Down('K'), Down('3')},
         "......n3"},
        {"a box of ours in front takes its keys", [](TKeyFilter& f) { f.Catch(false); }, {Down('1'), Up('1')}, "..",
         true},
        {"not catching: everything passes", [](TKeyFilter&) {}, {Down('1'), Down(VK_ESCAPE)}, ".."},
    };
    for (const auto& c : cases) {
        TKeyFilter filter('K');
        c.start(filter);
        EXPECT_EQ(Outcomes(filter, c.events, c.oursInFront, c.ctrlDownBySystem), c.outcomes) << c.what;
    }
}

TEST(ResidentState, DecidesWhatEachRequestDoesInEachState) {
    using R = TResidentRequest;
    using A = TResidentAction;
    const struct {
        const char* state;
        std::function<void(TResidentState&)> setUp;
        R request;
        A now;
        A onceTheLauncherClosed;  // for a request the launcher has to make way for
    } cases[] = {
        {"nothing up", [](TResidentState&) {}, R::Launcher, A::OpenLauncher, A::Nothing},
        {"nothing up", [](TResidentState&) {}, R::Options, A::OpenOptions, A::Nothing},
        {"options open", [](TResidentState& s) { s.OptionsOpened(); }, R::Options, A::FrontOptions, A::Nothing},
        {"options open", [](TResidentState& s) { s.OptionsOpened(); }, R::Launcher, A::OpenLauncher, A::Nothing},
        {"launcher open", [](TResidentState& s) { s.LauncherOpened(); }, R::Launcher, A::Nothing, A::Nothing},
        {"launcher open", [](TResidentState& s) { s.LauncherOpened(); }, R::Options, A::LeaveLauncher, A::OpenOptions},
        {"launcher over the options", [](TResidentState& s) { s.OptionsOpened(); s.LauncherOpened(); }, R::Options,
         A::LeaveLauncher, A::FrontOptions},
        {"launcher leaving", [](TResidentState& s) { s.LauncherOpened(); s.LauncherLeaving(); }, R::Launcher,
         A::AfterLauncher, A::OpenLauncher},
        {"exit question up", [](TResidentState& s) { s.BoxOpened(); }, R::Options, A::FrontBox, A::Nothing},
        {"exit question up", [](TResidentState& s) { s.BoxOpened(); }, R::Launcher, A::FrontBox, A::Nothing},
        {"question answered", [](TResidentState& s) { s.BoxOpened(); s.BoxClosed(); }, R::Options, A::OpenOptions,
         A::Nothing},
    };
    for (const auto& c : cases) {
        TResidentState state;
        c.setUp(state);
        EXPECT_EQ(state.Request(c.request), c.now) << c.state << " " << int(c.request);
        const bool waits = c.now == A::LeaveLauncher || c.now == A::AfterLauncher;
        EXPECT_EQ(waits ? state.LauncherClosed() : A::Nothing, c.onceTheLauncherClosed) << c.state;
    }
}
