// Waits until Kestrum is resident: its hidden window exists, its tray icon is there and its
// hot keys are registered.
// Usage: wait_resident.exe [seconds]; exit code 0 when resident, 1 on timeout.
#include <windows.h>

#include <chrono>
#include <cstdlib>

#include "support/TestSupport.hpp"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    bool resident = WaitFor(
        [] {
            HWND main = ::FindWindowW(L"TfmMain", nullptr);
            return main && ResidentStartUpDone(main);
        },
        std::chrono::seconds(seconds));
    return resident ? 0 : 1;
}
