#pragma once

#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"

#include <memory>
#include <optional>
#include <string>

namespace varnak::test {

// A machine registry for one test, empty of the keys the system uses: on Windows the real
// registry with HKEY_LOCAL_MACHINE\SOFTWARE\quet removed before and after the test, elsewhere
// a registry file in a fresh temporary directory.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    platform::Registry& Registry() { return *registry_; }

    // Stores a value exactly as given, creating the key; the change is durable on return.
    void Set(const std::string& subKey, const std::string& name, std::uint32_t type,
             const std::string& bytes);
    void SetDword(const std::string& subKey, const std::string& name, std::uint32_t value);
    // A REG_SZ with its terminating NUL.
    void SetText(const std::string& subKey, const std::string& name, const std::string& text);
    void CreateKey(const std::string& subKey);

    struct Stored {
        std::uint32_t Type = 0;
        std::string Bytes;
    };
    // The value as stored, or nullopt when the key or the value is missing.
    std::optional<Stored> Get(const std::string& subKey, const std::string& name);

private:
    TempDir directory_;
    std::unique_ptr<platform::Registry> registry_;
};

std::string DwordBytes(std::uint32_t value);

} // namespace varnak::test
