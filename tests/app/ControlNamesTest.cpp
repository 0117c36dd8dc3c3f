// Every control id of ControlIds.h can be named in a script, by the name it has there.
#include "ui/ControlNames.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

namespace varnak {
namespace {

TEST(ControlNames, EveryControlIdIsNamedAsInItsHeader) {
    const std::string header =
        test::ReadFileBytes(std::filesystem::path(VARNAK_SOURCE_DIR) / "ui/ControlIds.h");
    const std::regex declaration(R"(inline constexpr int (IDC_\w+) = (\d+);)");
    std::size_t declared = 0;
    for (std::sregex_iterator it(header.begin(), header.end(), declaration), end; it != end;
         ++it, ++declared) {
        EXPECT_EQ(ids::ControlNamed((*it)[1].str()), std::stoi((*it)[2].str())) << (*it)[1];
    }
    EXPECT_EQ(std::size(ids::ControlNames), declared);
}

} // namespace
} // namespace varnak
