#include "platform/toolkit/win32/Win32Backend.h"

#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/DialogResource.h"
#include "platform/toolkit/win32/Win32Window.h"

#include <commctrl.h>
// prsht.h names its function PropertySheet, like the toolkit's class.
#undef PropertySheet
#include <shellapi.h>

#include <algorithm>

namespace varnak::toolkit::win32 {
namespace {

// The design placed the sheet in pixels of a 96-DPI screen with the dialog's font, whose
// dialog base units are 6 by 13 there; taking the place in dialog units instead keeps the
// sheet below the "General Settings" group at every DPI and font size.
constexpr int DesignBaseUnitX = 6;
constexpr int DesignBaseUnitY = 13;

const auto* const WarningIcon = MAKEINTRESOURCEW(32515); // IDI_WARNING

bool IsKeyMessage(const MSG& msg) {
    return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
}

bool IsWithin(HWND ancestor, HWND hwnd) {
    return ancestor != nullptr && (hwnd == ancestor || IsChild(ancestor, hwnd) != FALSE);
}

// The message box that the program is showing while a user is set: read back from its
// window when it is initialised, then answered with OK.
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
        if (icon != nullptr && (style & WS_VISIBLE) != 0 &&
            icon == LoadIconW(nullptr, WarningIcon)) {
            capture.Event.Icon = MessageIcon::Warning;
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
void SendKey(WORD virtualKey) {
    INPUT input[2] = {};
    for (auto& in : input) {
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = virtualKey;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
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
    Win32Driver(ModalDialog& dialog, Win32Backend& backend)
        : DialogDriver(dialog), backend_(backend) {}

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

    static POINT RowPoint(HWND list, int row) {
        RECT item{};
        item.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return {item.left + 2, (item.top + item.bottom) / 2};
    }

    static void KeyState(int key, bool down) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[key] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }

    Win32Backend& backend_;
};

} // namespace

Win32Backend::Win32Backend() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS;
    InitCommonControlsEx(&controls);
}

Win32Backend::~Win32Backend() = default;

HWND Win32Backend::Handle(const DialogWindow& window) {
    return static_cast<const Win32Window&>(window).Handle();
}

std::unique_ptr<DialogWindow> Win32Backend::CreateDialogWindow(const DialogTemplate& tmpl,
                                                               Dialog& owner) {
    return std::make_unique<Win32Window>(*this, tmpl, owner, TemplateRole::TopLevel, nullptr);
}

std::unique_ptr<SheetWindow> Win32Backend::CreateSheetWindow(PropertySheet& sheet,
                                                             DialogWindow& parent, int x, int y) {
    const HWND parentHandle = Handle(parent);
    RECT place{MulDiv(x, 4, DesignBaseUnitX), MulDiv(y, 8, DesignBaseUnitY), 0, 0};
    MapDialogRect(parentHandle, &place);
    return std::make_unique<Win32Sheet>(*this, sheet, parentHandle, POINT{place.left, place.top});
}

std::unique_ptr<DialogWindow>
Win32Backend::CreatePageWindow(const DialogTemplate& tmpl, Dialog& owner, SheetWindow& sheet, int) {
    auto& host = static_cast<Win32Sheet&>(sheet);
    auto page =
        std::make_unique<Win32Window>(*this, tmpl, owner, TemplateRole::Page, host.Handle());
    host.Place(page->Handle());
    return page;
}

void Win32Backend::RunModal(ModalDialog& dialog) {
    const HWND hwnd = Handle(*dialog.Window());
    running_.push_back(&dialog);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    if (!IsWithin(hwnd, GetFocus())) {
        SetFocus(GetNextDlgTabItem(hwnd, nullptr, FALSE));
    }
    UpdateWindow(hwnd);
    try {
        if (user_) {
            Win32Driver driver(dialog, *this);
            PumpPending();
            user_(driver);
        } else {
            MSG msg{};
            while (dialog.IsRunning()) {
                const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
                if (got <= 0) {
                    if (got == 0) {
                        PostQuitMessage(static_cast<int>(msg.wParam));
                    }
                    break;
                }
                Dispatch(msg);
            }
        }
    } catch (...) {
        running_.pop_back();
        throw;
    }
    running_.pop_back();
}

HWND Win32Backend::SheetHandle(const ModalDialog& dialog) const {
    auto found = sheets_.find(dialog.ChildSheet());
    return found != sheets_.end() ? found->second->Handle() : nullptr;
}

HWND Win32Backend::SheetTabs(const ModalDialog& dialog) const {
    auto found = sheets_.find(dialog.ChildSheet());
    return found != sheets_.end() ? found->second->Tabs() : nullptr;
}

bool Win32Backend::OfferToSheet(MSG& msg) {
    ModalDialog* dialog = RunningDialog();
    if (dialog == nullptr || dialog->ChildSheet() == nullptr) {
        return false;
    }
    const HWND sheet = SheetHandle(*dialog);
    return IsWithin(sheet, msg.hwnd) && IsDialogMessageW(sheet, &msg) != FALSE;
}

void Win32Backend::Dispatch(MSG& msg) {
    ModalDialog* dialog = RunningDialog();
    const HWND top =
        dialog != nullptr && dialog->Window() != nullptr ? Handle(*dialog->Window()) : nullptr;
    bool handled = false;
    if (IsKeyMessage(msg) && IsWithin(top, msg.hwnd)) {
        const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
        const Win32Window* window = Win32Window::FromHandle(top);
        const auto kind = window != nullptr ? window->KindOf(msg.hwnd) : std::nullopt;
        if (key && msg.wParam == VK_RETURN && kind == ControlKind::Link) {
            // The link takes Enter itself, before any filter.
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            handled = true;
        } else if (OfferToSheet(msg)) {
            handled = true;
        } else if (key) {
            const KeyMessage message{
                msg.message == WM_KEYDOWN ? KeyMessage::Type::KeyDown : KeyMessage::Type::KeyUp,
                static_cast<int>(msg.wParam), window != nullptr ? window->IdOf(msg.hwnd) : NoId};
            handled = dialog->PreTranslateMessage(message);
        }
        if (!handled) {
            handled = IsDialogMessageW(top, &msg) != FALSE;
        }
    }
    if (!handled) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    AfterDispatch();
}

void Win32Backend::AfterDispatch() {
    // Copy: a handler may destroy windows.
    const std::vector<Win32Window*> windows(windows_.begin(), windows_.end());
    for (Win32Window* window : windows) {
        if (windows_.count(window) != 0) {
            window->CheckListSelections();
        }
    }
    if (error_) {
        std::exception_ptr error = error_;
        error_ = nullptr;
        std::rethrow_exception(error);
    }
}

void Win32Backend::PumpPending() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        Dispatch(msg);
    }
    AfterDispatch();
}

void Win32Backend::ShowMessage(DialogWindow* owner, const std::string& text,
                               const std::string& title, MessageIcon icon) {
    const HWND ownerHandle = owner != nullptr ? Handle(*owner) : nullptr;
    const UINT type = MB_OK | (icon == MessageIcon::Warning ? MB_ICONWARNING : 0);
    if (!user_) {
        MessageBoxW(ownerHandle, Widen(text).c_str(), Widen(title).c_str(), type);
        return;
    }
    MessageCapture capture;
    capture.Event.What = UserEvent::Type::Message;
    CurrentCapture = &capture;
    CaptureHook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, CaptureMessageBox, nullptr, GetCurrentThreadId());
    MessageBoxW(ownerHandle, Widen(text).c_str(), Widen(title).c_str(), type);
    UnhookWindowsHookEx(CaptureHook);
    CaptureHook = nullptr;
    CurrentCapture = nullptr;
    if (!capture.Seen) {
        capture.Event.Title = "(no message box appeared)";
    }
    events_.push_back(capture.Event);
}

void Win32Backend::OpenUrl(const std::string& address) {
    if (user_) {
        events_.push_back({UserEvent::Type::Browse, MessageIcon::None, {}, address});
        return;
    }
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    program.resize(std::min(program.find_last_of(L'\\'), program.size()));
    ShellExecuteW(nullptr, L"open", ResolveAddress(address, program).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

std::wstring ResolveAddress(const std::string& address, const std::wstring& programDirectory) {
    const std::wstring wide = Widen(address);
    // A one-letter scheme is a drive.
    const auto colon = wide.find(L':');
    const bool hasScheme =
        colon != std::wstring::npos && colon > 1 && wide.find_first_of(L"/\\") > colon;
    const bool absolute = colon == 1 || wide.starts_with(L"\\") || wide.starts_with(L"/");
    if (hasScheme || absolute) {
        return wide;
    }
    const std::wstring joined = programDirectory + L"\\" + wide;
    std::wstring full(MAX_PATH, L'\0');
    const DWORD length = GetFullPathNameW(joined.c_str(), MAX_PATH, full.data(), nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return joined;
    }
    full.resize(length);
    return full;
}

} // namespace varnak::toolkit::win32
