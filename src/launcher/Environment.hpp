// The environment the started programs get: %NAME% in an entry's file, parameters and start
// folder is expanded at the start (the stored texts stay as written), and the user's
// environment is read again when it changes, as Explorer does, so a program resident for weeks
// does not start others with a PATH of the day it started.
#pragma once

#include <string>

#include "toolkit/ShellApi.hpp"  // ExpandVariables

// Notes the stored environment (the system's and the user's variables in the registry), so a
// later change can also take away a variable the user deleted. Called once at start.
void NoteStoredEnvironment();
// Makes the stored environment as it is now this process's, which the programs started from
// now on inherit: new and changed variables set, deleted ones (stored before, not now) removed.
// Variables this process was started with that were never stored stay.
void RefreshEnvironment();

// True for the settings-change broadcast that tells of a changed environment.
bool IsEnvironmentChange(const wchar_t* area) noexcept;
