#pragma once

#include "platform/registry/Registry.h"

namespace varnak::platform {

// HKEY_LOCAL_MACHINE of the Windows registry, through advapi32's ANSI functions.
class Win32Registry : public Registry {
public:
    RegStatus OpenKey(const std::string& subKey, std::uint32_t access,
                      std::unique_ptr<RegistryKey>& key) override;
    RegStatus CreateKey(const std::string& subKey, std::uint32_t access,
                        std::unique_ptr<RegistryKey>& key) override;
};

} // namespace varnak::platform
