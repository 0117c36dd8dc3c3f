#include "app/CommandLine.h"
#include "core/TicketWriter.h"

#include <gtest/gtest.h>

namespace varnak {
namespace {

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string text;
};

class CommandLineTest : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(CommandLineTest, RebuildsTheTextTheWriterReads) {
    EXPECT_EQ(CommandLineFromArguments(GetParam().arguments), GetParam().text)
        << "case: " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CommandLineTest,
    ::testing::Values(
        ArgumentsCase{"none", {}, ""},
        ArgumentsCase{"attached name", {"-R/spool/job.prn", "-DEBUG"},
                      "-R\"/spool/job.prn\" -DEBUG"},
        ArgumentsCase{"separate name", {"-R", "/spool/my job.prn"}, "-R\"/spool/my job.prn\""},
        ArgumentsCase{"quoted name", {"-R\"/spool/job.prn\""}, "-R\"/spool/job.prn\""},
        ArgumentsCase{"lone switch last", {"-DEBUG", "-R"}, "-DEBUG -R"},
        ArgumentsCase{"other words", {"a", "b c"}, "a b c"},
        ArgumentsCase{"debug name", {"-R", "-DEBUG"}, "-R\"-DEBUG\""}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// The three ways a shell user names one file all reach the writer as that file.
TEST(CommandLineTest, ShellFormsNameTheSameFile) {
    const std::vector<std::vector<std::string>> forms = {
        {"-R/spool/job.prn", "-DEBUG"}, {"-R", "/spool/job.prn"}, {"-R\"/spool/job.prn\""}};
    for (const auto& arguments : forms) {
        const auto request = ParseTicketRequest(CommandLineFromArguments(arguments));
        EXPECT_EQ(request.OutputName, std::optional<std::string>("/spool/job.prn"));
    }
    const auto spaced = ParseTicketRequest(CommandLineFromArguments({"-R", "/spool/my job.prn"}));
    EXPECT_EQ(spaced.OutputName, std::optional<std::string>("/spool/my job.prn"));
}

} // namespace
} // namespace varnak
