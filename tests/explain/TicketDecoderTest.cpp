#include "explain/TicketDecoder.h"

#include "core/CommandBuilder.h"
#include "core/TicketEnvelope.h"
#include "core/TicketWriter.h"
#include "tests/support/CaseName.h"
#include "tests/support/WorkedExamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace varnak {
namespace {

using test::ChapterExample;
using test::DocumentExample;
using TicketEnvelope::Wrap;

struct Record {
    const char* name;
    std::function<void(JobSettings&)> setUp;
};

void PrintTo(const Record& record, std::ostream* out) {
    *out << record.name;
}

constexpr std::uint32_t MaxNumber = std::numeric_limits<std::uint32_t>::max();
constexpr std::int32_t MaxTray = std::numeric_limits<std::int32_t>::max();

// Each record is tried in both modes: page entries and chapters side by side.
const Record Records[] = {
    {"worked examples",
     [](JobSettings& s) {
         ChapterExample(s);
         DocumentExample(s);
     }},
    {"document example alone", DocumentExample},
    {"chapter example without cover",
     [](JobSettings& s) {
         ChapterExample(s);
         s.SetCoverPageFormOverlay(0);
     }},
    {"fresh record", [](JobSettings&) {}},
    {"no defaults",
     [](JobSettings& s) {
         s.SetDefaultInputTray(0);
         s.AddPageEntry({.Page = 4, .FormOverlay = 3});
         s.AddChapterEntry({.LastPage = 4, .CopyCount = 2, .FormOverlay = 3});
     }},
    {"negative trays are never written",
     [](JobSettings& s) {
         s.SetDefaultInputTray(-1);
         s.SetCoverPageFormOverlay(2);
         s.SetCoverPageInputTray(-4);
         s.SetFooterPageFormOverlay(2);
         s.SetFooterPageInputTray(-4);
         s.AddPageEntry({.Page = 4, .FormOverlay = 3, .InputTray = -2});
         s.AddPageEntry({.Page = 6, .InputTray = -2});
         s.AddChapterEntry({.LastPage = 4, .CopyCount = 1, .FormOverlay = 3, .InputTray = -2});
         s.AddChapterEntry({.LastPage = 6, .CopyCount = 1, .InputTray = -2});
     }},
    {"page 1 separation sheet at address 0, two modifications in a row",
     [](JobSettings& s) {
         s.AddPageEntry({.Page = 1});
         s.AddPageEntry({.Page = 4, .FormOverlay = 1});
         s.AddPageEntry({.Page = 5, .InputTray = 2});
         s.AddPageEntry({.Page = 9});
     }},
    {"unsorted and repeated pages",
     [](JobSettings& s) {
         s.AddPageEntry({.Page = 9, .InputTray = 2});
         s.AddPageEntry({.Page = 2});
         s.AddPageEntry({.Page = 2, .FormOverlay = 4});
         s.AddChapterEntry({.LastPage = 30, .CopyCount = 2, .InputTray = 3});
         s.AddChapterEntry({.LastPage = 10, .CopyCount = 5});
         s.AddChapterEntry({.LastPage = 10, .CopyCount = 1});
     }},
    {"wrap-around page numbers",
     [](JobSettings& s) {
         s.SetDefaultInputTray(0);
         s.AddPageEntry({.Page = 0});
         s.AddPageEntry({.Page = MaxNumber, .FormOverlay = 1});
         s.AddPageEntry({.Page = MaxNumber});
         s.AddChapterEntry({.LastPage = MaxNumber, .CopyCount = 0, .InputTray = 1});
         s.AddChapterEntry({.LastPage = 0, .CopyCount = MaxNumber, .FormOverlay = 2});
     }},
    {"chapters with separators and the flag off",
     [](JobSettings& s) {
         s.SetRemainingChapterCopyCount(1);
         s.AddChapterEntry({.LastPage = 5, .CopyCount = 2, .InputTray = 3});
         s.AddChapterEntry({.LastPage = 9, .CopyCount = 1});
         s.AddChapterEntry({.LastPage = 12, .CopyCount = 4, .FormOverlay = 8});
     }},
    {"the separator overlay as the default overlay and a page's",
     [](JobSettings& s) {
         s.SetDefaultFormOverlay(25997);
         s.SetSepPageAfterCopySetOnly(true);
         s.AddPageEntry({.Page = 3});
         s.AddPageEntry({.Page = 5, .FormOverlay = 25997});
         s.AddChapterEntry({.LastPage = 5, .CopyCount = 2, .FormOverlay = 25997});
         s.AddChapterEntry({.LastPage = 8, .CopyCount = 2});
     }},
    {"largest values and trays beyond the table",
     [](JobSettings& s) {
         s.SetNumberOfCopies(MaxNumber);
         s.SetDefaultInputTray(MaxTray);
         s.SetDefaultFormOverlay(MaxNumber);
         s.SetCoverPageFormOverlay(MaxNumber);
         s.SetCoverPageInputTray(12);
         s.SetFooterPageFormOverlay(1);
         s.SetFooterPageInputTray(MaxTray);
         s.SetRemainingChapterCopyCount(MaxNumber);
         s.AddPageEntry({.Page = 7, .FormOverlay = MaxNumber, .InputTray = MaxTray});
         s.AddChapterEntry({.LastPage = 7,
                            .CopyCount = MaxNumber,
                            .FormOverlay = MaxNumber,
                            .InputTray = MaxTray});
     }},
};

class RoundTripTest : public testing::TestWithParam<std::tuple<Record, bool>> {};

// Decoding what the builder wrote and building again gives the same bytes; what the ticket
// can't tell is reported as such and nothing else.
TEST_P(RoundTripTest, BuildingTheDecodedJobGivesTheSameBytes) {
    const auto& [record, documentMode] = GetParam();
    JobSettings settings;
    record.setUp(settings);
    const std::string command = BuildCommandString(settings, documentMode);

    const DecodeResult result = DecodeTicket(Wrap(command));
    const auto* error = std::get_if<TicketError>(&result);
    ASSERT_EQ(error, nullptr) << "case: " << record.name << ": " << error->Message();
    const auto& decoded = std::get<DecodedTicket>(result);
    EXPECT_EQ(decoded.DocumentMode, documentMode) << "case: " << record.name;
    EXPECT_EQ(BuildCommandString(decoded.Settings, documentMode), command)
        << "case: " << record.name;

    const auto& chapters = settings.ChapterEntries();
    const bool determinable =
        !documentMode && std::any_of(chapters.begin(), chapters.end(),
                                     [](const ChapterEntry& c) { return c.HasSeparatorPage(); });
    EXPECT_EQ(decoded.SepPageAfterCopySetOnly,
              determinable ? std::optional(settings.SepPageAfterCopySetOnly()) : std::nullopt)
        << "case: " << record.name;
}

INSTANTIATE_TEST_SUITE_P(Records, RoundTripTest,
                         testing::Combine(testing::ValuesIn(Records), testing::Bool()),
                         [](const auto& info) {
                             return test::CaseName(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_document" : "_chapter");
                         });

// The example's page entries come back as the operator typed them, in ticket order.
TEST(DecodeTicketTest, RecoversTheTypedPagesOfATicketTheWriterWrote) {
    JobSettings settings;
    DocumentExample(settings);
    class Silent : public MessageOwner {
        void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    } owner;
    std::string ticket;
    const WholeFileWriter capture = [&](const std::string&, std::string_view bytes) {
        ticket = bytes;
        return FileWrite::Written;
    };
    ASSERT_EQ(TicketWriter::WriteTicket(ParseTicketRequest("-R\"job.prn\""), settings, true, owner,
                                        capture),
              TicketOutcome::Written);

    const DecodeResult result = DecodeTicket(ticket);
    ASSERT_TRUE(std::holds_alternative<DecodedTicket>(result));
    const JobSettings& decoded = std::get<DecodedTicket>(result).Settings;
    EXPECT_EQ(decoded.NumberOfCopies(), 2u);
    ASSERT_EQ(decoded.PageEntryCount(), 3u);
    const PageEntry& separation = decoded.PageEntries()[0];
    const PageEntry& modified = decoded.PageEntries()[1];
    const PageEntry& trayOnly = decoded.PageEntries()[2];
    EXPECT_EQ(std::tie(separation.Page, separation.FormOverlay, separation.InputTray),
              std::tuple(3u, 0u, 0));
    EXPECT_EQ(std::tie(modified.Page, modified.FormOverlay, modified.InputTray),
              std::tuple(5u, 12u, 3));
    EXPECT_EQ(std::tie(trayOnly.Page, trayOnly.FormOverlay, trayOnly.InputTray),
              std::tuple(8u, 0u, 6));
}

struct Refused {
    const char* name;
    std::string ticket;
    const char* message;
};

void PrintTo(const Refused& refused, std::ostream* out) {
    *out << refused.name;
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

const std::string& DocumentTicket = test::DocumentExampleTicket;
const std::string& ChapterTicket = test::ChapterExampleTicket;

class RefusedTest : public testing::TestWithParam<Refused> {};

TEST_P(RefusedTest, NamesTheOffsetAndWhatWasExpected) {
    const Refused& c = GetParam();
    const DecodeResult result = DecodeTicket(c.ticket);
    ASSERT_TRUE(std::holds_alternative<TicketError>(result)) << "case: " << c.name;
    EXPECT_EQ(std::get<TicketError>(result).Message(), c.message) << "case: " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedTest,
    testing::Values(
        Refused{"empty file", "", "offset 0: expected ESC \"%-12345X\", found end of file"},
        Refused{"another language", Replaced(DocumentTicket, "=ZOR", "=PCL"),
                "offset 29: expected \"ZOR\", found \"PCL\""},
        Refused{"CR LF in the envelope", Replaced(DocumentTicket, "\n", "\r\n"),
                "offset 32: expected LF, found CR"},
        Refused{"LF-only line ends", Replaced(DocumentTicket, "\r\n", "\n"),
                "offset 116: expected \"C1:\", \"EJ1\" or CR LF, found LF"},
        Refused{"truncated", DocumentTicket.substr(0, DocumentTicket.size() - 4),
                "offset 124: expected \"345X\", found end of file"},
        Refused{"trailing bytes", DocumentTicket + "\r\n",
                "offset 128: expected end of file, found CR"},
        Refused{"unknown token first", Wrap("X\r\n"),
                "offset 54: expected \"C1\", \"K\", \"EI1\", \"EJ1\" or CR LF, found \"X\""},
        Refused{"a page group without the defaults",
                Replaced(DocumentTicket, "C1:5I1FF;", "C1:5FF;"),
                "offset 82: expected \"F25997I1;\" or \"I1FF;\", found \"FF;C1:6I-\""},
        Refused{"second group not one page on", Replaced(DocumentTicket, "C1:6I-3", "C1:7I-3"),
                "offset 90: expected \"6\", found \"7\""},
        Refused{"tray 0", Replaced(DocumentTicket, "C1:10I-6", "C1:10I-0"),
                "offset 114: expected a tray code from 1 to 2147483647, found \"0\""},
        Refused{"leading zero", Replaced(DocumentTicket, "K2;", "K02;"),
                "offset 60: expected a number without leading zeros, found \"02\""},
        Refused{"variable out of order", Replaced(ChapterTicket, "CHAPTERCOPY2#", "CHAPTERCOPY3#"),
                "offset 216: expected \"2\", found \"3\""},
        Refused{"a variable missing", Replaced(ChapterTicket, "VARIABLE=#CHAPTERCOPY6#:1\r\n", ""),
                "offset 303: expected \"VARIABLE=#CHAPTERCOPY\", found LF"},
        Refused{"cover printed twice", Replaced(ChapterTicket, "COPY1#:1", "COPY1#:2"),
                "offset 192: expected \"1\", found \"2\""},
        Refused{"separator pages that disagree on the flag",
                Replaced(ChapterTicket, "C1:10I2F40F25997;", "C1:10I2F40FF;C1:11F3F25997;"),
                "offset 143: expected \"F25997;\" or \"FF;\", found \"F25997F\""}),
    test::ByCaseName);

} // namespace
} // namespace varnak
