// Whole runs of varnak-print on the test backend, with a print system of the test's own that
// records what reaches it: what is sent, what is refused before the dialog, and what a
// failure after OK leaves behind.
#include "print/PrintRun.h"
#include "print/Sending.h"

#include "tests/support/CaseName.h"
#include "tests/support/WorkedExamples.h"
#include "tests/ui/DialogFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace varnak::print {
namespace {

using namespace ids;
using State = JobStatus::State;

// What the print system does with a job, and what reached it.
struct FakeJobs {
    std::string Problem;       // FindQueue's answer
    bool RefuseJob = false;    // StartJob fails
    std::size_t FailAfter = 0; // a Write fails once this many bytes arrived; 0: never
    bool FailFinish = false;
    State Said = State::Completed; // Status's answer
    bool Started = false;
    bool Finished = false;
    bool Cancelled = false;
    std::string Received;
};

class FakeJob : public SpoolJob {
public:
    explicit FakeJob(FakeJobs& jobs) : jobs_(jobs) {}
    ~FakeJob() override {
        if (!jobs_.Finished) {
            Cancel();
        }
    }
    int Id() const override { return 7; }
    bool Write(std::string_view bytes) override {
        if (jobs_.FailAfter != 0 && jobs_.Received.size() + bytes.size() > jobs_.FailAfter) {
            return false;
        }
        jobs_.Received += bytes;
        return true;
    }
    bool Finish() override {
        jobs_.Finished = !jobs_.FailFinish;
        return jobs_.Finished;
    }
    void Cancel() override { jobs_.Cancelled = true; }
    std::string Error() const override { return "the line went down"; }

private:
    FakeJobs& jobs_;
};

class FakeSpooler : public Spooler {
public:
    explicit FakeSpooler(FakeJobs& jobs) : jobs_(jobs) {}
    Queue FindQueue(const std::string& name) override {
        return {name.empty() ? "zor" : name, jobs_.Problem};
    }
    std::unique_ptr<SpoolJob> StartJob(const std::string&, const std::string&,
                                       std::string& error) override {
        if (jobs_.RefuseJob) {
            error = "the queue said no";
            return nullptr;
        }
        jobs_.Started = true;
        return std::make_unique<FakeJob>(jobs_);
    }
    JobStatus Status(const std::string&, int) override { return {jobs_.Said, "paper jam"}; }

private:
    FakeJobs& jobs_;
};

const std::string Document(200000, 'D'); // more than one piece

struct RunCase {
    const char* name;
    std::vector<std::string> arguments; // "DOC" stands for a document file of the test's
    FakeJobs jobs;
    bool confirm; // OK, else Cancel
    int status;
    bool sent;        // the whole job reached the print system
    bool ticketKept;  // a failure after OK keeps the ticket where the message says
    const char* said; // part of the message box's text; "" for none
};

// Where the private folder is made, for as long as it lives: the test's own folder.
class TemporaryFolderSetting {
public:
#ifdef _WIN32
    static constexpr const char* Variable = "TMP";
#else
    static constexpr const char* Variable = "TMPDIR";
#endif
    explicit TemporaryFolderSetting(const std::filesystem::path& folder) {
        const char* old = std::getenv(Variable);
        old_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        Set(folder.string());
    }
    ~TemporaryFolderSetting() {
        if (old_) {
            Set(*old_);
        } else {
            Unset();
        }
    }
    TemporaryFolderSetting(const TemporaryFolderSetting&) = delete;
    TemporaryFolderSetting& operator=(const TemporaryFolderSetting&) = delete;

private:
    static void Set(const std::string& value) {
#ifdef _WIN32
        _putenv_s(Variable, value.c_str());
#else
        ::setenv(Variable, value.c_str(), 1);
#endif
    }
    static void Unset() {
#ifdef _WIN32
        _putenv_s(Variable, ""); // an empty value removes it
#else
        ::unsetenv(Variable);
#endif
    }
    std::optional<std::string> old_;
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.name;
}

class PrintRunTest : public ::testing::TestWithParam<RunCase>, public test::DialogFixture {
protected:
    PrintRunTest() { InstallOverlays({{"7.mac", ""}}); }

    TemporaryFolderSetting temporary{dir.Path()};
};

TEST_P(PrintRunTest, SendsTheTicketThenTheDocumentOrSaysWhyNot) {
    const RunCase& c = GetParam();
    test::WriteFileBytes(dir.File("doc.ps"), Document);
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "DOC" ? dir.File("doc.ps") : argument);
    }
    const auto options = std::get<PrintOptions>(ParsePrintArguments(arguments));
    FakeJobs jobs = c.jobs;
    FakeSpooler spooler(jobs);
    std::istringstream input(Document);
    std::ostringstream output;
    std::ostringstream errors;
    backend->SetUser([&](toolkit::Driver& user) {
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.Pick(IDC_COVER_OVERLAY, "7"));
        ASSERT_TRUE(user.Click(c.confirm ? IDC_OK : IDC_CANCEL));
    });
    PrintEnvironment environment{backend->Get(), registry.Registry(), spooler, input, output,
                                 errors};
    const PrintResult result = RunPrintJob(options, environment);

    EXPECT_EQ(result.Status, c.status) << "case: " << c.name;
    const std::string ticket = test::Pjl("C1I1;EI1F7;\r\n");
    EXPECT_EQ(jobs.Received == ticket + Document && jobs.Finished, c.sent) << "case: " << c.name;
    EXPECT_EQ(jobs.Cancelled, jobs.Started && !c.sent) << "case: " << c.name;
    const auto messages = Messages();
    const std::string shown = messages.empty() ? "" : messages.back().Text;
    EXPECT_NE(shown.find(c.said), std::string::npos) << "case: " << c.name << ": " << shown;
    EXPECT_EQ(shown.empty(), *c.said == '\0') << "case: " << c.name << ": " << shown;
    if (!shown.empty()) {
        EXPECT_EQ(errors.str(), "varnak-print: " + shown + "\n") << "case: " << c.name;
    }
    // The ticket stays where the message says; after a send, nothing is left behind.
    const auto kept = shown.find("The ticket is kept in ");
    EXPECT_EQ(kept != std::string::npos, c.ticketKept) << "case: " << c.name;
    if (kept != std::string::npos) {
        std::string path = shown.substr(kept + 22);
        path.pop_back();
        EXPECT_EQ(test::ReadFileBytes(path), ticket) << "case: " << c.name;
    } else {
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with("varnak-print"))
                << "case: " << c.name << ": a private folder stays behind";
        }
    }
}

FakeJobs Jobs(std::string problem = "", bool refuse = false, std::size_t failAfter = 0,
              bool failFinish = false, State said = State::Completed) {
    FakeJobs jobs;
    jobs.Problem = std::move(problem);
    jobs.RefuseJob = refuse;
    jobs.FailAfter = failAfter;
    jobs.FailFinish = failFinish;
    jobs.Said = said;
    return jobs;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, PrintRunTest,
    ::testing::Values(
        RunCase{"sent", {"-d", "zor", "DOC"}, Jobs(), true, ExitSent, true, false, ""},
        RunCase{"from standard input", {"-"}, Jobs(), true, ExitSent, true, false, ""},
        RunCase{"cancelled in the dialog",
                {"DOC"},
                Jobs(),
                false,
                ExitCancelledInDialog,
                false,
                false,
                ""},
        RunCase{"a missing document",
                {"/nonexistent/doc.ps"},
                Jobs(),
                true,
                ExitUsage,
                false,
                false,
                "The document \"/nonexistent/doc.ps\" can't be read: No such file"},
        RunCase{"a folder as the document",
                {"/"},
                Jobs(),
                true,
                ExitUsage,
                false,
                false,
                "can't be read: it is a folder."},
        RunCase{"no such printer",
                {"-d", "gone", "DOC"},
                Jobs("The printer gone does not exist."),
                true,
                ExitNoDestination,
                false,
                false,
                "The printer gone does not exist."},
        RunCase{"a job refused",
                {"DOC"},
                Jobs("", true),
                true,
                ExitSendingFailed,
                false,
                true,
                "The job could not be sent to zor: the queue said no. Nothing of it prints."},
        RunCase{"a write failing part-way",
                {"DOC"},
                Jobs("", false, 70000),
                true,
                ExitSendingFailed,
                false,
                true,
                "the line went down"},
        RunCase{"the end refused",
                {"DOC"},
                Jobs("", false, 0, true),
                true,
                ExitSendingFailed,
                false,
                true,
                "could not be sent"},
        RunCase{"a ticket that can't be kept",
                {"--keep-ticket", "/nonexistent/t.prn", "DOC"},
                Jobs(),
                true,
                ExitSendingFailed,
                false,
                true,
                "The ticket could not be written to \"/nonexistent/t.prn\"."},
        RunCase{
            "waited for and printed", {"--wait=1", "DOC"}, Jobs(), true, ExitSent, true, false, ""},
        RunCase{"cancelled at the queue",
                {"--wait", "DOC"},
                Jobs("", false, 0, false, State::Cancelled),
                true,
                ExitStoppedAtQueue,
                true,
                false,
                "The job zor-7 was cancelled at the queue (paper jam)."},
        RunCase{"not printed in time",
                {"--wait=0", "DOC"},
                Jobs("", false, 0, false, State::Processing),
                true,
                ExitNotCompleted,
                true,
                false,
                "The job zor-7 was not printed within 0 seconds; it stays queued (paper jam)."}),
    test::ByCaseName);

TEST(PrintRunKeepTicket, TheTicketIsKeptWhereAsked) {
    test::TempDir dir;
    FakeJobs jobs;
    FakeSpooler spooler(jobs);
    std::istringstream document("doc");
    Sender sender(spooler, "zor", "t", "ticket", "", document);
    sender.Start();
    sender.Join();
    EXPECT_EQ(sender.Result(), Sender::Outcome::Sent);
    EXPECT_EQ(jobs.Received, "ticketdoc");
    EXPECT_EQ(BytesSentText(1234567), "1,234,567 bytes sent");
    EXPECT_EQ(BytesSentText(1), "1 byte sent");
}

// Cancel in the progress window: the document stops being read, and the job is taken back.
TEST(SenderTest, CancelTakesTheJobBack) {
    FakeJobs jobs;
    FakeSpooler spooler(jobs);
    std::string endless(64 << 20, 'x');
    std::istringstream document(endless);
    Sender sender(spooler, "zor", "t", "ticket", "", document);
    sender.Cancel();
    sender.Start();
    sender.Join();
    EXPECT_EQ(sender.Result(), Sender::Outcome::Cancelled);
    EXPECT_TRUE(jobs.Cancelled);
    EXPECT_LT(jobs.Received.size(), endless.size());
}

} // namespace
} // namespace varnak::print
