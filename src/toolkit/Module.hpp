// The running program's own file.
#pragma once

#include <string>

// Full path of the running executable, however long.
std::wstring ExePath();
