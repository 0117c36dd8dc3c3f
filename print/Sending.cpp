#include "print/Sending.h"

#include "ui/ControlIds.h"

#include <array>

namespace varnak::print {
namespace {

// Pieces of the document read and sent at a time: memory stays flat for a document of any
// size.
constexpr std::size_t Piece = std::size_t{64} * 1024;
// How often the window shows the bytes sent.
constexpr int RefreshMilliseconds = 200;

const toolkit::DialogTemplate& SendingTemplate() {
    using toolkit::ControlKind;
    namespace Style = toolkit::Style;
    static const toolkit::DialogTemplate tmpl = [] {
        toolkit::DialogTemplate made;
        made.Id = ids::IDD_SENDING;
        made.Caption = "ZOR Brevant";
        made.Width = 240;
        made.Height = 78;
        made.Styles = toolkit::DialogStyle::ModalFrame | toolkit::DialogStyle::Caption;
        made.Controls = {
            {ControlKind::Label, ids::IDC_SENDING_TITLE, "", Style::None, {10, 8, 220, 10}},
            {ControlKind::Label, ids::IDC_SENDING_DESTINATION, "", Style::None, {10, 22, 220, 10}},
            {ControlKind::Label, ids::IDC_SENDING_BYTES, "", Style::None, {10, 36, 220, 10}},
            {ControlKind::PushButton, ids::IDC_CANCEL, "Cancel", Style::None, {85, 56, 70, 14}},
        };
        return made;
    }();
    return tmpl;
}

} // namespace

std::string BytesSentText(std::uint64_t bytes) {
    const std::string digits = std::to_string(bytes);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped + (bytes == 1 ? " byte sent" : " bytes sent");
}

Sender::Sender(Spooler& spooler, std::string queue, std::string title, std::string ticket,
               std::string documentStart, std::istream& document)
    : spooler_(spooler), queue_(std::move(queue)), title_(std::move(title)),
      ticket_(std::move(ticket)), documentStart_(std::move(documentStart)), document_(document) {}

Sender::~Sender() {
    Cancel();
    Join();
}

void Sender::Start() {
    thread_ = std::thread([this] { Run(); });
}

bool Sender::WaitFor(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, time, [this] { return outcome_ != Outcome::Running; });
}

void Sender::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void Sender::Run() {
    Outcome outcome = Outcome::Failed;
    try {
        outcome = Send();
    } catch (const std::exception& error) {
        error_ = error.what();
    }
    End(outcome);
}

void Sender::End(Outcome outcome) {
    {
        std::lock_guard lock(mutex_);
        outcome_ = outcome;
    }
    ended_.notify_all();
}

Sender::Outcome Sender::Send() {
    std::unique_ptr<SpoolJob> job = spooler_.StartJob(queue_, title_, error_);
    if (!job) {
        return Outcome::Failed;
    }
    jobId_ = job->Id();
    // Takes the job back: a part of it never prints.
    const auto takeBack = [&](Outcome outcome) {
        job->Cancel();
        return outcome;
    };
    const auto write = [&](std::string_view bytes) {
        if (!bytes.empty() && !job->Write(bytes)) {
            error_ = job->Error();
            return false;
        }
        sent_ += bytes.size();
        return true;
    };
    if (!write(ticket_) || !write(documentStart_)) {
        return takeBack(Outcome::Failed);
    }
    std::array<char, Piece> piece{};
    while (document_) {
        if (cancel_) {
            return takeBack(Outcome::Cancelled);
        }
        document_.read(piece.data(), piece.size());
        if (document_.gcount() > 0 &&
            !write(std::string_view(piece.data(), static_cast<std::size_t>(document_.gcount())))) {
            return takeBack(Outcome::Failed);
        }
    }
    if (document_.bad()) {
        error_ = "the document could not be read to its end";
        return takeBack(Outcome::Failed);
    }
    if (cancel_) {
        return takeBack(Outcome::Cancelled);
    }
    if (!job->Finish()) {
        error_ = job->Error();
        return takeBack(Outcome::Failed);
    }
    return Outcome::Sent;
}

SendingDialog::SendingDialog(toolkit::Backend& backend, Sender& sender)
    : ModalDialog(backend, SendingTemplate()), sender_(sender) {}

bool SendingDialog::OnInitDialog() {
    GetDlgItem(ids::IDC_SENDING_TITLE)->SetText("Sending \"" + sender_.Title() + "\"");
    GetDlgItem(ids::IDC_SENDING_DESTINATION)->SetText("to " + sender_.Queue());
    ShowBytes();
    Window()->StartTimer(RefreshMilliseconds);
    return true;
}

void SendingDialog::OnTimer() {
    ShowBytes();
    if (sender_.Result() != Sender::Outcome::Running) {
        EndDialog(toolkit::IdOk);
    }
}

void SendingDialog::OnCancel() {
    sender_.Cancel();
    EndDialog(toolkit::IdCancel);
}

void SendingDialog::ShowBytes() {
    GetDlgItem(ids::IDC_SENDING_BYTES)->SetText(BytesSentText(sender_.BytesSent()));
}

} // namespace varnak::print
