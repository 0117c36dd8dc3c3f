#include "app/CommandLine.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace varnak {
namespace {

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
    bool requested;
    bool debug;
    std::optional<std::string> ticket;
};

void PrintTo(const ArgumentsCase& c, std::ostream* out) {
    *out << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<ArgumentsCase> {};

// The shell has removed the quotes: whatever an argument holds is part of the name.
TEST_P(CommandLineTest, TakesEachArgumentWhole) {
    const ArgumentsCase& c = GetParam();
    const CommandLine line = CommandLineFromArguments(c.arguments);
    EXPECT_EQ(line.Ticket.Requested, c.requested) << "case: " << c.name;
    EXPECT_EQ(line.Ticket.Debug, c.debug) << "case: " << c.name;
    EXPECT_EQ(line.Ticket.OutputName, c.ticket) << "case: " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CommandLineTest,
    ::testing::Values(
        ArgumentsCase{"none", {}, false, false, std::nullopt},
        ArgumentsCase{
            "attached name", {"-R/spool/job.prn", "-DEBUG"}, true, true, "/spool/job.prn"},
        ArgumentsCase{
            "separate name", {"-R", "/spool/my job.prn"}, true, false, "/spool/my job.prn"},
        ArgumentsCase{"quotes in a separate name",
                      {"-R", "/srv/t/Report \"Q3\".prn"},
                      true,
                      false,
                      "/srv/t/Report \"Q3\".prn"},
        ArgumentsCase{
            "quote in an attached name", {"-R/spool/a\"b c.prn"}, true, false, "/spool/a\"b c.prn"},
        ArgumentsCase{"empty variable before -DEBUG", {"-R", "-DEBUG"}, true, true, std::nullopt},
        ArgumentsCase{"empty name", {"-R", ""}, true, false, ""},
        ArgumentsCase{"lone switch last", {"-DEBUG", "-R"}, true, true, std::nullopt},
        ArgumentsCase{"first switch wins", {"-Rfirst", "-Rsecond"}, true, false, "first"},
        ArgumentsCase{"debug inside the name", {"-R/t/a-DEBUG.prn"}, true, true, "/t/a-DEBUG.prn"},
        ArgumentsCase{"lower case", {"-r/t/a.prn", "-debug"}, false, false, std::nullopt},
        ArgumentsCase{"other words", {"a", "b c"}, false, false, std::nullopt}),
    test::ByCaseName);

TEST(CommandLineTest, TheTextIsTheArgumentsJoinedByBlanks) {
    EXPECT_EQ(CommandLineFromArguments({}).Text, "");
    EXPECT_EQ(CommandLineFromArguments({"-R", "/a b.prn", "-DEBUG"}).Text, "-R /a b.prn -DEBUG");
}

} // namespace
} // namespace varnak
