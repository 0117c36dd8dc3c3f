#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace varnak::platform {

// Status codes and value types as the Windows registry's ANSI functions return them, so
// that callers behave the same on every backend.
using RegStatus = long;
inline constexpr RegStatus RegSuccess = 0;       // ERROR_SUCCESS
inline constexpr RegStatus RegFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
inline constexpr RegStatus RegAccessDenied = 5;  // ERROR_ACCESS_DENIED
inline constexpr RegStatus RegInvalidParameter = 87; // ERROR_INVALID_PARAMETER
inline constexpr RegStatus RegMoreData = 234;    // ERROR_MORE_DATA
inline constexpr RegStatus RegBadDatabase = 1009; // ERROR_BADDB: the store can't be parsed

inline constexpr std::uint32_t RegNone = 0;
inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegExpandSz = 2;
inline constexpr std::uint32_t RegBinary = 3;
inline constexpr std::uint32_t RegDword = 4;

// Access masks the system asks for.
inline constexpr std::uint32_t KeyReadAccess = 0x20019;  // query, enumerate, notify, read control
inline constexpr std::uint32_t KeyReadWriteAccess = 0x2001F; // ... and set value, create sub-key

// An open key of HKEY_LOCAL_MACHINE. Destroying it closes the key; on backends that buffer,
// what was set through it is made durable then, all at once.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // RegQueryValueExA: on entry *size is the buffer's size. On success the type, data and
    // stored size are returned. A buffer too small gives RegMoreData with the needed size
    // in *size, and the data is not taken. data may be null to ask only for type and size.
    virtual RegStatus QueryValue(const std::string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) = 0;

    // RegSetValueExA: stores the type and exactly these bytes.
    virtual RegStatus SetValue(const std::string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) = 0;
};

// HKEY_LOCAL_MACHINE, the only hive the system uses. Sub-key paths use backslashes
// ("SOFTWARE\\quet\\sorb-userinterface").
class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyExA: the key must exist and the access be grantable.
    virtual RegStatus OpenKey(const std::string& subKey, std::uint32_t access,
                              std::unique_ptr<RegistryKey>& key) = 0;

    // RegCreateKeyExA (non-volatile, no class, default security): opens or creates.
    virtual RegStatus CreateKey(const std::string& subKey, std::uint32_t access,
                                std::unique_ptr<RegistryKey>& key) = 0;
};

// Texts are stored in the registry's own code page and held as UTF-8 by the program: on
// Windows the ANSI code page (characters it lacks are stored as "?"); the registry file keeps
// the program's bytes as they are.
std::string TextFromRegistry(std::string_view stored);
std::string TextForRegistry(std::string_view utf8);

// The per-machine registry of this platform: the Windows registry on Windows; elsewhere a
// registry file (VARNAK_REGISTRY, or the documented default path).
std::unique_ptr<Registry> OpenMachineRegistry();

} // namespace varnak::platform
