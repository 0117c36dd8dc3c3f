#pragma once

#include <string>
#include <string_view>

namespace varnak::platform {

// UTF-16LE bytes to UTF-8: an odd last byte is dropped and an unpaired surrogate becomes
// U+FFFD, so that any bytes at all give valid text.
std::string Utf16LeToUtf8(std::string_view bytes);

} // namespace varnak::platform
