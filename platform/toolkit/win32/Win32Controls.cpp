#include "platform/toolkit/win32/Win32Controls.h"

#include "platform/toolkit/win32/DialogResource.h"
#include "platform/toolkit/win32/Win32Backend.h"
#include "platform/toolkit/win32/Win32Window.h"

#include <commctrl.h>
// prsht.h names its function PropertySheet, like the toolkit's class.
#undef PropertySheet

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace varnak::toolkit::win32 {
namespace {

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return Narrow(text);
}

template <class Interface> class ControlBase : public Interface, public Win32Item {
public:
    ControlBase(const ControlTemplate& tmpl, HWND hwnd, Win32Window& window)
        : template_(tmpl), hwnd_(hwnd), window_(window) {}

    int Id() const override { return template_.Id; }
    ControlKind Kind() const override { return template_.Kind; }
    void SetText(std::string_view text) override { SetWindowTextW(hwnd_, Widen(text).c_str()); }
    std::string GetText() const override { return WindowText(hwnd_); }
    void Enable(bool enable) override { EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    bool IsEnabled() const override { return IsWindowEnabled(hwnd_) != FALSE; }
    void SetFocus() override { ::SetFocus(hwnd_); }
    HWND Handle() const override { return hwnd_; }

protected:
    void Notify(Notification code) { window_.Notify(template_.Id, code); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(hwnd_, message, wParam, lParam);
    }
    Win32Window& OwnerWindow() const { return window_; }

    const ControlTemplate& template_;
    HWND hwnd_;
    Win32Window& window_;
};

using Win32Label = ControlBase<Control>;

// Windows sends EN_CHANGE for WM_SETTEXT from single-line edits only; the toolkit's rule is
// that every text set from code notifies, once, so the native one is held back here.
class Win32Edit : public ControlBase<Edit> {
public:
    using ControlBase::ControlBase;
    void SetText(std::string_view text) override {
        settingText_ = true;
        SetWindowTextW(hwnd_, Widen(text).c_str());
        settingText_ = false;
        Notify(Notification::EditChange);
    }
    bool IsReadOnly() const override {
        return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_READONLY) != 0;
    }
    void OnCommand(int code) override {
        if (code == EN_CHANGE && !settingText_) {
            Notify(Notification::EditChange);
        }
    }

private:
    bool settingText_ = false;
};

// No push button looks like the default one: Enter is the dialog's business (its key filter),
// and the backend presses the focused button with it only where the filter lets it through.
// So a button doesn't tell the dialog manager that it is a push button, which would give it
// the default frame whenever it or a control that isn't a button has the focus.
constexpr UINT_PTR NoDefaultFrameId = 2;

LRESULT CALLBACK NoDefaultFrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, NoDefaultFrameProc, NoDefaultFrameId);
    }
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    return message == WM_GETDLGCODE ? result & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)
                                    : result;
}

class Win32Button : public ControlBase<Button> {
public:
    Win32Button(const ControlTemplate& tmpl, HWND hwnd, Win32Window& window)
        : ControlBase(tmpl, hwnd, window) {
        if (tmpl.Kind == ControlKind::PushButton) {
            SetWindowSubclass(hwnd, NoDefaultFrameProc, NoDefaultFrameId, 0);
            Send(BM_SETSTYLE, BS_PUSHBUTTON, TRUE); // the one the dialog manager chose first
        }
    }
    void SetCheck(bool checked) override {
        Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    bool GetCheck() const override { return Send(BM_GETCHECK) == BST_CHECKED; }
    void OnCommand(int code) override {
        // The dialog manager sends IDOK for Enter even when OK is disabled.
        if (code == BN_CLICKED && IsEnabled()) {
            Notify(Notification::Clicked);
        }
    }
};

class Win32Link : public ControlBase<Link> {
public:
    Win32Link(const ControlTemplate& tmpl, HWND hwnd, Win32Window& window)
        : ControlBase(tmpl, hwnd, window), label_(tmpl.Text) {}
    void SetText(std::string_view text) override {
        label_ = text;
        SetWindowTextW(hwnd_, LinkMarkup(text).c_str());
    }
    std::string GetText() const override { return label_; }
    void SetUrl(std::string_view address) override { url_ = address; }
    LRESULT OnNotify(const NMHDR& header) override {
        if (header.code == NM_CLICK || header.code == NM_RETURN) {
            const bool opened = OwnerWindow().Backend().OpenUrl(url_);
            Notify(Notification::Clicked);
            if (!opened) {
                Notify(Notification::OpenFailed);
            }
        }
        return 0;
    }

private:
    std::string label_;
    std::string url_;
};

// CB_SETCURSEL sends nothing on Windows, as the toolkit's rule asks; CBN_SELCHANGE comes
// only from the user.
class Win32ComboBox : public ControlBase<ComboBox> {
public:
    using ControlBase::ControlBase;
    std::string GetText() const override { return GetLBText(GetCurSel()); }
    int AddString(std::string_view text) override {
        return static_cast<int>(
            Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str())));
    }
    void SetCurSel(int index) override {
        // Windows clears the selection for a position outside the list; Wine keeps it.
        const bool inList = index >= 0 && index < GetCount();
        Send(CB_SETCURSEL, static_cast<WPARAM>(inList ? index : -1));
    }
    int GetCurSel() const override { return static_cast<int>(Send(CB_GETCURSEL)); }
    int GetCount() const override { return static_cast<int>(Send(CB_GETCOUNT)); }
    std::string GetLBText(int index) const override {
        if (index < 0 || index >= GetCount()) {
            return {};
        }
        const auto length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        return Narrow(text);
    }
    void OnCommand(int code) override {
        if (code == CBN_SELCHANGE) {
            Notify(Notification::SelChange);
        }
    }
};

// Windows sends LVN_ITEMCHANGED per item and state bit (deselecting one row, selecting
// another, moving the focus) and nothing when the selected row is deleted. The toolkit's
// rule is one notification whenever the selection changes, so the list view compares the
// selected row, known by the key it was inserted with, after each message and each change
// from code.
//
// A list view draws its first column's cells left-aligned whatever the column's format says
// (Wine its heading too), so the toolkit's columns start at the list view's second: the
// first is a placeholder, zero pixels wide for good, that holds each row's first text for
// type-ahead and for the row's accessible name.
class Win32ListView : public ControlBase<ListView> {
public:
    Win32ListView(const ControlTemplate& tmpl, HWND hwnd, Win32Window& window)
        : ControlBase(tmpl, hwnd, window) {
        Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        LVCOLUMNW placeholder{};
        placeholder.mask = LVCF_WIDTH | LVCF_SUBITEM;
        Send(LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&placeholder));
        SetWindowSubclass(hwnd, FixedPlaceholderProc, FixedPlaceholderId, 0);
    }

    int InsertColumn(int column, std::string_view heading, ColumnAlign align, int widthPixels,
                     std::string_view widestCell) override {
        column = std::clamp(column, 0, GetColumnCount());
        std::wstring text = Widen(heading);
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = Format(align);
        col.cx = std::max({Scaled(widthPixels), TextWidth(text) + Scaled(HeadingPadding),
                           TextWidth(Widen(widestCell)) + Scaled(CellPadding)});
        col.pszText = text.data();
        col.iSubItem = column + Shown;
        const int at = static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column + Shown),
                                             reinterpret_cast<LPARAM>(&col))) -
                       Shown;
        if (at >= 0) {
            designWidths_.insert(designWidths_.begin() + at, widthPixels);
        }
        return at < 0 ? -1 : at;
    }
    int GetColumnCount() const override {
        const auto header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
        const int columns =
            header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        return std::max(0, columns - Shown);
    }
    ListColumn GetColumn(int column) const override {
        if (column < 0 || column >= GetColumnCount()) {
            return {};
        }
        wchar_t heading[256] = {};
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        col.pszText = heading;
        col.cchTextMax = 256;
        Send(LVM_GETCOLUMNW, static_cast<WPARAM>(column + Shown), reinterpret_cast<LPARAM>(&col));
        return {Narrow(heading), Align(col.fmt), designWidths_[static_cast<std::size_t>(column)]};
    }
    int InsertItem(int row, std::string_view text) override {
        std::wstring wide = Widen(text);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = std::clamp(row, 0, GetItemCount());
        item.pszText = wide.data();
        item.lParam = nextKey_++;
        const int at = static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (at >= 0) {
            SetCell(at, Shown, wide);
        }
        return at;
    }
    void SetItemText(int row, int column, std::string_view text) override {
        if (column < 0) {
            return;
        }
        std::wstring wide = Widen(text);
        SetCell(row, column + Shown, wide);
        if (column == 0) {
            SetCell(row, 0, wide);
        }
    }
    std::string GetItemText(int row, int column) const override {
        if (row < 0 || row >= GetItemCount() || column < 0) {
            return {};
        }
        wchar_t buffer[1024] = {};
        LVITEMW item{};
        item.iSubItem = column + Shown;
        item.pszText = buffer;
        item.cchTextMax = 1024;
        Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return Narrow(buffer);
    }
    void DeleteItem(int row) override {
        if (row < 0 || row >= GetItemCount()) {
            return;
        }
        Send(LVM_DELETEITEM, static_cast<WPARAM>(row));
        CheckSelection();
    }
    int GetItemCount() const override { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int GetNextSelected(int start) const override {
        return static_cast<int>(
            Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(LVNI_SELECTED, 0)));
    }

    LRESULT OnNotify(const NMHDR& header) override {
        switch (header.code) {
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) {
                Notify(Notification::KeyDelete);
            }
            return 0;
        case NM_SETFOCUS:
            // A list with rows and no current one: the first becomes current, unselected,
            // so that the focus rectangle shows where the arrow keys start.
            if (GetItemCount() > 0 &&
                Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)) < 0) {
                LVITEMW state{};
                state.stateMask = LVIS_FOCUSED;
                state.state = LVIS_FOCUSED;
                Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
            }
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        case NM_KILLFOCUS:
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        case NM_CUSTOMDRAW:
            return OnCustomDraw(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
        default:
            return 0;
        }
    }

    // An empty list with the focus shows it around its rows' area, since there is no row to
    // draw it on; the focus rectangle is drawn whatever the keyboard cues say, as the other
    // controls' are.
    LRESULT OnCustomDraw(const NMLVCUSTOMDRAW& draw) const {
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            return CDRF_NOTIFYPOSTPAINT;
        }
        if (draw.nmcd.dwDrawStage == CDDS_POSTPAINT && GetFocus() == hwnd_ && GetItemCount() == 0) {
            RECT area{};
            GetClientRect(hwnd_, &area);
            if (const auto header = reinterpret_cast<HWND>(Send(LVM_GETHEADER))) {
                RECT heading{};
                GetWindowRect(header, &heading);
                area.top += heading.bottom - heading.top;
            }
            InflateRect(&area, -2, -2);
            DrawFocusRect(draw.nmcd.hdc, &area);
        }
        return CDRF_DODEFAULT;
    }

    void CheckSelection() override {
        const int row = GetNextSelected(-1);
        const LPARAM key = row < 0 ? NoKey : KeyOf(row);
        if (key != selectedKey_) {
            selectedKey_ = key;
            Notify(Notification::ItemChanged);
        }
    }

private:
    static constexpr LPARAM NoKey = -1;
    static constexpr int Shown = 1; // the list view's column of the toolkit's first
    static constexpr UINT_PTR FixedPlaceholderId = 3;

    // The heading's notifications reach the list view first: neither a drag, nor a double
    // click on the divider, nor Ctrl+Plus widens the placeholder.
    static LRESULT CALLBACK FixedPlaceholderProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR) {
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(hwnd, FixedPlaceholderProc, FixedPlaceholderId);
        } else if (message == WM_NOTIFY && WidensPlaceholder(*reinterpret_cast<NMHDR*>(lParam))) {
            return TRUE;
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    static bool WidensPlaceholder(const NMHDR& notification) {
        const auto& change = reinterpret_cast<const NMHEADERW&>(notification);
        switch (notification.code) {
        case HDN_BEGINTRACKW:
        case HDN_BEGINTRACKA:
        case HDN_DIVIDERDBLCLICKW:
        case HDN_DIVIDERDBLCLICKA:
            return change.iItem == 0;
        case HDN_ITEMCHANGINGW:
        case HDN_ITEMCHANGINGA:
            return change.iItem == 0 && change.pitem != nullptr &&
                   (change.pitem->mask & HDI_WIDTH) != 0 && change.pitem->cxy != 0;
        default:
            return false;
        }
    }

    void SetCell(int row, int subItem, std::wstring& text) {
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = text.data();
        Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }

    // Room a list view keeps beside a heading's and a cell's text, in pixels of the design.
    static constexpr int HeadingPadding = 16;
    static constexpr int CellPadding = 14;

    // Pixels of the design at the dialog's font and DPI, never narrower than the design.
    int Scaled(int designPixels) const {
        RECT unit{4, 0, 0, 0}; // one horizontal base unit, in pixels
        MapDialogRect(GetParent(hwnd_), &unit);
        const double scale = static_cast<double>(unit.right) / DesignBaseUnitX;
        return static_cast<int>(std::lround(designPixels * std::max(scale, 1.0)));
    }

    int TextWidth(const std::wstring& text) const {
        return static_cast<int>(
            Send(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }

    static int Format(ColumnAlign align) {
        switch (align) {
        case ColumnAlign::Right:
            return LVCFMT_RIGHT;
        case ColumnAlign::Center:
            return LVCFMT_CENTER;
        case ColumnAlign::Left:
            break;
        }
        return LVCFMT_LEFT;
    }
    static ColumnAlign Align(int format) {
        switch (format & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT:
            return ColumnAlign::Right;
        case LVCFMT_CENTER:
            return ColumnAlign::Center;
        default:
            return ColumnAlign::Left;
        }
    }
    LPARAM KeyOf(int row) const {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }

    LPARAM nextKey_ = 0;
    LPARAM selectedKey_ = NoKey;
    std::vector<int> designWidths_; // as inserted, column by column
};

} // namespace

HWND HandleOf(const Control& control) {
    const auto* item = dynamic_cast<const Win32Item*>(&control);
    return item != nullptr ? item->Handle() : nullptr;
}

std::unique_ptr<Control> MakeControl(const ControlTemplate& tmpl, HWND hwnd, Win32Window& window) {
    switch (tmpl.Kind) {
    case ControlKind::Edit:
        return std::make_unique<Win32Edit>(tmpl, hwnd, window);
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
        return std::make_unique<Win32Button>(tmpl, hwnd, window);
    case ControlKind::Link:
        return std::make_unique<Win32Link>(tmpl, hwnd, window);
    case ControlKind::ComboBox:
        return std::make_unique<Win32ComboBox>(tmpl, hwnd, window);
    case ControlKind::ListView:
        return std::make_unique<Win32ListView>(tmpl, hwnd, window);
    case ControlKind::Label:
    case ControlKind::GroupBox:
        break;
    }
    return std::make_unique<Win32Label>(tmpl, hwnd, window);
}

} // namespace varnak::toolkit::win32
