#include "core/TicketWriter.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace varnak {
namespace {

using test::ReadFileBytes;
using test::TempDir;

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
    bool operator==(const Message&) const = default;
};

class RecordingOwner : public MessageOwner {
public:
    void ShowMessage(const std::string& text, const std::string& title,
                     MessageIcon icon) override {
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

const std::string DocumentExampleTicket =
    "\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\nZOR_COMMAND="
    "C1I1;K2;D1;C1:2F25997I1;C1:5I1FF;C1:6I-3F12;C1:9I1FF;C1:10I-6;\r\n"
    "\n\x1b%-12345X";

struct RequestCase {
    const char* commandLine;
    bool requested;
    bool debug;
    std::optional<std::string> name;
};

void PrintTo(const RequestCase& c, std::ostream* out) { *out << c.commandLine; }

class ParseTicketRequestTest : public testing::TestWithParam<RequestCase> {};

TEST_P(ParseTicketRequestTest, TakesTheNameFromTheCommandLine) {
    const RequestCase& c = GetParam();
    const TicketRequest request = ParseTicketRequest(c.commandLine);
    EXPECT_EQ(request.Requested, c.requested) << "case: " << c.commandLine;
    EXPECT_EQ(request.Debug, c.debug) << "case: " << c.commandLine;
    EXPECT_EQ(request.OutputName, c.name) << "case: " << c.commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParseTicketRequestTest,
    testing::Values(
        RequestCase{R"(-R"C:\spool\job 7")", true, false, R"(C:\spool\job 7)"},
        RequestCase{R"(-R"C:\spool\job 7".tkt -DEBUG)", true, true, R"(C:\spool\job 7.tkt)"},
        RequestCase{R"(-DEBUG -R"D:\t.prn")", true, true, R"(D:\t.prn)"},
        RequestCase{R"(-R"a.prn" more)", true, false, "a.prn"},
        RequestCase{R"(x -R"a"tail more)", true, false, "atail"},
        RequestCase{R"(-R"")", true, false, ""},
        RequestCase{R"(-R"no closing quote)", true, false, "no closing quote"},
        RequestCase{R"(-R")", true, false, ""},
        RequestCase{"-R", true, false, std::nullopt},
        RequestCase{"-Rjob.prn", true, false, std::nullopt},
        RequestCase{"-R job.prn", true, false, "job.prn"},
        RequestCase{R"(-R"a-DEBUG.prn")", true, true, "a-DEBUG.prn"},
        RequestCase{R"(-r"a.prn" -debug)", false, false, std::nullopt},
        RequestCase{"", false, false, std::nullopt},
        RequestCase{R"(-R"first" -R"second")", true, false, "first"}));

class TicketWriterTest : public testing::Test {
protected:
    TicketOutcome Write(const std::string& commandLine, const JobSettings& settings,
                        bool documentMode = true) {
        return TicketWriter::WriteTicket(commandLine, settings, documentMode, owner);
    }
    std::string Quoted(const std::string& name) const { return "-R\"" + dir.File(name) + "\""; }

    TempDir dir;
    RecordingOwner owner;
};

TEST_F(TicketWriterTest, DocumentExampleIsTheWhole128ByteTicket) {
    EXPECT_EQ(Write(Quoted("job.prn"), DocumentExample()), TicketOutcome::Written);
    const std::string bytes = ReadFileBytes(dir.File("job.prn"));
    EXPECT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes, DocumentExampleTicket);
    EXPECT_TRUE(owner.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("job.prn_debug")));
}

TEST_F(TicketWriterTest, DebugCopyIsByteIdenticalAndNamedBehindTheExtension) {
    EXPECT_EQ(Write(Quoted("job") + ".prn -DEBUG", DocumentExample()), TicketOutcome::Written);
    EXPECT_EQ(ReadFileBytes(dir.File("job.prn")), DocumentExampleTicket);
    EXPECT_EQ(ReadFileBytes(dir.File("job.prn_debug")), DocumentExampleTicket);
}

TEST_F(TicketWriterTest, ReplacesAnExistingLongerFile) {
    test::WriteFileBytes(dir.File("job.prn"), std::string(4096, 'x'));
    EXPECT_EQ(Write(Quoted("job.prn"), DocumentExample()), TicketOutcome::Written);
    EXPECT_EQ(ReadFileBytes(dir.File("job.prn")), DocumentExampleTicket);
}

TEST_F(TicketWriterTest, ChapterModeWritesVariablesEvenWithoutChapters) {
    EXPECT_EQ(Write(Quoted("c.prn"), JobSettings(), false), TicketOutcome::Written);
    EXPECT_EQ(ReadFileBytes(dir.File("c.prn")),
              "\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\nZOR_COMMAND="
              "C1I1;\r\nVARIABLE=#CHAPTERCOPY1#:0\r\n\n\x1b%-12345X");
}

TEST_F(TicketWriterTest, WithoutTheSwitchNothingIsWrittenOrShown) {
    EXPECT_EQ(Write("-DEBUG something", DocumentExample()), TicketOutcome::NotRequested);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_TRUE(owner.messages.empty());
}

TEST_F(TicketWriterTest, UnopenableOutputIsReportedAndWritesNothing) {
    for (const std::string& commandLine :
         {std::string(R"(-R"")"), Quoted("missing/dir/job.prn"), std::string("-R"),
          "-R" + dir.File("job.prn")}) {
        owner.messages.clear();
        EXPECT_EQ(Write(commandLine, DocumentExample()), TicketOutcome::OutputFailed)
            << "case: " << commandLine;
        EXPECT_EQ(owner.messages, std::vector<Message>{CouldNotOpen}) << "case: " << commandLine;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(TicketWriterTest, UnopenableDebugCopyWarnsAndTheTicketIsStillWritten) {
    std::filesystem::create_directory(dir.File("job.prn_debug"));
    EXPECT_EQ(Write(Quoted("job.prn") + " -DEBUG", DocumentExample()), TicketOutcome::Written);
    EXPECT_EQ(ReadFileBytes(dir.File("job.prn")), DocumentExampleTicket);
    const Message expected{"Couldn't open debug file: " + dir.File("job.prn_debug"),
                           "ZOR Brevant", MessageIcon::None};
    EXPECT_EQ(owner.messages, std::vector<Message>{expected});
}

#ifndef _WIN32
TEST_F(TicketWriterTest, FullDiskIsAFailureAndTheDeviceStays) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    EXPECT_EQ(Write(R"(-R"/dev/full")", DocumentExample()), TicketOutcome::OutputFailed);
    EXPECT_EQ(owner.messages, std::vector<Message>{CouldNotWrite});
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// A file-size limit makes a regular file fail part-way, as a disk that fills up would.
TEST_F(TicketWriterTest, FileThatFillsUpPartWayIsRemoved) {
    JobSettings settings;
    for (std::uint32_t page = 1; page <= 2000; ++page) {
        settings.AddPageEntry({.Page = page, .FormOverlay = 7});
    }
    const std::string name = dir.File("job.prn");
    test::WriteFileBytes(name, "previous");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingOwner childOwner;
        const TicketOutcome outcome =
            TicketWriter::WriteTicket("-R\"" + name + "\"", settings, true, childOwner);
        const bool reported = childOwner.messages == std::vector<Message>{CouldNotWrite};
        _exit(outcome == TicketOutcome::OutputFailed && reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the writer did not report the failed write";
    EXPECT_FALSE(std::filesystem::exists(name)) << "an incomplete ticket was left behind";
}
#endif

} // namespace
} // namespace varnak
