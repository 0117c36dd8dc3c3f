#pragma once

#include <string>
#include <string_view>

namespace varnak::platform {

enum class WholeFileResult {
    Written,      // all of it is on disk under the name
    CannotCreate, // nothing was written; the name holds what it held
    CannotWrite,  // it could not be written whole; the name holds what it held
};

// Puts bytes under name so that, at every instant, the name holds either what it held before
// or all of the new bytes: they go to a hidden temporary file beside it, which is flushed to
// disk and then renamed over the name. A name that is a link gets the new contents at the
// link's target; an existing file keeps its permissions (on Windows its attributes; on POSIX
// also its group, and its owner where the process may set them). A read-only file is not replaced. Names of devices and FIFOs (a
// pipeline's /dev/stdout, NUL) are written directly, and so, as before, is an existing
// writable file in a folder that takes no new files.
WholeFileResult WriteWholeFile(const std::string& name, std::string_view bytes);

} // namespace varnak::platform
