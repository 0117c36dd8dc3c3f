#include "platform/toolkit/win32/Win32Backend.h"

#include "platform/toolkit/win32/DialogResource.h"
#include "platform/toolkit/win32/Win32Window.h"

#include <commctrl.h>
// prsht.h names its function PropertySheet, like the toolkit's class.
#undef PropertySheet
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>

namespace varnak::toolkit::win32 {
namespace {

bool IsKeyMessage(const MSG& msg) {
    return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
}

// Whether the key was down when the message being handled was posted.
bool KeyDown(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

bool IsWithin(HWND ancestor, HWND hwnd) {
    return ancestor != nullptr && (hwnd == ancestor || IsChild(ancestor, hwnd) != FALSE);
}

UINT MessageBoxType(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return MB_OK | MB_ICONWARNING;
    case MessageIcon::Information:
        return MB_OK | MB_ICONINFORMATION;
    case MessageIcon::None:
        break;
    }
    return MB_OK;
}

std::wstring ProgramDirectory() {
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    program.resize(std::min(program.find_last_of(L'\\'), program.size()));
    return program;
}

Win32Backend::Win32Backend() {
    // Assistive technology gets the controls' accessible objects through COM.
    comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS;
    InitCommonControlsEx(&controls);
}

Win32Backend::~Win32Backend() {
    if (comInitialised_) {
        CoUninitialize();
    }
}

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
    // Placed in dialog units, the sheet stays below the "General Settings" group at every DPI
    // and font size.
    const Rect units = DesignPixelsToDialogUnits(x, y);
    RECT place{units.X, units.Y, 0, 0};
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
    Win32Window::FromHandle(hwnd)->FitToScreen();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    if (!IsWithin(hwnd, GetFocus())) {
        SetFocus(GetNextDlgTabItem(hwnd, nullptr, FALSE));
    }
    UpdateWindow(hwnd);
    try {
        if (Session() != nullptr) {
            Session()->Run(dialog);
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

Win32Sheet* Win32Backend::SheetOf(const ModalDialog& dialog) const {
    auto found = sheets_.find(dialog.ChildSheet());
    return found != sheets_.end() ? found->second : nullptr;
}

void Win32Backend::Dispatch(MSG& msg) {
    ModalDialog* dialog = RunningDialog();
    const HWND top =
        dialog != nullptr && dialog->Window() != nullptr ? Handle(*dialog->Window()) : nullptr;
    const HWND focus = GetFocus();
    const bool handled =
        IsKeyMessage(msg) && IsWithin(top, msg.hwnd) && OfferKey(*dialog, top, msg);
    if (!handled) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (const HWND now = GetFocus(); now != focus && IsWithin(top, now)) {
        // Where the focus went, on a screen too small for the dialog.
        Win32Window::FromHandle(top)->ScrollIntoView(now);
    }
    AfterDispatch();
}

bool Win32Backend::OfferKey(ModalDialog& dialog, HWND top, MSG& msg) {
    const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
    const Win32Window* window = Win32Window::FromHandle(top);
    // A label stands for "none of ours": it takes no keys. (GCC's -O3 warns about an
    // optional compared with a kind here.)
    const ControlKind kind = window != nullptr
                                 ? window->KindOf(msg.hwnd).value_or(ControlKind::Label)
                                 : ControlKind::Label;
    const bool onLink = kind == ControlKind::Link;
    const bool onButton = kind == ControlKind::PushButton;
    if (key && msg.wParam == VK_RETURN && onLink) {
        // The link takes Enter itself, before any filter.
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return true;
    }
    if (msg.message == WM_KEYDOWN && OfferToSheet(dialog, msg)) {
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !KeyDown(VK_CONTROL) &&
        (SendMessageW(msg.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTTAB) ==
            0) {
        // One cycle through the dialog and the page shown. Asked from inside a page (a
        // multi-line edit asks its own page), the dialog manager would stay in that page.
        SendMessageW(top, WM_NEXTDLGCTL, KeyDown(VK_SHIFT) ? 1 : 0, FALSE);
        return true;
    }
    if (const HWND sheet = SheetHandle(dialog);
        IsWithin(sheet, msg.hwnd) && IsDialogMessageW(sheet, &msg) != FALSE) {
        return true;
    }
    if (key) {
        const KeyMessage message{
            msg.message == WM_KEYDOWN ? KeyMessage::Type::KeyDown : KeyMessage::Type::KeyUp,
            static_cast<int>(msg.wParam), window != nullptr ? window->IdOf(msg.hwnd) : NoId};
        if (dialog.PreTranslateMessage(message)) {
            return true;
        }
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && onButton) {
        // No button is the dialog manager's default, so it would send OK: Enter that the
        // dialog lets through presses the focused button, as on the other front-end.
        SendMessageW(GetParent(msg.hwnd), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(msg.hwnd));
        return true;
    }
    return IsDialogMessageW(top, &msg) != FALSE;
}

bool Win32Backend::OfferToSheet(const ModalDialog& dialog, const MSG& msg) {
    Win32Sheet* sheet = SheetOf(dialog);
    if (sheet == nullptr || !KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) {
        return false;
    }
    int step = 0;
    switch (msg.wParam) {
    case VK_TAB:
        step = KeyDown(VK_SHIFT) ? -1 : 1;
        break;
    case VK_NEXT:
        step = 1;
        break;
    case VK_PRIOR:
        step = -1;
        break;
    default:
        return false;
    }
    // Taken before the focused control sees it: on a list, Ctrl+PgDn would move its
    // selection.
    sheet->SwitchBy(step);
    return true;
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

void Win32Backend::ShowMessageBox(DialogWindow* owner, const std::string& text,
                                  const std::string& title, MessageIcon icon) {
    MessageBoxW(owner != nullptr ? Handle(*owner) : nullptr, Widen(text).c_str(),
                Widen(title).c_str(), MessageBoxType(icon));
}

bool Win32Backend::OpenInBrowser(const std::string& address) {
    // ShellExecuteW reports success with a value above 32.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", ResolveAddress(address, ProgramDirectory()).c_str(),
                      nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

std::string Win32Backend::LocationOf(const std::string& address) const {
    return Narrow(ResolveAddress(address, ProgramDirectory()));
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
