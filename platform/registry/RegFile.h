#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnak::platform {

// One value as the registry's ANSI functions see it: type and bytes, kept exactly.
struct RegValue {
    std::string Name; // letter case as first written
    std::uint32_t Type = 0;
    std::string Data;
};

// One key of a registry file: its full path with the hive ("HKEY_LOCAL_MACHINE\SOFTWARE\x")
// and its values in the order they were first created.
struct RegKeyData {
    std::string Path;
    std::vector<RegValue> Values;

    RegValue* FindValue(std::string_view name);
    const RegValue* FindValue(std::string_view name) const;
    // Replaces the type and data of an existing value (keeping its name's case and its
    // place), or appends a new one.
    void SetValue(std::string_view name, std::uint32_t type, std::string data);
};

// The contents of a registry file in the registry editor's export format: keys in the order
// they were first created, names compared without regard to ASCII letter case.
class RegFile {
public:
    // Parses REGEDIT4 (ANSI bytes) or "Windows Registry Editor Version 5.00" (UTF-16LE, with
    // its strings converted to UTF-8). nullopt when any line is of no known form. An empty
    // file is an empty registry.
    static std::optional<RegFile> Parse(std::string_view bytes);

    // REGEDIT4 text with CR LF line ends.
    std::string Format() const;

    RegKeyData* FindKey(std::string_view path);
    const RegKeyData* FindKey(std::string_view path) const;
    // A key exists when it is listed or some listed key lies below it.
    bool KeyExists(std::string_view path) const;
    // Finds the key or creates it, creating its missing parents first, as the registry does.
    RegKeyData& CreateKey(std::string_view path);

    const std::vector<RegKeyData>& Keys() const { return keys_; }

private:
    RegKeyData& AddKey(std::string_view path);

    std::vector<RegKeyData> keys_;
};

// Names of keys and values compare as the registry compares them: a-z equal A-Z.
bool RegNamesEqual(std::string_view a, std::string_view b);

} // namespace varnak::platform
