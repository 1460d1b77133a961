// A program for the process tests: stays running until the event "Kestrum.Linger.Stop" is set
// (or a minute has passed), so tests can see it among the running processes.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, L"Kestrum.Linger.Stop");
    ::WaitForSingleObject(stop, 60000);
    ::CloseHandle(stop);
    return 0;
}
