#include "platform/files/PrivateFolder.h"

#include <cstdlib>
#include <stdlib.h>

namespace varnak::platform {

std::optional<std::filesystem::path> MakePrivateFolder(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + ".XXXXXX";
    // mkdtemp makes it with mode 0700, under a name nobody can guess.
    if (::mkdtemp(pattern.data()) == nullptr) {
        return std::nullopt;
    }
    return std::filesystem::path(pattern);
}

} // namespace varnak::platform
