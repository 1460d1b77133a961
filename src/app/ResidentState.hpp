// Which of the resident's windows is up, and what a request for a window does then. The hot
// keys, the tray and a second start of the program all ask here; the windows only report that
// they opened, are leaving or closed.
#pragma once

#include <optional>

enum class TResidentRequest { Launcher, Options };

enum class TResidentAction {
    Nothing,         // the launcher is open: its hot key again changes nothing
    OpenLauncher,
    OpenOptions,
    FrontOptions,    // the options dialog is open already: it comes to the front, never a second one
    FrontBox,        // a question of the resident's is up: it is answered first
    LeaveLauncher,   // the launcher closes; the request runs once it has
    AfterLauncher,   // the launcher is closing already; the request runs once it has
};

class TResidentState {
public:
    TResidentAction Request(TResidentRequest request);

    void LauncherOpened() noexcept { launcher_ = TLauncher::Open; }
    // An item started, Escape, the keyboard gone elsewhere: the launcher is on its way out.
    void LauncherLeaving() noexcept;
    // The launcher has closed; returns what runs next: a request made while it was closing.
    TResidentAction LauncherClosed();
    void OptionsOpened() noexcept { options_ = true; }
    void OptionsClosed() noexcept { options_ = false; }
    void BoxOpened() noexcept { ++boxes_; }
    void BoxClosed() noexcept { --boxes_; }

    bool LauncherOpen() const noexcept { return launcher_ != TLauncher::Closed; }
    bool LauncherClosing() const noexcept { return launcher_ == TLauncher::Leaving; }
    bool OptionsOpen() const noexcept { return options_; }

private:
    enum class TLauncher { Closed, Open, Leaving };
    TLauncher launcher_ = TLauncher::Closed;
    bool options_ = false;
    int boxes_ = 0;
    std::optional<TResidentRequest> afterLauncher_;  // the latest request while it was closing
};
