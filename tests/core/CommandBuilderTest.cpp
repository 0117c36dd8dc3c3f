#include "core/CommandBuilder.h"
#include "tests/support/CaseName.h"
#include "tests/support/WorkedExamples.h"

#include <gtest/gtest.h>

#include <functional>

namespace varnak {
namespace {

using test::ChapterExample;

struct BuildCase {
    const char* name;
    std::function<void(JobSettings&)> setUp;
    bool documentMode;
    std::string_view expected;
};

void PrintTo(const BuildCase& buildCase, std::ostream* out) {
    *out << buildCase.name;
}

class BuildCommandStringTest : public testing::TestWithParam<BuildCase> {};

TEST_P(BuildCommandStringTest, EncodesTheRecord) {
    const BuildCase& c = GetParam();
    JobSettings settings;
    c.setUp(settings);
    EXPECT_EQ(BuildCommandString(settings, c.documentMode), c.expected) << "case: " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildCommandStringTest,
    testing::Values(
        BuildCase{"document example", test::DocumentExample, true, test::DocumentExampleCommand},
        BuildCase{"chapter example", ChapterExample, false, test::ChapterExampleCommand},
        BuildCase{"chapter example without cover",
                  [](JobSettings& s) {
                      ChapterExample(s);
                      s.SetCoverPageFormOverlay(0);
                  },
                  false,
                  "C1I2F40;C1:10I2F40F25997;\r\n"
                  "ZOR_COMMAND_ADD=C1:25I2F40F25997FF;C1:26F15I-5F25997;EJ1F9;\r\n"
                  "VARIABLE=#CHAPTERCOPY1#:2\r\nVARIABLE=#CHAPTERCOPY2#:3\r\n"
                  "VARIABLE=#CHAPTERCOPY3#:1\r\nVARIABLE=#CHAPTERCOPY4#:4\r\n"
                  "VARIABLE=#CHAPTERCOPY5#:1\r\n"},
        BuildCase{"chapter example in document mode", ChapterExample, true,
                  "C1I2F40;EI1I1F7;EJ1F9;\r\n"},
        BuildCase{"fresh record, document mode", [](JobSettings&) {}, true, "C1I1;\r\n"},
        BuildCase{"fresh record, chapter mode", [](JobSettings&) {}, false,
                  "C1I1;\r\nVARIABLE=#CHAPTERCOPY1#:0\r\n"},
        BuildCase{"no defaults at all",
                  [](JobSettings& s) {
                      s.SetDefaultInputTray(0);
                      s.AddPageEntry({.Page = 4, .FormOverlay = 3});
                  },
                  true, "C1:4FF;C1:5F3;\r\n"},
        BuildCase{"negative trays are never written",
                  [](JobSettings& s) {
                      s.SetDefaultInputTray(-1);
                      s.SetCoverPageFormOverlay(2);
                      s.SetCoverPageInputTray(-4);
                      s.AddPageEntry({.Page = 4, .FormOverlay = 3, .InputTray = -2});
                  },
                  true, "EI1F2;C1:4FF;C1:5F3;\r\n"},
        BuildCase{"cover and footer trays without overlays take no variable",
                  [](JobSettings& s) {
                      s.SetCoverPageInputTray(3);
                      s.SetFooterPageInputTray(4);
                      s.SetRemainingChapterCopyCount(2);
                  },
                  false, "C1I1;\r\nVARIABLE=#CHAPTERCOPY1#:2\r\n"},
        BuildCase{"separation sheet for page 1 is addressed 0",
                  [](JobSettings& s) { s.AddPageEntry({.Page = 1}); }, true,
                  "C1I1;C1:0F25997I1;\r\n"},
        BuildCase{"two modifications shift later pages",
                  [](JobSettings& s) {
                      s.AddPageEntry({.Page = 4, .FormOverlay = 1});
                      s.AddPageEntry({.Page = 6, .InputTray = 2});
                      s.AddPageEntry({.Page = 9});
                  },
                  true, "C1I1;C1:4I1FF;C1:5F1;C1:7I1FF;C1:8I-2;C1:10F25997I1;\r\n"},
        BuildCase{"entries keep list order",
                  [](JobSettings& s) {
                      s.AddPageEntry({.Page = 9});
                      s.AddPageEntry({.Page = 2});
                  },
                  true, "C1I1;C1:8F25997I1;C1:1F25997I1;\r\n"},
        BuildCase{"page arithmetic wraps as unsigned",
                  [](JobSettings& s) {
                      s.SetDefaultInputTray(0);
                      s.AddPageEntry({.Page = 0});
                      s.AddPageEntry({.Page = 4294967295u, .FormOverlay = 1});
                  },
                  true, "C1:4294967295F25997;C1:4294967295FF;C1:0F1;\r\n"},
        BuildCase{"chapter without separator takes no extra variable",
                  [](JobSettings& s) {
                      s.SetSepPageAfterCopySetOnly(true);
                      s.SetRemainingChapterCopyCount(1);
                      s.AddChapterEntry({.LastPage = 5, .CopyCount = 2});
                      s.AddChapterEntry({.LastPage = 9, .CopyCount = 3});
                  },
                  false,
                  "C1I1;C1:5I1F25997;\r\nZOR_COMMAND_ADD=C1:9I1F25997;\r\n"
                  "VARIABLE=#CHAPTERCOPY1#:2\r\nVARIABLE=#CHAPTERCOPY2#:3\r\n"
                  "VARIABLE=#CHAPTERCOPY3#:1\r\n"},
        BuildCase{"chapters without defaults carry no default tray or overlay",
                  [](JobSettings& s) {
                      s.SetDefaultInputTray(0);
                      s.SetRemainingChapterCopyCount(1);
                      s.AddChapterEntry({.LastPage = 5, .CopyCount = 2, .FormOverlay = 15});
                      s.AddChapterEntry({.LastPage = 9, .CopyCount = 1});
                  },
                  false,
                  "C1:5FF;C1:6F15F25997;\r\nZOR_COMMAND_ADD=C1:10F25997;\r\n"
                  "VARIABLE=#CHAPTERCOPY1#:2\r\nVARIABLE=#CHAPTERCOPY2#:1\r\n"
                  "VARIABLE=#CHAPTERCOPY3#:1\r\n"},
        BuildCase{"chapter separator by tray only, no copy-set variable",
                  [](JobSettings& s) {
                      s.SetRemainingChapterCopyCount(1);
                      s.AddChapterEntry({.LastPage = 5, .CopyCount = 2, .InputTray = 3});
                      s.AddChapterEntry({.LastPage = 9, .CopyCount = 1});
                  },
                  false,
                  "C1I1;C1:5I1FF;C1:6I-3F25997;\r\nZOR_COMMAND_ADD=C1:10I1F25997;\r\n"
                  "VARIABLE=#CHAPTERCOPY1#:2\r\nVARIABLE=#CHAPTERCOPY2#:1\r\n"
                  "VARIABLE=#CHAPTERCOPY3#:1\r\n"},
        BuildCase{"copies and footer in document mode stay on one line",
                  [](JobSettings& s) {
                      s.SetNumberOfCopies(3);
                      s.SetFooterPageFormOverlay(8);
                      s.SetFooterPageInputTray(2);
                  },
                  true, "C1I1;K3;D1;EJ1I2F8;\r\n"}),
    test::ByCaseName);

TEST(BuildCommandStringTest, LeavesTheRecordUnchangedAndIsRepeatable) {
    JobSettings settings;
    ChapterExample(settings);
    const std::string first = BuildCommandString(settings, false);
    EXPECT_EQ(BuildCommandString(settings, false), first);
    EXPECT_EQ(settings.ChapterEntryCount(), 2u);
    EXPECT_EQ(settings.RemainingChapterCopyCount(), 4u);
}

} // namespace
} // namespace varnak
