#include "platform/registry/Win32Registry.h"

#include <windows.h>

namespace varnak::platform {
namespace {

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    RegStatus QueryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override {
        DWORD storedType = 0;
        DWORD storedSize = size != nullptr ? *size : 0;
        const LSTATUS status = RegQueryValueExA(key_, name.c_str(), nullptr, &storedType, data,
                                                size != nullptr ? &storedSize : nullptr);
        if (type != nullptr && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)) {
            *type = storedType;
        }
        if (size != nullptr && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)) {
            *size = storedSize;
        }
        return status;
    }

    RegStatus SetValue(const std::string& name, std::uint32_t type, const std::uint8_t* data,
                       std::uint32_t size) override {
        return RegSetValueExA(key_, name.c_str(), 0, type, data, size);
    }

private:
    HKEY key_;
};

} // namespace

RegStatus Win32Registry::OpenKey(const std::string& subKey, std::uint32_t access,
                                 std::unique_ptr<RegistryKey>& key) {
    key.reset();
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) {
        key = std::make_unique<Win32RegistryKey>(opened);
    }
    return status;
}

RegStatus Win32Registry::CreateKey(const std::string& subKey, std::uint32_t access,
                                   std::unique_ptr<RegistryKey>& key) {
    key.reset();
    HKEY created = nullptr;
    const LSTATUS status =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        access, nullptr, &created, nullptr);
    if (status == ERROR_SUCCESS) {
        key = std::make_unique<Win32RegistryKey>(created);
    }
    return status;
}

std::unique_ptr<Registry> OpenMachineRegistry() { return std::make_unique<Win32Registry>(); }

} // namespace varnak::platform
