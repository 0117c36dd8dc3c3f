// Two whole runs of the program on the Win32 backend, through the real dialog, with the
// machine registry of the Wine prefix in between: the first writes the document-mode worked
// example, the second opens with what the first saved and writes the chapter-mode one.
#include "app/CVarnakApp.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/Win32Driver.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkedExamples.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include <windows.h>

namespace varnak {
namespace {

using namespace ids;
using toolkit::Driver;

constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";

class WholeRunTest : public ::testing::Test {
protected:
    WholeRunTest() {
        const auto overlays = dir.Path() / "overlays";
        std::filesystem::create_directories(overlays);
        for (const char* name : {"7.mac", "9.mac", "12.mac", "15.mac", "40.mac"}) {
            test::WriteFileBytes(overlays / name, "macro");
        }
        registry.SetText("SOFTWARE\\quet\\quetprint", "WorkingDirectory", overlays.string());
    }

    // One run of the program as varnak.exe makes it, with its own backend.
    int RunProgram(const std::string& ticket, const toolkit::UserFunction& user) {
        backend.emplace();
        backend->SetUser(user);
        CVarnakApp app(backend->Get(), registry.Registry(), "-R\"" + dir.File(ticket) + "\"");
        EXPECT_FALSE(app.InitInstance());
        EXPECT_TRUE(backend->Events().empty()) << "no message was expected";
        return app.DialogResult();
    }

    // The keyboard of the run going on.
    void Press(int key, bool shift = false, bool control = false) {
        backend->PressKey(key, shift, control);
    }
    // Tab (Shift+Tab going back) until the control has the focus; false if a round of the
    // dialog's stops never gets there.
    bool TabTo(int id, bool back = false) {
        for (int press = 0; press < 40 && Keys::FocusId() != id; ++press) {
            Press(VK_TAB, back);
        }
        return Keys::FocusId() == id;
    }
    // Moves the focused drop-down list to the item with the arrow keys.
    void ArrowTo(Driver& user, int id, const std::string& item) {
        const auto state = user.State(id);
        ASSERT_TRUE(state);
        const auto at = std::find(state->Items.begin(), state->Items.end(), item);
        ASSERT_NE(at, state->Items.end()) << item;
        for (int move = static_cast<int>(at - state->Items.begin()) - state->Selection; move != 0;
             move += move > 0 ? -1 : 1) {
            Press(move > 0 ? VK_DOWN : VK_UP);
        }
        EXPECT_EQ(user.State(id)->Text, item);
    }

    static void Do(const toolkit::ActionResult& result) {
        EXPECT_TRUE(result) << "refused: " << result.Reason;
    }

    using Keys = toolkit::win32::ScriptedWin32Backend;
    test::RegistrySandbox registry;
    test::TempDir dir;
    std::optional<Keys> backend;
};

TEST_F(WholeRunTest, TwoRunsWriteTheWorkedExamplesAndKeepTheSettingsBetween) {
    const int first = RunProgram("document.tkt", [&](Driver& user) {
        EXPECT_EQ(user.ActiveTab(), 0) << "a first run opens on Chapter Printing";
        Do(user.SelectTab(3));
        for (const auto& entry : test::DocumentExampleInputs) {
            Do(user.Type(IDC_PAGE_NUMBERS, entry.page));
            Do(user.Pick(IDC_PAGE_OVERLAY, entry.overlay));
            Do(user.Pick(IDC_PAGE_TRAY, entry.tray));
            Do(user.Click(IDC_PAGE_APPLY));
        }
        Do(user.Type(IDC_COPIES, "2"));
        Do(user.Click(IDC_OK));
    });
    EXPECT_EQ(first, toolkit::IdOk);
    EXPECT_EQ(test::ReadFileBytes(dir.Path() / "document.tkt"), test::DocumentExampleTicket);
    const auto copies = registry.Get(SettingsKey, "NumberOfCopies");
    ASSERT_TRUE(copies);
    EXPECT_EQ(copies->Bytes, test::DwordBytes(2));

    const int second = RunProgram("chapters.tkt", [&](Driver& user) {
        // What the first run saved, without its page list.
        EXPECT_EQ(user.ActiveTab(), 3);
        EXPECT_EQ(user.State(IDC_COPIES)->Text, "2");
        EXPECT_EQ(user.State(IDC_PAGE_NUMBERS)->Text, "8");
        EXPECT_EQ(user.State(IDC_PAGE_TRAY)->Text, "Letterhead");
        EXPECT_TRUE(user.State(IDC_PAGE_LIST)->Rows.empty());

        Do(user.Type(IDC_COPIES, "1"));
        Do(user.Pick(IDC_DEFAULT_TRAY, "Bond"));
        Do(user.Pick(IDC_DEFAULT_OVERLAY, "40"));
        Do(user.SelectTab(1));
        Do(user.Pick(IDC_COVER_OVERLAY, "7"));
        Do(user.Pick(IDC_COVER_TRAY, "Plain"));
        Do(user.SelectTab(2));
        Do(user.Pick(IDC_FOOTER_OVERLAY, "9"));
        Do(user.SelectTab(0));
        Do(user.Type(IDC_REMAINING_COPIES, "4"));
        struct Chapter {
            const char* lastPage;
            const char* copies;
            const char* overlay;
            const char* tray;
        };
        for (const Chapter& chapter :
             {Chapter{"10", "2", "None", "None"}, Chapter{"25", "3", "15", "Recycled"}}) {
            Do(user.Type(IDC_CHAPTER_PAGE_NUMBERS, chapter.lastPage));
            Do(user.TypeKeys(IDC_CHAPTER_COPIES, chapter.copies));
            Do(user.Pick(IDC_CHAPTER_OVERLAY, chapter.overlay));
            Do(user.Pick(IDC_CHAPTER_TRAY, chapter.tray));
            Do(user.Click(IDC_CHAPTER_APPLY));
            Do(user.Type(IDC_CHAPTER_COPIES, ""));
        }
        Do(user.Click(IDC_SEP_AFTER_COPYSET));
        EXPECT_EQ(user.State(IDC_CHAPTER_LIST)->Rows.size(), 3u) << "two chapters and Last";
        Do(user.Click(IDC_OK));
    });
    EXPECT_EQ(second, toolkit::IdOk);
    EXPECT_EQ(test::ReadFileBytes(dir.Path() / "chapters.tkt"), test::ChapterExampleTicket);
}

// The first worked example again, by keyboard alone, as the keys come from the keyboard:
// no clicks and no calls on the controls, only Tab, Shift+Tab, Ctrl+Shift+Tab, the arrow
// keys, digits and Space.
TEST_F(WholeRunTest, KeyboardAloneWritesTheFirstWorkedExample) {
    const int result = RunProgram("keyboard.tkt", [&](Driver& user) {
        EXPECT_EQ(Keys::FocusId(), IDC_DEFAULT_TRAY) << "the initial focus";
        Press(VK_TAB, true, true);
        ASSERT_EQ(user.ActiveTab(), 3) << "Ctrl+Shift+Tab goes round to Document Printing";
        ASSERT_TRUE(TabTo(IDC_PAGE_NUMBERS)) << "into the sheet";
        for (const auto& entry : test::DocumentExampleInputs) {
            ASSERT_TRUE(TabTo(IDC_PAGE_NUMBERS, true));
            backend->TypeText(entry.page); // over the text that the focus selected
            ASSERT_TRUE(TabTo(IDC_PAGE_OVERLAY));
            ArrowTo(user, IDC_PAGE_OVERLAY, entry.overlay);
            ASSERT_TRUE(TabTo(IDC_PAGE_TRAY));
            ArrowTo(user, IDC_PAGE_TRAY, entry.tray);
            ASSERT_TRUE(TabTo(IDC_PAGE_APPLY));
            Press(VK_SPACE);
        }
        EXPECT_EQ(user.State(IDC_PAGE_LIST)->Rows.size(), 3u);
        ASSERT_TRUE(TabTo(IDC_COPIES)) << "out of the sheet, round to the top";
        backend->TypeText("2");
        EXPECT_EQ(user.State(IDC_COPIES)->Text, "2");
        ASSERT_TRUE(TabTo(IDC_OK));
        Press(VK_SPACE);
        EXPECT_FALSE(user.DialogOpen());
    });
    EXPECT_EQ(result, toolkit::IdOk);
    EXPECT_EQ(test::ReadFileBytes(dir.Path() / "keyboard.tkt"), test::DocumentExampleTicket);
}

} // namespace
} // namespace varnak
