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

// The enabled tab stops the user sees, in template order: the dialog's, then the page's;
// then the sheet's tabs, which come after the page as in a property sheet (id 0).
std::vector<int> TabStops(const Driver& user) {
    std::vector<int> stops;
    for (const auto& control : user.Controls()) {
        if (control.Enabled && control.Kind != toolkit::ControlKind::Label &&
            control.Kind != toolkit::ControlKind::GroupBox) {
            stops.push_back(control.Id);
        }
    }
    stops.push_back(0);
    return stops;
}

// One press of the key after another, from where the focus is: the ids it went to.
std::vector<int> Walk(ScriptedWin32Backend& backend, std::size_t presses, bool shift) {
    std::vector<int> visited;
    for (std::size_t press = 0; press < presses; ++press) {
        backend.PressKey(VK_TAB, shift);
        visited.push_back(ScriptedWin32Backend::FocusId());
    }
    return visited;
}

TEST_F(Win32OptionsTest, TabCyclesThroughTheDialogAndThePageShownAndCtrlKeysSwitchPages) {
    Run([&](Driver& user) {
        EXPECT_EQ(ScriptedWin32Backend::FocusId(), IDC_DEFAULT_TRAY) << "the initial focus";
        for (const int page : {0, 3}) {
            ASSERT_TRUE(user.SelectTab(page));
            // From the first stop once round and back, into the sheet and out of it.
            std::vector<int> stops = TabStops(user);
            while (ScriptedWin32Backend::FocusId() != stops.front()) {
                backend.PressKey(VK_TAB);
            }
            std::vector<int> forward(stops.begin() + 1, stops.end());
            forward.push_back(stops.front());
            EXPECT_EQ(Walk(backend, stops.size(), false), forward) << "case: page " << page;
            const std::vector<int> backward(stops.rbegin(), stops.rend());
            EXPECT_EQ(Walk(backend, stops.size(), true), backward) << "case: page " << page;
        }

        // The page keys act from a list too, and leave its selection alone.
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_OVERLAY, "None"));
        struct Case {
            int key;
            bool shift;
            int page;
        };
        const Case cases[] = {
            {VK_NEXT, false, 0}, {VK_NEXT, false, 1},  {VK_TAB, false, 2},
            {VK_TAB, true, 1},   {VK_PRIOR, false, 0}, {VK_PRIOR, false, 3},
        };
        for (const auto& c : cases) {
            backend.PressKey(c.key, c.shift, true);
            EXPECT_EQ(user.ActiveTab(), c.page) << "case: key " << c.key << " to " << c.page;
            EXPECT_EQ(settings.LastTab(), static_cast<std::uint32_t>(c.page))
                << "the page saw its activation";
            EXPECT_EQ(user.State(IDC_DEFAULT_OVERLAY)->Text, "None");
            EXPECT_EQ(ScriptedWin32Backend::FocusId(), IDC_DEFAULT_OVERLAY);
        }
    });
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

// What a screen reader gets for the control: its name and role through oleacc.
std::pair<std::wstring, long> Announced(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return {L"(no accessible object)", 0};
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    VARIANT role{};
    std::wstring text = object->get_accName(self, &name) == S_OK ? name : L"(no name)";
    SysFreeString(name);
    const long roleId = object->get_accRole(self, &role) == S_OK ? role.lVal : 0;
    object->Release();
    return {text, roleId};
}

// Each column at least the design's width at this DPI, and as wide as the list view itself
// makes it for its heading (all but the last, which it stretches) and for the widest cells.
void ExpectColumnsFit(HWND list, const toolkit::ControlState& state,
                      const std::vector<std::string>& widest) {
    const int id = state.Id;
    RECT unit{4, 0, 0, 0}; // the dialog's base unit, in pixels
    MapDialogRect(GetParent(list), &unit);
    const double scale = std::max(1.0, unit.right / double(toolkit::DesignBaseUnitX));
    const int row = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    LVITEMW item{};
    item.iItem = row;
    item.mask = LVIF_TEXT;
    std::wstring first = toolkit::win32::Widen(widest[0]);
    item.pszText = first.data();
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (std::size_t column = 1; column < widest.size(); ++column) {
        std::wstring text = toolkit::win32::Widen(widest[column]);
        LVITEMW cell{};
        cell.iSubItem = static_cast<int>(column);
        cell.pszText = text.data();
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&cell));
    }
    const int count = static_cast<int>(widest.size());
    for (int column = 0; column < count; ++column) {
        const auto width = [&] {
            return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        };
        const int given = width();
        const auto design = state.Columns.at(static_cast<std::size_t>(column)).WidthPixels;
        EXPECT_GE(given, static_cast<int>(design * scale))
            << "case: list " << id << " design " << column;
        const auto needs = [&](int how) {
            SendMessageW(list, LVM_SETCOLUMNWIDTH, column, how);
            const int needed = width();
            SendMessageW(list, LVM_SETCOLUMNWIDTH, column, given);
            return needed;
        };
        EXPECT_GE(given, needs(LVSCW_AUTOSIZE)) << "case: list " << id << " column " << column;
        if (column + 1 < count) {
            EXPECT_GE(given, needs(LVSCW_AUTOSIZE_USEHEADER))
                << "case: list " << id << " heading " << column;
        }
    }
    SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

TEST_F(Win32OptionsTest, InputControlsAreNamedByTheirLabelsAndListColumnsFit) {
    CoInitialize(nullptr);
    Run([&](Driver& user) {
        const std::vector<std::string> widestPage{"4294967295", "sep. sheet", "4294967295",
                                                  "Transparency"};
        std::vector<std::string> widestChapter = widestPage;
        widestChapter.push_back("4294967295");
        struct Case {
            int page; // -1: the dialog's own
            int id;
            const wchar_t* name;
            long role;
            const std::vector<std::string>* widest; // list views: their widest cells
        };
        const Case cases[] = {
            {-1, IDC_COPIES, L"Number of copies:", ROLE_SYSTEM_TEXT, nullptr},
            {-1, IDC_DEFAULT_TRAY, L"Default Input Tray:", ROLE_SYSTEM_COMBOBOX, nullptr},
            {-1, IDC_STAPLING, L"Stapling:", ROLE_SYSTEM_COMBOBOX, nullptr},
            {0, IDC_CHAPTER_LIST, L"Settings", ROLE_SYSTEM_LIST, &widestChapter},
            {0, IDC_CHAPTER_PAGE_NUMBERS, L"Last page number for chapter:", ROLE_SYSTEM_TEXT,
             nullptr},
            {0, IDC_REMAINING_COPIES, L"Last chapter copy count:", ROLE_SYSTEM_TEXT, nullptr},
            {1, IDC_COVER_TRAY, L"Input Tray:", ROLE_SYSTEM_COMBOBOX, nullptr},
            {3, IDC_PAGE_LIST, L"Settings", ROLE_SYSTEM_LIST, &widestPage},
            {3, IDC_PAGE_OVERLAY, L"Form Overlay:", ROLE_SYSTEM_COMBOBOX, nullptr},
        };
        for (const auto& c : cases) {
            if (c.page >= 0) {
                ASSERT_TRUE(user.SelectTab(c.page));
            }
            const HWND control = ControlWindow(DialogHandle(), c.id);
            ASSERT_NE(control, nullptr) << "case: " << c.id;
            const auto [name, role] = Announced(control);
            EXPECT_EQ(name, c.name) << "case: " << c.id;
            EXPECT_EQ(role, c.role) << "case: " << c.id;
            if (c.widest != nullptr) {
                ExpectColumnsFit(control, *user.State(c.id), *c.widest);
            }
        }
    });
    CoUninitialize();
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
