#pragma once

// POSIX only: the one way files of ours are replaced whole, and the one rule by which a link
// at a name is followed. The ticket writer and the registry file both build on them.

#include <filesystem>
#include <string>
#include <string_view>

#include <sys/stat.h>

namespace varnak::platform {

// What a name leads to. A link is followed only when the user running the job or the owner
// of the folder it lies in made it, the rule the kernel applies in shared sticky folders:
// another user can't steer a write to a file of the user's choosing.
struct NamedFile {
    enum Kind { Missing, Regular, Directory, Special, Refused };

    std::filesystem::path Path; // where the chain of links ends
    Kind Is = Refused;
    struct stat Attributes {}; // of what is there (Regular, Directory, Special)
    std::string Why;           // for Refused
};

NamedFile ResolveName(const std::filesystem::path& name);

struct ReplaceOptions {
    // The file replaced, whose owner (where the process may set it), group and mode the new
    // one takes over; none for a first file.
    const struct stat* Old = nullptr;
    // A first file takes the folder's group, and the group's write right where the folder
    // gives it, so that a shared folder's members can all replace it.
    bool FolderGroup = false;
};

enum class ReplaceOutcome {
    Replaced,      // the name holds all of the new bytes, flushed to disk
    NoTemporary,   // no file could be made beside the name; nothing changed
    NotWritten,    // the bytes could not be written whole; nothing changed
    RenameRefused, // the folder refused the rename (a sticky folder, say); nothing changed
};

struct ReplaceResult {
    ReplaceOutcome Outcome;
    int Error = 0; // errno of the step that failed
};

// Writes bytes to a hidden file of a unique name beside target, flushes it and renames it
// over target, so that the name holds the old contents or all of the new ones at every
// instant and no stray entry can block it. Flushing the folder afterwards is best effort: a
// folder that can't be read (a drop box) still gets its file.
ReplaceResult ReplaceFile(const std::filesystem::path& target, std::string_view bytes,
                          const ReplaceOptions& options);

// Removes the hidden files that a writer killed during ReplaceFile left beside target. Only
// for a caller that holds a lock under which every writer of target replaces it: then none of
// them is in use.
void RemoveLeftTemporaries(const std::filesystem::path& target);

} // namespace varnak::platform
