// What the Win32 backend adds to the shared behaviour tests: the windows as Windows built them
// from the templates, and the native notifications it adapts.
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/Win32Backend.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace varnak {
namespace {

using toolkit::Driver;
using toolkit::win32::Win32Backend;
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
        COptionsDlg dialog(backend, registry.Registry(), &settings, commandLine);
        return dialog.DoModal();
    }
    HWND DialogHandle() const { return GetActiveWindow(); }

    test::RegistrySandbox registry;
    test::TempDir dir;
    Win32Backend backend;
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
            const RECT want = DialogUnits(dialog, c.units.left, c.units.top, c.units.right,
                                          c.units.bottom);
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

} // namespace
} // namespace varnak
