#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnak {

// The one conversion every typed or listed number goes through: leading white space, one
// optional sign, decimal digits up to the first other character; no digits give 0, and the
// value saturates at the signed 32-bit limits. Whatever follows the digits is ignored.
std::int32_t LeadingNumber(std::string_view text);

// A comma-separated page-number list ("5,8,12"): each part converted by LeadingNumber.
// A trailing comma adds nothing; empty parts elsewhere give 0, which callers skip.
std::vector<std::int32_t> ParsePageNumberList(std::string_view text);

// The unsigned decimals of tickets and lists: no sign, 32 bits.
// The count of digits of value: 1 for 0 to 9, at most 10.
std::size_t DecimalDigits(std::uint32_t value);
// Writes value's DecimalDigits(value) digits at at; returns the end of them.
char* PutDecimal(char* at, std::uint32_t value);
// The run of decimal digits that starts text: its length and, when it fits in 32 bits, its
// value (leading zeros allowed). No digits: length 0 and no value.
struct DigitRun {
    std::size_t Length = 0;
    std::optional<std::uint32_t> Value;
};
DigitRun LeadingDigits(std::string_view text);

// Numbers are shown as unsigned decimals ("%u").
std::string FormatUnsigned(std::uint32_t value);

// Appends value as unsigned decimal without building a temporary string.
void AppendUnsigned(std::string& out, std::uint32_t value);

} // namespace varnak
