#include "print/JobWaiter.h"

#include <algorithm>
#include <thread>

namespace varnak::print {

std::chrono::steady_clock::time_point SteadyWaitClock::Now() const {
    return std::chrono::steady_clock::now();
}

void SteadyWaitClock::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

WaitResult WaitForJob(const std::function<JobStatus()>& status, WaitClock& clock,
                      std::optional<std::chrono::seconds> limit,
                      std::chrono::milliseconds interval) {
    using State = JobStatus::State;
    const auto start = clock.Now();
    while (true) {
        WaitResult result{WaitResult::Outcome::NotCompleted, status()};
        switch (result.Last.Is) {
        case State::Completed:
        case State::Gone:
            result.Is = WaitResult::Outcome::Completed;
            return result;
        case State::Stopped:
        case State::Cancelled:
        case State::Aborted:
            result.Is = WaitResult::Outcome::Stopped;
            return result;
        case State::Pending:
        case State::Processing:
            break;
        }
        const auto waited = clock.Now() - start;
        if (limit && waited >= *limit) {
            return result;
        }
        auto pause = interval;
        if (limit) {
            pause = std::min(
                pause, std::chrono::duration_cast<std::chrono::milliseconds>(*limit - waited) +
                           std::chrono::milliseconds(1));
        }
        clock.Sleep(pause);
    }
}

} // namespace varnak::print
