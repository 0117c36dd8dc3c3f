#pragma once

// Sending one job on a thread of its own, and the window that shows it when it takes long.

#include "platform/toolkit/Dialog.h"
#include "print/Spooler.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <istream>
#include <mutex>
#include <string>
#include <thread>

namespace varnak::print {

// The ticket, then the document's bytes as they are read, as one raw job. Runs on a thread
// of its own, so that the window can show how far it has come and take Cancel; a job that
// fails or is cancelled part-way is cancelled at the print system, never printed half.
class Sender {
public:
    // The document is read from the stream in pieces, after the bytes already read from it.
    Sender(Spooler& spooler, std::string queue, std::string title, std::string ticket,
           std::string documentStart, std::istream& document);
    ~Sender();
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    enum class Outcome { Running, Sent, Failed, Cancelled };

    void Start();
    // Waits until the job is sent, failed or cancelled, or the time has passed; true when it
    // has ended.
    bool WaitFor(std::chrono::milliseconds time);
    void Join();
    void Cancel() { cancel_ = true; }

    Outcome Result() const { return outcome_; }
    std::uint64_t BytesSent() const { return sent_; }
    int JobId() const { return jobId_; }
    // Why it failed.
    const std::string& Error() const { return error_; }
    const std::string& Queue() const { return queue_; }
    const std::string& Title() const { return title_; }

private:
    void Run();
    Outcome Send();
    void End(Outcome outcome);

    Spooler& spooler_;
    std::string queue_;
    std::string title_;
    std::string ticket_;
    std::string documentStart_;
    std::istream& document_;
    std::thread thread_;
    std::atomic<bool> cancel_ = false;
    std::atomic<std::uint64_t> sent_ = 0;
    std::atomic<Outcome> outcome_ = Outcome::Running;
    int jobId_ = 0;
    std::string error_;
    std::mutex mutex_;
    std::condition_variable ended_;
};

// The small window shown while a job takes more than a moment to send: its title, its
// destination, the bytes sent so far, and Cancel, which takes the job back.
class SendingDialog : public toolkit::ModalDialog {
public:
    SendingDialog(toolkit::Backend& backend, Sender& sender);

    bool OnInitDialog() override;
    void OnTimer() override;
    void OnCancel() override;

private:
    void ShowBytes();

    Sender& sender_;
};

// The bytes sent, as the window shows them: "1,048,576 bytes sent".
std::string BytesSentText(std::uint64_t bytes);

} // namespace varnak::print
