// Waiting for the print system's word on a sent job, on a clock that doesn't wait.
#include "print/JobWaiter.h"

#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnak::print {
namespace {

using State = JobStatus::State;
using namespace std::chrono_literals;

class FakeClock : public WaitClock {
public:
    std::chrono::steady_clock::time_point Now() const override { return now_; }
    void Sleep(std::chrono::milliseconds duration) override { now_ += duration; }

private:
    std::chrono::steady_clock::time_point now_{};
};

struct WaitCase {
    const char* name;
    std::vector<State> said; // one state a second; the last one stays
    std::optional<std::chrono::seconds> limit;
    WaitResult::Outcome outcome;
    std::chrono::seconds waited; // until the answer
};

class JobWaiterTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(JobWaiterTest, EndsWithTheJobOrTheLimit) {
    const WaitCase& c = GetParam();
    FakeClock clock;
    const auto start = clock.Now();
    const auto result = WaitForJob(
        [&] {
            const auto second = static_cast<std::size_t>(
                std::chrono::duration_cast<std::chrono::seconds>(clock.Now() - start).count());
            return JobStatus{c.said[std::min(second, c.said.size() - 1)], "said"};
        },
        clock, c.limit);
    EXPECT_EQ(result.Is, c.outcome) << "case: " << c.name;
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(clock.Now() - start), c.waited)
        << "case: " << c.name;
    EXPECT_EQ(result.Last.Message, "said") << "case: " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, JobWaiterTest,
    ::testing::Values(
        WaitCase{"printed at once", {State::Completed}, 5s, WaitResult::Outcome::Completed, 0s},
        WaitCase{"printed after a while",
                 {State::Pending, State::Processing, State::Completed},
                 std::nullopt,
                 WaitResult::Outcome::Completed,
                 2s},
        WaitCase{"gone from the queue",
                 {State::Processing, State::Gone},
                 5s,
                 WaitResult::Outcome::Completed,
                 1s},
        WaitCase{"cancelled at the queue",
                 {State::Pending, State::Cancelled},
                 5s,
                 WaitResult::Outcome::Stopped,
                 1s},
        WaitCase{"stopped", {State::Stopped}, std::nullopt, WaitResult::Outcome::Stopped, 0s},
        WaitCase{
            "aborted", {State::Processing, State::Aborted}, 5s, WaitResult::Outcome::Stopped, 1s},
        WaitCase{"still queued at the limit",
                 {State::Processing},
                 5s,
                 WaitResult::Outcome::NotCompleted,
                 5s},
        WaitCase{"no time to wait", {State::Pending}, 0s, WaitResult::Outcome::NotCompleted, 0s}),
    test::ByCaseName);

} // namespace
} // namespace varnak::print
