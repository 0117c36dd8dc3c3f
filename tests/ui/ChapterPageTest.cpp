#include "core/CommandBuilder.h"
#include "tests/support/CaseName.h"
#include "tests/ui/DialogFixture.h"
#include "ui/CSettings.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

namespace varnak {
namespace {

using namespace ids;
using test::Shown;
using toolkit::ColumnAlign;
using toolkit::Driver;
using toolkit::ListColumn;
using Rows = std::vector<std::vector<std::string>>;

constexpr int ChapterTab = 0;

std::vector<std::string> LastRow(const std::string& copies) {
    return {"Last", "", "", "", copies};
}

class ChapterPageTest : public ::testing::Test, public test::DialogFixture {
protected:
    void SetUp() override {
        InstallOverlays({{"15.mac", ""}, {"15.mat", test::Utf16("Tab sheet")}, {"7.mac", ""}});
    }

    // Types the chapter inputs and presses Apply; an empty remaining count is typed too.
    static void Apply(Driver& user, const std::string& numbers, const std::string& copies,
                      const std::string& overlay, const std::string& tray,
                      const std::string& remaining = "") {
        ASSERT_TRUE(user.Type(IDC_CHAPTER_PAGE_NUMBERS, numbers));
        ASSERT_TRUE(user.Type(IDC_CHAPTER_COPIES, copies));
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_OVERLAY, overlay));
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_TRAY, tray));
        ASSERT_TRUE(user.Type(IDC_REMAINING_COPIES, remaining));
        ASSERT_TRUE(user.Click(IDC_CHAPTER_APPLY));
    }

    // The chapter rows the record's entries should show, in order.
    Rows RowsOfEntries() const {
        Rows rows;
        for (const auto& entry : settings.ChapterEntries()) {
            rows.push_back(
                {std::to_string(entry.LastPage), "sep. sheet", std::to_string(entry.FormOverlay),
                 std::string(InputTrayNames.at(static_cast<std::size_t>(entry.InputTray))),
                 std::to_string(entry.CopyCount)});
        }
        return rows;
    }

    Rows ChapterRows(Driver& user) const {
        Rows rows = Shown(user, IDC_CHAPTER_LIST).Rows;
        if (!rows.empty()) {
            EXPECT_EQ(rows.back().at(0), "Last");
            rows.pop_back();
        }
        return rows;
    }
};

TEST_F(ChapterPageTest, FirstShowHasItsColumnsAndStartState) {
    RunDialog([&](Driver& user) {
        ASSERT_EQ(user.ActiveTab(), ChapterTab);
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Columns,
                  (std::vector<ListColumn>{{"Last Page", ColumnAlign::Right, 60},
                                           {"Action", ColumnAlign::Left, 45},
                                           {"Formoverlay", ColumnAlign::Right, 70},
                                           {"Input tray", ColumnAlign::Left, 80},
                                           {"Copies", ColumnAlign::Right, 60}}));
        EXPECT_EQ(Shown(user, IDC_CHAPTER_OVERLAY).Items,
                  (std::vector<std::string>{"None", "15", "7"}));
        EXPECT_EQ(Shown(user, IDC_CHAPTER_TRAY).Selection, 0);
        EXPECT_EQ(Shown(user, IDC_CHAPTER_COPIES).Text, "");
        EXPECT_EQ(Shown(user, IDC_REMAINING_COPIES).Text, "");
        EXPECT_FALSE(Shown(user, IDC_CHAPTER_DELETE).Enabled);
        EXPECT_TRUE(Shown(user, IDC_CHAPTER_SEPARATOR).Checked);
        EXPECT_FALSE(Shown(user, IDC_CHAPTER_MODIFY).Enabled);
        // Both lists say "None": no separator page, so nothing to print only after a set.
        const auto box = Shown(user, IDC_SEP_AFTER_COPYSET);
        EXPECT_FALSE(box.Checked);
        EXPECT_FALSE(box.Enabled);
        EXPECT_EQ(Shown(user, IDC_COPIES).Text, "1");
        EXPECT_FALSE(Shown(user, IDC_COPIES).Enabled);
    });
}

TEST_F(ChapterPageTest, ApplyAddsChaptersAboveTheLastRowAndLocksOneCopy) {
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.Type(IDC_COPIES, "1"));
        ASSERT_TRUE(user.SelectTab(ChapterTab));
        Apply(user, "10,20", "3", "None", "None");
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows, (Rows{{"10", "sep. sheet", "0", "None", "3"},
                                                            {"20", "sep. sheet", "0", "None", "3"},
                                                            LastRow("3")}));
        EXPECT_EQ(Shown(user, IDC_REMAINING_COPIES).Text, "3");
        EXPECT_EQ(settings.RemainingChapterCopyCount(), 3u);
        EXPECT_EQ(settings.LastRemainingChapterCopyCount(), 3u);
        EXPECT_TRUE(Shown(user, IDC_OK).Enabled);
        EXPECT_EQ(Shown(user, IDC_COPIES).Text, "1");
        EXPECT_FALSE(Shown(user, IDC_COPIES).Enabled);

        // No sorting: a later chapter goes just above "Last".
        Apply(user, "15", "2", "15", "Bond", "4");
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows, (Rows{{"10", "sep. sheet", "0", "None", "3"},
                                                            {"20", "sep. sheet", "0", "None", "3"},
                                                            {"15", "sep. sheet", "15", "Bond", "2"},
                                                            LastRow("4")}));
        EXPECT_EQ(ChapterRows(user), RowsOfEntries());

        // An existing chapter takes the inputs on screen; its row follows.
        Apply(user, "20", "5", "7", "Rough", "4");
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows.at(1),
                  (std::vector<std::string>{"20", "sep. sheet", "7", "Rough", "5"}));
        EXPECT_EQ(ChapterRows(user), RowsOfEntries());
    });
}

TEST_F(ChapterPageTest, ApplyOfZeroAddsOnlyTheLastRow) {
    RunDialog([&](Driver& user) {
        Apply(user, "0", "", "None", "None");
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows, Rows{LastRow("1")});
        EXPECT_EQ(settings.ChapterEntryCount(), 0u);
        EXPECT_FALSE(Shown(user, IDC_OK).Enabled);
        // An empty page-number text changes nothing, not even "Last".
        ASSERT_TRUE(user.Type(IDC_CHAPTER_PAGE_NUMBERS, ""));
        ASSERT_TRUE(user.Type(IDC_REMAINING_COPIES, "6"));
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.SelectTab(ChapterTab));
        EXPECT_TRUE(Shown(user, IDC_CHAPTER_APPLY).Enabled); // enabling the page enables it
        ASSERT_TRUE(user.Click(IDC_CHAPTER_APPLY));
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows, Rows{LastRow("1")});
    });
}

struct CountCase {
    const char* name;
    const char* typed;
    std::uint32_t stored;
};

class ChapterCopyCountTest : public ChapterPageTest,
                             public ::testing::WithParamInterface<CountCase> {};

// Anything not above one is one copy; a negative count never wraps to four billion.
TEST_P(ChapterCopyCountTest, ChapterCopyCountIsAtLeastOne) {
    const CountCase& c = GetParam();
    RunDialog([&](Driver& user) {
        Apply(user, "9", c.typed, "None", "None");
        ASSERT_EQ(settings.ChapterEntryCount(), 1u);
        EXPECT_EQ(settings.ChapterEntryAt(0)->CopyCount, c.stored) << "case: " << c.name;
        // With an empty remaining count the chapter's count is taken for it as well.
        EXPECT_EQ(settings.RemainingChapterCopyCount(), c.stored) << "case: " << c.name;
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows.back(), LastRow(std::to_string(c.stored)));
    });
}

TEST_P(ChapterCopyCountTest, RemainingCopyCountIsAtLeastOneAndShownAsStored) {
    const CountCase& c = GetParam();
    RunDialog([&](Driver& user) {
        Apply(user, "9", "2", "None", "None", c.typed);
        const std::uint32_t expected = std::string(c.typed).empty() ? 2 : c.stored;
        EXPECT_EQ(settings.RemainingChapterCopyCount(), expected) << "case: " << c.name;
        EXPECT_EQ(settings.LastRemainingChapterCopyCount(), expected) << "case: " << c.name;
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows.back(), LastRow(std::to_string(expected)))
            << "case: " << c.name;
        // A typed count is left as typed.
        if (!std::string(c.typed).empty()) {
            EXPECT_EQ(Shown(user, IDC_REMAINING_COPIES).Text, c.typed) << "case: " << c.name;
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Typed, ChapterCopyCountTest,
                         ::testing::Values(CountCase{"empty", "", 1}, CountCase{"zero", "0", 1},
                                           CountCase{"one", "1", 1}, CountCase{"five", "5", 5},
                                           CountCase{"minus_one", "-1", 1},
                                           CountCase{"minus_many", "-70000", 1},
                                           CountCase{"trailing", "3x", 3}),
                         test::ByCaseName);

// Delete takes the chapter of the selected row, never "Last", also by the Delete key.
TEST_F(ChapterPageTest, DeleteRemovesTheChapterOfTheSelectedRow) {
    RunDialog([&](Driver& user) {
        Apply(user, "10,10", "2", "None", "None");
        Apply(user, "10", "5", "15", "Bond"); // changes the first chapter for 10 only
        ASSERT_TRUE(user.SelectRow(IDC_CHAPTER_LIST, 2));
        EXPECT_FALSE(Shown(user, IDC_CHAPTER_DELETE).Enabled); // "Last"
        ASSERT_TRUE(user.PressDelete(IDC_CHAPTER_LIST));
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows.size(), 3u);
        ASSERT_TRUE(user.SelectRow(IDC_CHAPTER_LIST, 1));
        EXPECT_TRUE(Shown(user, IDC_CHAPTER_DELETE).Enabled);
        ASSERT_TRUE(user.Click(IDC_CHAPTER_DELETE));
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows,
                  (Rows{{"10", "sep. sheet", "15", "Bond", "5"}, LastRow("5")}));
        EXPECT_EQ(ChapterRows(user), RowsOfEntries());
        EXPECT_FALSE(Shown(user, IDC_CHAPTER_DELETE).Enabled);
    });
}

// The handler itself refuses "Last", whatever the state of the button.
TEST_F(ChapterPageTest, DeleteHandlerNeverRemovesTheLastRow) {
    COptionsDlg dialog(backend->Get(), registry.Registry(), &settings, commandLine);
    backend->SetUser([&](Driver& user) {
        Apply(user, "10", "2", "None", "None");
        ASSERT_TRUE(user.SelectRow(IDC_CHAPTER_LIST, 1));
        dynamic_cast<CSettings&>(dialog.Sheet().GetPage(ChapterTab)).OnDelete();
        EXPECT_EQ(Shown(user, IDC_CHAPTER_LIST).Rows,
                  (Rows{{"10", "sep. sheet", "0", "None", "2"}, LastRow("2")}));
        EXPECT_EQ(settings.ChapterEntryCount(), 1u);
    });
    dialog.DoModal();
}

TEST_F(ChapterPageTest, SeparatorAfterCopySetBoxFollowsTheSeparatorLists) {
    settings.SetLoadedFromRegistry(true);
    settings.SetLastChapterInputTray(2);
    settings.SetSepPageAfterCopySetOnly(true);
    RunDialog([&](Driver& user) {
        EXPECT_TRUE(Shown(user, IDC_SEP_AFTER_COPYSET).Checked);
        EXPECT_TRUE(Shown(user, IDC_SEP_AFTER_COPYSET).Enabled);
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_TRAY, "None"));
        EXPECT_FALSE(settings.SepPageAfterCopySetOnly());
        EXPECT_FALSE(Shown(user, IDC_SEP_AFTER_COPYSET).Checked);
        EXPECT_FALSE(Shown(user, IDC_SEP_AFTER_COPYSET).Enabled);
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_OVERLAY, "15"));
        EXPECT_EQ(Shown(user, IDC_CHAPTER_DESCRIPTION).Text, "Tab sheet");
        EXPECT_TRUE(Shown(user, IDC_SEP_AFTER_COPYSET).Enabled);
        EXPECT_FALSE(Shown(user, IDC_SEP_AFTER_COPYSET).Checked);
        ASSERT_TRUE(user.Click(IDC_SEP_AFTER_COPYSET));
        EXPECT_TRUE(settings.SepPageAfterCopySetOnly());
    });
}

TEST_F(ChapterPageTest, RememberedInputsAreShownAndStoredBack) {
    settings.SetLoadedFromRegistry(true);
    settings.SetLastChapterPageNumbers("10,25");
    settings.SetLastChapterCopyCount(3);
    settings.SetLastChapterFormOverlay(7);
    settings.SetLastChapterInputTray(5);
    settings.SetLastRemainingChapterCopyCount(4);
    settings.SetSepPageAfterCopySetOnly(true);
    settings.SetCoverPageFormOverlay(7); // so that OK can be pressed
    RunDialog([&](Driver& user) {
        EXPECT_EQ(Shown(user, IDC_CHAPTER_PAGE_NUMBERS).Text, "10,25");
        EXPECT_EQ(Shown(user, IDC_CHAPTER_COPIES).Text, "3");
        EXPECT_EQ(Shown(user, IDC_CHAPTER_OVERLAY).Text, "7");
        EXPECT_EQ(Shown(user, IDC_CHAPTER_TRAY).Text, "Recycled");
        EXPECT_EQ(Shown(user, IDC_REMAINING_COPIES).Text, "4");
        EXPECT_TRUE(Shown(user, IDC_SEP_AFTER_COPYSET).Checked);
        EXPECT_TRUE(Shown(user, IDC_CHAPTER_APPLY).Enabled);
        ASSERT_TRUE(user.Type(IDC_CHAPTER_COPIES, "-4"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(settings.LastChapterPageNumbers(), "10,25");
    EXPECT_EQ(settings.LastChapterCopyCount(), 0u); // not the wrapped negative count
    EXPECT_EQ(settings.LastChapterFormOverlay(), 7);
    EXPECT_EQ(settings.LastChapterInputTray(), 5);
    EXPECT_TRUE(settings.SepPageAfterCopySetOnly());
}

// A run without Apply never set the remaining copy count; the ticket must still ask for
// one copy of the pages, not none. The remembered count stays for the next run.
TEST_F(ChapterPageTest, ConfirmingWithoutApplyPrintsOneCopyOfTheRemainder) {
    settings.SetLoadedFromRegistry(true);
    settings.SetLastRemainingChapterCopyCount(4);
    commandLine = "-R\"" + OutputFile("job.prn") + "\"";
    const int result = RunDialog([&](Driver& user) {
        EXPECT_EQ(Shown(user, IDC_REMAINING_COPIES).Text, "4");
        ASSERT_TRUE(user.Type(IDC_CHAPTER_PAGE_NUMBERS, "3"));
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.Pick(IDC_COVER_OVERLAY, "7")); // something to confirm
        ASSERT_TRUE(user.SelectTab(ChapterTab));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    ASSERT_EQ(result, toolkit::IdOk);
    EXPECT_EQ(settings.RemainingChapterCopyCount(), 1u);
    EXPECT_EQ(settings.LastRemainingChapterCopyCount(), 4u);
    EXPECT_EQ(BuildCommandString(settings, false),
              "C1I1;EI1F7;\r\nVARIABLE=#CHAPTERCOPY1#:1\r\nVARIABLE=#CHAPTERCOPY2#:1\r\n");
}

// Activation brings the page back: it sets the copy count to one, which enables the pages.
TEST_F(ChapterPageTest, ActivationEnablesThePageThatCopiesHadDisabled) {
    settings.SetLoadedFromRegistry(true);
    settings.SetLastTab(3);
    settings.SetNumberOfCopies(3);
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.Type(IDC_COPIES, "0"));
        ASSERT_TRUE(user.SelectTab(ChapterTab));
        for (int id :
             {IDC_CHAPTER_LIST, IDC_CHAPTER_PAGE_NUMBERS, IDC_CHAPTER_COPIES, IDC_CHAPTER_OVERLAY,
              IDC_CHAPTER_TRAY, IDC_REMAINING_COPIES, IDC_CHAPTER_APPLY}) {
            EXPECT_TRUE(Shown(user, id).Enabled) << id;
        }
        EXPECT_EQ(Shown(user, IDC_COPIES).Text, "1");
    });
}

} // namespace
} // namespace varnak
