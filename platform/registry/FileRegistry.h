#pragma once

#include "platform/registry/Registry.h"

#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <memory>

namespace varnak::platform {

// HKEY_LOCAL_MACHINE kept in one registry file in the registry editor's export format
// (REGEDIT4), for platforms without a registry. Several operators may share the file.
//
// Access follows the file's permissions: an open asking for write rights fails unless the
// process could replace the file. What is set through a key reaches the file when the key is
// closed, in one atomic replace made under an advisory lock ("<file>.lock") after re-reading
// the file, so that concurrent writers lose none of each other's values. The replaced file
// keeps its group and mode. A file that can't be used is never written: one that can't be
// parsed, is larger than MaxFileSize, isn't a regular file, or is a link that neither the
// user nor the owner of its folder made. A save that can't take the lock within the lock wait
// is given up.
class FileRegistry : public Registry {
public:
    static constexpr std::uintmax_t MaxFileSize = 64u << 20;

    struct Options {
        std::chrono::milliseconds LockWait = std::chrono::seconds(3);
        // Where one line says why the file is not used, the first time it isn't; none: silent.
        std::ostream* Diagnostics = nullptr;
    };

    explicit FileRegistry(std::filesystem::path file) : FileRegistry(std::move(file), Options{}) {}
    FileRegistry(std::filesystem::path file, Options options);
    ~FileRegistry() override;

    RegStatus OpenKey(const std::string& subKey, std::uint32_t access,
                      std::unique_ptr<RegistryKey>& key) override;
    RegStatus CreateKey(const std::string& subKey, std::uint32_t access,
                        std::unique_ptr<RegistryKey>& key) override;

    const std::filesystem::path& File() const { return file_; }

    // What the file and its keys share: the last parse, the options, the diagnostics said.
    struct Shared;

private:
    RegStatus Open(const std::string& subKey, std::uint32_t access, bool create,
                   std::unique_ptr<RegistryKey>& key);

    std::filesystem::path file_;
    std::shared_ptr<Shared> shared_;
};

} // namespace varnak::platform
