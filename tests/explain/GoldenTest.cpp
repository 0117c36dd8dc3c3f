// The reports of the worked examples against their golden files, one per format in the
// formats' table, and the manual against the table's flags.
#include "explain/Reports.h"
#include "explain/TicketDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

namespace varnak {
namespace {

namespace fs = std::filesystem;

const fs::path Golden = fs::path(VARNAK_SOURCE_DIR) / "tests/explain/golden";

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool IsFormat(const std::string& extension) {
    return std::ranges::any_of(ReportFormats, [&](const ReportFormat& format) {
        return "." + std::string(format.Extension) == extension;
    });
}

TEST(GoldenTest, EachReportOfEachExampleIsItsGoldenFile) {
    int tickets = 0;
    for (const auto& entry : fs::directory_iterator(Golden)) {
        const fs::path& file = entry.path();
        if (file.extension() != ".prn") {
            EXPECT_TRUE(IsFormat(file.extension().string())) << file << " is no format's";
            continue;
        }
        ++tickets;
        const DecodeResult result = DecodeTicket(Contents(file));
        ASSERT_TRUE(std::holds_alternative<DecodedTicket>(result)) << file;
        for (const ReportFormat& format : ReportFormats) {
            const fs::path golden = fs::path(file).replace_extension(format.Extension);
            ASSERT_TRUE(fs::exists(golden)) << golden;
            EXPECT_EQ(format.Explain(std::get<DecodedTicket>(result)), Contents(golden)) << golden;
        }
    }
    EXPECT_EQ(tickets, 2) << "the two worked examples";
}

TEST(GoldenTest, TheManualNamesEveryFlag) {
    const std::string manual = Contents(fs::path(VARNAK_SOURCE_DIR) / "docs/man/varnak-explain.1");
    for (const ReportFormat& format : ReportFormats) {
        std::string flag = format.Flag.empty() ? "(none)" : "";
        for (const char c : format.Flag) {
            flag += c == '-' ? std::string("\\-") : std::string(1, c);
        }
        EXPECT_NE(manual.find(".B " + flag + "\n"), std::string::npos) << format.Flag;
    }
}

} // namespace
} // namespace varnak
