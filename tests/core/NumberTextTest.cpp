#include "core/NumberText.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <limits>

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

TEST(FormatUnsignedTest, WritesTheFullUnsignedRange) {
    EXPECT_EQ(FormatUnsigned(0), "0");
    EXPECT_EQ(FormatUnsigned(25997), "25997");
    EXPECT_EQ(FormatUnsigned(4294967294u), "4294967294");
}

} // namespace
} // namespace varnak
