// Process entry: the hidden resident form and the message loop. No command line is read.
#include <windows.h>
#include <commctrl.h>

#include "app/RunningCopy.hpp"
#include "app/mfmStart.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Handles.hpp"
#include "toolkit/Module.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    TRunningCopy copy(ExePath());
    if (!copy.BecomeResident()) return 0;  // the copy running shows its options instead
    // The shell's icons and links are COM objects of the GUI thread.
    ComInitializer com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    Application->Title = L"Kestrum";
    Guarded([] { Application->CreateForm(fmMain); });
    if (!fmMain) {
        Application->ShowPendingReports();  // no message loop will show it
        return 1;
    }
    Application->ShowMainForm = false;
    Application->Run();
    Application->DestroyForms();
    return 0;
}
