#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace varnak::platform {

// A comment or blank line of a registry file, and how often it stands there in a row: a run of
// blank lines costs one item, however long it is.
struct RegNote {
    std::string Line;
    std::uint64_t Count = 1;
};
using RegNotes = std::vector<RegNote>;

// One value as the registry's ANSI functions see it: type and bytes, kept exactly.
struct RegValue {
    std::string Name; // letter case as first written
    std::uint32_t Type = 0;
    std::string Data;
    // The comment and blank lines written just before the value's line, kept as they stand.
    RegNotes Leading = {};
};

// One key of a registry file: its full path with the hive ("HKEY_LOCAL_MACHINE\SOFTWARE\x")
// and its values in the order they were first created. Change Values through SetValue only.
struct RegKeyData {
    std::string Path;
    std::vector<RegValue> Values = {};
    // The comment and blank lines before the key's line; a new key is set off by one blank.
    RegNotes Leading = {RegNote{}};

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
    RegFile() = default;
    // Moved, never copied: the ancestors are views into the key index's own strings.
    RegFile(RegFile&&) = default;
    RegFile& operator=(RegFile&&) = default;
    RegFile(const RegFile&) = delete;
    RegFile& operator=(const RegFile&) = delete;

    // Parses REGEDIT4 (ANSI bytes) or "Windows Registry Editor Version 5.00" (UTF-16LE, with
    // its strings converted to UTF-8). nullopt when any line is of no known form; error, when
    // given, then says which and why. An empty file is an empty registry.
    static std::optional<RegFile> Parse(std::string_view bytes, RegParseError* error = nullptr);

    // REGEDIT4 text with CR LF line ends; nullopt, with the limit, when it would be longer.
    std::string Format() const;
    std::optional<std::string> Format(std::size_t limit) const;
    // The text of the file as CreateKey(path) and then SetValue of each value would make it,
    // without changing the file: a save's merge, without a copy of a large file.
    std::optional<std::string> FormatChanged(std::string_view path,
                                             const std::vector<RegValue>& values,
                                             std::size_t limit) const;

    RegKeyData* FindKey(std::string_view path);
    const RegKeyData* FindKey(std::string_view path) const;
    // A key exists when it is listed or some listed key lies below it.
    bool KeyExists(std::string_view path) const;
    // Finds the key or creates it, creating its missing parents first, as the registry does.
    RegKeyData& CreateKey(std::string_view path);

    const std::vector<RegKeyData>& Keys() const { return keys_; }

private:
    // The key of that path, and whether it was added now.
    std::pair<RegKeyData*, bool> AddKey(std::string_view path);
    // The keys CreateKey(path) would add, parents first: none when the key is listed.
    std::vector<std::string_view> MissingKeys(std::string_view path) const;
    // The text, with one listed key replaced (replaced and with both given) and new keys
    // appended after the last one.
    std::optional<std::string> Render(std::size_t limit, const RegKeyData* replaced,
                                      const RegKeyData* with,
                                      const std::vector<RegKeyData>& appended) const;

    // Every path that lies above a listed key, as a view into that key's folded path in the
    // index, with its hash: the hashes of all of a path's prefixes come from one pass over it,
    // so that a path thousands of levels deep costs time and space in proportion to its
    // length, not to its length squared.
    class Ancestors {
    public:
        // Adds the paths above foldedPath, which must stay where it is while the set lives.
        void AddAbove(std::string_view foldedPath);
        bool Contains(std::string_view foldedPath) const;

    private:
        struct Entry {
            std::string_view Path;
            std::uint64_t Hash;
            bool operator==(const Entry& other) const {
                return Hash == other.Hash && Path == other.Path;
            }
        };
        struct EntryHash {
            std::size_t operator()(const Entry& entry) const { return entry.Hash; }
        };
        std::unordered_set<Entry, EntryHash> entries_;
    };

    std::vector<RegKeyData> keys_;
    // Keys by their path in upper case, so that a lookup costs the same in a full export of
    // the registry as in a file of two keys.
    std::unordered_map<std::string, std::size_t> keyIndex_;
    Ancestors ancestors_;             // views into keyIndex_'s keys
    RegNotes preamble_;               // lines before the header
    RegNotes afterHeader_;            // notes of a file without keys
    RegNotes trailing_ = {RegNote{}}; // lines after the last key
};

// Names of keys and values compare as the registry compares them: a-z equal A-Z.
bool RegNamesEqual(std::string_view a, std::string_view b);

} // namespace varnak::platform
