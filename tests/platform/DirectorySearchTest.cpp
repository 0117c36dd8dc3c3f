#include "platform/files/DirectorySearch.h"

#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace varnak::platform {
namespace {

TEST(DirectorySearch, YieldsMatchesInNtfsOrder) {
    test::TempDir directory;
    for (const char* name : {"b.mac", "A.MAC", "_x.mac", "10.mac", "9.mac", "c.txt", "d.mac.bak"}) {
        test::WriteFileBytes(directory.Path() / name, "");
    }
    EXPECT_EQ(FindFiles(directory.Path().string() + "/*.mac"),
              (std::vector<std::string>{"10.mac", "9.mac", "A.MAC", "b.mac", "_x.mac"}))
        << "letters compare as capitals, so '_' comes after them";
}

TEST(DirectorySearch, AMissingDirectoryYieldsNothing) {
    test::TempDir directory;
    EXPECT_TRUE(FindFiles(directory.Path().string() + "/missing/*.mac").empty());
}

struct MatchCase {
    const char* name;
    const char* Pattern;
    const char* Name;
    bool Matches;
    friend void PrintTo(const MatchCase& value, std::ostream* out) {
        *out << value.Pattern << " " << value.Name;
    }
};

class WildcardTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardTest, MatchesWholeNamesIgnoringCase) {
    EXPECT_EQ(WildcardMatch(GetParam().Pattern, GetParam().Name), GetParam().Matches)
        << GetParam().Pattern << " vs " << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WildcardTest,
    ::testing::Values(MatchCase{"star", "*.mac", "12.mac", true},
                      MatchCase{"other letter case", "*.mac", "12.MaC", true},
                      MatchCase{"star matches nothing", "*.mac", ".mac", true},
                      MatchCase{"more after the extension", "*.mac", "12.mac.txt", false},
                      MatchCase{"shorter extension", "*.mac", "12.ma", false},
                      MatchCase{"extension twice", "*.mac", "a.mac.mac", true},
                      MatchCase{"question mark", "?.mac", "1.mac", true},
                      MatchCase{"question mark is one character", "?.mac", "12.mac", false},
                      MatchCase{"star alone on empty", "*", "", true}),
    test::ByCaseName);

} // namespace
} // namespace varnak::platform
