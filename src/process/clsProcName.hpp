// The executable files of the processes running now: one full path per distinct executable,
// each an existing file, in the order the system reports the processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Handles.hpp"

// The identifiers of all processes from an EnumProcesses-like function, asking again with a
// larger buffer while the answer fills the whole buffer (so nobody is cut off).
using EnumProcessesFunction = BOOL(WINAPI*)(DWORD* ids, DWORD bytes, DWORD* returned);
std::vector<DWORD> AllProcessIds(EnumProcessesFunction enumProcesses, size_t firstCapacity = 1024);

class TProcName {
public:
    // Fills the list anew: through PSAPI.dll, or the ToolHelp snapshot when it cannot be loaded.
    // Throws "PSAPI.DLL が上手く起動しません！" when the process list cannot be had.
    void Enumerate();
    int Count() const noexcept { return static_cast<int>(FileList.size()); }
    // The path at the index; "" for a negative index.
    std::wstring GetFileName(int index) const;
    // The shell's large icon of the file at the index; none for a negative index.
    UniqueHicon GetIcon(int index) const;
    // Adds the path unless the list holds it already (letter case aside) or no file is there.
    void AddFile(const std::wstring& path);

    std::vector<std::wstring> FileList;

private:
    void PsapiWalk(HMODULE psapi);
    void ToolHelpWalk();
};
