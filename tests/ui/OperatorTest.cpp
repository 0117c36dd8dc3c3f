// The dialog as an operator meets it on a real window system: the keyboard alone, the screen
// it opens on, and a screen reader. Written once against the driver's keyboard, screen and
// assistive-technology primitives; the Qt and the Win32 test programs run it, the headless
// toolkit has none of them.
#include "tests/support/WorkedExamples.h"
#include "tests/ui/ProgramFixture.h"
#include "tests/ui/UserSteps.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace varnak {
namespace toolkit {

void PrintTo(const Announcement& said, std::ostream* out) {
    *out << "role " << static_cast<int>(said.Role) << " \"" << said.Name << '"';
}

} // namespace toolkit

namespace {

using namespace ids;
using toolkit::AccessibleRole;
using toolkit::Driver;
using toolkit::Key;
namespace Modifier = toolkit::Modifier;

class OperatorTest : public ::testing::Test, public test::ProgramFixture {};

using test::TabStops;

// One press of Tab (or Shift+Tab) after another, once round: the ids the focus went to, and
// how often it went to the sheet's tabs (0), which each backend places where its system
// places a sheet's tabs.
std::vector<int> Walk(Driver& user, std::size_t stops, bool backwards, int& tabs) {
    std::vector<int> visited;
    tabs = 0;
    for (std::size_t press = 0; press < stops + 1; ++press) {
        EXPECT_TRUE(user.PressKey(Key::Tab, backwards ? Modifier::Shift : Modifier::None));
        if (user.FocusId() == 0) {
            ++tabs;
        } else {
            visited.push_back(user.FocusId());
        }
    }
    return visited;
}

// Tab (or Shift+Tab) until control id has the focus.
bool TabTo(Driver& user, int id, bool backwards = false) {
    for (int press = 0; press < 60 && user.FocusId() != id; ++press) {
        user.PressKey(Key::Tab, backwards ? Modifier::Shift : Modifier::None);
    }
    return user.FocusId() == id;
}

// The arrow keys on the focused drop-down list until it shows the item.
void ArrowTo(Driver& user, int id, const std::string& item) {
    const auto state = user.State(id);
    ASSERT_TRUE(state);
    const auto at = std::find(state->Items.begin(), state->Items.end(), item);
    ASSERT_NE(at, state->Items.end()) << item;
    for (int move = static_cast<int>(at - state->Items.begin()) - state->Selection; move != 0;
         move += move > 0 ? -1 : 1) {
        user.PressKey(move > 0 ? Key::Down : Key::Up);
    }
    EXPECT_EQ(user.State(id)->Text, item);
}

// Tab and Shift+Tab go once round the dialog and the page shown, into the sheet and out of
// it; the page keys switch pages from a drop-down list and leave its choice alone.
TEST_F(OperatorTest, TabGoesRoundTheDialogAndThePageAndPageKeysSwitchPages) {
    RunDialog([&](Driver& user) {
        EXPECT_EQ(user.FocusId(), IDC_DEFAULT_TRAY) << "the initial focus";
        for (const int page : {0, 3}) {
            ASSERT_TRUE(user.SelectTab(page));
            const std::vector<int> stops = TabStops(user);
            ASSERT_TRUE(TabTo(user, stops.front()));
            std::vector<int> forward(stops.begin() + 1, stops.end());
            forward.push_back(stops.front());
            int tabs = 0;
            EXPECT_EQ(Walk(user, stops.size(), false, tabs), forward) << "case: page " << page;
            EXPECT_EQ(tabs, 1) << "case: page " << page;
            const std::vector<int> backward(stops.rbegin(), stops.rend());
            EXPECT_EQ(Walk(user, stops.size(), true, tabs), backward) << "case: page " << page;
            EXPECT_EQ(tabs, 1) << "case: page " << page;
        }

        ASSERT_TRUE(user.Pick(IDC_DEFAULT_OVERLAY, "None"));
        struct Case {
            Key key;
            unsigned modifiers;
            int page;
        };
        const Case cases[] = {
            {Key::PageDown, Modifier::Ctrl, 0}, {Key::PageDown, Modifier::Ctrl, 1},
            {Key::Tab, Modifier::Ctrl, 2},      {Key::Tab, Modifier::Ctrl | Modifier::Shift, 1},
            {Key::PageUp, Modifier::Ctrl, 0},   {Key::PageUp, Modifier::Ctrl, 3},
        };
        for (const auto& c : cases) {
            ASSERT_TRUE(user.PressKey(c.key, c.modifiers));
            EXPECT_EQ(user.ActiveTab(), c.page) << "case: to page " << c.page;
            EXPECT_EQ(settings.LastTab(), static_cast<std::uint32_t>(c.page))
                << "the page saw its activation";
            EXPECT_EQ(user.State(IDC_DEFAULT_OVERLAY)->Text, "None");
            EXPECT_EQ(user.FocusId(), IDC_DEFAULT_OVERLAY);
        }
    });
}

// The first worked example by keyboard alone: no clicks and no calls on the controls, only
// Tab, Shift+Tab, Ctrl+Shift+Tab, the arrow keys, digits and Space.
TEST_F(OperatorTest, KeyboardAloneWritesTheFirstWorkedExample) {
    InstallOverlays({{"12.mac", ""}});
    const std::string ticket = RunProgram([&](Driver& user) {
        EXPECT_EQ(user.FocusId(), IDC_DEFAULT_TRAY) << "the initial focus";
        ASSERT_TRUE(user.PressKey(Key::Tab, Modifier::Ctrl | Modifier::Shift));
        ASSERT_EQ(user.ActiveTab(), 3) << "Ctrl+Shift+Tab goes round to Document Printing";
        ASSERT_TRUE(TabTo(user, IDC_PAGE_NUMBERS)) << "into the sheet";
        for (const auto& entry : test::DocumentExampleInputs) {
            ASSERT_TRUE(TabTo(user, IDC_PAGE_NUMBERS, true));
            user.TypeText(entry.page); // over the text that the focus selected
            ASSERT_TRUE(TabTo(user, IDC_PAGE_OVERLAY));
            ArrowTo(user, IDC_PAGE_OVERLAY, entry.overlay);
            ASSERT_TRUE(TabTo(user, IDC_PAGE_TRAY));
            ArrowTo(user, IDC_PAGE_TRAY, entry.tray);
            ASSERT_TRUE(TabTo(user, IDC_PAGE_APPLY));
            user.PressKey(Key::Space);
        }
        EXPECT_EQ(user.State(IDC_PAGE_LIST)->Rows.size(), 3u);
        ASSERT_TRUE(TabTo(user, IDC_COPIES)) << "out of the sheet, round to the top";
        user.TypeText("2");
        EXPECT_EQ(user.State(IDC_COPIES)->Text, "2");
        ASSERT_TRUE(TabTo(user, IDC_OK));
        user.PressKey(Key::Space);
        EXPECT_FALSE(user.DialogOpen());
    });
    EXPECT_EQ(ticket, test::DocumentExampleTicket);
}

// What a screen reader says for each control of the dialog and of the page shown, labels
// and frames aside: the role, and the name (an input control is named by its label), on
// every page.
TEST_F(OperatorTest, EveryControlIsAnnouncedByNameAndRole) {
    struct Said {
        int id;
        AccessibleRole role;
        const char* name;
    };
    constexpr auto Push = AccessibleRole::PushButton, Radio = AccessibleRole::RadioButton,
                   Combo = AccessibleRole::ComboBox, Text = AccessibleRole::Text,
                   List = AccessibleRole::List;
    const std::vector<Said> general{
        {IDC_OK, Push, "OK"},
        {IDC_CANCEL, Push, "Cancel"},
        {IDC_SIMPLEX, Radio, "Simplex"},
        {IDC_DUPLEX, Radio, "Duplex"},
        {IDC_AS_DATASTREAM, Radio, "As Datastream"},
        {IDC_DEFAULT_TRAY, Combo, "Default Input Tray:"},
        {IDC_COPIES, Text, "Number of copies:"},
        {IDC_DEFAULT_OVERLAY, Combo, "Default Form Overlay:"},
        {IDC_STAPLING, Combo, "Stapling:"},
        {IDC_OVERLAY_DESCRIPTION, Text, "Default Form Overlay: description"},
        {IDC_MANUAL_LINK, AccessibleRole::Link, "Online Manual"},
    };
    const std::vector<Said> pages[PageCount] = {
        {
            {IDC_CHAPTER_COPIES, Text, "Copy count for chapter:"},
            {IDC_CHAPTER_DELETE, Push, "Delete"},
            {IDC_CHAPTER_APPLY, Push, "Apply"},
            {IDC_CHAPTER_LIST, List, "Settings"},
            {IDC_CHAPTER_PAGE_NUMBERS, Text, "Last page number for chapter:"},
            {IDC_CHAPTER_SEPARATOR, Radio, "Insert separation sheet after page"},
            {IDC_CHAPTER_MODIFY, Radio, "Modify this page"},
            {IDC_CHAPTER_OVERLAY, Combo, "Form Overlay:"},
            {IDC_CHAPTER_TRAY, Combo, "Input Tray:"},
            {IDC_REMAINING_COPIES, Text, "Last chapter copy count:"},
            {IDC_SEP_AFTER_COPYSET, AccessibleRole::CheckBox, "Separator page after copyset only"},
            {IDC_CHAPTER_DESCRIPTION, Text, "Form Overlay: description"},
        },
        {
            {IDC_COVER_OVERLAY, Combo, "Form Overlay:"},
            {IDC_COVER_TRAY, Combo, "Input Tray:"},
            {IDC_COVER_DESCRIPTION, Text, "Form Overlay: description"},
            {IDC_COVER_DELETE, Push, "Delete"},
        },
        {
            {IDC_FOOTER_OVERLAY, Combo, "Form Overlay:"},
            {IDC_FOOTER_TRAY, Combo, "Input Tray:"},
            {IDC_FOOTER_DESCRIPTION, Text, "Form Overlay: description"},
            {IDC_FOOTER_DELETE, Push, "Delete"},
        },
        {
            {IDC_PAGE_TRAY, Combo, "Input Tray:"},
            {IDC_PAGE_DELETE, Push, "Delete"},
            {IDC_PAGE_NUMBERS, Text, "Page Number:"},
            {IDC_PAGE_SEPARATOR, Radio, "Insert separation sheet after page"},
            {IDC_PAGE_MODIFY, Radio, "Modify this page"},
            {IDC_PAGE_OVERLAY, Combo, "Form Overlay:"},
            {IDC_PAGE_LIST, List, "Settings"},
            {IDC_PAGE_APPLY, Push, "Apply"},
            {IDC_PAGE_DESCRIPTION, Text, "Form Overlay: description"},
        },
    };
    RunDialog([&](Driver& user) {
        for (int page = 0; page < static_cast<int>(PageCount); ++page) {
            ASSERT_TRUE(user.SelectTab(page));
            std::vector<Said> expected = general;
            expected.insert(expected.end(), pages[page].begin(), pages[page].end());
            std::vector<int> heard;
            for (const auto& control : user.Controls()) {
                if (control.Kind != toolkit::ControlKind::Label &&
                    control.Kind != toolkit::ControlKind::GroupBox) {
                    heard.push_back(control.Id);
                }
            }
            std::vector<int> listed;
            for (const Said& said : expected) {
                listed.push_back(said.id);
                EXPECT_EQ(user.Announced(said.id), (toolkit::Announcement{said.role, said.name}))
                    << "page " << page << ": control " << said.id;
            }
            std::ranges::sort(heard);
            std::ranges::sort(listed);
            EXPECT_EQ(heard, listed) << "page " << page << ": a control the table misses";
        }
    });
}

// The dialog opens within the work area of its screen, whatever room that gives it.
TEST_F(OperatorTest, TheDialogOpensWithinTheWorkArea) {
    RunDialog([&](Driver& user) {
        const toolkit::ScreenArea area = user.Screen();
        EXPECT_GT(area.Window.Right - area.Window.Left, 0);
        EXPECT_GT(area.Window.Bottom - area.Window.Top, 0);
        EXPECT_TRUE(area.WorkArea.Contains(area.Window))
            << "window " << area.Window.Left << "," << area.Window.Top << " to "
            << area.Window.Right << "," << area.Window.Bottom << " in work area "
            << area.WorkArea.Right << "x" << area.WorkArea.Bottom;
    });
}

} // namespace
} // namespace varnak
