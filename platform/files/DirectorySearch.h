#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnak::platform {

// A directory search with a wildcard in the pattern's last part ("C:\Macros\*.mac"), as
// FindFirstFileA and FindNextFileA make it: the names of the matching entries, without their
// directory, files and directories alike, in the order the search yields them. Empty when
// nothing matches or the directory can't be searched.
//
// On POSIX the wildcard ('*' and '?') matches without regard to ASCII letter case and the
// entries come in the order an NTFS directory yields them: by name, compared after mapping
// a-z to A-Z.
std::vector<std::string> FindFiles(const std::string& pattern);

// Wildcard match of a whole name, '*' any run, '?' any one character, a-z equal to A-Z.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The separator the platform's paths use between directory and name.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

} // namespace varnak::platform
