// What the Win32 backend adds to the shared behaviour tests: the windows as Windows built them
// from the templates, and the native notifications it adapts.
#include "platform/toolkit/win32/Win32Backend.h"
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/DialogResource.h"
#include "platform/toolkit/win32/ScreenFit.h"
#include "platform/toolkit/win32/Win32Driver.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UserSteps.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

namespace varnak {
namespace {

using toolkit::Driver;
using toolkit::win32::ScriptedWin32Backend;
using namespace ids;

// A rectangle in dialog units mapped the way the dialog manager maps a control's: place and
// size each on their own.
RECT DialogUnits(HWND dialog, int x, int y, int width, int height) {
    RECT place{x, y, width, height};
    MapDialogRect(dialog, &place);
    return {place.left, place.top, place.left + place.right, place.top + place.bottom};
}

// The control's rectangle in its dialog's client coordinates.
RECT PlaceIn(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

class Win32OptionsTest : public ::testing::Test {
protected:
    int Run(const toolkit::UserFunction& user) {
        backend.SetUser(user);
        COptionsDlg dialog(backend.Get(), registry.Registry(), &settings, commandLine);
        return dialog.DoModal();
    }
    HWND DialogHandle() const { return GetActiveWindow(); }

    test::RegistrySandbox registry;
    test::TempDir dir;
    ScriptedWin32Backend backend;
    JobSettings settings;
    std::string commandLine;
};

TEST_F(Win32OptionsTest, WindowsAreBuiltFromTheTemplatesInDialogUnits) {
    Run([&](Driver& user) {
        ASSERT_TRUE(user.DialogOpen());
        const HWND dialog = DialogHandle();
        wchar_t title[64] = {};
        GetWindowTextW(dialog, title, 64);
        EXPECT_STREQ(title, L"ZOR Brevant");

        RECT client{};
        GetClientRect(dialog, &client);
        const RECT expected = DialogUnits(dialog, 0, 0, 492, 432);
        EXPECT_EQ(client.right, expected.right);
        EXPECT_EQ(client.bottom, expected.bottom);

        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg");

        struct Case {
            int id;
            RECT units;
            const wchar_t* className;
        };
        const Case cases[] = {
            {IDC_COPIES, {100, 18, 25, 13}, L"Edit"},
            {IDC_DEFAULT_TRAY, {100, 34, 139, 0}, L"ComboBox"},
            {IDC_OK, {97, 409, 71, 14}, L"Button"},
            {IDC_MANUAL_LINK, {181, 18, 138, 13}, WC_LINK},
            {IDC_OVERLAY_DESCRIPTION, {263, 50, 213, 46}, L"Edit"},
        };
        for (const auto& c : cases) {
            const HWND control = GetDlgItem(dialog, c.id);
            ASSERT_NE(control, nullptr) << "case: " << c.id;
            const RECT place = PlaceIn(dialog, control);
            const RECT want =
                DialogUnits(dialog, c.units.left, c.units.top, c.units.right, c.units.bottom);
            EXPECT_EQ(place.left, want.left) << "case: " << c.id;
            EXPECT_EQ(place.top, want.top) << "case: " << c.id;
            if (c.units.bottom != 0) { // a combo box's height is that of its list
                EXPECT_EQ(place.right, want.right) << "case: " << c.id;
                EXPECT_EQ(place.bottom, want.bottom) << "case: " << c.id;
            }
            EXPECT_EQ(ClassOf(control), c.className) << "case: " << c.id;
        }
        EXPECT_NE(GetWindowLongPtrW(GetDlgItem(dialog, IDC_COPIES), GWL_STYLE) & ES_NUMBER, 0);
    });
}

TEST_F(Win32OptionsTest, SheetSitsBelowTheGroupInDialogUnitsWithPagesMadeOnFirstShow) {
    Run([&](Driver& user) {
        const HWND dialog = DialogHandle();
        // The sheet is the last child: after the template's controls in the tab order.
        const HWND sheet = GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDLAST);
        ASSERT_NE(sheet, nullptr);
        EXPECT_NE(GetWindowLongPtrW(sheet, GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
        const RECT place = PlaceIn(dialog, sheet);
        const RECT want = DialogUnits(dialog, 3, 123, 0, 0);
        EXPECT_EQ(place.left, want.left);
        EXPECT_EQ(place.top, want.top);
        const RECT group = DialogUnits(dialog, 7, 7, 478, 94);
        EXPECT_GT(place.top, group.bottom) << "clear of the General Settings group";

        const HWND tabs = FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
        wchar_t caption[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, 3, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(caption, L"Document Printing");
        // No buttons of a sheet's own: only the tab control and the pages made so far.
        auto children = [&] {
            int count = 0;
            for (HWND child = GetWindow(sheet, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                ++count;
            }
            return count;
        };
        EXPECT_EQ(children(), 2) << "the tab control and the start page";
        ASSERT_TRUE(user.SelectTab(3));
        ASSERT_TRUE(user.SelectTab(0));
        EXPECT_EQ(children(), 3);
    });
}

// Keys inside a page go to the sheet's dialog handling first: Enter applies nothing and
// presses nothing, Escape still cancels the dialog.
TEST_F(Win32OptionsTest, EnterInAPageDoesNothingAndEscapeThereCancels) {
    EXPECT_EQ(Run([&](Driver& user) {
                  ASSERT_EQ(user.ActiveTab(), 0);
                  ASSERT_TRUE(user.Type(IDC_CHAPTER_PAGE_NUMBERS, "5"));
                  ASSERT_TRUE(user.PressEnter(IDC_CHAPTER_PAGE_NUMBERS));
                  EXPECT_TRUE(user.DialogOpen());
                  EXPECT_TRUE(user.State(IDC_CHAPTER_LIST)->Rows.empty());
                  ASSERT_TRUE(user.PressEscape());
                  EXPECT_FALSE(user.DialogOpen());
              }),
              toolkit::IdCancel);
}

// The tab stops, then the sheet's tabs, which come after the page as in a property sheet
// (id 0).
std::vector<int> TabStops(const Driver& user) {
    std::vector<int> stops = test::TabStops(user);
    stops.push_back(0);
    return stops;
}

// The window of control id in the dialog or in the page shown.
HWND ControlWindow(HWND dialog, int id) {
    if (const HWND own = GetDlgItem(dialog, id)) {
        return own;
    }
    const HWND sheet = FindWindowExW(dialog, nullptr, L"#32770", nullptr);
    for (HWND page = FindWindowExW(sheet, nullptr, L"#32770", nullptr); page != nullptr;
         page = FindWindowExW(sheet, page, L"#32770", nullptr)) {
        if (IsWindowVisible(page) != FALSE && GetDlgItem(page, id) != nullptr) {
            return GetDlgItem(page, id);
        }
    }
    return nullptr;
}

// The pixels of an area of the screen, row by row.
std::vector<std::uint32_t> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> picture(pixels, pixels + static_cast<std::size_t>(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The pixels of a window as drawn now and a few around it, where a focus rectangle or the
// frame of a focused control would be drawn.
std::vector<std::uint32_t> Picture(ScriptedWin32Backend& backend, HWND window) {
    RedrawWindow(GetAncestor(window, GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    backend.Settle();
    RECT area{};
    GetWindowRect(window, &area);
    InflateRect(&area, 3, 3);
    return ScreenPixels(area);
}

// Where the text in an area of a window lies, as a share of the area's width from its left
// edge to the middle of the ink: anything unlike the area's top-left pixel is ink.
double InkMiddle(ScriptedWin32Backend& backend, HWND window, RECT area) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    backend.Settle();
    InflateRect(&area, -2, -2);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const std::vector<std::uint32_t> pixels = ScreenPixels(area);
    const int width = area.right - area.left;
    const std::uint32_t background = pixels.front();
    int left = width;
    int right = -1;
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        const int x = static_cast<int>(at % static_cast<std::size_t>(width));
        if (pixels[at] != background) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    return right < 0 ? -1.0 : (left + right) / 2.0 / width;
}

// The focus shows wherever Tab takes it: an edit has the caret (compared by state, as it
// blinks), every other control looks different with the focus than without, the list views
// included (a focus rectangle on the current row, or on the list itself when it is empty).
// And no button looks like the default, as Enter presses none in this dialog: neither a
// button's frame nor the dialog manager names one, wherever the focus is.
TEST_F(Win32OptionsTest, EveryTabStopShowsTheFocusAndNoButtonLooksLikeTheDefault) {
    Run([&](Driver& user) {
        const HWND dialog = DialogHandle();
        for (const int page : {0, 3}) {
            ASSERT_TRUE(user.SelectTab(page));
            if (page == 3) { // a list with a row, none of them selected
                ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, "5"));
                ASSERT_TRUE(user.Click(IDC_PAGE_APPLY));
                ASSERT_TRUE(user.SelectRow(IDC_PAGE_LIST, -1));
            }
            const std::vector<int> stops = TabStops(user);
            while (ScriptedWin32Backend::FocusId() != stops.front()) {
                backend.PressKey(VK_TAB);
            }
            for (std::size_t stop = 0; stop + 1 < stops.size(); ++stop) {
                const HWND focused = GetFocus();
                const int id = ScriptedWin32Backend::FocusId();
                wchar_t kind[16] = {};
                GetClassNameW(focused, kind, 16);
                if (std::wstring_view(kind) == L"Edit") {
                    GUITHREADINFO thread{};
                    thread.cbSize = sizeof thread;
                    GetGUIThreadInfo(GetCurrentThreadId(), &thread);
                    EXPECT_EQ(thread.hwndCaret, focused)
                        << "page " << page << ": edit " << id << " has no caret";
                    backend.PressKey(VK_TAB);
                } else {
                    const std::vector<std::uint32_t> with = Picture(backend, focused);
                    backend.PressKey(VK_TAB);
                    EXPECT_NE(Picture(backend, focused), with)
                        << "page " << page << ": control " << id << " shows no focus";
                }
                const int now = ScriptedWin32Backend::FocusId();
                for (const int button : {IDC_OK, IDC_CANCEL, IDC_PAGE_APPLY, IDC_PAGE_DELETE,
                                         IDC_CHAPTER_APPLY, IDC_CHAPTER_DELETE}) {
                    const HWND hwnd = ControlWindow(dialog, button);
                    EXPECT_TRUE(hwnd == nullptr ||
                                (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_DEFPUSHBUTTON) == 0)
                        << "page " << page << ": " << button
                        << " looks like the default with the focus on " << now;
                }
                const DWORD named = static_cast<DWORD>(SendMessageW(dialog, DM_GETDEFID, 0, 0));
                EXPECT_NE(HIWORD(named), DC_HASDEFID)
                    << "page " << page << ": " << LOWORD(named)
                    << " is the default with the focus on " << now;
            }
        }
    });
}

// The list view's own first column is a placeholder that stays zero pixels wide; the
// toolkit's columns follow it. Each at least the design's width at this DPI, and as wide as
// the list view itself makes it for its heading (all but the last, which it stretches) and
// for the widest cells. A right-aligned column draws its heading and its cells on the right,
// the first included.
void ExpectColumnsFitAndAlign(ScriptedWin32Backend& backend, HWND list,
                              const toolkit::ControlState& state,
                              const std::vector<std::string>& widest,
                              const std::vector<int>& right) {
    constexpr int Placeholder = 1;
    const int id = state.Id;
    RECT unit{4, 0, 0, 0}; // the dialog's base unit, in pixels
    MapDialogRect(GetParent(list), &unit);
    const double scale = std::max(1.0, unit.right / double(toolkit::DesignBaseUnitX));
    const auto width = [&](int column) {
        return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    };
    const auto fill = [&](int row, const std::vector<std::string>& cells) {
        LVITEMW item{};
        item.iItem = row;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t column = 0; column < cells.size(); ++column) {
            std::wstring text = toolkit::win32::Widen(cells[column]);
            LVITEMW cell{};
            cell.iSubItem = static_cast<int>(column) + Placeholder;
            cell.pszText = text.data();
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&cell));
        }
    };
    const int row = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    fill(row, widest);
    fill(row + 1, std::vector<std::string>(widest.size(), "1"));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row + 1), FALSE);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    EXPECT_EQ(width(0), 0) << "case: list " << id << " placeholder";
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(widest.size());
    for (int column = 0; column < count; ++column) {
        const int shown = column + Placeholder;
        const int given = width(shown);
        const auto& design = state.Columns.at(static_cast<std::size_t>(column));
        EXPECT_GE(given, static_cast<int>(design.WidthPixels * scale))
            << "case: list " << id << " design " << column;
        const auto needs = [&](int how) {
            SendMessageW(list, LVM_SETCOLUMNWIDTH, shown, how);
            const int needed = width(shown);
            SendMessageW(list, LVM_SETCOLUMNWIDTH, shown, given);
            return needed;
        };
        EXPECT_GE(given, needs(LVSCW_AUTOSIZE)) << "case: list " << id << " column " << column;
        if (column + 1 < count) {
            EXPECT_GE(given, needs(LVSCW_AUTOSIZE_USEHEADER))
                << "case: list " << id << " heading " << column;
        }
        if (std::find(right.begin(), right.end(), column) != right.end()) {
            EXPECT_EQ(design.Align, toolkit::ColumnAlign::Right) << "case: list " << id;
            RECT cell{LVIR_LABEL, shown, 0, 0};
            SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row + 1),
                         reinterpret_cast<LPARAM>(&cell));
            EXPECT_GT(InkMiddle(backend, list, cell), 0.5)
                << "case: list " << id << " cell " << column;
            RECT heading{};
            SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(shown),
                         reinterpret_cast<LPARAM>(&heading));
            EXPECT_GT(InkMiddle(backend, header, heading), 0.5)
                << "case: list " << id << " heading " << column;
        }
    }
    SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row + 1), 0);
    SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

TEST_F(Win32OptionsTest, ListColumnsFitAndAlign) {
    Run([&](Driver& user) {
        const std::vector<std::string> widestPage{"4294967295", "sep. sheet", "4294967295",
                                                  "Transparency"};
        std::vector<std::string> widestChapter = widestPage;
        widestChapter.push_back("4294967295");
        struct Case {
            int page;
            int id;
            const std::vector<std::string>& widest; // the widest cells
            std::vector<int> right;                 // the right-aligned columns
        };
        const Case cases[] = {
            {0, IDC_CHAPTER_LIST, widestChapter, {0, 2, 4}},
            {3, IDC_PAGE_LIST, widestPage, {0, 2}},
        };
        for (const auto& c : cases) {
            ASSERT_TRUE(user.SelectTab(c.page));
            const HWND list = ControlWindow(DialogHandle(), c.id);
            ASSERT_NE(list, nullptr) << "case: " << c.id;
            ExpectColumnsFitAndAlign(backend, list, *user.State(c.id), c.widest, c.right);
        }
    });
}

// A screen reader follows the link by its default action, as a click does. (What every
// control is announced as is the shared OperatorTest's.)
TEST_F(Win32OptionsTest, TheLinkIsFollowedByItsDefaultAction) {
    CoInitialize(nullptr);
    Run([&](Driver&) {
        IAccessible* link = nullptr;
        ASSERT_HRESULT_SUCCEEDED(
            AccessibleObjectFromWindow(GetDlgItem(DialogHandle(), IDC_MANUAL_LINK), OBJID_CLIENT,
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&link)));
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        EXPECT_HRESULT_SUCCEEDED(link->accDoDefaultAction(self));
        link->Release();
    });
    CoUninitialize();
    ASSERT_EQ(backend.Events().size(), 1u);
    EXPECT_EQ(backend.Events()[0].What, toolkit::UserEvent::Type::Browse);
}

// A multi-line edit in a page takes Escape to its page, which has no Cancel of its own.
TEST_F(Win32OptionsTest, EscapeInAPagesDescriptionBoxCancels) {
    EXPECT_EQ(Run([&](Driver& user) {
                  ASSERT_TRUE(user.SelectTab(1));
                  while (ScriptedWin32Backend::FocusId() != IDC_COVER_DESCRIPTION) {
                      backend.PressKey(VK_TAB);
                  }
                  backend.PressKey(VK_ESCAPE);
                  EXPECT_FALSE(user.DialogOpen());
              }),
              toolkit::IdCancel);
}

// Windows leaves out EN_CHANGE for a multi-line edit's WM_SETTEXT and sends it for a
// single-line one; the toolkit notifies for both, once.
TEST(Win32EditTest, TextFromCodeNotifiesOnceForEveryKindOfEdit) {
    toolkit::DialogTemplate tmpl;
    tmpl.Id = 700;
    tmpl.Styles = toolkit::DialogStyle::Caption;
    tmpl.Controls = {
        {toolkit::ControlKind::Edit, 10, "", toolkit::Style::None, {}},
        {toolkit::ControlKind::Edit,
         11,
         "",
         toolkit::Style::MultiLine | toolkit::Style::ReadOnly,
         {}},
        {toolkit::ControlKind::Edit, 12, "", toolkit::Style::DigitsOnly, {}},
    };
    struct Dialog : toolkit::ModalDialog {
        Dialog(toolkit::Backend& backend, const toolkit::DialogTemplate& tmpl)
            : ModalDialog(backend, tmpl) {
            for (int id : {10, 11, 12}) {
                OnNotification(id, toolkit::Notification::EditChange,
                               [this, id] { changes.push_back(id); });
            }
        }
        std::vector<int> changes;
    };
    ScriptedWin32Backend backend;
    Dialog dialog(backend.Get(), tmpl);
    backend.SetUser([&](Driver& user) {
        for (int id : {10, 11, 12}) {
            dialog.Item<toolkit::Edit>(id).SetText("text");
            dialog.Item<toolkit::Edit>(id).SetText("text");
        }
        EXPECT_EQ(dialog.changes, (std::vector<int>{10, 10, 11, 11, 12, 12}));
        dialog.changes.clear();
        ASSERT_TRUE(user.TypeKeys(10, "ab"));
        ASSERT_TRUE(user.Type(12, "x7"));
        EXPECT_EQ(dialog.changes, (std::vector<int>{10, 10, 12}));
        EXPECT_EQ(dialog.Item<toolkit::Edit>(10).GetText(), "textab");
    });
    dialog.DoModal();
}

// A client of 800x700 in a frame of 10x30, with bars 20 wide (vertical) and 20 high.
TEST(Win32ScreenFitTest, TheWindowStaysInsideTheWorkAreaAndScrollsWhatDoesNotFit) {
    struct Case {
        const char* name;
        RECT work;
        RECT window;
        bool vscroll;
        bool hscroll;
    };
    const Case cases[] = {
        {"fits, centred", {0, 0, 1000, 1000}, {95, 135, 905, 865}, false, false},
        {"below a task bar at the top", {0, 40, 1000, 1040}, {95, 175, 905, 905}, false, false},
        {"too low", {0, 0, 1366, 600}, {268, 0, 1098, 600}, true, false},
        {"too low, and the bar makes it too wide", {0, 0, 820, 600}, {0, 0, 820, 600}, true, true},
        {"too narrow", {100, 0, 700, 1000}, {100, 125, 700, 875}, false, true},
        {"exactly", {0, 0, 810, 730}, {0, 0, 810, 730}, false, false},
    };
    for (const auto& c : cases) {
        const auto fit = toolkit::win32::FitToWorkArea({800, 700}, {10, 30}, {20, 20}, c.work);
        EXPECT_EQ(fit.Window.left, c.window.left) << "case: " << c.name;
        EXPECT_EQ(fit.Window.top, c.window.top) << "case: " << c.name;
        EXPECT_EQ(fit.Window.right, c.window.right) << "case: " << c.name;
        EXPECT_EQ(fit.Window.bottom, c.window.bottom) << "case: " << c.name;
        EXPECT_EQ(fit.VScroll, c.vscroll) << "case: " << c.name;
        EXPECT_EQ(fit.HScroll, c.hscroll) << "case: " << c.name;
    }
}

struct AddressCase {
    const char* address;
    const wchar_t* expected;
};

TEST(Win32AddressTest, RelativeAddressesAreTakenFromTheProgramsDirectory) {
    const AddressCase cases[] = {
        {"https://example.invalid/manual/", L"https://example.invalid/manual/"},
        {"C:\\Varnak\\manual.html", L"C:\\Varnak\\manual.html"},
        {"\\\\server\\forms\\manual.html", L"\\\\server\\forms\\manual.html"},
        {"manual.html", L"C:\\Program Files\\Varnak\\manual.html"},
        {"../share/doc/varnak/manual.html", L"C:\\Program Files\\share\\doc\\varnak\\manual.html"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toolkit::win32::ResolveAddress(c.address, L"C:\\Program Files\\Varnak"),
                  c.expected)
            << "case: " << c.address;
    }
}

} // namespace
} // namespace varnak
