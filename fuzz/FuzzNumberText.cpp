// Any text: the leading-number conversion and the page-number list never crash, and the
// list is exactly the conversion of each comma-separated part.
#include "core/NumberText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto numbers = varnak::ParsePageNumberList(text);

    std::size_t index = 0;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        if (index >= numbers.size() ||
            numbers[index] != varnak::LeadingNumber(rest.substr(0, comma))) {
            std::abort();
        }
        ++index;
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    if (index != numbers.size()) {
        std::abort();
    }
    return 0;
}
