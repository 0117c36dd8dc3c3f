#include "platform/registry/FileRegistry.h"

#include <cstdlib>
#include <iostream>

namespace varnak::platform {

// Where the machine's registry file lives unless VARNAK_REGISTRY names another.
constexpr const char* DefaultRegistryFile = "/var/lib/varnak/registry.reg";

std::unique_ptr<Registry> OpenMachineRegistry() {
    const char* configured = std::getenv("VARNAK_REGISTRY");
    const bool useConfigured = configured != nullptr && *configured != '\0';
    FileRegistry::Options options;
    options.Diagnostics = &std::cerr;
    return std::make_unique<FileRegistry>(useConfigured ? configured : DefaultRegistryFile,
                                          options);
}

} // namespace varnak::platform
