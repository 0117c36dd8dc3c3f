#include "tests/platform/RegistrySandbox.h"

#include <stdexcept>

#ifdef _WIN32
#include "platform/registry/Win32Registry.h"

#include <windows.h>
#else
#include "platform/registry/FileRegistry.h"
#endif

namespace varnak::test {
namespace {

#ifdef _WIN32
// Every key the system reads or writes lies below this one.
void RemoveSystemKeys() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\quet"); }
#endif

} // namespace

RegistrySandbox::RegistrySandbox() {
#ifdef _WIN32
    RemoveSystemKeys();
    registry_ = std::make_unique<platform::Win32Registry>();
#else
    registry_ = std::make_unique<platform::FileRegistry>(directory_.Path() / "registry.reg");
#endif
}

RegistrySandbox::~RegistrySandbox() {
#ifdef _WIN32
    RemoveSystemKeys();
#endif
}

void RegistrySandbox::Set(const std::string& subKey, const std::string& name, std::uint32_t type,
                          const std::string& bytes) {
    // RegSetValueExA stores a text's NUL even when the size leaves it out, if the byte after
    // the data is one; a sentinel there lets a text without NUL be stored as it is.
    std::string buffer = bytes + '\xCC';
    std::unique_ptr<platform::RegistryKey> key;
    if (registry_->CreateKey(subKey, platform::KeyReadWriteAccess, key) != platform::RegSuccess ||
        key->SetValue(name, type, reinterpret_cast<const std::uint8_t*>(buffer.data()),
                      static_cast<std::uint32_t>(bytes.size())) != platform::RegSuccess) {
        throw std::runtime_error("test registry: cannot set " + subKey + "\\" + name);
    }
}

void RegistrySandbox::SetDword(const std::string& subKey, const std::string& name,
                               std::uint32_t value) {
    Set(subKey, name, platform::RegDword, DwordBytes(value));
}

void RegistrySandbox::SetText(const std::string& subKey, const std::string& name,
                              const std::string& text) {
    Set(subKey, name, platform::RegSz, text + std::string(1, '\0'));
}

void RegistrySandbox::CreateKey(const std::string& subKey) {
    std::unique_ptr<platform::RegistryKey> key;
    if (registry_->CreateKey(subKey, platform::KeyReadWriteAccess, key) != platform::RegSuccess) {
        throw std::runtime_error("test registry: cannot create " + subKey);
    }
}

std::optional<RegistrySandbox::Stored> RegistrySandbox::Get(const std::string& subKey,
                                                            const std::string& name) {
    std::unique_ptr<platform::RegistryKey> key;
    if (registry_->OpenKey(subKey, platform::KeyReadAccess, key) != platform::RegSuccess) {
        return std::nullopt;
    }
    Stored stored;
    std::uint32_t size = 0;
    if (key->QueryValue(name, &stored.Type, nullptr, &size) != platform::RegSuccess) {
        return std::nullopt;
    }
    stored.Bytes.resize(size);
    if (key->QueryValue(name, &stored.Type, reinterpret_cast<std::uint8_t*>(stored.Bytes.data()),
                        &size) != platform::RegSuccess) {
        return std::nullopt;
    }
    stored.Bytes.resize(size);
    return stored;
}

std::string DwordBytes(std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return bytes;
}

} // namespace varnak::test
