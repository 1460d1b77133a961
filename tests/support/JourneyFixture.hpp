// The set-up of the journeys: the real exe with a small catalogue whose items start the
// recording helper, a program of the user's to type into, and what the test sees of both.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "data/clsShellIniFiles.hpp"
#include "support/E2EMain.hpp"
#include "support/KestrumFixture.hpp"
#include "support/RemoteMemory.hpp"
#include "support/TestSupport.hpp"
#include "support/XInput.hpp"
#include "toolkit/Handles.hpp"

inline const std::string kOptionsCaption = "オプション設定";

// A program of the user's with an edit box and its caret (tools/type_here.cpp, beside the
// recording helper).
class TypeHere {
public:
    explicit TypeHere(const wchar_t* caption = L"Type here") {
        std::wstring command = L"\"" + RecordLaunchExePath().substr(0, RecordLaunchExePath().rfind(L'\\')) +
                               L"\\type_here.exe\"" + (caption == std::wstring(L"On top") ? L" on-top" : L"");
        STARTUPINFOW startup{sizeof startup};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
            return;
        WaitFor([&] {
            ForEachTopWindow([&](HWND wnd) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(wnd, &owner);
                if (owner == info_.dwProcessId && ::IsWindowVisible(wnd)) window_ = wnd;
                return !window_;
            });
            return window_ != nullptr;
        });
        edit_ = ::FindWindowExW(window_, nullptr, L"Edit", nullptr);
    }
    ~TypeHere() {
        ::TerminateProcess(info_.hProcess, 0);
        ::WaitForSingleObject(info_.hProcess, 5000);  // its windows gone before the next test
        ::CloseHandle(info_.hThread);
        ::CloseHandle(info_.hProcess);
    }
    bool Ready() const { return edit_ != nullptr; }
    // Where a click puts the caret into the edit box, on the screen.
    POINT EditPoint() const {
        RECT rect{};
        ::GetWindowRect(edit_, &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    std::wstring Text() const {
        wchar_t text[256] = {};
        ::SendMessageW(edit_, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        return text;
    }

private:
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr, edit_ = nullptr;
};

// The options dialog's catalogue tree in Kestrum's process, seen from the test.
class RemoteTree {
public:
    explicit RemoteTree(HWND tree) : tree_(tree) {}
    HTREEITEM Next(HTREEITEM from, WPARAM how) const {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    }
    // The node of a group (item 0) or of an item, by 1-based positions.
    HTREEITEM Node(int group, int item) const {
        HTREEITEM found = Next(nullptr, TVGN_ROOT);
        for (int i = 1; i < group; ++i) found = Next(found, TVGN_NEXT);
        if (item > 0) found = Next(found, TVGN_CHILD);
        for (int i = 1; i < item; ++i) found = Next(found, TVGN_NEXT);
        return found;
    }
    int Count(HTREEITEM first) const {
        int count = 0;
        for (HTREEITEM node = first; node; node = Next(node, TVGN_NEXT)) ++count;
        return count;
    }
    int Children(int group) const { return Count(Node(group, 1)); }
    int Groups() const { return Count(Next(nullptr, TVGN_ROOT)); }
    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    // The middle of the node's text on the screen.
    POINT Centre(HTREEITEM node) const {
        RemoteMemory memory(tree_, sizeof(RECT));
        memory.Write(0, &node, sizeof node);
        ::SendMessageW(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(memory.Address()));
        RECT rect{};
        memory.Read(0, &rect, sizeof rect);
        POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(tree_, &point);
        return point;
    }

private:
    HWND tree_;
};

class JourneyE2E : public KestrumFixture {
protected:
    void SetUp() override {
        KestrumFixture::SetUp();
        XDoTool("mousemove 1000 300");  // the pointer rests on the empty desktop
    }
    void TearDown() override { XButtonUp(); }

    // Group 1 with items A, B, C and group 2 with item D, each starting the helper with its
    // own letter as the argument.
    void StartWithCatalogue() {
        {
            TShellIniFile catalogue(kestrum->IniPath());
            catalogue.WriteItemInfo({L"1", L"Tools"}, 1, 0);
            for (int i = 0; i < 3; ++i) {
                const std::wstring key(1, static_cast<wchar_t>(L'A' + i));
                catalogue.WriteItemInfo({key, L"Item " + key, helper, L"-" + key, startFolder}, 1, i + 1);
            }
            catalogue.WriteItemInfo({L"2", L"More"}, 2, 0);
            catalogue.WriteItemInfo({L"D", L"Item D", helper, L"-D", startFolder}, 2, 1);
        }
        StartResident();
    }
    // The launcher is on the screen and the keyboard's keys go to it.
    void LauncherTakesTheKeys() {
        ASSERT_TRUE(kestrum->WaitWindow(L"TfmShow"));
        ASSERT_TRUE(XFocusComesTo("Kestrum")) << "the X focus is on " << XFocusName();
    }
    bool Gone(const wchar_t* className) {
        return WaitFor([&] { return kestrum->Windows(className).empty(); });
    }
    // Waits for the helper's record (its arguments, its start folder) and takes it away for the
    // next launch.
    std::string Launched() {
        const std::wstring record = dir.File(L"launched.txt");
        std::string text = WaitForText(record);
        ::DeleteFileW(record.c_str());
        return text.empty() ? "(nothing started)" : text;
    }
    // Types a group's key and name into the group dialog the last key opened, and OK; true once
    // the dialog has gone.
    bool TypeIntoGroupDialog(const std::string& key, const std::string& name) {
        if (!kestrum->WaitWindow(L"TfmGroup") || !XFocusComesTo("グループ操作ダイアログ")) return false;
        XType(key);
        XKeys("Tab");
        XType(name);
        XKeys("Return");
        return Gone(L"TfmGroup");
    }
    // Whether no item started before now: item A started now as a sentinel is recorded first,
    // as any start before it would have been recorded ahead of it.
    bool NothingStartedBefore() {
        XKeys("ctrl+k");
        if (!kestrum->WaitWindow(L"TfmShow") || !XFocusComesTo("Kestrum")) return false;
        XKeys("1 a");
        return Launched() == Record("-A") && Gone(L"TfmShow");
    }
    // What the helper records when started with the arguments in the start folder.
    std::string Record(const std::string& arguments) const { return arguments + "\n" + RecordedFolder() + "\n"; }
    std::string RecordedFolder() const { return ToAnsi(startFolder); }
    bool KestrumInFront() const {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(::GetForegroundWindow(), &owner);
        return owner == kestrum->Id();
    }
};

