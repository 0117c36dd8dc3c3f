// The reports of a decoded ticket, as the operator reads them.
#include "explain/Reports.h"
#include "explain/SheetSequence.h"
#include "explain/TicketDecoder.h"

#include "core/CommandBuilder.h"
#include "core/TicketEnvelope.h"
#include "tests/support/CaseName.h"
#include "tests/support/WorkedExamples.h"

#include <gtest/gtest.h>

#include <functional>
#include <variant>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace varnak {
namespace {

constexpr std::uint32_t Entries = 1'000'000;

// A picture of a ticket of a million page entries, of the given kind, or nullopt when the
// decoder refused it.
std::optional<std::string>
PictureOfAMillionEntries(const std::function<PageEntry(std::uint32_t)>& entry) {
    JobSettings settings;
    for (std::uint32_t i = 1; i <= Entries; ++i) {
        settings.AddPageEntry(entry(i));
    }
    const auto decoded = DecodeTicket(TicketEnvelope::Wrap(BuildCommandString(settings, true)));
    if (!std::holds_alternative<DecodedTicket>(decoded)) {
        return std::nullopt;
    }
    return ExplainSvg(std::get<DecodedTicket>(decoded));
}

// Runs of like sheets are drawn once with their count, and what still doesn't fit is told
// by one card: the picture of a million entries stays small. Without it, such a picture took
// gigabytes, and the memory to build it.
TEST(SvgPicture, ThePictureOfAnyTicketIsBounded) {
    const std::function<PageEntry(std::uint32_t)> kinds[] = {
        [](std::uint32_t i) { return PageEntry{.Page = i, .InputTray = 3}; },       // a run
        [](std::uint32_t i) { return PageEntry{.Page = 2 * i, .FormOverlay = 7}; }, // alternating
    };
    const char* expected[] = {"1000000 modified pages", "more sheets"};
    for (std::size_t kind = 0; kind < 2; ++kind) {
        std::optional<std::string> svg;
#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
        svg = PictureOfAMillionEntries(kinds[kind]);
#else
        // In a child process that may not take more than 1 GiB, so that a picture that grows
        // with the ticket fails here instead of taking the machine's memory.
        int channel[2];
        ASSERT_EQ(::pipe(channel), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
            ::setrlimit(RLIMIT_AS, &limit);
            const auto picture = PictureOfAMillionEntries(kinds[kind]);
            const std::string written = picture ? *picture : "refused";
            (void)!::write(channel[1], written.data(), written.size());
            ::_exit(0);
        }
        ::close(channel[1]);
        std::string read;
        char buffer[65536];
        for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
            read.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "case " << kind;
        svg = read;
#endif
        ASSERT_TRUE(svg) << "case " << kind;
        EXPECT_LT(svg->size(), 1u << 20) << "case " << kind;
        EXPECT_NE(svg->find(expected[kind]), std::string::npos) << "case " << kind;
        EXPECT_TRUE(svg->ends_with("</svg>\n")) << "case " << kind;
    }
}

// Input that can't be a ticket is found at its first impossible byte, so that a reader of
// endless input stops there.
TEST(FirstImpossibleByte, FindsWhatNoTicketHolds) {
    const std::string opening(test::PjlOpening);
    EXPECT_EQ(FirstImpossibleByte(std::string(100, '\0')), 0u);
    EXPECT_EQ(FirstImpossibleByte("y\ny\n"), 0u);
    EXPECT_EQ(FirstImpossibleByte(opening.substr(0, 20)), std::string::npos);
    EXPECT_EQ(FirstImpossibleByte(test::Pjl("C1I1;\r\n")), std::string::npos);
    EXPECT_EQ(FirstImpossibleByte(opening + "C1\xff"), opening.size() + 2);
    EXPECT_EQ(FirstImpossibleByte(opening + "C1\t", opening.size()), opening.size() + 2);
}

// The sheet sequence of a job, step by step in short words: what every report is built from.
std::string Steps(const DecodedTicket& ticket) {
    std::string steps;
    for (const Sheet& sheet : SheetSequence(ticket)) {
        const std::string chapter = std::to_string(sheet.Chapter);
        const std::string copies = ", " + CopiesText(sheet.Copies);
        switch (sheet.Kind) {
        case SheetKind::Cover:
            steps += "cover";
            break;
        case SheetKind::Pages:
            steps += PageRangeText(sheet);
            break;
        case SheetKind::SeparationSheet:
            steps += "sheet after " + std::to_string(sheet.LastPage);
            break;
        case SheetKind::ModifiedPage:
            steps += "modified " + std::to_string(sheet.FirstPage);
            break;
        case SheetKind::Chapter:
            steps += "chapter " + chapter + ": " + PageRangeText(sheet) + copies;
            break;
        case SheetKind::SeparatorPage:
            steps += "separator " + chapter;
            break;
        case SheetKind::Rest:
            steps += "rest: " + PageRangeText(sheet) + copies;
            break;
        case SheetKind::Footer:
            steps += "footer";
            break;
        }
        steps += " | ";
    }
    return steps.substr(0, steps.size() - 3);
}

constexpr std::uint32_t LastPage = 4294967295u;

struct SequenceCase {
    const char* name;
    std::function<void(JobSettings&)> job;
    bool documentMode;
    const char* steps;
};

void PrintTo(const SequenceCase& c, std::ostream* out) {
    *out << c.name;
}

class SheetSequenceTest : public testing::TestWithParam<SequenceCase> {};

// A new report builds on this sequence; a case for a new kind of step goes here.
TEST_P(SheetSequenceTest, ListsTheSheetsInTheOrderThePrinterMakesThem) {
    DecodedTicket ticket;
    ticket.DocumentMode = GetParam().documentMode;
    GetParam().job(ticket.Settings);
    EXPECT_EQ(Steps(ticket), GetParam().steps) << "case: " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, SheetSequenceTest,
    testing::Values(
        SequenceCase{"NoPageEntries", [](JobSettings&) {}, true, "pages 1 to the end"},
        SequenceCase{"FirstWorkedExample",
                     [](JobSettings& s) {
                         s.AddPageEntry({.Page = 8, .InputTray = 6});
                         s.AddPageEntry({.Page = 3});
                         s.AddPageEntry({.Page = 5, .FormOverlay = 12, .InputTray = 3});
                     },
                     true,
                     "pages 1 to 3 | sheet after 3 | page 4 | modified 5 | pages 6 and 7 | "
                     "modified 8 | pages 9 to the end"},
        SequenceCase{
            "RepeatedPages",
            [](JobSettings& s) {
                s.AddPageEntry({.Page = 5});
                s.AddPageEntry({.Page = 5, .FormOverlay = 7});
                s.AddPageEntry({.Page = 5});
            },
            true, "pages 1 to 5 | sheet after 5 | modified 5 | sheet after 5 | pages 6 to the end"},
        SequenceCase{"FirstAndPageZero",
                     [](JobSettings& s) {
                         s.AddPageEntry({.Page = 1, .InputTray = 2});
                         s.AddPageEntry({.Page = 0, .InputTray = 2});
                     },
                     true, "modified 0 | modified 1 | pages 2 to the end"},
        SequenceCase{
            "LastPageOf32Bits", [](JobSettings& s) { s.AddPageEntry({.Page = LastPage}); }, true,
            "pages 1 to 4294967295 | sheet after 4294967295 | pages 4294967296 to the end"},
        SequenceCase{"NoChapters", [](JobSettings& s) { s.SetRemainingChapterCopyCount(4); }, false,
                     "rest: pages 1 to the end, 4 copies"},
        SequenceCase{"SecondWorkedExample",
                     [](JobSettings& s) {
                         s.SetCoverPageFormOverlay(7);
                         s.SetFooterPageFormOverlay(9);
                         s.SetRemainingChapterCopyCount(4);
                         s.AddChapterEntry({.LastPage = 25, .CopyCount = 3, .InputTray = 5});
                         s.AddChapterEntry({.LastPage = 10, .CopyCount = 2});
                     },
                     false,
                     "cover | chapter 1: pages 1 to 10, 2 copies | chapter 2: pages 11 to 25, "
                     "3 copies | separator 2 | rest: pages 26 to the end, 4 copies | footer"},
        SequenceCase{"RepeatedLastPages",
                     [](JobSettings& s) {
                         s.SetRemainingChapterCopyCount(1);
                         s.AddChapterEntry({.LastPage = 10, .CopyCount = 2});
                         s.AddChapterEntry({.LastPage = 10, .CopyCount = 3});
                         s.AddChapterEntry({.LastPage = 11, .CopyCount = 1});
                     },
                     false,
                     "chapter 1: pages 1 to 10, 2 copies | chapter 2: up to page 10, 3 copies | "
                     "chapter 3: page 11, 1 copy | rest: pages 12 to the end, 1 copy"},
        SequenceCase{
            "ChapterToTheLastPageOf32Bits",
            [](JobSettings& s) { s.AddChapterEntry({.LastPage = LastPage, .CopyCount = 2}); },
            false,
            "chapter 1: pages 1 to 4294967295, 2 copies | rest: pages 4294967296 to "
            "the end, 0 copies"}),
    test::ByCaseName);

} // namespace
} // namespace varnak
