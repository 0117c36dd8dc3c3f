#include "tests/support/CaseName.h"
#include "tests/ui/DialogFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace varnak {
namespace {

using namespace ids;
using test::Shown;
using toolkit::ColumnAlign;
using toolkit::Driver;
using toolkit::ListColumn;
using Rows = std::vector<std::vector<std::string>>;

constexpr int DocumentTab = 3;

class DocumentPageTest : public ::testing::Test, public test::DialogFixture {
protected:
    void SetUp() override {
        // 012.mac lists as 12 ahead of 1: a prefix match for 1 would pick 12.
        InstallOverlays(
            {{"012.mac", ""}, {"1.mac", ""}, {"3.mac", ""}, {"3.mat", test::Utf16("Letterhead")}});
    }

    // Opens the Document Printing page on a loaded record.
    void LoadedOnThisPage() {
        settings.SetLoadedFromRegistry(true);
        settings.SetLastTab(DocumentTab);
    }

    // Types the page numbers, picks overlay and tray and presses Apply.
    static void Apply(Driver& user, const std::string& numbers, const std::string& overlay,
                      const std::string& tray) {
        ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, numbers));
        ASSERT_TRUE(user.Pick(IDC_PAGE_OVERLAY, overlay));
        ASSERT_TRUE(user.Pick(IDC_PAGE_TRAY, tray));
        ASSERT_TRUE(user.Click(IDC_PAGE_APPLY));
    }

    // The rows the entries of the record should show, in order.
    Rows RowsOfEntries() const {
        Rows rows;
        for (const auto& entry : settings.PageEntries()) {
            rows.push_back(
                {std::to_string(entry.Page), "sep. sheet", std::to_string(entry.FormOverlay),
                 std::string(InputTrayNames.at(static_cast<std::size_t>(entry.InputTray)))});
        }
        return rows;
    }
};

TEST_F(DocumentPageTest, FirstShowHasItsColumnsListsAndStartState) {
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(DocumentTab));
        const auto list = Shown(user, IDC_PAGE_LIST);
        EXPECT_EQ(list.Columns, (std::vector<ListColumn>{{"Page", ColumnAlign::Right, 50},
                                                         {"Action", ColumnAlign::Left, 80},
                                                         {"Formoverlay", ColumnAlign::Right, 80},
                                                         {"Input tray", ColumnAlign::Left, 100}}));
        EXPECT_TRUE(list.Rows.empty());
        const auto trays = Shown(user, IDC_PAGE_TRAY);
        EXPECT_EQ(trays.Items.size(), 12u);
        EXPECT_EQ(trays.Items.back(), "Rough");
        EXPECT_EQ(trays.Selection, 0);
        const auto overlays = Shown(user, IDC_PAGE_OVERLAY);
        EXPECT_EQ(overlays.Items, (std::vector<std::string>{"None", "12", "1", "3"}));
        EXPECT_EQ(overlays.Selection, 0);
        EXPECT_FALSE(Shown(user, IDC_PAGE_DELETE).Enabled);
        EXPECT_FALSE(Shown(user, IDC_PAGE_APPLY).Enabled); // no page numbers yet
        EXPECT_TRUE(Shown(user, IDC_PAGE_SEPARATOR).Checked);
        EXPECT_FALSE(Shown(user, IDC_PAGE_MODIFY).Enabled);
        // Only Chapter Printing keeps the copies field locked.
        EXPECT_TRUE(Shown(user, IDC_COPIES).Enabled);
        EXPECT_EQ(settings.LastTab(), 3u);

        ASSERT_TRUE(user.Pick(IDC_PAGE_OVERLAY, "3"));
        EXPECT_EQ(Shown(user, IDC_PAGE_DESCRIPTION).Text, "Letterhead");
        ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, "5"));
        EXPECT_TRUE(Shown(user, IDC_PAGE_APPLY).Enabled);
        ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, ""));
        EXPECT_FALSE(Shown(user, IDC_PAGE_APPLY).Enabled);
    });
}

struct ApplyCase {
    const char* name;
    const char* numbers;
    const char* overlay;
    const char* tray;
    Rows rows;
};

class DocumentApplyTest : public DocumentPageTest,
                          public ::testing::WithParamInterface<ApplyCase> {};

// One Apply on an empty list: the rows, the entries behind them, and OK and the copies
// field made usable even when nothing was added.
TEST_P(DocumentApplyTest, ApplyOnAnEmptyListAddsOneRowPerNumber) {
    const ApplyCase& c = GetParam();
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(DocumentTab));
        ASSERT_FALSE(Shown(user, IDC_OK).Enabled);
        Apply(user, c.numbers, c.overlay, c.tray);
        EXPECT_EQ(Shown(user, IDC_PAGE_LIST).Rows, c.rows) << "case: " << c.name;
        EXPECT_EQ(RowsOfEntries(), c.rows) << "case: " << c.name;
        EXPECT_TRUE(Shown(user, IDC_OK).Enabled) << "case: " << c.name;
        EXPECT_TRUE(Shown(user, IDC_COPIES).Enabled) << "case: " << c.name;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DocumentApplyTest,
    ::testing::Values(
        ApplyCase{"separator", "5", "None", "None", {{"5", "sep. sheet", "0", "None"}}},
        ApplyCase{"duplicates",
                  "8,5,8",
                  "3",
                  "Bond",
                  {{"8", "sep. sheet", "3", "Bond"},
                   {"5", "sep. sheet", "3", "Bond"},
                   {"8", "sep. sheet", "3", "Bond"}}},
        ApplyCase{"trailing comma", "5,", "None", "Plain", {{"5", "sep. sheet", "0", "Plain"}}},
        ApplyCase{"leading comma", ",5", "None", "None", {{"5", "sep. sheet", "0", "None"}}},
        ApplyCase{"zero", "0", "None", "None", {}}, ApplyCase{"text", "x", "None", "None", {}},
        ApplyCase{"range", "5-9", "None", "None", {{"5", "sep. sheet", "0", "None"}}},
        ApplyCase{"blank", " 7", "12", "Rough", {{"7", "sep. sheet", "12", "Rough"}}},
        ApplyCase{"negative", "-2", "None", "None", {{"4294967294", "sep. sheet", "0", "None"}}}),
    test::ByCaseName);

TEST_F(DocumentPageTest, LaterApplyUpdatesOnlyTheFirstEntryOfANumber) {
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(DocumentTab));
        Apply(user, "8,5,8", "None", "None");
        Apply(user, "8,8,9", "3", "Color");
        const Rows expected{{"8", "sep. sheet", "3", "Color"},
                            {"5", "sep. sheet", "0", "None"},
                            {"8", "sep. sheet", "0", "None"},
                            {"9", "sep. sheet", "3", "Color"}};
        EXPECT_EQ(Shown(user, IDC_PAGE_LIST).Rows, expected);
        EXPECT_EQ(RowsOfEntries(), expected);
    });
}

// Delete (the key as the button) takes the entry of the selected row, so that what stays on
// screen is what prints.
TEST_F(DocumentPageTest, DeleteRemovesTheEntryOfTheSelectedRow) {
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(DocumentTab));
        Apply(user, "8,5,8", "None", "None");
        Apply(user, "8", "3", "Color"); // changes the first 8 only
        ASSERT_TRUE(user.SelectRow(IDC_PAGE_LIST, -1));
        ASSERT_TRUE(user.PressDelete(IDC_PAGE_LIST)); // nothing selected: nothing goes
        EXPECT_EQ(Shown(user, IDC_PAGE_LIST).Rows.size(), 3u);
        ASSERT_TRUE(user.SelectRow(IDC_PAGE_LIST, 2));
        EXPECT_TRUE(Shown(user, IDC_PAGE_DELETE).Enabled);
        // The Delete key does what the button does; the button itself is pressed below.
        ASSERT_TRUE(user.PressDelete(IDC_PAGE_LIST));
        const Rows expected{{"8", "sep. sheet", "3", "Color"}, {"5", "sep. sheet", "0", "None"}};
        EXPECT_EQ(Shown(user, IDC_PAGE_LIST).Rows, expected);
        EXPECT_EQ(RowsOfEntries(), expected);
        // Deleting the selected row leaves nothing selected.
        EXPECT_EQ(Shown(user, IDC_PAGE_LIST).Selection, -1);
        EXPECT_FALSE(Shown(user, IDC_PAGE_DELETE).Enabled);
    });
}

// Remembered inputs come back at the next show; a tray beyond the list selects nothing, and
// then neither a new nor an updated entry gets a tray nobody chose.
TEST_F(DocumentPageTest, UnlistedTrayMeansNoTrayForNewAndUpdatedEntries) {
    LoadedOnThisPage();
    settings.SetLastPageNumbers("6,2");
    settings.SetLastInputTray(12);
    settings.SetLastFormOverlay(0);
    RunDialog([&](Driver& user) {
        EXPECT_EQ(Shown(user, IDC_PAGE_NUMBERS).Text, "6,2");
        EXPECT_EQ(Shown(user, IDC_PAGE_TRAY).Selection, -1);
        EXPECT_TRUE(Shown(user, IDC_PAGE_APPLY).Enabled);
        ASSERT_TRUE(user.Click(IDC_PAGE_APPLY));
        ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, "6"));
        ASSERT_TRUE(user.Click(IDC_PAGE_APPLY)); // updates 6
        EXPECT_EQ(Shown(user, IDC_PAGE_LIST).Rows,
                  (Rows{{"6", "sep. sheet", "0", "None"}, {"2", "sep. sheet", "0", "None"}}));
        EXPECT_EQ(RowsOfEntries(), Shown(user, IDC_PAGE_LIST).Rows);
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(settings.LastInputTray(), 0);
    EXPECT_EQ(settings.LastPageNumbers(), "6");
}

struct OverlayRestoreCase {
    const char* name;
    std::int32_t stored;
    int selection;
    const char* description;
};

class DocumentOverlayRestoreTest : public DocumentPageTest,
                                   public ::testing::WithParamInterface<OverlayRestoreCase> {};

// The remembered overlay comes back by its exact number, never as another overlay that
// merely begins with the same digits.
TEST_P(DocumentOverlayRestoreTest, RememberedOverlayIsRestoredByExactNumber) {
    const OverlayRestoreCase& c = GetParam();
    LoadedOnThisPage();
    settings.SetLastFormOverlay(c.stored);
    settings.SetLastInputTray(3);
    RunDialog([&](Driver& user) {
        EXPECT_EQ(Shown(user, IDC_PAGE_OVERLAY).Selection, c.selection) << c.stored;
        EXPECT_EQ(Shown(user, IDC_PAGE_TRAY).Text, "Color");
        EXPECT_EQ(Shown(user, IDC_PAGE_DESCRIPTION).Text, c.description);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Stored, DocumentOverlayRestoreTest,
    ::testing::Values(OverlayRestoreCase{"prefix of a listed number", 1, 2, ""},
                      OverlayRestoreCase{"listed before its prefix", 12, 1, ""},
                      OverlayRestoreCase{"with a description", 3, 3, "Letterhead"},
                      OverlayRestoreCase{"not listed", 4, 0, ""}),
    test::ByCaseName);

TEST_F(DocumentPageTest, StoreSettingsRemembersTheInputsOnlyOnceShown) {
    LoadedOnThisPage();
    settings.SetLastTab(1);
    settings.SetLastPageNumbers("kept");
    settings.SetLastFormOverlay(1);
    settings.SetLastInputTray(2);
    settings.SetCoverPageFormOverlay(12);
    RunDialog([&](Driver& user) { ASSERT_TRUE(user.Click(IDC_OK)); });
    EXPECT_EQ(settings.LastPageNumbers(), "kept");
    EXPECT_EQ(settings.LastFormOverlay(), 1);
    EXPECT_EQ(settings.LastInputTray(), 2);

    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(DocumentTab));
        ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, "3,9"));
        ASSERT_TRUE(user.Pick(IDC_PAGE_OVERLAY, "12"));
        ASSERT_TRUE(user.Pick(IDC_PAGE_TRAY, "Rough"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(settings.LastPageNumbers(), "3,9");
    EXPECT_EQ(settings.LastFormOverlay(), 12);
    EXPECT_EQ(settings.LastInputTray(), 11);
}

// A page not shown yet remembers a request to disable it; the copy count switches it.
TEST_F(DocumentPageTest, CopyCountZeroDisablesThePageBeforeAndAfterItIsShown) {
    LoadedOnThisPage();
    settings.SetLastTab(1);
    // The copy counts typed before the page is first shown; the last one decides.
    for (const std::vector<std::string>& typed :
         std::vector<std::vector<std::string>>{{"0"}, {"1"}, {"0", "1"}, {"1", "0"}}) {
        RunDialog([&](Driver& user) {
            for (const std::string& copies : typed) {
                ASSERT_TRUE(user.Type(IDC_COPIES, copies));
            }
            ASSERT_TRUE(user.SelectTab(DocumentTab));
            const bool enabled = typed.back() == "1";
            for (int id : {IDC_PAGE_LIST, IDC_PAGE_NUMBERS, IDC_PAGE_SEPARATOR, IDC_PAGE_OVERLAY,
                           IDC_PAGE_TRAY}) {
                EXPECT_EQ(Shown(user, id).Enabled, enabled)
                    << "copies " << typed.front() << " then " << typed.back() << ", " << id;
            }
        });
    }
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(DocumentTab));
        Apply(user, "5", "None", "None");
        ASSERT_TRUE(user.SelectRow(IDC_PAGE_LIST, 0));
        ASSERT_TRUE(user.Type(IDC_COPIES, "0"));
        for (int id : {IDC_PAGE_LIST, IDC_PAGE_APPLY, IDC_PAGE_DELETE, IDC_PAGE_TRAY}) {
            EXPECT_FALSE(Shown(user, id).Enabled) << id;
        }
        ASSERT_TRUE(user.Type(IDC_COPIES, "2"));
        for (int id : {IDC_PAGE_LIST, IDC_PAGE_APPLY, IDC_PAGE_TRAY, IDC_PAGE_SEPARATOR}) {
            EXPECT_TRUE(Shown(user, id).Enabled) << id;
        }
        // Enabling leaves Delete and "Modify this page" alone.
        EXPECT_FALSE(Shown(user, IDC_PAGE_DELETE).Enabled);
        EXPECT_FALSE(Shown(user, IDC_PAGE_MODIFY).Enabled);
    });
}

} // namespace
} // namespace varnak
