#pragma once

// The road to the printer: a print system that takes one raw job of bytes, and tells what
// became of it. CUPS on Linux (CupsSpooler), the spooler on Windows (Win32Spooler); the tests
// also give one of their own.

#include <memory>
#include <string>
#include <string_view>

namespace varnak::print {

// What the print system says of a job it was given.
struct JobStatus {
    enum class State {
        Pending,    // waiting, or held, at the queue
        Processing, // being printed, or waiting for the printer to become available
        Stopped,    // stopped at the queue
        Cancelled,  // cancelled at the queue
        Aborted,    // aborted by the print system
        Completed,  // printed
        Gone,       // no longer queued, with nothing said of it (Windows removes printed jobs)
    };
    State Is = State::Pending;
    // The printer's or the job's state message, when there is one.
    std::string Message;
};

// One job on its way: the bytes of its one raw document, in order. A job that is destroyed
// before Finish is cancelled, so that nothing of a part of it prints.
class SpoolJob {
public:
    virtual ~SpoolJob() = default;
    virtual int Id() const = 0;
    // Sends the next bytes; false when they could not be sent (Error says why).
    virtual bool Write(std::string_view bytes) = 0;
    // Ends the document; true when the print system took the whole job.
    virtual bool Finish() = 0;
    // Takes the job back, so that nothing of it prints.
    virtual void Cancel() = 0;
    virtual std::string Error() const = 0;
};

class Spooler {
public:
    virtual ~Spooler() = default;

    // The queue a job will go to: the name given, or the user's default when it is empty.
    // Problem is empty when the queue exists and accepts jobs, and otherwise says why not,
    // in a sentence for the operator.
    struct Queue {
        std::string Name;
        std::string Problem;
    };
    virtual Queue FindQueue(const std::string& name) = 0;

    // A raw job with that title on the queue; null when it can't be started (error says why).
    virtual std::unique_ptr<SpoolJob> StartJob(const std::string& queue, const std::string& title,
                                               std::string& error) = 0;

    virtual JobStatus Status(const std::string& queue, int job) = 0;
};

} // namespace varnak::print
