#include "platform/files/PosixFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <unistd.h>
#include <vector>

namespace varnak::platform {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void FileDescriptor::Reset() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
}

bool FileDescriptor::Close() {
    const int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<std::string> ReadLink(const std::filesystem::path& link) {
    std::vector<char> buffer(256);
    while (true) {
        const ssize_t got = ::readlink(link.c_str(), buffer.data(), buffer.size());
        if (got < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(got) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(got));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path DirectoryOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::string RandomSuffix() {
    std::random_device random;
    const std::uint64_t value = (std::uint64_t{random()} << 32) ^ random();
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

} // namespace varnak::platform
