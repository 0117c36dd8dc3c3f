#include "platform/files/WholeFile.h"

#include "platform/files/PosixFile.h"
#include "platform/files/ReplaceFile.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace varnak::platform {
namespace {

namespace fs = std::filesystem;

// Devices, FIFOs and terminals can't be flushed, and need not be.
bool Flush(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

WholeFileResult WriteAndFlush(int fd, std::string_view bytes) {
    return WriteAll(fd, bytes) && Flush(fd) ? WholeFileResult::Written
                                            : WholeFileResult::CannotWrite;
}

// The descriptor a name stands for when it names one of the program's own (a pipeline's
// /dev/stdout): written through as it is, whatever it is connected to, rather than opened by
// a name that the kernel resolves to a pipe or to a file that a rename would replace.
std::optional<int> OwnDescriptor(std::string_view name) {
    if (name == "/dev/stdin") {
        return 0;
    }
    if (name == "/dev/stdout") {
        return 1;
    }
    if (name == "/dev/stderr") {
        return 2;
    }
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!name.starts_with(prefix)) {
            continue;
        }
        const std::string_view digits = name.substr(prefix.size());
        int fd = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty() &&
            digits.front() != '+' && digits.front() != '-') {
            return fd;
        }
    }
    return std::nullopt;
}

WholeFileResult WriteThrough(int fd, std::string_view bytes) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
        return WholeFileResult::CannotCreate;
    }
    return WriteAndFlush(fd, bytes);
}

// Opens what is already there without creating anything, never through a link, and without
// waiting: a FIFO without a reader is refused at once instead of blocking the dialog.
FileDescriptor OpenExisting(const fs::path& path) {
    FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.Valid()) {
        const int flags = ::fcntl(fd.Get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
            return FileDescriptor();
        }
    }
    return fd;
}

// A FIFO, a device or a terminal: written as it is.
WholeFileResult WriteToSpecial(const fs::path& path, std::string_view bytes) {
    FileDescriptor fd = OpenExisting(path);
    struct stat opened {};
    if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0 || S_ISREG(opened.st_mode)) {
        return WholeFileResult::CannotCreate; // no reader, or replaced by a file meanwhile
    }
    const WholeFileResult result = WriteAndFlush(fd.Get(), bytes);
    return fd.Close() ? result : WholeFileResult::CannotWrite;
}

// An existing writable ticket where no new file can take its place: a folder that takes no
// new files, or a sticky folder whose ticket belongs to another user. The name then holds a
// part of the new ticket while it is written.
WholeFileResult WriteInPlace(const fs::path& path, std::string_view bytes) {
    FileDescriptor fd = OpenExisting(path);
    struct stat opened {};
    if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
        return WholeFileResult::CannotCreate;
    }
    if (::ftruncate(fd.Get(), 0) != 0) {
        return WholeFileResult::CannotWrite;
    }
    const WholeFileResult result = WriteAndFlush(fd.Get(), bytes);
    return fd.Close() ? result : WholeFileResult::CannotWrite;
}

} // namespace

WholeFileResult WriteWholeFile(const std::string& name, std::string_view bytes) {
    if (name.empty()) {
        return WholeFileResult::CannotCreate;
    }
    if (const auto fd = OwnDescriptor(name)) {
        return WriteThrough(*fd, bytes);
    }
    const NamedFile named = ResolveName(name);
    switch (named.Is) {
    case NamedFile::Refused:
    case NamedFile::Directory:
        return WholeFileResult::CannotCreate;
    case NamedFile::Special:
        return WriteToSpecial(named.Path, bytes);
    case NamedFile::Regular:
        if (::access(named.Path.c_str(), W_OK) != 0) {
            return WholeFileResult::CannotCreate; // a read-only ticket stays as it is
        }
        break;
    case NamedFile::Missing:
        break;
    }
    const bool exists = named.Is == NamedFile::Regular;
    const ReplaceResult result =
        ReplaceFile(named.Path, bytes, {.Old = exists ? &named.Attributes : nullptr});
    switch (result.Outcome) {
    case ReplaceOutcome::Replaced:
        return WholeFileResult::Written;
    case ReplaceOutcome::NoTemporary:
        if (exists && (result.Error == EACCES || result.Error == EPERM)) {
            return WriteInPlace(named.Path, bytes);
        }
        return WholeFileResult::CannotCreate;
    case ReplaceOutcome::RenameRefused:
        return exists ? WriteInPlace(named.Path, bytes) : WholeFileResult::CannotCreate;
    case ReplaceOutcome::NotWritten:
        break;
    }
    return WholeFileResult::CannotWrite;
}

} // namespace varnak::platform
