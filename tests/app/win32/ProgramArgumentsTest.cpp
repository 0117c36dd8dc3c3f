#include "app/win32/ProgramArguments.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace varnak {
namespace {

struct Case {
    const char* name;
    const char* commandLine;
    const char* arguments;
};

class ProgramArgumentsTest : public ::testing::TestWithParam<Case> {};

TEST_P(ProgramArgumentsTest, SkipsTheProgramNameAsWindowsDoes) {
    const Case& c = GetParam();
    EXPECT_EQ(ProgramArguments(c.commandLine), c.arguments) << "case: " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ProgramArgumentsTest,
    ::testing::Values(
        Case{"bare name", "varnak.exe", ""},
        Case{"name and switch", "varnak.exe -R\"C:\\a b.tkt\"", "-R\"C:\\a b.tkt\""},
        Case{"quoted name with blanks", "\"C:\\Program Files\\varnak.exe\" -DEBUG", "-DEBUG"},
        Case{"quoted name ends at its closing quote", "\"C:\\x\"y.exe -R\"a\"", "y.exe -R\"a\""},
        Case{"blanks and tabs after the name go", "varnak.exe \t  -R\"a\"  ", "-R\"a\"  "},
        Case{"the rest is unchanged", "v.exe  -R\"a\"\t-DEBUG", "-R\"a\"\t-DEBUG"},
        Case{"the next quote ends the name", "\"C:\\varnak.exe -R\"x", "x"},
        Case{"unclosed quote takes everything", "\"C:\\varnak.exe", ""}, Case{"empty", "", ""}),
    test::ByCaseName);

} // namespace
} // namespace varnak
