#include "platform/toolkit/win32/Win32Driver.h"

#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/DialogResource.h"
#include "platform/toolkit/win32/Win32Backend.h"
#include "platform/toolkit/win32/Win32Window.h"

#include <commctrl.h>
#include <oleacc.h>
// prsht.h names its function PropertySheet, like the toolkit's class.
#undef PropertySheet

#include <iterator>
#include <vector>

namespace varnak::toolkit::win32 {
namespace {

const auto* const WarningIcon = MAKEINTRESOURCEW(32515);     // IDI_WARNING
const auto* const InformationIcon = MAKEINTRESOURCEW(32516); // IDI_INFORMATION

// The message box that the program is showing: read back from its window when it is
// initialised, then answered with OK.
struct MessageCapture {
    UserEvent Event;
    bool Seen = false;
};
thread_local MessageCapture* CurrentCapture = nullptr;
thread_local HHOOK CaptureHook = nullptr;

BOOL CALLBACK ReadMessageBoxChild(HWND child, LPARAM param) {
    auto& capture = *reinterpret_cast<MessageCapture*>(param);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, L"Static") != 0) {
        return TRUE;
    }
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    if ((style & SS_TYPEMASK) == SS_ICON) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        // Not shown yet, so the style says whether the box keeps its icon.
        if (icon != nullptr && (style & WS_VISIBLE) != 0) {
            if (icon == LoadIconW(nullptr, WarningIcon)) {
                capture.Event.Icon = MessageIcon::Warning;
            } else if (icon == LoadIconW(nullptr, InformationIcon)) {
                capture.Event.Icon = MessageIcon::Information;
            }
        }
        return TRUE;
    }
    wchar_t text[1024] = {};
    GetWindowTextW(child, text, 1024);
    if (text[0] != L'\0') {
        capture.Event.Text = Narrow(text);
    }
    return TRUE;
}

LRESULT CALLBACK CaptureMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && CurrentCapture != nullptr && !CurrentCapture->Seen &&
        call->message == WM_INITDIALOG) {
        wchar_t className[16] = {};
        GetClassNameW(call->hwnd, className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {
            wchar_t title[256] = {};
            GetWindowTextW(call->hwnd, title, 256);
            CurrentCapture->Event.Title = Narrow(title);
            EnumChildWindows(call->hwnd, ReadMessageBoxChild,
                             reinterpret_cast<LPARAM>(CurrentCapture));
            CurrentCapture->Seen = true;
            PostMessageW(call->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(CaptureHook, code, wParam, lParam);
}

// Input as the user gives it: keys through the system's input queue, clicks as the mouse
// messages that a click posts to the window under the pointer.
INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = virtualKey;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// The key pressed and released while the modifiers are held down.
void SendKey(WORD virtualKey, const std::vector<WORD>& modifiers = {}) {
    std::vector<INPUT> input;
    for (const WORD modifier : modifiers) {
        input.push_back(KeyInput(modifier, false));
    }
    input.push_back(KeyInput(virtualKey, false));
    input.push_back(KeyInput(virtualKey, true));
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier) {
        input.push_back(KeyInput(*modifier, true));
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

void SendCharacter(wchar_t character) {
    INPUT input[2] = {};
    for (auto& in : input) {
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = character;
        in.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void PostClick(HWND hwnd, POINT at, WPARAM keys = 0) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(hwnd, WM_MOUSEMOVE, keys, where);
    PostMessageW(hwnd, WM_LBUTTONDOWN, keys | MK_LBUTTON, where);
    PostMessageW(hwnd, WM_LBUTTONUP, keys, where);
}

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class Win32Driver : public DialogDriver {
public:
    // COM for the run, for what a screen reader asks (Announced); the dialog's thread is
    // an apartment of its own, as a window's must be.
    Win32Driver(ModalDialog& dialog, Win32Backend& backend)
        : DialogDriver(dialog), backend_(backend),
          com_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~Win32Driver() override {
        if (com_) {
            CoUninitialize();
        }
    }
    Win32Driver(const Win32Driver&) = delete;
    Win32Driver& operator=(const Win32Driver&) = delete;

    ActionResult Pick(int id, std::string_view itemText) override {
        const auto found = PickTarget(id, itemText);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        const auto index = static_cast<WPARAM>(found.Index);
        // Drop the list down and click the item, as the user does.
        const HWND hwnd = HandleOf(*found.Found);
        Focus(hwnd);
        SendMessageW(hwnd, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(hwnd, &info);
        SendMessageW(info.hwndList, LB_SETTOPINDEX, index, 0);
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        PostClick(info.hwndList, Centre(item));
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult Type(int id, std::string_view text) override {
        const auto found = EditTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        const HWND hwnd = HandleOf(*found.Found);
        // A paste over the whole text: what the edit does with the clipboard's text.
        Focus(hwnd);
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
        const std::wstring wide = Widen(text);
        SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult TypeKeys(int id, std::string_view keys) override {
        const auto found = EditTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        const HWND hwnd = HandleOf(*found.Found);
        Focus(hwnd);
        const int end = GetWindowTextLengthW(hwnd);
        SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
        for (const wchar_t key : Widen(keys)) {
            SendCharacter(key);
            backend_.PumpPending();
        }
        return ActionResult::Ok();
    }

    ActionResult Click(int id) override {
        const auto found = ClickTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        const HWND hwnd = HandleOf(*found.Found);
        POINT at{};
        RECT client{};
        GetClientRect(hwnd, &client);
        if (found.Found->Kind() == ControlKind::Link) {
            at = {4, (client.bottom - client.top) / 2}; // on the link's first letters
        } else {
            at = Centre(client);
        }
        PostClick(hwnd, at);
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult SelectRow(int id, int row) override {
        const auto found = RowTarget(id, row);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        const auto& list = static_cast<const ListView&>(*found.Found);
        const HWND hwnd = HandleOf(*found.Found);
        Focus(hwnd);
        const int selected = list.GetNextSelected();
        if (row < 0) {
            if (selected >= 0) {
                // A click with Ctrl on the selected row takes the selection away.
                PostClick(hwnd, RowPoint(hwnd, selected), MK_CONTROL);
                KeyState(VK_CONTROL, true);
                backend_.PumpPending();
                KeyState(VK_CONTROL, false);
            }
            return ActionResult::Ok();
        }
        SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        PostClick(hwnd, RowPoint(hwnd, row));
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult SelectTab(int index) override {
        const auto sheet = TabTarget(index);
        if (!sheet.Found) {
            return ActionResult::Refused(sheet.Reason);
        }
        const HWND tab = backend_.SheetTabs(dialog_);
        if (tab == nullptr) {
            return ActionResult::Refused("no page " + std::to_string(index));
        }
        RECT item{};
        SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        PostClick(tab, Centre(item));
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult PressEnter(int id) override {
        const auto found = EnterTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        Focus(HandleOf(*found.Found));
        SendKey(VK_RETURN);
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult PressDelete(int id) override {
        const auto found = DeleteTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        Focus(HandleOf(*found.Found));
        SendKey(VK_DELETE);
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult PressKey(Key key, unsigned modifiers) override {
        std::vector<WORD> held;
        if ((modifiers & Modifier::Ctrl) != 0) {
            held.push_back(VK_CONTROL);
        }
        if ((modifiers & Modifier::Shift) != 0) {
            held.push_back(VK_SHIFT);
        }
        SendKey(VirtualKeyOf(key), held);
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult TypeText(std::string_view text) override {
        for (const wchar_t character : Widen(text)) {
            SendCharacter(character);
            backend_.PumpPending();
        }
        return ActionResult::Ok();
    }

    int FocusId() const override { return ScriptedWin32Backend::FocusId(); }

    ScreenArea Screen() const override {
        const HWND window = Win32Backend::Handle(*dialog_.Window());
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        RECT frame{};
        GetWindowRect(window, &frame);
        return {RectOf(monitor.rcWork), RectOf(frame)};
    }

    // Through oleacc, as a screen reader asks.
    Announcement Announced(int id) const override {
        const auto found = FindUserControl(dialog_, id);
        if (found.Found == nullptr) {
            return {};
        }
        Announcement said;
        IAccessible* object = nullptr;
        // __uuidof: mingw-w64's IID_IAccessible symbol doesn't match the interface here.
        if (SUCCEEDED(AccessibleObjectFromWindow(HandleOf(*found.Found), OBJID_CLIENT,
                                                 __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&object)))) {
            VARIANT self{};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr;
            if (object->get_accName(self, &name) == S_OK && name != nullptr) {
                said.Name = Narrow(name);
            }
            SysFreeString(name);
            VARIANT role{};
            said.Role = object->get_accRole(self, &role) == S_OK && role.vt == VT_I4
                            ? RoleOf(role.lVal)
                            : AccessibleRole::Other;
            object->Release();
        }
        return said;
    }

    ActionResult PressPageKey(bool backwards) override {
        int index = -1;
        if (const auto sheet = PageKeyTarget(backwards, index); !sheet.Found) {
            return ActionResult::Refused(sheet.Reason);
        }
        const HWND dialog = Win32Backend::Handle(*dialog_.Window());
        if (!IsWithin(dialog, GetFocus())) {
            SetFocus(dialog);
        }
        std::vector<WORD> held{VK_CONTROL};
        if (backwards) {
            held.push_back(VK_SHIFT);
        }
        SendKey(VK_TAB, held);
        backend_.PumpPending();
        return ActionResult::Ok();
    }

    ActionResult PressEscape() override {
        if (auto refused = RefuseEscape()) {
            return *refused;
        }
        const HWND dialog = Win32Backend::Handle(*dialog_.Window());
        if (!IsWithin(dialog, GetFocus())) {
            SetFocus(dialog);
        }
        SendKey(VK_ESCAPE);
        backend_.PumpPending();
        return ActionResult::Ok();
    }

private:
    void Focus(HWND hwnd) {
        const HWND dialog = Win32Backend::Handle(*dialog_.Window());
        SetForegroundWindow(dialog);
        SetActiveWindow(dialog);
        // As the dialog manager moves the focus, so that a focused push button becomes the
        // one that Enter presses.
        SendMessageW(GetParent(hwnd), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hwnd), TRUE);
        backend_.PumpPending();
    }

    static WORD VirtualKeyOf(Key key) {
        switch (key) {
        case Key::Tab:
            return VK_TAB;
        case Key::Space:
            return VK_SPACE;
        case Key::Up:
            return VK_UP;
        case Key::Down:
            return VK_DOWN;
        case Key::PageUp:
            return VK_PRIOR;
        case Key::PageDown:
            return VK_NEXT;
        }
        return 0;
    }

    static ScreenRect RectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

    static AccessibleRole RoleOf(long role) {
        switch (role) {
        case ROLE_SYSTEM_PUSHBUTTON:
            return AccessibleRole::PushButton;
        case ROLE_SYSTEM_RADIOBUTTON:
            return AccessibleRole::RadioButton;
        case ROLE_SYSTEM_CHECKBUTTON:
            return AccessibleRole::CheckBox;
        case ROLE_SYSTEM_COMBOBOX:
            return AccessibleRole::ComboBox;
        case ROLE_SYSTEM_TEXT:
            return AccessibleRole::Text;
        case ROLE_SYSTEM_LINK:
            return AccessibleRole::Link;
        case ROLE_SYSTEM_LIST:
            return AccessibleRole::List;
        default:
            return AccessibleRole::Other;
        }
    }

    static POINT RowPoint(HWND list, int row) {
        RECT item{};
        item.left = LVIR_BOUNDS; // the whole row: full-row selection takes a click anywhere
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return {item.left + 4, (item.top + item.bottom) / 2};
    }

    static void KeyState(int key, bool down) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[key] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }

    Win32Backend& backend_;
    bool com_;
};

} // namespace

ScriptedWin32Backend::ScriptedWin32Backend()
    : ScriptedBackend(std::make_unique<Win32Backend>()), win32_(static_cast<Win32Backend&>(Get())) {
}

void ScriptedWin32Backend::Play(ModalDialog& dialog, const UserFunction& user) {
    win32_.PumpPending();
    Win32Driver driver(dialog, win32_);
    user(driver);
}

void ScriptedWin32Backend::PressKey(int virtualKey, bool shift, bool control) {
    std::vector<WORD> held;
    if (control) {
        held.push_back(VK_CONTROL);
    }
    if (shift) {
        held.push_back(VK_SHIFT);
    }
    SendKey(static_cast<WORD>(virtualKey), held);
    win32_.PumpPending();
}

void ScriptedWin32Backend::TypeText(std::string_view text) {
    for (const wchar_t character : Widen(text)) {
        SendCharacter(character);
        win32_.PumpPending();
    }
}

void ScriptedWin32Backend::Settle() {
    win32_.PumpPending();
}

int ScriptedWin32Backend::FocusId() {
    const HWND focus = GetFocus();
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

void ScriptedWin32Backend::ShowMessage(DialogWindow* owner, const std::string& text,
                                       const std::string& title, MessageIcon icon) {
    MessageCapture capture;
    capture.Event.What = UserEvent::Type::Message;
    CurrentCapture = &capture;
    CaptureHook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, CaptureMessageBox, nullptr, GetCurrentThreadId());
    MessageBoxW(owner != nullptr ? Win32Backend::Handle(*owner) : nullptr, Widen(text).c_str(),
                Widen(title).c_str(), MessageBoxType(icon));
    UnhookWindowsHookEx(CaptureHook);
    CaptureHook = nullptr;
    CurrentCapture = nullptr;
    if (!capture.Seen) {
        capture.Event.Title = "(no message box appeared)";
    }
    Record(capture.Event);
}

} // namespace varnak::toolkit::win32
