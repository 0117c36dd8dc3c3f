#pragma once

#include <string>
#include <string_view>

namespace varnak::platform {

// UTF-16LE bytes to UTF-8: an odd last byte is dropped and an unpaired surrogate becomes
// U+FFFD, so that any bytes at all give valid text.
std::string Utf16LeToUtf8(std::string_view bytes);

// The offset of the first byte of UTF-16LE that Utf16LeToUtf8 can't carry exactly (an
// unpaired surrogate, an odd last byte); npos when there is none.
std::size_t InvalidUtf16LeAt(std::string_view bytes);

} // namespace varnak::platform
