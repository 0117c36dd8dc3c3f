#include "platform/registry/FileRegistry.h"

#include "platform/registry/RegFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnak::platform {
namespace {

constexpr std::string_view Hive = "HKEY_LOCAL_MACHINE";

// Rights that let a key holder change something: set value, create sub-key, create link,
// delete, write DAC, write owner.
constexpr std::uint32_t WriteRights = 0x0002 | 0x0004 | 0x0020 | 0x10000 | 0x40000 | 0x80000;

bool IsTextType(std::uint32_t type) {
    constexpr std::uint32_t RegMultiSz = 7;
    return type == RegSz || type == RegExpandSz || type == RegMultiSz;
}

std::string FullPath(const std::string& subKey) {
    return subKey.empty() ? std::string(Hive) : std::string(Hive) + "\\" + subKey;
}

// Closes a descriptor on every path.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Unreadable };

ReadResult ReadWhole(const std::filesystem::path& path, std::string& bytes) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
    }
    bytes.clear();
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got == 0) {
            return ReadResult::Ok;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ReadResult::Unreadable;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
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

std::filesystem::path DirectoryOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

bool Accessible(const std::filesystem::path& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

// The file can be replaced: its directory takes new entries, and the file, when there is
// one, is writable to us (as it would have to be on Windows).
bool CanReplace(const std::filesystem::path& file) {
    if (!Accessible(DirectoryOf(file), W_OK | X_OK)) {
        return false;
    }
    return Accessible(file, W_OK) || errno == ENOENT;
}

// Writes bytes to a temporary file beside target, flushes it and renames it over target,
// keeping the old file's permissions and owner. Only ever called under the writers' lock,
// so one fixed temporary name serves and a stale one (from a killed writer) is replaced.
bool ReplaceAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const std::filesystem::path temporary = target.string() + ".tmp";
    ::unlink(temporary.c_str());
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        return false;
    }
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        (void)::fchown(fd.Get(), old.st_uid, old.st_gid);
        (void)::fchmod(fd.Get(), old.st_mode & 07777);
    }
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

// The writers' advisory lock, held while it lives.
class WriterLock {
public:
    explicit WriterLock(const std::filesystem::path& file)
        : fd_(OpenLockFile(file.string() + ".lock")) {
        if (!fd_.Valid()) {
            return;
        }
        int result;
        do {
            result = ::flock(fd_.Get(), LOCK_EX);
        } while (result != 0 && errno == EINTR);
        locked_ = result == 0;
    }
    bool Locked() const { return locked_; }

private:
    static int OpenLockFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        // A lock file made by another user may be read-only to us; flock needs no write mode.
        return fd >= 0 ? fd : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }

    FileDescriptor fd_;
    bool locked_ = false;
};

class FileRegistryKey : public RegistryKey {
public:
    FileRegistryKey(std::filesystem::path file, RegKeyData snapshot, bool writable, bool create)
        : file_(std::move(file)), snapshot_(std::move(snapshot)), writable_(writable),
          create_(create) {}

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
        const std::filesystem::path target = std::filesystem::weakly_canonical(file_);
        WriterLock lock(target);
        if (!lock.Locked()) {
            return;
        }
        std::string bytes;
        std::optional<RegFile> current;
        switch (ReadWhole(target, bytes)) {
        case ReadResult::Ok:
            current = RegFile::Parse(bytes);
            break;
        case ReadResult::Missing:
            current = RegFile{};
            break;
        case ReadResult::Unreadable:
            return;
        }
        if (!current) {
            return; // never overwrite what we can't read back
        }
        RegKeyData& key = current->CreateKey(snapshot_.Path);
        for (RegValue& value : pending_) {
            key.SetValue(value.Name, value.Type, std::move(value.Data));
        }
        ReplaceAtomically(target, current->Format());
    }

    std::filesystem::path file_;
    RegKeyData snapshot_;
    std::vector<RegValue> pending_;
    bool writable_;
    bool create_;
};

} // namespace

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
    std::string bytes;
    std::optional<RegFile> file;
    switch (ReadWhole(file_, bytes)) {
    case ReadResult::Ok:
        file = RegFile::Parse(bytes);
        if (!file) {
            return RegBadDatabase;
        }
        break;
    case ReadResult::Missing:
        file = RegFile{};
        break;
    case ReadResult::Unreadable:
        return RegAccessDenied;
    }
    const std::string path = FullPath(subKey);
    const bool exists = subKey.empty() || file->KeyExists(path);
    if (!exists && !create) {
        return RegFileNotFound;
    }
    const bool wantsWrite = (access & WriteRights) != 0;
    if ((wantsWrite || !exists) && !CanReplace(file_)) {
        return RegAccessDenied;
    }
    RegKeyData snapshot{path, {}};
    if (const RegKeyData* listed = file->FindKey(path)) {
        snapshot = *listed;
    }
    key = std::make_unique<FileRegistryKey>(file_, std::move(snapshot), wantsWrite, !exists);
    return RegSuccess;
}

} // namespace varnak::platform
