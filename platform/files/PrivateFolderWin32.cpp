#include "platform/files/PrivateFolder.h"

#include <random>

#include <windows.h>

namespace varnak::platform {

std::optional<std::filesystem::path> MakePrivateFolder(const std::string& prefix) {
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH) {
        return std::nullopt;
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        // The user's temporary folder is the user's own; a name nobody can guess keeps
        // another process of the user's from taking it first.
        const std::filesystem::path folder =
            std::filesystem::path(base) /
            (prefix + "-" + std::to_string(random()) + std::to_string(random()));
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace varnak::platform
