#include "core/TicketWriter.h"
#include "tests/support/CaseName.h"
#include "tests/support/WorkedExamples.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace varnak {
namespace {

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
    bool operator==(const Message&) const = default;
};

class RecordingOwner : public MessageOwner {
public:
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
    }
    std::vector<Message> messages;
};

const Message CouldNotOpen{"Could not open output file", "Error", MessageIcon::Warning};
const Message CouldNotWrite{"Could not write output file", "Error", MessageIcon::Warning};

JobSettings DocumentExample() {
    JobSettings settings;
    settings.SetNumberOfCopies(2);
    settings.AddPageEntry({.Page = 3});
    settings.AddPageEntry({.Page = 5, .FormOverlay = 12, .InputTray = 3});
    settings.AddPageEntry({.Page = 8, .InputTray = 6});
    return settings;
}

using test::DocumentExampleTicket;

struct RequestCase {
    const char* name;
    const char* commandLine;
    bool requested;
    bool debug;
    std::optional<std::string> outputName;
};

void PrintTo(const RequestCase& c, std::ostream* out) {
    *out << c.commandLine;
}

class ParseTicketRequestTest : public testing::TestWithParam<RequestCase> {};

TEST_P(ParseTicketRequestTest, TakesTheNameFromTheCommandLine) {
    const RequestCase& c = GetParam();
    const TicketRequest request = ParseTicketRequest(c.commandLine);
    EXPECT_EQ(request.Requested, c.requested) << "case: " << c.commandLine;
    EXPECT_EQ(request.Debug, c.debug) << "case: " << c.commandLine;
    EXPECT_EQ(request.OutputName, c.outputName) << "case: " << c.commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParseTicketRequestTest,
    testing::Values(
        RequestCase{"quoted name", R"(-R"C:\spool\job 7")", true, false, R"(C:\spool\job 7)"},
        RequestCase{"text after the quotes", R"(-R"C:\spool\job 7".tkt -DEBUG)", true, true,
                    R"(C:\spool\job 7.tkt)"},
        RequestCase{"debug first", R"(-DEBUG -R"D:\t.prn")", true, true, R"(D:\t.prn)"},
        RequestCase{"word after the name", R"(-R"a.prn" more)", true, false, "a.prn"},
        RequestCase{"word before the switch", R"(x -R"a"tail more)", true, false, "atail"},
        RequestCase{"empty quotes", R"(-R"")", true, false, ""},
        RequestCase{"no closing quote", R"(-R"no closing quote)", true, false, "no closing quote"},
        RequestCase{"lone quote", R"(-R")", true, false, ""},
        RequestCase{"bare switch", "-R", true, false, std::nullopt},
        RequestCase{"unquoted attached name", "-Rjob.prn", true, false, std::nullopt},
        RequestCase{"unquoted separate name", "-R job.prn", true, false, "job.prn"},
        RequestCase{"debug inside the name", R"(-R"a-DEBUG.prn")", true, true, "a-DEBUG.prn"},
        RequestCase{"lower case switches", R"(-r"a.prn" -debug)", false, false, std::nullopt},
        RequestCase{"empty", "", false, false, std::nullopt},
        RequestCase{"two names", R"(-R"first" -R"second")", true, false, "first"}),
    test::ByCaseName);

// Files as the writer leaves them, and what each name should answer.
class FakeFiles {
public:
    WholeFileWriter Writer() {
        return [this](const std::string& name, std::string_view bytes) {
            calls.push_back(name);
            const auto answer = answers.find(name);
            const FileWrite result = answer == answers.end() ? FileWrite::Written : answer->second;
            if (result == FileWrite::Written) {
                written[name] = std::string(bytes);
            }
            return result;
        };
    }
    std::map<std::string, FileWrite> answers;
    std::map<std::string, std::string> written;
    std::vector<std::string> calls;
};

class TicketWriterTest : public testing::Test {
protected:
    TicketOutcome Write(const std::string& commandLine, const JobSettings& settings,
                        bool documentMode = true) {
        return TicketWriter::WriteTicket(ParseTicketRequest(commandLine), settings, documentMode,
                                         owner, files.Writer());
    }

    FakeFiles files;
    RecordingOwner owner;
};

TEST_F(TicketWriterTest, DocumentExampleIsTheWhole128ByteTicket) {
    EXPECT_EQ(Write(R"(-R"job.prn")", DocumentExample()), TicketOutcome::Written);
    EXPECT_EQ(files.written,
              (std::map<std::string, std::string>{{"job.prn", DocumentExampleTicket}}));
    EXPECT_EQ(DocumentExampleTicket.size(), 128u);
    EXPECT_TRUE(owner.messages.empty());
}

TEST_F(TicketWriterTest, DebugCopyIsByteIdenticalAndNamedBehindTheExtension) {
    EXPECT_EQ(Write(R"(-R"job".prn -DEBUG)", DocumentExample()), TicketOutcome::Written);
    EXPECT_EQ(files.written,
              (std::map<std::string, std::string>{{"job.prn", DocumentExampleTicket},
                                                  {"job.prn_debug", DocumentExampleTicket}}));
    EXPECT_EQ(files.calls, (std::vector<std::string>{"job.prn", "job.prn_debug"}))
        << "the ticket first: it is what the workflow waits for";
}

TEST_F(TicketWriterTest, ChapterModeWritesVariablesEvenWithoutChapters) {
    EXPECT_EQ(Write(R"(-R"c.prn")", JobSettings(), false), TicketOutcome::Written);
    EXPECT_EQ(files.written["c.prn"], test::Pjl("C1I1;\r\nVARIABLE=#CHAPTERCOPY1#:0\r\n"));
}

TEST_F(TicketWriterTest, WithoutTheSwitchNothingIsWrittenOrShown) {
    EXPECT_EQ(Write("-DEBUG something", DocumentExample()), TicketOutcome::NotRequested);
    EXPECT_TRUE(files.calls.empty());
    EXPECT_TRUE(owner.messages.empty());
}

struct FailureCase {
    const char* name;
    std::string commandLine;
    std::map<std::string, FileWrite> answers;
    TicketOutcome outcome;
    std::vector<Message> messages;
    std::vector<std::string> written;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class TicketFailureTest : public TicketWriterTest,
                          public testing::WithParamInterface<FailureCase> {};

TEST_P(TicketFailureTest, ReportsWhatWentWrongAndKeepsTheDialogOpenOnlyForTheTicket) {
    const FailureCase& c = GetParam();
    files.answers = c.answers;
    EXPECT_EQ(Write(c.commandLine, DocumentExample()), c.outcome) << "case: " << c.name;
    EXPECT_EQ(owner.messages, c.messages) << "case: " << c.name;
    std::vector<std::string> written;
    for (const auto& [name, bytes] : files.written) {
        written.push_back(name);
    }
    EXPECT_EQ(written, c.written) << "case: " << c.name;
}

const Message DebugMessage{"Couldn't open debug file: job.prn_debug", "ZOR Brevant",
                           MessageIcon::None};

INSTANTIATE_TEST_SUITE_P(
    Cases, TicketFailureTest,
    testing::Values(
        FailureCase{"no folder",
                    R"(-R"job.prn" -DEBUG)",
                    {{"job.prn", FileWrite::CannotCreate}},
                    TicketOutcome::OutputFailed,
                    {CouldNotOpen},
                    {}},
        FailureCase{"full disk",
                    R"(-R"job.prn" -DEBUG)",
                    {{"job.prn", FileWrite::CannotWrite}},
                    TicketOutcome::OutputFailed,
                    {CouldNotWrite},
                    {}},
        FailureCase{"empty name", R"(-R"")", {}, TicketOutcome::OutputFailed, {CouldNotOpen}, {}},
        FailureCase{"bare switch", "-R", {}, TicketOutcome::OutputFailed, {CouldNotOpen}, {}},
        FailureCase{
            "unquoted name", "-Rjob.prn", {}, TicketOutcome::OutputFailed, {CouldNotOpen}, {}},
        FailureCase{"debug copy can't be created",
                    R"(-R"job.prn" -DEBUG)",
                    {{"job.prn_debug", FileWrite::CannotCreate}},
                    TicketOutcome::Written,
                    {DebugMessage},
                    {"job.prn"}},
        FailureCase{"debug copy can't be written",
                    R"(-R"job.prn" -DEBUG)",
                    {{"job.prn_debug", FileWrite::CannotWrite}},
                    TicketOutcome::Written,
                    {},
                    {"job.prn"}}),
    test::ByCaseName);

} // namespace
} // namespace varnak
