#include "platform/toolkit/win32/Win32Accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>

namespace varnak::toolkit::win32 {
namespace {

// The standard object of the control's client, with the name and role replaced. A COM
// object: it lives as long as a client holds a reference.
class LabelledAccessible final : public IAccessible {
public:
    LabelledAccessible(IAccessible* standard, const AccessibleName& name, HWND control)
        : standard_(standard), name_(name), control_(control) {}
    LabelledAccessible(const LabelledAccessible&) = delete;
    LabelledAccessible& operator=(const LabelledAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this; // the COM way: the last reference ends the object
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* error) override {
        return standard_->Invoke(id, iid, locale, flags, params, result, exception, error);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || (name_.Name.empty() && !IsLink())) {
            return standard_->get_accName(child, name);
        }
        *name = SysAllocString(name_.Name.empty() ? LinkText().c_str() : name_.Name.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || name_.Role == 0) {
            return standard_->get_accRole(child, role);
        }
        role->vt = VT_I4;
        role->lVal = name_.Role;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || !IsLink()) {
            return standard_->get_accDefaultAction(child, action);
        }
        *action = SysAllocString(L"Jump");
        return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || !IsLink()) {
            return standard_->accDoDefaultAction(child);
        }
        // What the link tells its dialog on a click.
        NMLINK click{};
        click.hdr.hwndFrom = control_;
        click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control_));
        click.hdr.code = NM_CLICK;
        SendMessageW(GetParent(control_), WM_NOTIFY, click.hdr.idFrom,
                     reinterpret_cast<LPARAM>(&click));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~LabelledAccessible() { standard_->Release(); }

    static bool IsSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    bool IsLink() const { return name_.Role == ROLE_SYSTEM_LINK; }

    // The link's text as shown: its window text without the markup.
    std::wstring LinkText() const {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control_)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(control_, text.data(), static_cast<int>(text.size()))));
        std::wstring shown;
        bool inTag = false;
        for (const wchar_t c : text) {
            if (c == L'<' || c == L'>') {
                inTag = c == L'<';
            } else if (!inTag) {
                shown += c;
            }
        }
        return shown;
    }

    IAccessible* standard_; // owned: one reference
    AccessibleName name_;
    HWND control_;
    std::atomic<ULONG> references_{1};
};

constexpr UINT_PTR SubclassId = 1;

LRESULT CALLBACK AnswerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, AnswerProc, SubclassId);
    } else if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
            auto* labelled = new LabelledAccessible(
                standard, *reinterpret_cast<const AccessibleName*>(data), hwnd);
            const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, labelled);
            labelled->Release();
            if (result >= 0) {
                return result;
            }
            // Without COM on this thread the object can't be handed over: the standard one
            // answers instead.
        }
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

long AccessibleRoleOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ControlKind::RadioButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case ControlKind::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case ControlKind::ComboBox:
        return ROLE_SYSTEM_COMBOBOX;
    case ControlKind::Edit:
        return ROLE_SYSTEM_TEXT;
    case ControlKind::Link:
        return ROLE_SYSTEM_LINK;
    case ControlKind::ListView:
        return ROLE_SYSTEM_LIST;
    case ControlKind::Label:
    case ControlKind::GroupBox:
        break;
    }
    return 0;
}

void AnswerWithName(HWND control, const AccessibleName& name) {
    SetWindowSubclass(control, AnswerProc, SubclassId, reinterpret_cast<DWORD_PTR>(&name));
}

} // namespace varnak::toolkit::win32
