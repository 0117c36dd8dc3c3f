#pragma once

#include <cstdint>
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

// Numbers are shown as unsigned decimals ("%u").
std::string FormatUnsigned(std::uint32_t value);

// Appends value as unsigned decimal without building a temporary string.
void AppendUnsigned(std::string& out, std::uint32_t value);

} // namespace varnak
