#include "launcher/LauncherAccessible.hpp"

#include <oleacc.h>

#include <atomic>
#include <string>

#include "display/clsKestrum.hpp"

struct TLauncherAccessibility::View {
    HWND window;
    TKestrum* lists[2];  // the groups, the items; none once the launcher is gone
    bool alive = true;
};

namespace {

const wchar_t* const kListNames[] = {L"グループ", L"アイテム"};
const wchar_t kMissingText[] = L"未存在";

HRESULT Text(BSTR* out, const std::wstring& text) {
    if (!out) return E_POINTER;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Number(VARIANT* out, LONG value) {
    if (!out) return E_POINTER;
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

HRESULT Empty(VARIANT* out) {
    if (!out) return E_POINTER;
    ::VariantInit(out);
    return S_FALSE;
}

RECT ScreenRect(HWND window, RECT rect) {
    ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// One object of the tree: the pane (list -1) or one of its two lists, whose entries are simple
// elements (child identifiers from 1). Every answer is read from the displays at the moment.
class TAccessibleNode final : public IAccessible {
public:
    TAccessibleNode(std::shared_ptr<TLauncherAccessibility::View> view, int list) : view_(std::move(view)), list_(list) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(IAccessible)) return E_NOINTERFACE;
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: readers call the interface's methods directly.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (list_ >= 0) return QueryInterfaceOf(new TAccessibleNode(view_, -1), parent);
        return ::AccessibleObjectFromWindow(view_->window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                            reinterpret_cast<void**>(parent));
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        if (!view_->alive) return RPC_E_DISCONNECTED;
        *count = list_ < 0 ? 2 : List().EntryCount();
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (!Valid(child)) return E_INVALIDARG;
        if (list_ < 0 && child.lVal != CHILDID_SELF) return QueryInterfaceOf(new TAccessibleNode(view_, child.lVal - 1), out);
        return S_FALSE;  // an entry is a simple element of its list
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        return Answer(child, name, [&](LONG id) -> std::wstring {
            if (list_ < 0) return id == CHILDID_SELF ? L"Kestrum" : kListNames[id - 1];
            return id == CHILDID_SELF ? kListNames[list_] : List().Entry(id - 1).Name;
        });
    }
    STDMETHODIMP get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
        // A list without entries may say what to do instead (the first run's line).
        return Answer(child, description, [&](LONG id) -> std::wstring {
            if (list_ < 0) return L"";
            if (id == CHILDID_SELF) return List().Text();
            return List().EntryMissing(id - 1) ? kMissingText : L"";
        });
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (!Valid(child)) return E_INVALIDARG;
        const bool self = child.lVal == CHILDID_SELF;
        if (list_ < 0) return Number(role, self ? ROLE_SYSTEM_PANE : ROLE_SYSTEM_LIST);
        return Number(role, self ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (!Valid(child)) return E_INVALIDARG;
        const bool focused = ::GetFocus() == view_->window;
        if (list_ < 0 || child.lVal == CHILDID_SELF)
            return Number(state, list_ < 0 && child.lVal == CHILDID_SELF
                                     ? STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0)
                                     : 0);
        const int index = child.lVal - 1;
        LONG bits = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (index == List().SelectIndex) bits |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
        if (index >= static_cast<int>(List().Lines().size())) bits |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
        return Number(state, bits);
    }
    STDMETHODIMP get_accHelp(VARIANT, BSTR* help) override { return Nothing(help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (topic) *topic = 0;
        return Nothing(file);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Answer(child, shortcut, [&](LONG id) -> std::wstring {
            return list_ < 0 || id == CHILDID_SELF ? L"" : List().Entry(id - 1).Key;
        });
    }
    STDMETHODIMP get_accFocus(VARIANT* focus) override { return Picked(focus); }
    STDMETHODIMP get_accSelection(VARIANT* selection) override { return Picked(selection); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Answer(child, action, [&](LONG id) -> std::wstring {
            if (list_ < 0 || id == CHILDID_SELF) return L"";
            return list_ == 0 ? L"選択" : L"起動";
        });
    }
    STDMETHODIMP accSelect(long, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (!Valid(child)) return E_INVALIDARG;
        RECT rect{};
        if (list_ < 0 && child.lVal == CHILDID_SELF) {
            ::GetWindowRect(view_->window, &rect);
        } else if (list_ < 0 || child.lVal == CHILDID_SELF) {
            TKestrum& list = *view_->lists[list_ < 0 ? child.lVal - 1 : list_];
            rect = ScreenRect(list.Parent()->Handle(), list.BoundsRect());
        } else if (const int index = child.lVal - 1; index < static_cast<int>(List().Lines().size())) {
            ::GetWindowRect(List().Line(index).Handle(), &rect);
        } else {
            return S_FALSE;  // out of sight: no line of its own
        }
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (!Valid(start)) return E_INVALIDARG;
        const LONG count = list_ < 0 ? 2 : List().EntryCount();
        const LONG from = start.lVal;
        LONG to = 0;
        switch (direction) {
            case NAVDIR_FIRSTCHILD: to = from == CHILDID_SELF ? 1 : 0; break;
            case NAVDIR_LASTCHILD: to = from == CHILDID_SELF ? count : 0; break;
            case NAVDIR_NEXT: case NAVDIR_DOWN: to = from == CHILDID_SELF ? 0 : from + 1; break;
            case NAVDIR_PREVIOUS: case NAVDIR_UP: to = from == CHILDID_SELF ? 0 : from - 1; break;
            default: return Empty(end);
        }
        if (to < 1 || to > count) return Empty(end);
        if (list_ < 0) return Child(end, to);
        return Number(end, to);
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* out) override {
        if (!view_->alive) return RPC_E_DISCONNECTED;
        const POINT at{x, y};
        for (LONG id = 1; id <= (list_ < 0 ? 2 : List().EntryCount()); ++id) {
            long left = 0, top = 0, width = 0, height = 0;
            VARIANT child;
            Number(&child, id);
            if (accLocation(&left, &top, &width, &height, child) != S_OK) continue;
            if (const RECT r{left, top, left + width, top + height}; ::PtInRect(&r, at))
                return list_ < 0 ? Child(out, id) : Number(out, id);
        }
        RECT own{};
        ::GetWindowRect(view_->window, &own);
        return ::PtInRect(&own, at) ? Number(out, CHILDID_SELF) : Empty(out);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (!Valid(child) || list_ < 0 || child.lVal == CHILDID_SELF) return DISP_E_MEMBERNOTFOUND;
        // As typing the entry's key: the launcher picks the group or starts the item.
        const std::wstring& key = List().Entry(child.lVal - 1).Key;
        if (key.empty()) return DISP_E_MEMBERNOTFOUND;
        ::PostMessageW(view_->window, WM_CHAR, key[0], 0);
        return S_OK;
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TAccessibleNode() = default;

    TKestrum& List() const { return *view_->lists[list_]; }
    // The child identifier names this object or one of its children.
    bool Valid(const VARIANT& child) const {
        if (child.vt != VT_I4) return false;
        if (child.lVal == CHILDID_SELF) return true;
        return child.lVal >= 1 && child.lVal <= (list_ < 0 ? 2 : List().EntryCount());
    }
    template <class Read>
    HRESULT Answer(const VARIANT& child, BSTR* out, Read read) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (!Valid(child)) return E_INVALIDARG;
        const std::wstring text = read(child.lVal);
        return text.empty() ? S_FALSE : Text(out, text);
    }
    HRESULT Nothing(BSTR* out) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        return view_->alive ? S_FALSE : RPC_E_DISCONNECTED;
    }
    // The picked entry of a list; for the pane, the list that has it (the items' once one is
    // picked there, else the groups').
    HRESULT Picked(VARIANT* out) const {
        if (!out) return E_POINTER;
        if (!view_->alive) return RPC_E_DISCONNECTED;
        if (list_ < 0) return Child(out, view_->lists[1]->SelectIndex >= 0 ? 2 : 1);
        return List().SelectIndex >= 0 ? Number(out, List().SelectIndex + 1) : Empty(out);
    }
    HRESULT Child(VARIANT* out, LONG list) const {
        if (!out) return E_POINTER;
        ::VariantInit(out);
        IDispatch* dispatch = nullptr;
        const HRESULT result = QueryInterfaceOf(new TAccessibleNode(view_, list - 1), &dispatch);
        if (FAILED(result)) return result;
        out->vt = VT_DISPATCH;
        out->pdispVal = dispatch;
        return S_OK;
    }
    static HRESULT QueryInterfaceOf(TAccessibleNode* node, IDispatch** out) {
        node->AddRef();
        const HRESULT result = node->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
        node->Release();
        return result;
    }

    std::shared_ptr<TLauncherAccessibility::View> view_;
    int list_;
    std::atomic<ULONG> references_{0};
};

}  // namespace

TLauncherAccessibility::TLauncherAccessibility(HWND window, TKestrum& groups, TKestrum& items)
    : view_(std::make_shared<View>(View{window, {&groups, &items}})) {}

TLauncherAccessibility::~TLauncherAccessibility() {
    view_->alive = false;
    view_->lists[0] = view_->lists[1] = nullptr;
}

std::optional<LRESULT> TLauncherAccessibility::Answer(WPARAM flags, LPARAM objectId) {
    const LONG id = static_cast<LONG>(static_cast<DWORD>(objectId));
    int list;
    if (id == OBJID_CLIENT) list = -1;
    else if (id == kGroupListObject || id == kItemListObject) list = id - kGroupListObject;
    else return std::nullopt;
    auto* node = new TAccessibleNode(view_, list);
    node->AddRef();
    const LRESULT result = ::LresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(node));
    node->Release();  // the result holds its own reference
    return result;
}

void TLauncherAccessibility::GroupPicked(int index) const {
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, view_->window, kGroupListObject, index + 1);
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, view_->window, kGroupListObject, index + 1);
    ::NotifyWinEvent(EVENT_OBJECT_REORDER, view_->window, kItemListObject, CHILDID_SELF);
}
