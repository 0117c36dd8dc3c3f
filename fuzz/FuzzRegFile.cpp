// Any registry file: parsing never crashes, and what parses writes back to a text that
// parses again to exactly the same text, so a save never changes what it didn't touch.
#include "platform/registry/RegFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto parsed = varnak::platform::RegFile::Parse(bytes);
    if (!parsed) {
        return 0;
    }
    const std::string written = parsed->Format();
    const auto reparsed = varnak::platform::RegFile::Parse(written);
    if (!reparsed || reparsed->Format() != written ||
        reparsed->Keys().size() != parsed->Keys().size()) {
        std::abort();
    }
    return 0;
}
