// Two whole runs of the program on the Win32 backend, through the real dialog, with the
// machine registry of the Wine prefix in between: the first writes the document-mode worked
// example, the second opens with what the first saved and writes the chapter-mode one.
#include "app/CVarnakApp.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/Win32Driver.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkedExamples.h"
#include "tests/ui/UserSteps.h"
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

    static void Do(const toolkit::ActionResult& result) {
        EXPECT_TRUE(result) << "refused: " << result.Reason;
    }

    test::RegistrySandbox registry;
    test::TempDir dir;
    std::optional<toolkit::win32::ScriptedWin32Backend> backend;
};

TEST_F(WholeRunTest, TwoRunsWriteTheWorkedExamplesAndKeepTheSettingsBetween) {
    const int first = RunProgram("document.tkt", [&](Driver& user) {
        EXPECT_EQ(user.ActiveTab(), 0) << "a first run opens on Chapter Printing";
        Do(test::EnterDocumentExample(user));
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
        Do(test::EnterDefaultsCoverAndFooter(user));
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

} // namespace
} // namespace varnak
