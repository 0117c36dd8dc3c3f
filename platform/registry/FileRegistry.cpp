#include "platform/registry/FileRegistry.h"

#include "platform/files/PosixFile.h"
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
// As many links as the kernel follows in one path.
constexpr int MaxLinks = 40;
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

// Where the registry file's name leads. A link is followed only when the user running the job
// or the owner of the folder it lies in made it, the rule the kernel applies in shared sticky
// folders: another member of a shared group can't steer a save to a file of its choosing.
struct Location {
    fs::path Path;
    enum { Regular, Missing, Refused } State = Refused;
    std::string Why;
};

bool MayFollow(const struct stat& link, const fs::path& linkPath) {
    if (link.st_uid == ::geteuid()) {
        return true;
    }
    struct stat folder {};
    return ::stat(DirectoryOf(linkPath).c_str(), &folder) == 0 && folder.st_uid == link.st_uid;
}

Location Locate(const fs::path& file) {
    fs::path path = file;
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0) {
            if (errno == ENOENT) {
                return {path, Location::Missing, {}};
            }
            return {path, Location::Refused, SystemError("it can't be reached")};
        }
        if (S_ISREG(entry.st_mode)) {
            return {path, Location::Regular, {}};
        }
        if (!S_ISLNK(entry.st_mode)) {
            return {path, Location::Refused, "it is not a regular file"};
        }
        if (!MayFollow(entry, path)) {
            return {path, Location::Refused,
                    "it is a link made by neither this user nor the owner of its folder"};
        }
        const auto target = ReadLink(path);
        if (!target) {
            return {path, Location::Refused, SystemError("its link can't be read")};
        }
        const fs::path next(*target);
        path = next.is_absolute() ? next : DirectoryOf(path) / next;
    }
    return {path, Location::Refused, "it is a chain of too many links"};
}

bool SameIdentity(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The whole of an open regular file, when it is not larger than the limit.
enum class ReadOutcome { Ok, TooLarge, Failed };

ReadOutcome ReadAll(int fd, std::string& bytes) {
    bytes.clear();
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
    void Tell(const fs::path& file, const std::string& why);
};

Snapshot FileRegistry::Shared::Read(const fs::path& file) {
    Snapshot snapshot;
    const Location location = Locate(file);
    snapshot.Path = location.Path;
    if (location.State == Location::Missing) {
        snapshot.Status = RegSuccess;
        snapshot.File = std::make_shared<const RegFile>();
        return snapshot;
    }
    if (location.State == Location::Refused) {
        snapshot.Why = location.Why;
        return snapshot;
    }
    // Non-blocking and without following a link that appeared since: the name must still be
    // the regular file just found.
    FileDescriptor fd(
        ::open(location.Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
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
    const std::string tooLarge = "it is larger than " +
                                 std::to_string(FileRegistry::MaxFileSize >> 20) + " MiB";
    snapshot.Status = RegBadDatabase;
    if (static_cast<std::uintmax_t>(attributes.st_size) > FileRegistry::MaxFileSize) {
        snapshot.Why = tooLarge;
        return snapshot;
    }
    if (!ParsedIdentity || !SameIdentity(*ParsedIdentity, attributes)) {
        try {
            std::string bytes;
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
        snapshot.Why =
            "line " + std::to_string(ParseError.Line) + ": " + ParseError.Reason;
        return snapshot;
    }
    snapshot.Status = RegSuccess;
    snapshot.File = Parsed;
    return snapshot;
}

void FileRegistry::Shared::Tell(const fs::path& file, const std::string& why) {
    if (Settings.Diagnostics == nullptr || Told) {
        return;
    }
    Told = true;
    *Settings.Diagnostics << "varnak: the registry file " << file << " is not used: " << why
                          << '\n';
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
        ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 ||
        ::rename(temporary.c_str(), lockPath.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return FileDescriptor();
    }
    return fd;
}

// Opens the lock file, never through a link and only when it is a regular file. A link in
// its place, or a lock file this user can't open at all (left by an earlier version under a
// strict umask), is replaced by one every saver can open.
FileDescriptor OpenLockFile(const fs::path& lockPath, const LockAttributes& wanted) {
    constexpr int Flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt < 3; ++attempt) {
        FileDescriptor fd(::open(lockPath.c_str(), O_RDWR | Flags));
        if (!fd.Valid() && errno == EACCES) {
            fd = FileDescriptor(::open(lockPath.c_str(), O_RDONLY | Flags)); // flock needs no write
        }
        if (fd.Valid()) {
            struct stat attributes {};
            if (::fstat(fd.Get(), &attributes) != 0 || !S_ISREG(attributes.st_mode)) {
                return FileDescriptor();
            }
            return fd;
        }
        if (errno != ENOENT && errno != EACCES && errno != ELOOP) {
            return FileDescriptor();
        }
        if (FileDescriptor replacement = PublishLockFile(lockPath, wanted, errno != ENOENT);
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
            if (!fd.Valid() || !LockBefore(fd.Get(), deadline)) {
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
};

// The owner, group and mode the new file takes over: the old file's; for a first file, the
// folder's group, and write rights for it where the folder gives the group write rights.
void TakeOverAttributes(int fd, const fs::path& target, const std::optional<struct stat>& old) {
    if (old) {
        // A saver that may not keep the owner still keeps the group.
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            (void)::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
        }
        (void)::fchmod(fd, old->st_mode & 07777);
        return;
    }
    struct stat folder {};
    struct stat created {};
    if (::stat(DirectoryOf(target).c_str(), &folder) != 0 || ::fstat(fd, &created) != 0) {
        return;
    }
    (void)::fchown(fd, static_cast<uid_t>(-1), folder.st_gid);
    if ((folder.st_mode & S_IWGRP) != 0) {
        (void)::fchmod(fd, (created.st_mode & 07777) | S_IRGRP | S_IWGRP);
    }
}

// Writes bytes to a temporary file beside target, flushes it and renames it over target.
// Only ever called under the writers' lock, so one fixed temporary name serves and a stale
// one (from a killed writer) is replaced; never through a link planted in its place.
bool ReplaceAtomically(const fs::path& target, std::string_view bytes,
                       const std::optional<struct stat>& old) {
    const fs::path temporary = target.string() + ".tmp";
    ::unlink(temporary.c_str());
    FileDescriptor fd(::open(temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        return false;
    }
    TakeOverAttributes(fd.Get(), target, old);
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0 ||
        ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    FileDescriptor directory(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Valid()) {
        (void)::fsync(directory.Get());
    }
    return true;
}

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
    // so that per value the later writer wins and everything else survives.
    void Commit() {
        if (pending_.empty() && !create_) {
            return;
        }
        const Location location = Locate(file_);
        if (location.State == Location::Refused) {
            return;
        }
        WriterLock lock(location.Path, shared_->Settings.LockWait);
        if (!lock.Locked()) {
            return;
        }
        const Snapshot current = shared_->Read(file_);
        if (current.Status != RegSuccess || current.Path != location.Path) {
            return; // never overwrite what we can't read back
        }
        RegFile updated = *current.File;
        RegKeyData& key = updated.CreateKey(snapshot_.Path);
        for (RegValue& value : pending_) {
            key.SetValue(value.Name, value.Type, std::move(value.Data));
        }
        ReplaceAtomically(current.Path, updated.Format(), current.Attributes);
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
