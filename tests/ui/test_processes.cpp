// The running programs: their list, and the picker that shows them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "process/clsProcName.hpp"
#include "process/frmProcName.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Exceptions.hpp"

namespace {

// Instances of the lingering helper, ended when the test ends.
class Lingering {
public:
    Lingering() : stop_(::CreateEventW(nullptr, TRUE, FALSE, L"Kestrum.Linger.Stop")) { ::ResetEvent(stop_.get()); }
    ~Lingering() {
        ::SetEvent(stop_.get());
        for (auto& process : processes_) ::WaitForSingleObject(process.get(), 10000);
    }
    void Start(const std::wstring& exe) {
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION info{};
        std::wstring commandLine = L"\"" + exe + L"\"";
        ASSERT_TRUE(::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &info));
        ::CloseHandle(info.hThread);
        processes_.emplace_back(info.hProcess);
    }

private:
    UniqueHandle stop_;
    std::vector<UniqueHandle> processes_;
};

// A fake process list of the given length.
DWORD g_fakeCount = 0;
BOOL WINAPI FakeEnumProcesses(DWORD* ids, DWORD bytes, DWORD* returned) {
    const DWORD fits = std::min<DWORD>(g_fakeCount, bytes / sizeof(DWORD));
    for (DWORD i = 0; i < fits; ++i) ids[i] = (i + 1) * 4;
    *returned = fits * sizeof(DWORD);
    return TRUE;
}
BOOL WINAPI FailingEnumProcesses(DWORD*, DWORD, DWORD*) { return FALSE; }

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

int CountOf(const TProcName& list, const std::wstring& path) {
    return static_cast<int>(std::count_if(list.FileList.begin(), list.FileList.end(),
                                          [&](const std::wstring& entry) { return SamePath(entry, path); }));
}

// True when the running processes include the path.
bool Listed(const std::wstring& path) {
    TProcName list;
    list.Enumerate();
    return CountOf(list, path) > 0;
}

}  // namespace

TEST(ProcessIds, NoProcessIsMissedBecauseOfAFullBuffer) {
    for (DWORD count : {0u, 5u, 1023u, 1024u, 1025u, 5000u}) {
        g_fakeCount = count;
        const std::vector<DWORD> ids = AllProcessIds(FakeEnumProcesses);
        ASSERT_EQ(ids.size(), count);
        if (count) {
            EXPECT_EQ(ids.back(), count * 4);
        }
    }
    try {
        AllProcessIds(FailingEnumProcesses);
        FAIL() << "a failing list is reported";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, L"PSAPI.DLL が上手く起動しません！");
    }
}

TEST(ProcName, EachRunningExecutableOnceExistingFilesOnly) {
    TempDir dir;
    const std::wstring linger = dir.File(L"linger.exe"), doomed = dir.File(L"doomed.exe");
    ASSERT_TRUE(::CopyFileW(WindowsPath(KESTRUM_LINGER_EXE).c_str(), linger.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(linger.c_str(), doomed.c_str(), FALSE));
    Lingering running;
    running.Start(linger);
    running.Start(dir.File(L"LINGER.EXE"));  // the same file by another spelling
    running.Start(doomed);
    ASSERT_TRUE(WaitFor([&] { return Listed(linger) && Listed(doomed); }));
    ASSERT_TRUE(::MoveFileW(doomed.c_str(), dir.File(L"moved.exe").c_str()));  // gone since it started

    TProcName list;
    list.Enumerate();
    EXPECT_EQ(CountOf(list, linger), 1);
    EXPECT_EQ(CountOf(list, doomed), 0);
    EXPECT_EQ(list.GetFileName(-1), L"");
    EXPECT_FALSE(list.GetIcon(-1));
    const auto at = std::find_if(list.FileList.begin(), list.FileList.end(),
                                 [&](const std::wstring& entry) { return SamePath(entry, linger); });
    ASSERT_NE(at, list.FileList.end());
    EXPECT_TRUE(list.GetIcon(static_cast<int>(at - list.FileList.begin())));

    list.Enumerate();  // a second enumeration starts again
    EXPECT_EQ(CountOf(list, linger), 1);
}

TEST(ProcName, AddFileIgnoresCaseAndMissingFiles) {
    TProcName list;
    list.AddFile(L"C:\\windows\\notepad.exe");
    list.AddFile(L"C:\\WINDOWS\\NOTEPAD.EXE");
    list.AddFile(L"C:\\windows\\no-such.exe");
    list.AddFile(L"C:\\windows");
    EXPECT_EQ(list.FileList, std::vector<std::wstring>{L"C:\\windows\\notepad.exe"});
}

TEST(ProcessPicker, ListsRunningProgramsWithTheirIcons) {
    TempDir dir;
    const std::wstring linger = dir.File(L"linger.exe");
    ASSERT_TRUE(::CopyFileW(WindowsPath(KESTRUM_LINGER_EXE).c_str(), linger.c_str(), FALSE));
    Lingering running;
    running.Start(linger);
    ASSERT_TRUE(WaitFor([&] { return Listed(linger); }));

    TfmProcName picker(nullptr);
    TListView& rows = picker.List();
    int found = -1;
    for (int i = 0; i < rows.Count(); ++i) {
        EXPECT_EQ(rows.ItemImage(i), i);
        if (rows.ItemCaption(i) == linger) found = i;
    }
    ASSERT_GE(found, 0) << "the helper program is listed";
    std::wstring chosen = L"stale";
    picker.GetExeFileName(chosen);
    EXPECT_EQ(chosen, L"") << "no row selected";
    rows.Select(found);
    picker.GetExeFileName(chosen);
    EXPECT_EQ(chosen, linger);
    picker.Show();
    EXPECT_FALSE(::GetWindowLongW(rows.Handle(), GWL_STYLE) & WS_HSCROLL) << "the column fits the list";
    SaveWindowShot(picker.Handle(), L"process-picker");
}
