#include "platform/files/ReplaceFile.h"

#include "platform/files/PosixFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace varnak::platform {
namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows in one path.
constexpr int MaxLinks = 40;
// Written in pieces of this size, so that a write limit or a kill meets the file part-way.
constexpr std::size_t Piece = std::size_t{64} * 1024;
// A temporary name must stay within the 255 bytes a name may have.
constexpr std::size_t LongestNamePart = 200;
// The hex digits of RandomSuffix.
constexpr std::size_t SuffixLength = 16;

std::string SystemError(const char* what) {
    return std::string(what) + " (" + std::strerror(errno) + ")";
}

bool MayFollow(const struct stat& link, const fs::path& linkPath) {
    if (link.st_uid == ::geteuid()) {
        return true;
    }
    struct stat folder {};
    return ::stat(DirectoryOf(linkPath).c_str(), &folder) == 0 && folder.st_uid == link.st_uid;
}

NamedFile Found(const fs::path& path, const struct stat& entry) {
    NamedFile found{path, NamedFile::Special, entry, {}};
    if (S_ISREG(entry.st_mode)) {
        found.Is = NamedFile::Regular;
    } else if (S_ISDIR(entry.st_mode)) {
        found.Is = NamedFile::Directory;
    }
    return found;
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

void TakeOverAttributes(int fd, const fs::path& target, const ReplaceOptions& options) {
    if (options.Old != nullptr) {
        // A writer that may not keep the owner still keeps the group.
        if (::fchown(fd, options.Old->st_uid, options.Old->st_gid) != 0) {
            (void)::fchown(fd, static_cast<uid_t>(-1), options.Old->st_gid);
        }
        (void)::fchmod(fd, options.Old->st_mode & 07777);
        return;
    }
    struct stat folder {};
    struct stat created {};
    if (!options.FolderGroup || ::stat(DirectoryOf(target).c_str(), &folder) != 0 ||
        ::fstat(fd, &created) != 0) {
        return;
    }
    (void)::fchown(fd, static_cast<uid_t>(-1), folder.st_gid);
    if ((folder.st_mode & S_IWGRP) != 0) {
        (void)::fchmod(fd, (created.st_mode & 07777) | S_IRGRP | S_IWGRP);
    }
}

std::string TemporaryPrefix(const fs::path& target) {
    return "." + target.filename().string().substr(0, LongestNamePart) + ".";
}

void FlushFolder(const fs::path& directory) {
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) {
        (void)::fsync(fd.Get());
    }
}

} // namespace

NamedFile ResolveName(const fs::path& name) {
    fs::path path = name;
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0) {
            if (errno == ENOENT) {
                return {path, NamedFile::Missing, {}, {}};
            }
            return {path, NamedFile::Refused, {}, SystemError("it can't be reached")};
        }
        if (!S_ISLNK(entry.st_mode)) {
            return Found(path, entry);
        }
        if (!MayFollow(entry, path)) {
            return {path,
                    NamedFile::Refused,
                    {},
                    "it is a link made by neither this user nor the owner of its folder"};
        }
        const auto target = ReadLink(path);
        if (!target) {
            return {path, NamedFile::Refused, {}, SystemError("its link can't be read")};
        }
        const fs::path next(*target);
        path = next.is_absolute() ? next : DirectoryOf(path) / next;
    }
    return {path, NamedFile::Refused, {}, "it is a chain of too many links"};
}

ReplaceResult ReplaceFile(const fs::path& target, std::string_view bytes,
                          const ReplaceOptions& options) {
    const fs::path directory = DirectoryOf(target);
    const fs::path temporary = directory / (TemporaryPrefix(target) + RandomSuffix());
    FileDescriptor fd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        return {ReplaceOutcome::NoTemporary, errno};
    }
    TakeOverAttributes(fd.Get(), target, options);
    const bool whole = WritePieces(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    int error = errno;
    if (!fd.Close() || !whole) {
        error = whole ? errno : error;
        ::unlink(temporary.c_str());
        return {ReplaceOutcome::NotWritten, error};
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        const bool refused = error == EPERM || error == EACCES;
        return {refused ? ReplaceOutcome::RenameRefused : ReplaceOutcome::NotWritten, error};
    }
    FlushFolder(directory);
    return {ReplaceOutcome::Replaced};
}

void RemoveLeftTemporaries(const fs::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    std::error_code error;
    for (fs::directory_iterator entries(DirectoryOf(target), error), end; !error && entries != end;
         entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        const std::string_view suffix =
            std::string_view(name).substr(std::min(prefix.size(), name.size()));
        const bool ours = name.starts_with(prefix) && suffix.size() == SuffixLength &&
                          suffix.find_first_not_of("0123456789abcdef") == std::string_view::npos;
        struct stat entry {};
        if (ours && ::lstat(entries->path().c_str(), &entry) == 0 && S_ISREG(entry.st_mode)) {
            ::unlink(entries->path().c_str());
        }
    }
}

} // namespace varnak::platform
