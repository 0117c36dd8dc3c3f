#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <limits>

namespace varnak {
namespace {

constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();

struct NumberCase {
    const char* text;
    std::int32_t expected;
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class LeadingNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumberTest, ReadsTheLeadingDecimal) {
    const auto& [text, expected] = GetParam();
    EXPECT_EQ(LeadingNumber(text), expected) << "case: \"" << text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    testing::Values(NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{"3abc", 3},
                    NumberCase{"  42", 42}, NumberCase{"\t\n\v\f\r7", 7}, NumberCase{"+4", 4},
                    NumberCase{"-3", -3}, NumberCase{"12.mac", 12}, NumberCase{"007", 7},
                    NumberCase{"000000000000000000000012", 12}, NumberCase{"2147483647", Max},
                    NumberCase{"2147483648", Max}, NumberCase{"99999999999", Max},
                    NumberCase{"-2147483648", Min}, NumberCase{"-99999999999999999999", Min},
                    NumberCase{"- 5", 0}, NumberCase{"+-5", 0}, NumberCase{"5 6", 5},
                    NumberCase{"\xff" "1", 0}));

struct ListCase {
    const char* text;
    std::vector<std::int32_t> expected;
};

void PrintTo(const ListCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class PageNumberListTest : public testing::TestWithParam<ListCase> {};

TEST_P(PageNumberListTest, SplitsAtCommas) {
    const auto& [text, expected] = GetParam();
    EXPECT_EQ(ParsePageNumberList(text), expected) << "case: \"" << text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PageNumberListTest,
    testing::Values(ListCase{"5,8,12", {5, 8, 12}}, ListCase{"5,,8", {5, 0, 8}},
                    ListCase{",5", {0, 5}}, ListCase{"5,", {5}}, ListCase{"5-9", {5}},
                    ListCase{"x", {0}}, ListCase{" 7", {7}}, ListCase{"", {}},
                    ListCase{",", {0}}, ListCase{"8,5,8", {8, 5, 8}}, ListCase{"-2", {-2}},
                    ListCase{"1,2,", {1, 2}}));

TEST(FormatUnsignedTest, WritesTheFullUnsignedRange) {
    EXPECT_EQ(FormatUnsigned(0), "0");
    EXPECT_EQ(FormatUnsigned(25997), "25997");
    EXPECT_EQ(FormatUnsigned(4294967294u), "4294967294");
}

} // namespace
} // namespace varnak
