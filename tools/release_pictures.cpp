// The release's pictures: the packaged sample catalogue in the launcher and in the options
// dialog, driven as a user drives them. Run by scripts/release-pictures.sh before packaging; not
// a test (it checks nothing the tests do not).
#include <gtest/gtest.h>

#include <windows.h>

#include "support/E2EMain.hpp"
#include "support/JourneyFixture.hpp"
#include "support/KestrumProcess.hpp"
#include "support/RemoteMemory.hpp"
#include "support/TestSupport.hpp"
#include "support/XInput.hpp"

namespace {
class ReleasePictures : public JourneyE2E {};
}  // namespace

TEST_F(ReleasePictures, TheSampleCatalogueInTheLauncherAndTheOptions) {
    kestrum = std::make_unique<KestrumProcess>(KestrumExePath(), dir.Path(),
                                               ReadFileBytes(WindowsPath(KESTRUM_SOURCE_DIR "/examples/Kestrum.INI")));
    StartResident();
    XKeys("ctrl+k");
    LauncherTakesTheKeys();
    HWND launcher = kestrum->WaitWindow(L"TfmShow");
    SaveWindowShot(launcher, L"release-launcher-typed");
    XKeys("1");
    SaveWindowShot(launcher, L"release-launcher-group-selected");
    XKeys("Escape");
    ASSERT_TRUE(Gone(L"TfmShow"));

    XKeys("ctrl+y");
    HWND options = kestrum->WaitWindow(L"TfmOption");
    ASSERT_TRUE(options);
    ASSERT_TRUE(XFocusComesTo(kOptionsCaption));
    XKeys("Home Down");  // the first item: its details show
    SaveWindowShot(options, L"release-options-files-page");
    const RECT tab = TabOnScreen(DescendantWindows(options, L"SysTabControl32").front(), 1);
    XClick({(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    SaveWindowShot(options, L"release-options-appearance-page");
    XKeys("Escape");
    ASSERT_TRUE(Gone(L"TfmOption"));
}
