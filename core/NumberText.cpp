#include "core/NumberText.h"

#include <charconv>
#include <limits>

namespace varnak {
namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::int32_t LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsWhiteSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulate the magnitude in 64 bits and stop growing once past the limit, so any
    // number of digits is read without overflow.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + (text[pos] - '0');
        }
    }
    if (negative) {
        return magnitude >= limit ? std::numeric_limits<std::int32_t>::min()
                                  : static_cast<std::int32_t>(-magnitude);
    }
    return magnitude >= limit ? std::numeric_limits<std::int32_t>::max()
                              : static_cast<std::int32_t>(magnitude);
}

std::vector<std::int32_t> ParsePageNumberList(std::string_view text) {
    std::vector<std::int32_t> numbers;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        numbers.push_back(LeadingNumber(text.substr(0, comma)));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return numbers;
}

std::size_t DecimalDigits(std::uint32_t value) {
    std::size_t digits = 1;
    for (; value >= 10; value /= 10) {
        ++digits;
    }
    return digits;
}

char* PutDecimal(char* at, std::uint32_t value) {
    return std::to_chars(at, at + DecimalDigits(value), value).ptr;
}

DigitRun LeadingDigits(std::string_view text) {
    std::uint32_t value = 0;
    // Beyond 32 bits it still ends past the digits: the run's length is known either way.
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::invalid_argument) {
        return {};
    }
    return {static_cast<std::size_t>(end - text.data()),
            error == std::errc{} ? std::optional(value) : std::nullopt};
}

void AppendUnsigned(std::string& out, std::uint32_t value) {
    char digits[10];
    out.append(digits, PutDecimal(digits, value));
}

std::string FormatUnsigned(std::uint32_t value) {
    std::string text;
    AppendUnsigned(text, value);
    return text;
}

} // namespace varnak
