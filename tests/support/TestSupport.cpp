#include "support/TestSupport.hpp"

#include "data/comFunc.hpp"

#include <commctrl.h>
#include <oleacc.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"
#include "toolkit/Handles.hpp"

namespace {


// The pixels of a screen rectangle, 24-bit rows padded to 4 bytes, top row first.
std::string CaptureScreen(const RECT& rect, BITMAPINFOHEADER& header) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    UniqueHdc screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    UniqueHdc memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB};
    void* bits = nullptr;
    UniqueHbitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        SelectGuard select(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    }
    ::GdiFlush();
    header = info.bmiHeader;
    const size_t stride = (width * 3 + 3) & ~3;
    return std::string(static_cast<const char*>(bits), stride * height);
}

// Saves the rectangle once the picture has settled: windows that have just appeared may still
// be painting, so capture until two captures in a row agree.
std::wstring SaveScreenRect(const RECT& rect, const std::wstring& name) {
    BITMAPINFOHEADER header{};
    std::string pixels = CaptureScreen(rect, header);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (;;) {
        WaitFor([] { return false; }, std::chrono::milliseconds(60));
        std::string again = CaptureScreen(rect, header);
        bool settled = again == pixels;
        pixels = std::move(again);
        if (settled || std::chrono::steady_clock::now() > deadline) break;
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::wstring path = ArtifactsDir() + L"\\" + name + L".bmp";
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return path;
}

}  // namespace

TempDir::TempDir() {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"kestrum-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
}

TempDir::~TempDir() {
    // Read-only files left by a test must not stop the clean-up.
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do ::SetFileAttributesW(File(found.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
        while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& path) {
    std::wstring from = path + L'\0';  // the list ends with a second zero
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string WaitForText(const std::wstring& path) {
    std::string text;
    WaitFor([&] { return !(text = ReadFileBytes(path)).empty(); });
    return text;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ToUtf8(const std::wstring& text) {
    std::string utf8(text.size() * 4, '\0');
    utf8.resize(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

std::string ToAnsi(const std::wstring& text) {
    constexpr UINT kShiftJis = 932;
    if (text.empty()) return {};
    int size = ::WideCharToMultiByte(kShiftJis, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string result(size, '\0');
    ::WideCharToMultiByte(kShiftJis, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                          nullptr, nullptr);
    return result;
}

std::wstring WindowsPath(const std::string& path) {
    std::wstring result;
    if (!path.empty() && path[0] == '/') result = L"Z:";
    for (char c : path) result += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return result;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {  // leave it for whoever runs the loop
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Application->ProcessMessage(msg);  // as the program's own loops do
    }
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::wstring ArtifactsDir() {
    std::wstring dir = WindowsPath(KESTRUM_ARTIFACTS_DIR);
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring SaveScreenshot(const std::wstring& name) {
    RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return SaveScreenRect(screen, name);
}

std::wstring SaveWindowShot(HWND wnd, const std::wstring& name) {
    RECT rect{}, onScreen{};
    ::GetWindowRect(wnd, &rect);
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::IntersectRect(&onScreen, &rect, &screen);  // the part that is on the screen
    return SaveScreenRect(onScreen, name);
}

bool TrayIconPresent(HWND owner, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = owner;
    data.uID = id;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool ResidentStartUpDone(HWND main) {
    return TrayIconPresent(main, 1) && ::GlobalFindAtomW(L"Zorvik002HotKey") != 0 &&
           ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr) != 0;
}

bool HotKeyTaken(UINT vk) {
    constexpr int kProbeId = 0xBEEF;
    if (!::RegisterHotKey(nullptr, kProbeId, MOD_CONTROL, vk)) return true;
    ::UnregisterHotKey(nullptr, kProbeId);
    return false;
}

namespace {
INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}
}  // namespace

void SendCtrlKey(WORD vk, bool shift) {
    std::vector<INPUT> inputs = {KeyInput(VK_CONTROL, false), KeyInput(vk, false), KeyInput(vk, true),
                                 KeyInput(VK_CONTROL, true)};
    if (shift) {
        inputs.insert(inputs.begin() + 1, KeyInput(VK_SHIFT, false));
        inputs.insert(inputs.end() - 1, KeyInput(VK_SHIFT, true));
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendKey(WORD vk) {
    INPUT inputs[] = {KeyInput(vk, false), KeyInput(vk, true)};
    ::SendInput(static_cast<UINT>(std::size(inputs)), inputs, sizeof(INPUT));
}

void SendText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text)
        for (bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickAt(POINT point) {
    // Each event carries the place (0 to 65535 across the screen): a press never lands where
    // a late report of an earlier pointer move has put the pointer back.
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT click[2] = {};
    for (INPUT& input : click) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(point.x, 65536, width) + 1;
        input.mi.dy = MulDiv(point.y, 65536, height) + 1;
    }
    click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info{sizeof info};
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

BoxRecorder::BoxRecorder() {
    SetMessageBoxAnswerer([this](const MessageBoxRequest& box) {
        texts.push_back(box.text);
        return int(mrOk);
    });
}

BoxRecorder::~BoxRecorder() { SetMessageBoxAnswerer(nullptr); }

// Texts that naive INI handling changes: quotes and blanks at the ends, the file's own marks,
// Shift-JIS characters whose second byte is a backslash, characters outside Shift-JIS.
const std::vector<std::wstring>& AwkwardTexts() {
    static const std::vector<std::wstring> texts = {
        L"\"x y\" \"z\"", L"\"C:\\My Docs\\a b.txt\"", L"\"", L"\"\"", L"''", L"'quoted'", L"\"left", L"right\"",
        L" leading", L"trailing ", L"  both  ", L"\t tab", L"   ", L"a=b=c", L"; not a comment", L"[not a section]",
        L"]", L"%PATH% 100%", L"C:\\dir\\", L"\\\\server\\share", L"ｶﾀｶﾅ ﾃｽﾄ", L"表示 ソフト 予定\\", L"한국어 Café ü",
        L"😀 surrogate", std::wstring(5000, L'表') + L" ",
    };
    return texts;
}

bool FocusComesTo(HWND control) {
    return control && WaitFor([&] {
               return ::GetForegroundWindow() == ::GetAncestor(control, GA_ROOT) && FocusOfThread(control) == control;
           });
}

TestRegistryValue::TestRegistryValue(HKEY root, std::wstring key, std::wstring name, DWORD type, std::wstring byDefault)
    : root_(root), key_(std::move(key)), name_(std::move(name)), type_(type), byDefault_(std::move(byDefault)) {
    PutBack();
}

void TestRegistryValue::Set(DWORD type, const void* data, DWORD size) const {
    ::RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), type, data, size);
}

void TestRegistryValue::PutBack() const {
    if (type_ == REG_NONE) {
        ::RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str());
        return;
    }
    Set(type_, byDefault_.c_str(), static_cast<DWORD>((byDefault_.size() + 1) * sizeof(wchar_t)));
}

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// The caption of a static or button control is wider than the control (in its own font).
bool CaptionCut(HWND control) {
    const std::wstring kind = ClassOf(control);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    if (kind != L"Static" && !(kind == L"Button" && (style & BS_TYPEMASK) != BS_GROUPBOX)) return false;
    wchar_t text[256] = {};
    const int length = ::GetWindowTextW(control, text, 256);
    if (length == 0) return false;
    WindowDC dc(control);
    SelectGuard font(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text, length, &size);
    RECT client{};
    ::GetClientRect(control, &client);
    return size.cx > client.right;
}

// A frame around others, or the arrows that sit on the edge of their box.
bool SharesItsPlace(HWND control) {
    if (ClassOf(control) == UPDOWN_CLASSW) return true;
    return ClassOf(control) == L"Button" && (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

std::vector<std::string> LayoutFaults(HWND window) {
    std::vector<std::string> faults;
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child)) children.push_back(child);
    RECT area{};
    ::GetClientRect(window, &area);
    auto name = [](HWND control) {
        wchar_t text[64] = {};
        ::GetWindowTextW(control, text, 64);
        return ToUtf8(ClassOf(control)) + " \"" + ToUtf8(text) + "\"";
    };
    auto inParent = [&](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    for (size_t i = 0; i < children.size(); ++i) {
        const RECT r = inParent(children[i]);
        if (r.left < area.left || r.top < area.top || r.right > area.right || r.bottom > area.bottom)
            faults.push_back(name(children[i]) + " runs out of its window");
        if (CaptionCut(children[i])) faults.push_back(name(children[i]) + " is cut");
        for (size_t j = i + 1; j < children.size(); ++j) {
            const RECT other = inParent(children[j]);
            RECT overlap{};
            if (!SharesItsPlace(children[i]) && !SharesItsPlace(children[j]) && ::IntersectRect(&overlap, &r, &other))
                faults.push_back(name(children[i]) + " overlaps " + name(children[j]));
        }
        for (const std::string& inner : LayoutFaults(children[i])) faults.push_back(inner);
    }
    return faults;
}

OwnIniFile::OwnIniFile() { SetIniFilePathForTests(ini); }

OwnIniFile::~OwnIniFile() { SetIniFilePathForTests(L""); }

std::wstring ReadAloud(IAccessible* object, LONG id, int depth) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    VARIANT role{}, state{};
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    std::wstring line(depth * 2, L' ');
    line += role.lVal == ROLE_SYSTEM_PANE ? L"pane" : role.lVal == ROLE_SYSTEM_LIST ? L"list" : L"item";
    for (auto get : {&IAccessible::get_accName, &IAccessible::get_accKeyboardShortcut, &IAccessible::get_accDescription}) {
        BSTR text = nullptr;
        (object->*get)(child, &text);
        if (text) line += L" " + std::wstring(text);
        ::SysFreeString(text);
    }
    if (state.lVal & STATE_SYSTEM_SELECTED) line += L" (selected)";
    line += L"\n";
    long count = 0;
    if (id == CHILDID_SELF) object->get_accChildCount(&count);
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IDispatch> dispatch;
        ComPtr<IAccessible> list;
        child.lVal = i;
        if (object->get_accChild(child, reinterpret_cast<IDispatch**>(static_cast<void**>(dispatch.put()))) == S_OK &&
            dispatch.get() && SUCCEEDED(dispatch->QueryInterface(__uuidof(IAccessible), list.put()))) {
            line += ReadAloud(list.get(), CHILDID_SELF, depth + 1);
        } else {
            line += ReadAloud(object, i, depth + 1);
        }
    }
    return line;
}

