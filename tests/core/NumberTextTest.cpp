#include "core/NumberText.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace varnak {
namespace {

constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();

struct NumberCase {
    const char* name;
    const char* text;
    std::int32_t expected;
};

void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class LeadingNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumberTest, ReadsTheLeadingDecimal) {
    const auto& [name, text, expected] = GetParam();
    EXPECT_EQ(LeadingNumber(text), expected) << "case: \"" << text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    testing::Values(NumberCase{"empty", "", 0}, NumberCase{"letters", "abc", 0},
                    NumberCase{"number then letters", "3abc", 3},
                    NumberCase{"leading blanks", "  42", 42},
                    NumberCase{"leading white space", "\t\n\v\f\r7", 7},
                    NumberCase{"plus sign", "+4", 4}, NumberCase{"minus sign", "-3", -3},
                    NumberCase{"file name", "12.mac", 12}, NumberCase{"leading zeros", "007", 7},
                    NumberCase{"many leading zeros", "000000000000000000000012", 12},
                    NumberCase{"largest", "2147483647", Max},
                    NumberCase{"one above the largest", "2147483648", Max},
                    NumberCase{"far above the largest", "99999999999", Max},
                    NumberCase{"smallest", "-2147483648", Min},
                    NumberCase{"far below the smallest", "-99999999999999999999", Min},
                    NumberCase{"blank after the sign", "- 5", 0}, NumberCase{"two signs", "+-5", 0},
                    NumberCase{"two numbers", "5 6", 5},
                    NumberCase{"non ASCII byte first",
                               "\xff"
                               "1",
                               0}),
    test::ByCaseName);

struct ListCase {
    const char* name;
    const char* text;
    std::vector<std::int32_t> expected;
};

void PrintTo(const ListCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class PageNumberListTest : public testing::TestWithParam<ListCase> {};

TEST_P(PageNumberListTest, SplitsAtCommas) {
    const auto& [name, text, expected] = GetParam();
    EXPECT_EQ(ParsePageNumberList(text), expected) << "case: \"" << text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PageNumberListTest,
    testing::Values(ListCase{"three pages", "5,8,12", {5, 8, 12}},
                    ListCase{"empty between commas", "5,,8", {5, 0, 8}},
                    ListCase{"leading comma", ",5", {0, 5}}, ListCase{"trailing comma", "5,", {5}},
                    ListCase{"range", "5-9", {5}}, ListCase{"letter", "x", {0}},
                    ListCase{"leading blank", " 7", {7}}, ListCase{"empty", "", {}},
                    ListCase{"only a comma", ",", {0}},
                    ListCase{"repeated page", "8,5,8", {8, 5, 8}}, ListCase{"negative", "-2", {-2}},
                    ListCase{"two then a trailing comma", "1,2,", {1, 2}}),
    test::ByCaseName);

// Every count of digits at both of its ends: counted, written and read back the same.
TEST(DecimalTest, EveryLengthIsCountedWrittenAndReadBack) {
    std::vector<std::uint32_t> values{0, std::numeric_limits<std::uint32_t>::max()};
    for (std::uint64_t ten = 10; ten <= 1000000000; ten *= 10) {
        values.push_back(static_cast<std::uint32_t>(ten - 1));
        values.push_back(static_cast<std::uint32_t>(ten));
    }
    for (const std::uint32_t value : values) {
        const std::string expected = std::to_string(value);
        char buffer[10];
        EXPECT_EQ(DecimalDigits(value), expected.size()) << value;
        EXPECT_EQ(std::string(buffer, PutDecimal(buffer, value)), expected);
        EXPECT_EQ(FormatUnsigned(value), expected);
        const DigitRun run = LeadingDigits(expected + ";");
        EXPECT_EQ(run.Length, expected.size()) << value;
        EXPECT_EQ(run.Value, value);
    }
}

struct DigitRunCase {
    const char* name;
    const char* text;
    std::size_t length;
    std::optional<std::uint32_t> value;
};

void PrintTo(const DigitRunCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class LeadingDigitsTest : public testing::TestWithParam<DigitRunCase> {};

TEST_P(LeadingDigitsTest, MeasuresTheRunAndReadsWhatFits) {
    const auto& [name, text, length, value] = GetParam();
    const DigitRun run = LeadingDigits(text);
    EXPECT_EQ(run.Length, length) << "case: \"" << text << "\"";
    EXPECT_EQ(run.Value, value) << "case: \"" << text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingDigitsTest,
    testing::Values(
        DigitRunCase{"empty", "", 0, std::nullopt}, DigitRunCase{"letter", "x1", 0, std::nullopt},
        DigitRunCase{"minus", "-1", 0, std::nullopt}, DigitRunCase{"plus", "+1", 0, std::nullopt},
        DigitRunCase{"blank first", " 1", 0, std::nullopt},
        DigitRunCase{"leading zeros", "007;", 3, 7},
        DigitRunCase{"one above 32 bits", "4294967296", 10, std::nullopt},
        DigitRunCase{"far above 32 bits", "123456789012345678901234567890I", 30, std::nullopt},
        DigitRunCase{"two numbers", "12 3", 2, 12}),
    test::ByCaseName);

} // namespace
} // namespace varnak
