#pragma once

// POSIX only: the small file-descriptor tools the file-backed services share.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace varnak::platform {

// Closes a descriptor on every path.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset();
    // Closes now: false when the close reports an error (a late write error, say).
    bool Close();

private:
    int fd_;
};

// Writes all of bytes, resuming after interruptions; false on the first error.
bool WriteAll(int fd, std::string_view bytes);

// The text a symbolic link holds; nullopt when it can't be read.
std::optional<std::string> ReadLink(const std::filesystem::path& link);

// The directory a file name lies in: "." for a bare name.
std::filesystem::path DirectoryOf(const std::filesystem::path& file);

// Sixteen random hex digits, for names of temporary files nobody can guess.
std::string RandomSuffix();

} // namespace varnak::platform
