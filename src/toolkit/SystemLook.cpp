#include "toolkit/SystemLook.hpp"

#include <windows.h>

namespace {
std::optional<TSystemLook>& LookForTests() noexcept {
    static std::optional<TSystemLook> look;
    return look;
}
}  // namespace

TSystemLook CurrentSystemLook() noexcept {
    if (LookForTests()) return *LookForTests();
    TSystemLook look;
    HIGHCONTRASTW contrast{sizeof contrast};
    look.highContrast = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                        (contrast.dwFlags & HCF_HIGHCONTRASTON);
    BOOL animations = TRUE;
    // Unknown to Windows before Vista: animations stay on there.
    if (::SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &animations, 0)) look.animations = animations != FALSE;
    return look;
}

void SetSystemLookForTests(std::optional<TSystemLook> look) noexcept { LookForTests() = look; }
