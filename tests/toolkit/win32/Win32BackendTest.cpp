// What the Win32 backend adds to the shared behaviour tests: the windows as Windows built them
// from the templates, and the native notifications it adapts.
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/Win32Backend.h"
#include "platform/toolkit/win32/Win32Driver.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

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
