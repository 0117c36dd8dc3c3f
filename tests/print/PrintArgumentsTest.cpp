// varnak-print's command line, read in the ordinary way.
#include "print/PrintArguments.h"

#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace varnak::print {
namespace {

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
    // The options as "d=<destination> h=<server> t=<title> w=<wait> k=<keep> f=<document>",
    // or the usage error's text.
    std::string expected;
};

std::string Described(const std::variant<PrintOptions, UsageError>& parsed) {
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        return error->Message;
    }
    const auto& o = std::get<PrintOptions>(parsed);
    return "d=" + o.Destination + " h=" + o.Server + " t=" + o.JobTitle() + " w=" +
           (!o.Wait         ? "no"
            : o.WaitSeconds ? std::to_string(*o.WaitSeconds)
                            : "ever") +
           " k=" + o.KeepTicket.value_or("") + " f=" + o.Document;
}

class PrintArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(PrintArgumentsTest, ReadsTheOptionsByTheirWholeWords) {
    EXPECT_EQ(Described(ParsePrintArguments(GetParam().arguments)), GetParam().expected)
        << "case: " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PrintArgumentsTest,
    ::testing::Values(
        ArgumentsCase{"nothing", {}, "d= h= t=stdin w=no k= f=-"},
        ArgumentsCase{"everything apart",
                      {"-d", "zor", "-h", "print:631", "-t", "Q3", "--wait=5", "--keep-ticket",
                       "a.prn", "/srv/job.pdf"},
                      "d=zor h=print:631 t=Q3 w=5 k=a.prn f=/srv/job.pdf"},
        ArgumentsCase{"values in the same word",
                      {"-dzor", "-hprint", "--keep-ticket=a.prn", "x.ps"},
                      "d=zor h=print t=x.ps w=no k=a.prn f=x.ps"},
        ArgumentsCase{"a file named like an option inside",
                      {"/srv/-d/job-debug.ps"},
                      "d= h= t=job-debug.ps w=no k= f=/srv/-d/job-debug.ps"},
        ArgumentsCase{"wait without a limit", {"--wait", "-"}, "d= h= t=stdin w=ever k= f=-"},
        ArgumentsCase{"a document after the options end", {"--", "-d"}, "d= h= t=-d w=no k= f=-d"},
        ArgumentsCase{"two documents", {"a", "b"}, "varnak-print: one document at a time: b"},
        ArgumentsCase{"a value missing", {"-d"}, "varnak-print: -d needs a value"},
        ArgumentsCase{"an empty value", {"-d", ""}, "varnak-print: -d needs a value"},
        ArgumentsCase{"a wait that is no number",
                      {"--wait=soon"},
                      "varnak-print: --wait takes a number of seconds: --wait=soon"},
        ArgumentsCase{"an unknown option", {"-x"}, "varnak-print: unknown option -x"}),
    test::ByCaseName);

} // namespace
} // namespace varnak::print
