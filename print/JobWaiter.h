#pragma once

#include "print/Spooler.h"

#include <chrono>
#include <functional>
#include <optional>

namespace varnak::print {

// Time as the waiter sees it; the tests give one that doesn't wait.
class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual std::chrono::steady_clock::time_point Now() const = 0;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

class SteadyWaitClock : public WaitClock {
public:
    std::chrono::steady_clock::time_point Now() const override;
    void Sleep(std::chrono::milliseconds duration) override;
};

struct WaitResult {
    enum class Outcome {
        Completed,    // printed, or gone from the queue
        Stopped,      // stopped, cancelled or aborted at the queue
        NotCompleted, // still queued when the wait ended
    };
    Outcome Is = Outcome::NotCompleted;
    JobStatus Last; // what the print system said last
};

// Asks for the job's status until it is printed or stopped, or the limit has passed (none:
// no limit). A job still queued is left as it is: it may print later.
WaitResult WaitForJob(const std::function<JobStatus()>& status, WaitClock& clock,
                      std::optional<std::chrono::seconds> limit,
                      std::chrono::milliseconds interval = std::chrono::milliseconds(250));

} // namespace varnak::print
