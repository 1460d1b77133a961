// What the user asked of Windows' look: high contrast (the system's colours instead of the
// program's), and whether windows animate their contents.
#pragma once

#include <optional>

struct TSystemLook {
    bool highContrast = false;
    bool animations = true;
    bool operator==(const TSystemLook&) const = default;
};

// Asked of Windows each time (a setting the user changes while the program runs counts at once).
TSystemLook CurrentSystemLook() noexcept;
// Tests: the look to answer instead of Windows' (nullopt: Windows' again).
void SetSystemLookForTests(std::optional<TSystemLook> look) noexcept;
