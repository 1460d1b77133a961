#include "app/ResidentState.hpp"

#include <utility>

TResidentAction TResidentState::Request(TResidentRequest request) {
    if (boxes_ > 0) return TResidentAction::FrontBox;
    switch (launcher_) {
        case TLauncher::Open:
            if (request == TResidentRequest::Launcher) return TResidentAction::Nothing;
            afterLauncher_ = request;
            launcher_ = TLauncher::Leaving;
            return TResidentAction::LeaveLauncher;
        case TLauncher::Leaving:
            afterLauncher_ = request;
            return TResidentAction::AfterLauncher;
        case TLauncher::Closed: break;
    }
    if (request == TResidentRequest::Launcher) return TResidentAction::OpenLauncher;
    return options_ ? TResidentAction::FrontOptions : TResidentAction::OpenOptions;
}

void TResidentState::LauncherLeaving() noexcept {
    if (launcher_ == TLauncher::Open) launcher_ = TLauncher::Leaving;
}

TResidentAction TResidentState::LauncherClosed() {
    launcher_ = TLauncher::Closed;
    const std::optional<TResidentRequest> next = std::exchange(afterLauncher_, std::nullopt);
    return next ? Request(*next) : TResidentAction::Nothing;
}
