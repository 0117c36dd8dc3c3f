#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace varnak::platform {

// The first limit bytes of a regular file (all of a smaller one). Anything that isn't a regular
// file (a FIFO, a device, a directory) counts as missing and is never waited on, so that no
// file placed in a shared folder can hang or flood the program. nullopt when missing,
// unreadable or not a regular file.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit);

} // namespace varnak::platform
