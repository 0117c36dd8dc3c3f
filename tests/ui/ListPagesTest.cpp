// What the two list pages, Chapter Printing and Document Printing, do alike.
#include "tests/support/CaseName.h"
#include "tests/ui/DialogFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

namespace varnak {
namespace {

using namespace ids;
using test::Shown;
using toolkit::Driver;

struct DeleteOnlyCase {
    const char* name;
    int tab;
    std::vector<std::pair<int, const char*>> typed; // before Apply
    int apply;
    int list;
    int remove;
    std::size_t rowsLeft; // Chapter Printing keeps its "Last" row
    std::uint32_t coverOverlay;
    bool okEnabled;
};

class ListPagesTest : public ::testing::TestWithParam<DeleteOnlyCase>,
                      public test::DialogFixture {};

// Deleting the only entry empties the list and the record, leaves the copies free, and
// disables OK only when no other page holds anything.
TEST_P(ListPagesTest, DeletingTheOnlyEntryDisablesOkUnlessAnotherPageHoldsSomething) {
    const DeleteOnlyCase& c = GetParam();
    settings.SetLoadedFromRegistry(true);
    settings.SetLastTab(static_cast<std::uint32_t>(c.tab));
    settings.SetCoverPageFormOverlay(c.coverOverlay);
    RunDialog([&](Driver& user) {
        for (const auto& [id, text] : c.typed) {
            ASSERT_TRUE(user.Type(id, text));
        }
        ASSERT_TRUE(user.Click(c.apply));
        ASSERT_TRUE(user.SelectRow(c.list, 0));
        ASSERT_TRUE(user.Click(c.remove));
        EXPECT_EQ(Shown(user, c.list).Rows.size(), c.rowsLeft);
        EXPECT_EQ(settings.ChapterEntryCount() + settings.PageEntryCount(), 0u);
        EXPECT_EQ(Shown(user, IDC_OK).Enabled, c.okEnabled);
        EXPECT_TRUE(Shown(user, IDC_COPIES).Enabled);
    });
}

const DeleteOnlyCase Chapter{"Chapter",
                             0,
                             {{IDC_CHAPTER_PAGE_NUMBERS, "10"}, {IDC_CHAPTER_COPIES, "2"}},
                             IDC_CHAPTER_APPLY,
                             IDC_CHAPTER_LIST,
                             IDC_CHAPTER_DELETE,
                             1,
                             0,
                             false};
const DeleteOnlyCase Document{
    "Document", 3,    {{IDC_PAGE_NUMBERS, "4"}}, IDC_PAGE_APPLY, IDC_PAGE_LIST, IDC_PAGE_DELETE, 0,
    0,          false};

DeleteOnlyCase WithCoverSheet(DeleteOnlyCase c, const char* name) {
    c.name = name;
    c.coverOverlay = 7;
    c.okEnabled = true;
    return c;
}

INSTANTIATE_TEST_SUITE_P(Pages, ListPagesTest,
                         ::testing::Values(Chapter, WithCoverSheet(Chapter, "ChapterAndCover"),
                                           Document, WithCoverSheet(Document, "DocumentAndCover")),
                         test::ByCaseName);

} // namespace
} // namespace varnak
