// The reports of a decoded ticket, as the operator reads them.
#include "explain/Reports.h"
#include "explain/TicketDecoder.h"

#include "core/CommandBuilder.h"
#include "core/TicketEnvelope.h"

#include <gtest/gtest.h>

#include <functional>
#include <variant>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace varnak {
namespace {

constexpr std::uint32_t Entries = 1'000'000;

// A picture of a ticket of a million page entries, of the given kind, or nullopt when the
// decoder refused it.
std::optional<std::string>
PictureOfAMillionEntries(const std::function<PageEntry(std::uint32_t)>& entry) {
    JobSettings settings;
    for (std::uint32_t i = 1; i <= Entries; ++i) {
        settings.AddPageEntry(entry(i));
    }
    const auto decoded = DecodeTicket(TicketEnvelope::Wrap(BuildCommandString(settings, true)));
    if (!std::holds_alternative<DecodedTicket>(decoded)) {
        return std::nullopt;
    }
    return ExplainSvg(std::get<DecodedTicket>(decoded));
}

// Runs of like sheets are drawn once with their count, and what still doesn't fit is told
// by one card: the picture of a million entries stays small. Without it, such a picture took
// gigabytes, and the memory to build it.
TEST(SvgPicture, ThePictureOfAnyTicketIsBounded) {
    const std::function<PageEntry(std::uint32_t)> kinds[] = {
        [](std::uint32_t i) { return PageEntry{.Page = i, .InputTray = 3}; },       // a run
        [](std::uint32_t i) { return PageEntry{.Page = 2 * i, .FormOverlay = 7}; }, // alternating
    };
    const char* expected[] = {"1000000 modified pages", "more sheets"};
    for (std::size_t kind = 0; kind < 2; ++kind) {
        std::optional<std::string> svg;
#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
        svg = PictureOfAMillionEntries(kinds[kind]);
#else
        // In a child process that may not take more than 1 GiB, so that a picture that grows
        // with the ticket fails here instead of taking the machine's memory.
        int channel[2];
        ASSERT_EQ(::pipe(channel), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
            ::setrlimit(RLIMIT_AS, &limit);
            const auto picture = PictureOfAMillionEntries(kinds[kind]);
            const std::string written = picture ? *picture : "refused";
            (void)!::write(channel[1], written.data(), written.size());
            ::_exit(0);
        }
        ::close(channel[1]);
        std::string read;
        char buffer[65536];
        for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
            read.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "case " << kind;
        svg = read;
#endif
        ASSERT_TRUE(svg) << "case " << kind;
        EXPECT_LT(svg->size(), 1u << 20) << "case " << kind;
        EXPECT_NE(svg->find(expected[kind]), std::string::npos) << "case " << kind;
        EXPECT_TRUE(svg->ends_with("</svg>\n")) << "case " << kind;
    }
}

// Input that can't be a ticket is found at its first impossible byte, so that a reader of
// endless input stops there.
TEST(FirstImpossibleByte, FindsWhatNoTicketHolds) {
    const std::string opening = "\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\nZOR_COMMAND=";
    EXPECT_EQ(FirstImpossibleByte(std::string(100, '\0')), 0u);
    EXPECT_EQ(FirstImpossibleByte("y\ny\n"), 0u);
    EXPECT_EQ(FirstImpossibleByte(opening.substr(0, 20)), std::string::npos);
    EXPECT_EQ(FirstImpossibleByte(opening + "C1I1;\r\n\n\x1b%-12345X"), std::string::npos);
    EXPECT_EQ(FirstImpossibleByte(opening + "C1\xff"), opening.size() + 2);
    EXPECT_EQ(FirstImpossibleByte(opening + "C1\t", opening.size()), opening.size() + 2);
}

} // namespace
} // namespace varnak
