#include "platform/toolkit/win32/Win32Window.h"

#include "platform/toolkit/win32/Win32Backend.h"

#include <commctrl.h>
#include <uxtheme.h>
// prsht.h names its function PropertySheet, like the toolkit's class.
#undef PropertySheet

#include <algorithm>
#include <stdexcept>
#include <string>

namespace varnak::toolkit::win32 {
namespace {

HWND CreateFromTemplate(const std::vector<std::uint8_t>& bytes, HWND parent, DLGPROC proc,
                        void* self, int id) {
    const HWND hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                 reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                                 parent, proc, reinterpret_cast<LPARAM>(self));
    if (hwnd == nullptr) {
        throw std::runtime_error("cannot create the window of template " + std::to_string(id) +
                                 ": error " + std::to_string(GetLastError()));
    }
    return hwnd;
}

} // namespace

Win32Window::Win32Window(Win32Backend& backend, const DialogTemplate& tmpl, Dialog& owner,
                         TemplateRole role, HWND parent)
    : backend_(backend), owner_(owner), role_(role) {
    hwnd_ = CreateFromTemplate(BuildDialogTemplate(tmpl, role), parent, Proc, this, tmpl.Id);
    for (const auto& control : tmpl.Controls) {
        if (control.Id == NoId) {
            continue;
        }
        if (const HWND item = GetDlgItem(hwnd_, control.Id)) {
            controls_.push_back(MakeControl(control, item, *this));
        }
    }
    backend_.Register(this);
}

Win32Window::~Win32Window() {
    backend_.Unregister(this);
    if (IsWindow(hwnd_) != FALSE) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

Control* Win32Window::Item(int id) {
    return FindControl(controls_, id);
}

void Win32Window::EndModal(int) {
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

Win32Window* Win32Window::FromHandle(HWND dialog) {
    return reinterpret_cast<Win32Window*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

const Control* Win32Window::ControlByHandle(HWND hwnd) const {
    for (const auto& control : controls_) {
        const HWND handle = HandleOf(*control);
        if (handle == hwnd || IsChild(handle, hwnd) != FALSE) {
            return control.get();
        }
    }
    return nullptr;
}

std::optional<ControlKind> Win32Window::KindOf(HWND hwnd) const {
    const Control* control = ControlByHandle(hwnd);
    return control != nullptr ? std::optional<ControlKind>(control->Kind()) : std::nullopt;
}

int Win32Window::IdOf(HWND hwnd) const {
    const Control* control = ControlByHandle(hwnd);
    return control != nullptr ? control->Id() : NoId;
}

Win32Item* Win32Window::ItemByHandle(HWND hwnd) const {
    for (const auto& control : controls_) {
        auto* item = dynamic_cast<Win32Item*>(control.get());
        if (item != nullptr && item->Handle() == hwnd) {
            return item;
        }
    }
    return nullptr;
}

void Win32Window::CheckListSelections() {
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        if (auto* item = dynamic_cast<Win32Item*>(controls_[index].get())) {
            item->CheckSelection();
        }
    }
}

INT_PTR CALLBACK Win32Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return FALSE; // the modal run gives the focus when it shows the dialog
    }
    auto* window = FromHandle(hwnd);
    if (window == nullptr) {
        return FALSE;
    }
    try {
        return window->OnMessage(message, wParam, lParam);
    } catch (...) {
        window->backend_.HandlerFailed(std::current_exception());
        return TRUE;
    }
}

INT_PTR Win32Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (Win32Item* item = ItemByHandle(reinterpret_cast<HWND>(lParam))) {
            item->OnCommand(HIWORD(wParam));
            return TRUE;
        }
        if (lParam == 0 && LOWORD(wParam) == IDCANCEL && role_ == TemplateRole::TopLevel) {
            // Escape in a dialog without a Cancel button.
            owner_.Notify(IdCancel, Notification::Clicked);
        }
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (Win32Item* item = ItemByHandle(header->hwndFrom)) {
            item->OnNotify(*header);
        }
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

Win32Sheet::Win32Sheet(Win32Backend& backend, PropertySheet& sheet, HWND parent, POINT place)
    : backend_(backend), sheet_(sheet) {
    DialogTemplate frame;
    frame.Id = 0;
    hwnd_ = CreateFromTemplate(BuildDialogTemplate(frame, TemplateRole::Sheet), parent, Proc, this,
                               frame.Id);
    tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0, 0, hwnd_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tabs_, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
    RECT largest{0, 0, 0, 0};
    for (int index = 0; index < sheet.GetPageCount(); ++index) {
        const DialogTemplate& page = sheet.GetPage(index).Template();
        std::wstring caption = Widen(page.Caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        const Rect bounds = DialogBounds(page);
        RECT size{0, 0, bounds.Width, bounds.Height};
        MapDialogRect(hwnd_, &size);
        largest.right = std::max(largest.right, size.right);
        largest.bottom = std::max(largest.bottom, size.bottom);
    }
    // The sheet sizes itself to its largest page, as a property sheet does.
    RECT outer = largest;
    SendMessageW(tabs_, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&outer));
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    pageOrigin_ = {largest.left - outer.left, largest.top - outer.top};
    SetWindowPos(tabs_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd_, nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    backend_.RegisterSheet(&sheet_, this);
}

Win32Sheet::~Win32Sheet() {
    backend_.UnregisterSheet(&sheet_);
    if (IsWindow(hwnd_) != FALSE) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

void Win32Sheet::Place(HWND page) const {
    SetWindowPos(page, HWND_TOP, pageOrigin_.x, pageOrigin_.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    // The page's background as the tab's body is drawn, as in a property sheet.
    EnableThemeDialogTexture(page, ETDT_ENABLETAB);
}

void Win32Sheet::ShowPage(int index, DialogWindow& page) {
    const HWND next = Win32Backend::Handle(page);
    SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (shown_ != nullptr && shown_ != next && IsWindow(shown_) != FALSE) {
        ShowWindow(shown_, SW_HIDE);
    }
    SetWindowPos(next, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    shown_ = next;
}

INT_PTR CALLBACK Win32Sheet::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return FALSE;
    }
    auto* sheet = reinterpret_cast<Win32Sheet*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (sheet == nullptr) {
        return FALSE;
    }
    try {
        return sheet->OnMessage(message, wParam, lParam);
    } catch (...) {
        sheet->backend_.HandlerFailed(std::current_exception());
        return TRUE;
    }
}

INT_PTR Win32Sheet::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
            sheet_.SetActivePage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
        }
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case WM_COMMAND:
        // The dialog manager's Enter and Escape inside the pages: a sheet without buttons
        // applies nothing, and Escape cancels the dialog as it does elsewhere.
        if (LOWORD(wParam) == IDCANCEL) {
            const HWND dialog = GetParent(hwnd_);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        }
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace varnak::toolkit::win32
