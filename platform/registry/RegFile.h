#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace varnak::platform {

// One value as the registry's ANSI functions see it: type and bytes, kept exactly.
struct RegValue {
    std::string Name; // letter case as first written
    std::uint32_t Type = 0;
    std::string Data;
    // The comment and blank lines written just before the value's line, kept as they stand.
    std::vector<std::string> Leading = {};
};

// One key of a registry file: its full path with the hive ("HKEY_LOCAL_MACHINE\SOFTWARE\x")
// and its values in the order they were first created. Change Values through SetValue only.
struct RegKeyData {
    std::string Path;
    std::vector<RegValue> Values = {};
    // The comment and blank lines before the key's line; a new key is set off by one blank.
    std::vector<std::string> Leading = {""};

    RegValue* FindValue(std::string_view name);
    const RegValue* FindValue(std::string_view name) const;
    // Replaces the type and data of an existing value (keeping its name's case, its place and
    // its comments), or appends a new one.
    void SetValue(std::string_view name, std::uint32_t type, std::string data);
};

// Why a registry file is not used: the line (counted from 1) and what is wrong with it.
struct RegParseError {
    std::size_t Line = 0;
    std::string Reason;
};

// The contents of a registry file in the registry editor's export format: keys in the order
// they were first created, names compared without regard to ASCII letter case. Comments and
// blank lines are kept where they stand, so that an administrator's notes survive a save.
class RegFile {
public:
    // Parses REGEDIT4 (ANSI bytes) or "Windows Registry Editor Version 5.00" (UTF-16LE, with
    // its strings converted to UTF-8). nullopt when any line is of no known form; error, when
    // given, then says which and why. An empty file is an empty registry.
    static std::optional<RegFile> Parse(std::string_view bytes, RegParseError* error = nullptr);

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
    // Keys by their path in upper case, and the paths that lie above some listed key, so that
    // a lookup costs the same in a full export of the registry as in a file of two keys.
    std::unordered_map<std::string, std::size_t> keyIndex_;
    std::unordered_set<std::string> ancestors_;
    std::vector<std::string> preamble_;        // lines before the header
    std::vector<std::string> afterHeader_;     // notes of a file without keys
    std::vector<std::string> trailing_ = {""}; // lines after the last key
};

// Names of keys and values compare as the registry compares them: a-z equal A-Z.
bool RegNamesEqual(std::string_view a, std::string_view b);

} // namespace varnak::platform
