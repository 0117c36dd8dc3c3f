#include "platform/files/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace varnak::platform {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit) {
    // Non-blocking, so that opening a FIFO returns at once; only then is its kind known.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    struct stat attributes {};
    if (::fstat(fd, &attributes) == 0 && S_ISREG(attributes.st_mode)) {
        try {
            std::string read(std::min<std::size_t>(limit, static_cast<std::size_t>(
                                                              std::max<off_t>(attributes.st_size, 0))),
                             '\0');
            std::size_t filled = 0;
            bool failed = false;
            while (filled < read.size()) {
                const ssize_t got = ::read(fd, read.data() + filled, read.size() - filled);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got <= 0) {
                    failed = got < 0;
                    break; // shrunk since it was measured: what there is
                }
                filled += static_cast<std::size_t>(got);
            }
            if (!failed) {
                read.resize(filled);
                bytes = std::move(read);
            }
        } catch (const std::bad_alloc&) {
            bytes.reset();
        }
    }
    ::close(fd);
    return bytes;
}

} // namespace varnak::platform
