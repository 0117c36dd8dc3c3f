#include "platform/registry/FileRegistry.h"

#include "platform/files/PosixFile.h"
#include "platform/files/ReplaceFile.h"
#include "platform/registry/RegFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnak::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Hive = "HKEY_LOCAL_MACHINE";
// Rights that let a key holder change something: set value, create sub-key, create link,
// delete, write DAC, write owner.
constexpr std::uint32_t WriteRights = 0x0002 | 0x0004 | 0x0020 | 0x10000 | 0x40000 | 0x80000;
constexpr auto LockPoll = std::chrono::milliseconds(10);

bool IsTextType(std::uint32_t type) {
    constexpr std::uint32_t RegMultiSz = 7;
    return type == RegSz || type == RegExpandSz || type == RegMultiSz;
}

std::string FullPath(const std::string& subKey) {
    return subKey.empty() ? std::string(Hive) : std::string(Hive) + "\\" + subKey;
}

std::string SystemError(const char* what) {
    return std::string(what) + " (" + std::strerror(errno) + ")";
}

bool SameIdentity(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The whole of an open regular file, when it is not larger than the limit.
enum class ReadOutcome { Ok, TooLarge, Failed };

ReadOutcome ReadAll(int fd, std::string& bytes) {
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return ReadOutcome::Ok;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ReadOutcome::Failed;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > FileRegistry::MaxFileSize) {
            return ReadOutcome::TooLarge;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool Accessible(const fs::path& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

// The file can be replaced: its directory takes new entries, and the file, when there is
// one, is writable to us (as it would have to be on Windows).
bool CanReplace(const fs::path& file) {
    if (!Accessible(DirectoryOf(file), W_OK | X_OK)) {
        return false;
    }
    return Accessible(file, W_OK) || errno == ENOENT;
}

// What the file held when it was last read: the state of its name and, when usable, the
// parsed contents with the attributes a replacement keeps.
struct Snapshot {
    RegStatus Status = RegAccessDenied;
    std::string Why;
    fs::path Path;
    std::optional<struct stat> Attributes; // of the existing file
    std::shared_ptr<const RegFile> File;
};

} // namespace

struct FileRegistry::Shared {
    Options Settings;
    // The last parse, reused while the file is the same.
    std::optional<struct stat> ParsedIdentity;
    std::shared_ptr<const RegFile> Parsed;
    RegParseError ParseError;
    bool Told = false;

    Snapshot Read(const fs::path& file);
    // Says once why the file is not used.
    void Tell(const fs::path& file, const std::string& why);
    // One line on the diagnostics stream: "varnak: the registry file <file> <what>".
    void Say(const fs::path& file, const std::string& what) const;
};

Snapshot FileRegistry::Shared::Read(const fs::path& file) {
    Snapshot snapshot;
    const NamedFile named = ResolveName(file);
    snapshot.Path = named.Path;
    switch (named.Is) {
    case NamedFile::Missing:
        snapshot.Status = RegSuccess;
        snapshot.File = std::make_shared<const RegFile>();
        return snapshot;
    case NamedFile::Refused:
        snapshot.Why = named.Why;
        return snapshot;
    case NamedFile::Directory:
    case NamedFile::Special:
        snapshot.Why = "it is not a regular file";
        return snapshot;
    case NamedFile::Regular:
        break;
    }
    // Non-blocking and without following a link that appeared since: the name must still be
    // the regular file just found.
    FileDescriptor fd(::open(named.Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat attributes {};
    if (!fd.Valid() || ::fstat(fd.Get(), &attributes) != 0) {
        snapshot.Why = SystemError("it can't be read");
        return snapshot;
    }
    if (!S_ISREG(attributes.st_mode)) {
        snapshot.Why = "it is not a regular file";
        return snapshot;
    }
    snapshot.Attributes = attributes;
    const std::string tooLarge =
        "it is larger than " + std::to_string(FileRegistry::MaxFileSize >> 20) + " MiB";
    snapshot.Status = RegBadDatabase;
    if (static_cast<std::uintmax_t>(attributes.st_size) > FileRegistry::MaxFileSize) {
        snapshot.Why = tooLarge;
        return snapshot;
    }
    if (!ParsedIdentity || !SameIdentity(*ParsedIdentity, attributes)) {
        try {
            std::string bytes;
            bytes.reserve(static_cast<std::size_t>(attributes.st_size));
            switch (ReadAll(fd.Get(), bytes)) {
            case ReadOutcome::Ok:
                break;
            case ReadOutcome::TooLarge:
                snapshot.Why = tooLarge;
                return snapshot;
            case ReadOutcome::Failed:
                snapshot.Status = RegAccessDenied;
                snapshot.Why = SystemError("it can't be read");
                return snapshot;
            }
            ParseError = {};
            auto parsed = RegFile::Parse(bytes, &ParseError);
            Parsed = parsed ? std::make_shared<const RegFile>(std::move(*parsed)) : nullptr;
        } catch (const std::bad_alloc&) {
            snapshot.Why = "it is too large to be held in memory";
            return snapshot;
        }
        ParsedIdentity = attributes;
    }
    if (!Parsed) {
        snapshot.Why = "line " + std::to_string(ParseError.Line) + ": " + ParseError.Reason;
        return snapshot;
    }
    snapshot.Status = RegSuccess;
    snapshot.File = Parsed;
    return snapshot;
}

void FileRegistry::Shared::Tell(const fs::path& file, const std::string& why) {
    if (!Told) {
        Told = true;
        Say(file, "is not used: " + why);
    }
}

void FileRegistry::Shared::Say(const fs::path& file, const std::string& what) const {
    if (Settings.Diagnostics != nullptr) {
        *Settings.Diagnostics << "varnak: the registry file " << file << " " << what << '\n';
    }
}

namespace {

// The mode and group a lock file gets: everyone who may replace the registry file may take
// the lock, nobody else may open it, so that a reader can't hold up every save.
struct LockAttributes {
    mode_t Mode = 0600;
    gid_t Group = static_cast<gid_t>(-1);
};

LockAttributes LockAttributesFor(const fs::path& target) {
    struct stat base {};
    if (::stat(target.c_str(), &base) != 0 && ::stat(DirectoryOf(target).c_str(), &base) != 0) {
        return {};
    }
    LockAttributes wanted;
    wanted.Mode = 0600 | ((base.st_mode & S_IWGRP) != 0 ? 0060 : 0) |
                  ((base.st_mode & S_IWOTH) != 0 ? 0006 : 0);
    wanted.Group = base.st_gid;
    return wanted;
}

// The group matters only when the group's rights differ from everybody's.
bool HasAttributes(const struct stat& file, const LockAttributes& wanted) {
    return (file.st_mode & 07777) == wanted.Mode &&
           (file.st_gid == wanted.Group || (wanted.Mode & 0006) != 0);
}

// Renames a new lock file over what stands at the lock's name. A folder there (mkdir is a
// common shell locking idiom) can't be renamed over: it is exchanged with the new file in
// one step instead, then removed when it is empty.
bool TakePlace(const std::string& temporary, const fs::path& lockPath) {
    if (::rename(temporary.c_str(), lockPath.c_str()) == 0) {
        return true;
    }
    if (errno != EISDIR || ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, lockPath.c_str(),
                                       RENAME_EXCHANGE) != 0) {
        return false;
    }
    (void)::rmdir(temporary.c_str());
    return true;
}

// Puts a lock file with the wanted attributes in place in one step, so that no other saver
// ever finds one it may not open: beside an existing one only when replace is set. A
// replacement is locked before it is put in place; its descriptor is returned.
FileDescriptor PublishLockFile(const fs::path& lockPath, const LockAttributes& wanted,
                               bool replace) {
    const std::string temporary = lockPath.string() + "." + RandomSuffix();
    FileDescriptor fd(
        ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.Valid()) {
        return FileDescriptor();
    }
    (void)::fchown(fd.Get(), static_cast<uid_t>(-1), wanted.Group);
    (void)::fchmod(fd.Get(), wanted.Mode);
    struct stat made {};
    if (!replace) {
        (void)::link(temporary.c_str(), lockPath.c_str()); // another saver's may already be there
        ::unlink(temporary.c_str());
        return FileDescriptor();
    }
    if (::fstat(fd.Get(), &made) != 0 || !HasAttributes(made, wanted) ||
        ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 || !TakePlace(temporary, lockPath)) {
        ::unlink(temporary.c_str());
        return FileDescriptor();
    }
    return fd;
}

// Opens the lock file, never through a link and only when it is a regular file. Anything
// else in its place (a link, a FIFO, a folder, a socket), or a lock file this user can't
// open at all (left by an earlier version under a strict umask), is replaced by one every
// saver can open, so that no stray entry can stop the saves.
FileDescriptor OpenLockFile(const fs::path& lockPath, const LockAttributes& wanted) {
    constexpr int Flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt < 3; ++attempt) {
        FileDescriptor fd(::open(lockPath.c_str(), O_RDWR | Flags));
        if (!fd.Valid() && errno == EACCES) {
            fd = FileDescriptor(::open(lockPath.c_str(), O_RDONLY | Flags)); // flock needs no write
        }
        bool missing = false;
        if (fd.Valid()) {
            struct stat attributes {};
            if (::fstat(fd.Get(), &attributes) != 0) {
                return FileDescriptor();
            }
            if (S_ISREG(attributes.st_mode)) {
                return fd;
            }
        } else if (errno == ENOENT) {
            missing = true;
        } else if (errno != EACCES && errno != ELOOP && errno != EISDIR && errno != ENXIO) {
            return FileDescriptor();
        }
        if (FileDescriptor replacement = PublishLockFile(lockPath, wanted, !missing);
            replacement.Valid()) {
            return replacement;
        }
    }
    return FileDescriptor();
}

// The writers' advisory lock, held while it lives; given up when another holder keeps it
// longer than the wait allows.
class WriterLock {
public:
    WriterLock(const fs::path& target, std::chrono::milliseconds wait) {
        const fs::path lockPath = target.string() + ".lock";
        const LockAttributes wanted = LockAttributesFor(target);
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (true) {
            FileDescriptor fd = OpenLockFile(lockPath, wanted);
            if (!fd.Valid()) {
                why_ = "its lock file " + lockPath.string() + " can't be used";
                return;
            }
            if (!LockBefore(fd.Get(), deadline)) {
                why_ =
                    "another save held its lock for over " + std::to_string(wait.count()) + " ms";
                return;
            }
            // Another saver may have replaced the file while we waited: then lock the new one.
            struct stat held {};
            struct stat named {};
            if (::fstat(fd.Get(), &held) == 0 && ::lstat(lockPath.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                fd_ = Repaired(std::move(fd), held, lockPath, wanted);
                return;
            }
        }
    }
    bool Locked() const { return fd_.Valid(); }
    // Why the lock was not taken.
    const std::string& Why() const { return why_; }

private:
    static bool LockBefore(int fd, std::chrono::steady_clock::time_point deadline) {
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return false;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(LockPoll);
        }
        return true;
    }

    // A lock file with other attributes than the wanted ones (one anybody may read, say, who
    // could then hold up every save) gets them: in place when it is ours, else by a
    // replacement that is locked before it takes the place of the one held.
    static FileDescriptor Repaired(FileDescriptor held, const struct stat& attributes,
                                   const fs::path& lockPath, const LockAttributes& wanted) {
        if (wanted.Group == static_cast<gid_t>(-1) || HasAttributes(attributes, wanted)) {
            return held;
        }
        if (attributes.st_uid == ::geteuid()) {
            (void)::fchown(held.Get(), static_cast<uid_t>(-1), wanted.Group);
            (void)::fchmod(held.Get(), wanted.Mode);
            return held;
        }
        FileDescriptor replacement = PublishLockFile(lockPath, wanted, true);
        return replacement.Valid() ? std::move(replacement) : std::move(held);
    }

    FileDescriptor fd_;
    std::string why_;
};

class FileRegistryKey : public RegistryKey {
public:
    FileRegistryKey(std::shared_ptr<FileRegistry::Shared> shared, fs::path file,
                    RegKeyData snapshot, bool writable, bool create)
        : shared_(std::move(shared)), file_(std::move(file)), snapshot_(std::move(snapshot)),
          writable_(writable), create_(create) {}

    ~FileRegistryKey() override {
        try {
            Commit();
        } catch (...) {
            // Closing a key reports nothing; the file keeps its old contents.
        }
    }

    RegStatus QueryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override {
        const RegValue* value = snapshot_.FindValue(name);
        if (value == nullptr) {
            return RegFileNotFound;
        }
        if (data != nullptr && size == nullptr) {
            return RegInvalidParameter;
        }
        if (type != nullptr) {
            *type = value->Type;
        }
        const auto needed = static_cast<std::uint32_t>(value->Data.size());
        if (data != nullptr && *size < needed) {
            *size = needed;
            return RegMoreData;
        }
        if (data != nullptr) {
            std::copy_n(value->Data.data(), needed, data);
            // As RegQueryValueExA does: a text stored without its NUL gets one in the buffer
            // when there is room, not counted in the size.
            if (IsTextType(value->Type) && needed > 0 && value->Data.back() != '\0' &&
                *size > needed) {
                data[needed] = 0;
            }
        }
        if (size != nullptr) {
            *size = needed;
        }
        return RegSuccess;
    }

    RegStatus SetValue(const std::string& name, std::uint32_t type, const std::uint8_t* data,
                       std::uint32_t size) override {
        if (!writable_) {
            return RegAccessDenied;
        }
        if (data == nullptr && size != 0) {
            return RegInvalidParameter;
        }
        std::string bytes(reinterpret_cast<const char*>(data), size);
        snapshot_.SetValue(name, type, bytes);
        pending_.push_back(RegValue{name, type, std::move(bytes)});
        return RegSuccess;
    }

private:
    // Re-reads the file under the lock and applies this key's changes to what is there now,
    // so that per value the later writer wins and everything else survives. A save that is
    // given up says so (the dialog itself stays silent).
    void Commit() {
        if (pending_.empty() && !create_) {
            return;
        }
        if (const std::string why = Save(); !why.empty()) {
            shared_->Say(file_, "was not updated, the choices were not saved: " + why);
        }
    }

    // Why the save was given up; empty when it was made.
    std::string Save() {
        const NamedFile named = ResolveName(file_);
        if (named.Is == NamedFile::Refused) {
            return named.Why;
        }
        WriterLock lock(named.Path, shared_->Settings.LockWait);
        if (!lock.Locked()) {
            return lock.Why();
        }
        RemoveLeftTemporaries(named.Path);
        const Snapshot current = shared_->Read(file_);
        if (current.Status != RegSuccess) {
            return current.Why; // never overwrite what we can't read back
        }
        if (current.Path != named.Path) {
            return "its name was turned into a link while it was saved";
        }
        const auto bytes =
            current.File->FormatChanged(snapshot_.Path, pending_, FileRegistry::MaxFileSize);
        if (!bytes) {
            return "it would become larger than " +
                   std::to_string(FileRegistry::MaxFileSize >> 20) + " MiB";
        }
        const ReplaceResult replaced = ReplaceFile(
            current.Path, *bytes,
            {.Old = current.Attributes ? &*current.Attributes : nullptr, .FolderGroup = true});
        if (replaced.Outcome != ReplaceOutcome::Replaced) {
            return std::string("it could not be replaced (") + std::strerror(replaced.Error) + ")";
        }
        return {};
    }

    std::shared_ptr<FileRegistry::Shared> shared_;
    fs::path file_;
    RegKeyData snapshot_;
    std::vector<RegValue> pending_;
    bool writable_;
    bool create_;
};

} // namespace

FileRegistry::FileRegistry(fs::path file, Options options)
    : file_(std::move(file)), shared_(std::make_shared<Shared>()) {
    shared_->Settings = options;
}

FileRegistry::~FileRegistry() = default;

RegStatus FileRegistry::OpenKey(const std::string& subKey, std::uint32_t access,
                                std::unique_ptr<RegistryKey>& key) {
    return Open(subKey, access, false, key);
}

RegStatus FileRegistry::CreateKey(const std::string& subKey, std::uint32_t access,
                                  std::unique_ptr<RegistryKey>& key) {
    return Open(subKey, access, true, key);
}

RegStatus FileRegistry::Open(const std::string& subKey, std::uint32_t access, bool create,
                             std::unique_ptr<RegistryKey>& key) {
    key.reset();
    const Snapshot snapshot = shared_->Read(file_);
    if (snapshot.Status != RegSuccess) {
        shared_->Tell(file_, snapshot.Why);
        return snapshot.Status;
    }
    const std::string path = FullPath(subKey);
    const bool exists = subKey.empty() || snapshot.File->KeyExists(path);
    if (!exists && !create) {
        return RegFileNotFound;
    }
    const bool wantsWrite = (access & WriteRights) != 0;
    if ((wantsWrite || !exists) && !CanReplace(snapshot.Path)) {
        return RegAccessDenied;
    }
    RegKeyData data{path, {}};
    if (const RegKeyData* listed = snapshot.File->FindKey(path)) {
        data = *listed;
    }
    key = std::make_unique<FileRegistryKey>(shared_, file_, std::move(data), wantsWrite, !exists);
    return RegSuccess;
}

} // namespace varnak::platform
