#pragma once

#include <string>
#include <vector>

namespace varnak {

// The command-line text the ticket writer reads, rebuilt from the arguments a POSIX shell
// hands over after removing the quotes: the arguments joined by single blanks, with the
// name after "-R" quoted again ("-R/a b.prn" and "-R" "/a b.prn" both become -R"/a b.prn";
// an argument -R"..." stays as it is). On Windows the platform's own text is used instead.
std::string CommandLineFromArguments(const std::vector<std::string>& arguments);

} // namespace varnak
