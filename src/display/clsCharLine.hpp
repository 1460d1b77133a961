// The base of every line of a keyed list display: the entry's data, the line's place in its
// display, and a transparent child window that reports clicks.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Controls.hpp"

// The callback of the display controls: takes a line index. An unset callback is not called.
using TLineIndexEvent = std::function<void(int)>;

class TLineDataMgr : public TCustomControl {
public:
    // A line window over the display, as a child of the display's parent.
    explicit TLineDataMgr(TWinControl* parent);

    void SetKey(std::wstring key) { Key = std::move(key); }
    void SetDispName(std::wstring name) { DispName = std::move(name); }
    void SetFileName(std::wstring fileName) { FileName = std::move(fileName); }
    void SetLineIndex(int index) noexcept { LineIndex = index; }
    void SetOnLineClick(TLineIndexEvent handler) { OnLineClick = std::move(handler); }
    TGraphicControl* Contena() const noexcept { return contena_; }
    void SetContena(TGraphicControl* display) noexcept { contena_ = display; }

    TLineIndexEvent OnLineClick;
    int LineIndex = 0;
    std::wstring FileName;
    std::wstring DispName;
    std::wstring Key;
    bool MouseIn = false;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    TGraphicControl* contena_ = nullptr;  // the display; not owned
};
