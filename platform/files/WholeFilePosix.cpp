#include "platform/files/WholeFile.h"

#include "platform/files/PosixFile.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace varnak::platform {
namespace {

namespace fs = std::filesystem;

constexpr int MaxLinks = 40;
// Written in pieces of this size, so that a write limit or a kill meets the file part-way.
constexpr std::size_t Piece = std::size_t{64} * 1024;
// A temporary name must stay within the 255 bytes a name may have.
constexpr std::size_t LongestNamePart = 200;

// The name a chain of links ends at; nullopt for a loop.
std::optional<fs::path> FollowLinks(fs::path path) {
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) {
            return path;
        }
        const auto target = ReadLink(path);
        if (!target) {
            return std::nullopt;
        }
        const fs::path next(*target);
        path = next.is_absolute() ? next : DirectoryOf(path) / next;
    }
    return std::nullopt;
}

bool WritePieces(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const std::string_view piece = bytes.substr(0, Piece);
        if (!WriteAll(fd, piece)) {
            return false;
        }
        bytes.remove_prefix(piece.size());
    }
    return true;
}

// Devices and FIFOs can't be flushed, and need not be.
bool Flush(int fd) { return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP; }

WholeFileResult WriteDirectly(const fs::path& path, std::string_view bytes, bool truncate) {
    FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (truncate ? O_TRUNC : 0)));
    if (!fd.Valid()) {
        return WholeFileResult::CannotCreate;
    }
    const bool whole = WritePieces(fd.Get(), bytes) && Flush(fd.Get());
    return fd.Close() && whole ? WholeFileResult::Written : WholeFileResult::CannotWrite;
}

// What the new file takes over from the one it replaces.
void TakeOver(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    (void)::fchmod(fd, old.st_mode & 07777);
}

bool FlushDirectory(const fs::path& directory) {
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Valid() && Flush(fd.Get());
}

} // namespace

WholeFileResult WriteWholeFile(const std::string& name, std::string_view bytes) {
    if (name.empty()) {
        return WholeFileResult::CannotCreate;
    }
    const auto target = FollowLinks(name);
    if (!target) {
        return WholeFileResult::CannotCreate;
    }
    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return WholeFileResult::CannotCreate; // a name too long, a folder that is a file, ...
    }
    if (exists && S_ISDIR(old.st_mode)) {
        return WholeFileResult::CannotCreate;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return WriteDirectly(*target, bytes, false);
    }
    if (exists && ::access(target->c_str(), W_OK) != 0) {
        return WholeFileResult::CannotCreate; // a read-only ticket stays as it is
    }

    const fs::path directory = DirectoryOf(*target);
    const std::string base = target->filename().string().substr(0, LongestNamePart);
    const fs::path temporary = directory / ("." + base + "." + RandomSuffix());
    FileDescriptor fd(::open(temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        if (exists && (errno == EACCES || errno == EPERM)) {
            return WriteDirectly(*target, bytes, true);
        }
        return WholeFileResult::CannotCreate;
    }
    if (exists) {
        TakeOver(fd.Get(), old);
    }
    const bool whole = WritePieces(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    if (!fd.Close() || !whole || ::rename(temporary.c_str(), target->c_str()) != 0) {
        ::unlink(temporary.c_str());
        return WholeFileResult::CannotWrite;
    }
    return FlushDirectory(directory) ? WholeFileResult::Written : WholeFileResult::CannotWrite;
}

} // namespace varnak::platform
