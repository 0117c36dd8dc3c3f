#include "platform/files/RegularFile.h"

#include <algorithm>
#include <new>
#include <windows.h>

namespace varnak::platform {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    // Devices and pipes are no files on disk; a directory can't be opened this way.
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0) {
        try {
            std::string read(static_cast<std::size_t>(
                                 std::min<unsigned long long>(limit, size.QuadPart)),
                             '\0');
            std::size_t filled = 0;
            bool failed = false;
            while (filled < read.size()) {
                DWORD got = 0;
                const DWORD chunk = static_cast<DWORD>(
                    std::min<std::size_t>(read.size() - filled, 1u << 20));
                if (!ReadFile(file, read.data() + filled, chunk, &got, nullptr)) {
                    failed = true;
                    break;
                }
                if (got == 0) {
                    break;
                }
                filled += got;
            }
            if (!failed) {
                read.resize(filled);
                bytes = std::move(read);
            }
        } catch (const std::bad_alloc&) {
            bytes.reset();
        }
    }
    CloseHandle(file);
    return bytes;
}

} // namespace varnak::platform
