#include "PanelAccessible.h"

namespace player_panel {
namespace {

// oleacc's functions, found when first needed: the panel links nothing of it (its
// import library repeats IID_IAccessible, which the GUID library has).
template <typename Fn>
Fn oleacc(const char* name) {
    static const HMODULE library = LoadLibraryW(L"oleacc.dll");
    return library != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                              : nullptr;
}

} // namespace

class PanelAccessible final : public IAccessible {
public:
    explicit PanelAccessible(AccessibleSource& source) : source_(&source) {}

    void disconnect() { source_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: the accessibility clients of today call IAccessible's methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (source_ == nullptr)
            return RPC_E_DISCONNECTED;
        using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
        static const auto fromWindow = oleacc<FromWindowFn>("AccessibleObjectFromWindow");
        *parent = nullptr;
        return fromWindow != nullptr ? fromWindow(source_->window(), static_cast<DWORD>(OBJID_WINDOW),
                                                  IID_IDispatch, reinterpret_cast<void**>(parent))
                                     : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (source_ == nullptr)
            return RPC_E_DISCONNECTED;
        *count = source_->elementCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** element) override {
        *element = nullptr;
        return known(child) ? S_FALSE : E_INVALIDARG; // simple elements, answered here
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return text(child, name, [this](int id) {
            return id == CHILDID_SELF ? source_->panelName() : source_->element(id).name;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return text(child, value,
                    [this](int id) { return id == CHILDID_SELF ? L"" : source_->element(id).value; });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        *description = nullptr;
        return known(child) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!known(child))
            return source_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = child.lVal == CHILDID_SELF ? ROLE_SYSTEM_CLIENT : source_->element(child.lVal).role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!known(child))
            return source_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        state->vt = VT_I4;
        state->lVal =
            child.lVal == CHILDID_SELF
                ? (GetFocus() == source_->window() ? STATE_SYSTEM_FOCUSED : 0) | STATE_SYSTEM_FOCUSABLE
                : source_->element(child.lVal).state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        *help = nullptr;
        return known(child) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return text(child, keys,
                    [this](int id) { return id == CHILDID_SELF ? L"" : source_->element(id).keys; });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (source_ == nullptr)
            return RPC_E_DISCONNECTED;
        const int focused = source_->focusedElement();
        focus->vt = VT_I4;
        focus->lVal = focused != 0 ? focused : CHILDID_SELF;
        if (focused == 0 && GetFocus() != source_->window())
            focus->vt = VT_EMPTY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        selection->vt = VT_EMPTY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return text(child, action,
                    [this](int id) { return id == CHILDID_SELF ? L"" : source_->element(id).action; });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!known(child))
            return source_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        RECT area{};
        if (child.lVal == CHILDID_SELF)
            GetClientRect(source_->window(), &area);
        else
            area = source_->element(child.lVal).area;
        MapWindowPoints(source_->window(), nullptr, reinterpret_cast<POINT*>(&area), 2);
        *left = area.left;
        *top = area.top;
        *width = area.right - area.left;
        *height = area.bottom - area.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!known(start))
            return source_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        const int count = source_->elementCount();
        long next = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
            next = start.lVal == CHILDID_SELF && count > 0 ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            next = start.lVal == CHILDID_SELF ? count : 0;
            break;
        case NAVDIR_NEXT:
            next = start.lVal != CHILDID_SELF && start.lVal < count ? start.lVal + 1 : 0;
            break;
        case NAVDIR_PREVIOUS:
            next = start.lVal > 1 ? start.lVal - 1 : 0;
            break;
        default:
            break;
        }
        end->vt = next != 0 ? VT_I4 : VT_EMPTY;
        end->lVal = next;
        return next != 0 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (source_ == nullptr)
            return RPC_E_DISCONNECTED;
        POINT point{x, y};
        ScreenToClient(source_->window(), &point);
        for (int id = 1; id <= source_->elementCount(); ++id)
            if (const RECT area = source_->element(id).area; PtInRect(&area, point)) {
                child->vt = VT_I4;
                child->lVal = id;
                return S_OK;
            }
        RECT client{};
        GetClientRect(source_->window(), &client);
        child->vt = PtInRect(&client, point) ? VT_I4 : VT_EMPTY;
        child->lVal = CHILDID_SELF;
        return child->vt == VT_I4 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!known(child) || child.lVal == CHILDID_SELF)
            return source_ == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
        source_->press(child.lVal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~PanelAccessible() = default;

    bool known(const VARIANT& child) const {
        return source_ != nullptr && child.vt == VT_I4 && child.lVal >= CHILDID_SELF &&
               child.lVal <= source_->elementCount();
    }
    template <typename Get>
    HRESULT text(const VARIANT& child, BSTR* out, Get&& get) {
        *out = nullptr;
        if (!known(child))
            return source_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        const std::wstring value = get(child.lVal);
        if (value.empty())
            return S_FALSE;
        *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    AccessibleSource* source_;
    LONG references_ = 1;
};

PanelAccessible* makeAccessible(AccessibleSource& source) {
    return new PanelAccessible(source);
}

LRESULT answerGetObject(PanelAccessible* accessible, WPARAM wParam, LPARAM lParam) {
    if (accessible == nullptr || static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    using FromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
    static const auto fromObject = oleacc<FromObjectFn>("LresultFromObject");
    return fromObject != nullptr ? fromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(accessible))
                                 : 0;
}

void disconnect(PanelAccessible* accessible) {
    if (accessible == nullptr)
        return;
    accessible->disconnect();
    accessible->Release();
}

} // namespace player_panel
