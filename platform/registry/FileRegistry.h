#pragma once

#include "platform/registry/Registry.h"

#include <filesystem>

namespace varnak::platform {

// HKEY_LOCAL_MACHINE kept in one registry file in the registry editor's export format
// (REGEDIT4), for platforms without a registry.
//
// Access follows the file's permissions: an open asking for write rights fails unless the
// process could replace the file. What is set through a key reaches the file when the key is
// closed, in one atomic replace made under an advisory lock ("<file>.lock") after re-reading
// the file, so that concurrent writers lose none of each other's values. A file that can't be
// parsed fails every open and is never overwritten.
class FileRegistry : public Registry {
public:
    explicit FileRegistry(std::filesystem::path file) : file_(std::move(file)) {}

    RegStatus OpenKey(const std::string& subKey, std::uint32_t access,
                      std::unique_ptr<RegistryKey>& key) override;
    RegStatus CreateKey(const std::string& subKey, std::uint32_t access,
                        std::unique_ptr<RegistryKey>& key) override;

    const std::filesystem::path& File() const { return file_; }

private:
    RegStatus Open(const std::string& subKey, std::uint32_t access, bool create,
                   std::unique_ptr<RegistryKey>& key);

    std::filesystem::path file_;
};

} // namespace varnak::platform
