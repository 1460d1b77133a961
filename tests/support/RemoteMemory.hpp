// A block of memory in another process: the messages of the common controls that answer through
// a pointer need one there.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>

#include "toolkit/Handles.hpp"

class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id));
        if (process_)
            address_ = static_cast<char*>(
                ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!address_) throw std::runtime_error("no memory in the window's process");
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() { ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE); }

    char* Address(size_t offset = 0) const noexcept { return address_ + offset; }
    void Write(size_t offset, const void* data, size_t size) {
        ::WriteProcessMemory(process_.get(), address_ + offset, data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ::ReadProcessMemory(process_.get(), address_ + offset, data, size, nullptr);
    }

private:
    UniqueHandle process_;
    char* address_ = nullptr;
};

// Where a tab sits on the screen.
inline RECT TabOnScreen(HWND tabs, int index) {
    RemoteMemory memory(tabs, sizeof(RECT));
    RECT rect{};
    ::SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(memory.Address()));
    memory.Read(0, &rect, sizeof rect);
    ::MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
