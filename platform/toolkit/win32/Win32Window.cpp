#include "platform/toolkit/win32/Win32Window.h"

#include "platform/toolkit/win32/ScreenFit.h"
#include "platform/toolkit/win32/Win32Accessible.h"
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
    AnswerAssistiveTechnology(tmpl);
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

void Win32Window::AnswerAssistiveTechnology(const DialogTemplate& tmpl) {
    // The windows as the dialog manager made them: one per control, in template order.
    std::vector<HWND> windows;
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        windows.push_back(child);
    }
    if (windows.size() != tmpl.Controls.size()) {
        return;
    }
    for (std::size_t index = 0; index < windows.size(); ++index) {
        const ControlTemplate& item = tmpl.Controls[index];
        const ControlTemplate* label = item.AccessibleName.empty() ? LabelOf(tmpl, index) : nullptr;
        const HWND control = windows[index];
        std::wstring name = !item.AccessibleName.empty() ? Widen(item.AccessibleName)
                            : label != nullptr           ? Widen(label->Text)
                                                         : std::wstring();
        const long role = AccessibleRoleOf(item.Kind);
        if (name.empty() && role == 0) {
            continue;
        }
        names_.push_back(std::make_unique<AccessibleName>(AccessibleName{std::move(name), role}));
        AnswerWithName(control, *names_.back());
        if (label == nullptr) {
            continue;
        }
        const HWND labelWindow = windows[static_cast<std::size_t>(label - tmpl.Controls.data())];
        const HWND before = GetWindow(control, GW_HWNDPREV);
        if (before == labelWindow) {
            continue;
        }
        // Oleacc names a control by the label just before it, too. A label is no tab stop,
        // so the tab order stays; it starts a group where its control did, so that it joins
        // no radio group before it.
        if ((GetWindowLongPtrW(control, GWL_STYLE) & WS_GROUP) != 0) {
            SetWindowLongPtrW(labelWindow, GWL_STYLE,
                              GetWindowLongPtrW(labelWindow, GWL_STYLE) | WS_GROUP);
        }
        SetWindowPos(labelWindow, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

Win32Window::~Win32Window() {
    backend_.Unregister(this);
    if (IsWindow(hwnd_) != FALSE) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

// One timer per window is all a dialog asks for; its id is arbitrary.
constexpr UINT_PTR TimerId = 1;

void Win32Window::StartTimer(int milliseconds) {
    SetTimer(hwnd_, TimerId, static_cast<UINT>(milliseconds), nullptr);
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

void Win32Window::FitToScreen() {
    RECT client{};
    RECT window{};
    GetClientRect(hwnd_, &client);
    GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const SIZE content{client.right, client.bottom};
    const SIZE frame{(window.right - window.left) - client.right,
                     (window.bottom - window.top) - client.bottom};
    const SIZE bars{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
    const ScreenFit fit = FitToWorkArea(content, frame, bars, monitor.rcWork);
    if (fit.VScroll || fit.HScroll) {
        const auto style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        SetWindowLongPtrW(hwnd_, GWL_STYLE,
                          style | (fit.VScroll ? WS_VSCROLL : 0) | (fit.HScroll ? WS_HSCROLL : 0));
    }
    SetWindowPos(hwnd_, nullptr, fit.Window.left, fit.Window.top,
                 fit.Window.right - fit.Window.left, fit.Window.bottom - fit.Window.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(hwnd_, &client);
    const auto range = [&](int bar, bool shown, LONG size, LONG page) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = shown ? size - 1 : 0;
        info.nPage = shown ? static_cast<UINT>(page) : 0;
        SetScrollInfo(hwnd_, bar, &info, FALSE);
    };
    range(SB_VERT, fit.VScroll, content.cy, client.bottom);
    range(SB_HORZ, fit.HScroll, content.cx, client.right);
}

void Win32Window::ScrollIntoView(HWND control) {
    const auto style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    if ((style & (WS_VSCROLL | WS_HSCROLL)) == 0 || !IsWithin(hwnd_, control) || control == hwnd_) {
        return;
    }
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&place), 2);
    RECT client{};
    GetClientRect(hwnd_, &client);
    // A little room around it, so that its label or frame shows too.
    RECT margin{4, 4, 0, 0};
    MapDialogRect(hwnd_, &margin);
    const auto shift = [](LONG low, LONG high, LONG size, LONG room) -> LONG {
        if (low - room < 0 || high - low + 2 * room > size) {
            return low - room;
        }
        return high + room > size ? high + room - size : 0;
    };
    const LONG down = shift(place.top, place.bottom, client.bottom, margin.top);
    const LONG right = shift(place.left, place.right, client.right, margin.left);
    if ((style & WS_VSCROLL) != 0 && down != 0) {
        ScrollTo(SB_VERT, GetScrollPos(hwnd_, SB_VERT) + down);
    }
    if ((style & WS_HSCROLL) != 0 && right != 0) {
        ScrollTo(SB_HORZ, GetScrollPos(hwnd_, SB_HORZ) + right);
    }
}

void Win32Window::OnScroll(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &info);
    RECT line{8, 8, 0, 0}; // a row of controls, in dialog units
    MapDialogRect(hwnd_, &line);
    const int step = bar == SB_VERT ? line.top : line.left;
    const int page = static_cast<int>(info.nPage);
    int position = info.nPos;
    switch (request) {
    case SB_LINEUP:
        position -= step;
        break;
    case SB_LINEDOWN:
        position += step;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    case SB_TOP:
        position = info.nMin;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    default:
        return;
    }
    ScrollTo(bar, position);
}

void Win32Window::ScrollTo(int bar, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &info);
    const int last = std::max(info.nMin, info.nMax - static_cast<int>(info.nPage) + 1);
    position = std::clamp(position, info.nMin, last);
    const int delta = info.nPos - position;
    if (delta == 0) {
        return;
    }
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(hwnd_, bar, &info, TRUE);
    ScrollWindowEx(hwnd_, bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr, nullptr,
                   nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void Win32Window::CancelFromKeyboard() {
    if (role_ == TemplateRole::TopLevel) {
        // Escape in a dialog without a Cancel button.
        owner_.Notify(IdCancel, Notification::Clicked);
        return;
    }
    // Escape in a page's multi-line edit closes the page, which has no Cancel of its own:
    // it cancels the dialog, as Escape does everywhere else.
    const HWND dialog = GetAncestor(hwnd_, GA_ROOT);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
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
        if (lParam == 0 && LOWORD(wParam) == IDCANCEL) {
            CancelFromKeyboard();
        }
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        Win32Item* item = ItemByHandle(header->hwndFrom);
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, item != nullptr ? item->OnNotify(*header) : 0);
        return TRUE;
    }
    case DM_GETDEFID:
        // No button is the default one (see NoDefaultFrameProc).
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_TIMER:
        if (wParam == TimerId) {
            owner_.OnTimer();
        }
        return TRUE;
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (lParam != 0) {
            return FALSE; // from a scroll bar control, not the client's own
        }
        OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return TRUE;
    case WM_MOUSEWHEEL:
        if ((GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VSCROLL) == 0) {
            return FALSE;
        }
        for (int notch = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA; notch != 0;
             notch += notch > 0 ? -1 : 1) {
            OnScroll(SB_VERT, notch > 0 ? SB_LINEUP : SB_LINEDOWN);
        }
        return TRUE;
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

void Win32Sheet::Activate(int index) {
    sheet_.SetActivePage(index);
}

void Win32Sheet::SwitchBy(int step) {
    const int count = sheet_.GetPageCount();
    if (count == 0) {
        return;
    }
    const int from = std::max(sheet_.GetActiveIndex(), 0);
    const bool focusInSheet = IsWithin(hwnd_, GetFocus());
    Activate(((from + step) % count + count) % count);
    if (focusInSheet) {
        // The page that had it is hidden now; the tab shows where the keyboard is.
        SetFocus(tabs_);
    }
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
            Activate(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
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
