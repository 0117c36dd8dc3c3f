#include "core/JobSettings.h"

#include <gtest/gtest.h>

namespace varnak {
namespace {

TEST(JobSettingsTest, NewRecordAsksForOneCopyFromPlainAndNothingElse) {
    const JobSettings settings;
    EXPECT_EQ(settings.NumberOfCopies(), 1u);
    EXPECT_EQ(settings.DefaultInputTray(), 1);
    EXPECT_EQ(settings.DefaultFormOverlay(), 0u);
    EXPECT_EQ(settings.LastTab(), 0u);
    EXPECT_EQ(settings.RemainingChapterCopyCount(), 0u);
    EXPECT_TRUE(settings.LastPageNumbers().empty());
    EXPECT_FALSE(settings.LoadedFromRegistry());
    EXPECT_FALSE(settings.SepPageAfterCopySetOnly());
    EXPECT_EQ(settings.PageEntryCount(), 0u);
    EXPECT_EQ(settings.ChapterEntryCount(), 0u);
}

TEST(JobSettingsTest, RemoveAtTakesExactlyThatEntry) {
    JobSettings settings;
    settings.AddChapterEntry({.LastPage = 10, .CopyCount = 2});
    settings.AddChapterEntry({.LastPage = 10, .CopyCount = 3});
    settings.RemoveChapterEntryAt(1);
    settings.RemoveChapterEntryAt(5);
    ASSERT_EQ(settings.ChapterEntryCount(), 1u);
    EXPECT_EQ(settings.ChapterEntryAt(0)->CopyCount, 2u);
}

TEST(JobSettingsTest, EntryAtTheCountIsNull) {
    JobSettings settings;
    EXPECT_EQ(settings.PageEntryAt(0), nullptr);
    settings.AddPageEntry({.Page = 3});
    EXPECT_NE(settings.PageEntryAt(0), nullptr);
    EXPECT_EQ(settings.PageEntryAt(1), nullptr);
    EXPECT_EQ(settings.ChapterEntryAt(0), nullptr);
}

TEST(JobSettingsTest, ClearEmptiesListsAndStringsButKeepsScalars) {
    JobSettings settings;
    settings.SetNumberOfCopies(4);
    settings.SetLastPageNumbers("5,8");
    settings.SetLastChapterPageNumbers("10");
    settings.AddPageEntry({.Page = 1});
    settings.AddChapterEntry({.LastPage = 2});
    settings.Clear();
    EXPECT_EQ(settings.PageEntryCount(), 0u);
    EXPECT_EQ(settings.ChapterEntryCount(), 0u);
    EXPECT_TRUE(settings.LastPageNumbers().empty());
    EXPECT_TRUE(settings.LastChapterPageNumbers().empty());
    EXPECT_EQ(settings.NumberOfCopies(), 4u);
}

} // namespace
} // namespace varnak
