#include "print/PrintRun.h"

#include "app/CVarnakApp.h"
#include "explain/TicketDecoder.h"
#include "platform/files/PrivateFolder.h"
#include "platform/files/RegularFile.h"
#include "platform/files/WholeFile.h"
#include "print/JobWaiter.h"
#include "print/Sending.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <variant>

namespace varnak::print {
namespace {

namespace fs = std::filesystem;

constexpr const char* Caption = "ZOR Brevant";
// A send that ends within this time shows no window.
constexpr std::chrono::milliseconds QuietTime(1000);
constexpr std::size_t FirstPiece = std::size_t{64} * 1024;

// The document, open and read as far as its first piece, so that one that can't be read is
// refused before the operator fills in the dialog.
struct Document {
    std::unique_ptr<std::ifstream> File;
    std::string Start;
    std::string Problem;
};

Document OpenDocument(const PrintOptions& options) {
    Document document;
    if (options.FromStandardInput()) {
        return document; // read as it comes: a pipeline's producer may still be starting
    }
    std::error_code error;
    if (fs::is_directory(options.Document, error)) {
        document.Problem = "it is a folder";
        return document;
    }
    document.File = std::make_unique<std::ifstream>(options.Document, std::ios::binary);
    if (!*document.File) {
        document.Problem = std::strerror(errno);
        return document;
    }
    std::array<char, FirstPiece> piece{};
    document.File->read(piece.data(), piece.size());
    if (document.File->bad()) {
        document.Problem = "it can't be read";
        return document;
    }
    document.Start.assign(piece.data(), static_cast<std::size_t>(document.File->gcount()));
    return document;
}

class Run {
public:
    Run(const PrintOptions& options, PrintEnvironment& environment)
        : options_(options), env_(environment) {}

    bool DialogShown() const { return dialogShown_; }
    int DialogResult() const { return dialogResult_; }

    int Go() {
        Document document = OpenDocument(options_);
        if (!document.Problem.empty()) {
            return Refuse(ExitUsage, "The document \"" + options_.Document +
                                         "\" can't be read: " + document.Problem + ".");
        }
        const Spooler::Queue queue = env_.PrintSystem.FindQueue(options_.Destination);
        if (!queue.Problem.empty()) {
            return Refuse(ExitNoDestination, queue.Problem);
        }
        queue_ = queue.Name;
        const auto folder = platform::MakePrivateFolder("varnak-print");
        if (!folder) {
            return Refuse(ExitSendingFailed, "No private folder could be made for the ticket.");
        }
        folder_ = *folder;
        ticketPath_ = (folder_ / "ticket.prn").string();

        CommandLine commandLine{"varnak-print", TicketRequest{true, false, ticketPath_}};
        CVarnakApp app(env_.Backend, env_.Registry, std::move(commandLine));
        app.InitInstance();
        dialogShown_ = true;
        dialogResult_ = app.DialogResult();
        if (app.DialogResult() != toolkit::IdOk) {
            RemoveFolder();
            return ExitCancelledInDialog;
        }
        std::istream& input = document.File ? *document.File : env_.Input;
        return SendTicketAnd(std::move(document.Start), input);
    }

private:
    int SendTicketAnd(std::string documentStart, std::istream& input) {
        const auto ticket = platform::ReadRegularFile(ticketPath_, MaxTicketSize + 1);
        if (!ticket) {
            return Fail(ExitSendingFailed, "The ticket could not be read back.");
        }
        const DecodeResult decoded = DecodeTicket(*ticket);
        if (const auto* error = std::get_if<TicketError>(&decoded)) {
            return Fail(ExitSendingFailed,
                        "The ticket was refused by the ticket decoder: " + error->Message() + ".");
        }
        if (options_.KeepTicket && platform::WriteWholeFile(*options_.KeepTicket, *ticket) !=
                                       platform::WholeFileResult::Written) {
            return Fail(ExitSendingFailed,
                        "The ticket could not be written to \"" + *options_.KeepTicket + "\".");
        }

        Sender sender(env_.PrintSystem, queue_, options_.JobTitle(), *ticket,
                      std::move(documentStart), input);
        sender.Start();
        if (!sender.WaitFor(QuietTime)) {
            SendingDialog window(env_.Backend, sender);
            window.DoModal();
        }
        sender.Join();
        switch (sender.Result()) {
        case Sender::Outcome::Cancelled:
            return Fail(ExitCancelledWhileSending, "The job was cancelled while it was sent to " +
                                                       queue_ + "; nothing of it prints.");
        case Sender::Outcome::Failed:
        case Sender::Outcome::Running:
            return Fail(ExitSendingFailed, "The job could not be sent to " + queue_ + ": " +
                                               sender.Error() + ". Nothing of it prints.");
        case Sender::Outcome::Sent:
            break;
        }
        RemoveFolder();
        const std::string job = queue_ + "-" + std::to_string(sender.JobId());
        env_.Output << "varnak-print: sent job " << job << ", " << sender.BytesSent() << " bytes\n";
        return options_.Wait ? Wait(sender.JobId(), job) : ExitSent;
    }

    int Wait(int jobId, const std::string& job) {
        SteadyWaitClock clock;
        const std::optional<std::chrono::seconds> limit =
            options_.WaitSeconds ? std::optional(std::chrono::seconds(*options_.WaitSeconds))
                                 : std::nullopt;
        const WaitResult waited =
            WaitForJob([&] { return env_.PrintSystem.Status(queue_, jobId); }, clock, limit);
        const std::string said =
            waited.Last.Message.empty() ? "" : " (" + waited.Last.Message + ")";
        switch (waited.Is) {
        case WaitResult::Outcome::Completed:
            env_.Output << "varnak-print: job " << job << " completed\n";
            return ExitSent;
        case WaitResult::Outcome::Stopped:
            return Tell(ExitStoppedAtQueue, "The job " + job + " was " +
                                                StoppedWord(waited.Last.Is) + " at the queue" +
                                                said + ".");
        case WaitResult::Outcome::NotCompleted:
            break;
        }
        return Tell(ExitNotCompleted, "The job " + job + " was not printed within " +
                                          std::to_string(options_.WaitSeconds.value_or(0)) +
                                          " seconds; it stays queued" + said + ".");
    }

    static std::string StoppedWord(JobStatus::State state) {
        switch (state) {
        case JobStatus::State::Cancelled:
            return "cancelled";
        case JobStatus::State::Aborted:
            return "aborted";
        default:
            return "stopped";
        }
    }

    // Before the dialog: nothing was chosen yet.
    int Refuse(int status, const std::string& text) { return Tell(status, text); }

    // After the dialog: the ticket stays where the message says, so nothing chosen is lost.
    int Fail(int status, const std::string& text) {
        return Tell(status, text + " The ticket is kept in " + ticketPath_ + ".");
    }

    int Tell(int status, const std::string& text) {
        env_.Errors << "varnak-print: " << text << '\n';
        env_.Backend.ShowMessage(nullptr, text, Caption, toolkit::MessageIcon::Warning);
        return status;
    }

    void RemoveFolder() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    const PrintOptions& options_;
    PrintEnvironment& env_;
    std::string queue_;
    fs::path folder_;
    std::string ticketPath_;
    bool dialogShown_ = false;
    int dialogResult_ = toolkit::ResultStillOpen;
};

} // namespace

PrintResult RunPrintJob(const PrintOptions& options, PrintEnvironment& environment) {
    Run run(options, environment);
    const int status = run.Go();
    return {status, run.DialogShown(), run.DialogResult()};
}

} // namespace varnak::print
