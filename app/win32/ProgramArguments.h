#pragma once

#include <string>
#include <string_view>

namespace varnak {

// The command-line text after the program name, as Windows hands it to a program's WinMain:
// the name ends at its closing quote when it begins with one, else at the first blank or
// tab; the blanks and tabs after it are skipped and the rest is taken unchanged.
inline std::string ProgramArguments(std::string_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t close = commandLine.find('"', 1);
        at = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != ' ' && commandLine[at] != '\t') {
            ++at;
        }
    }
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t')) {
        ++at;
    }
    return std::string(commandLine.substr(at));
}

} // namespace varnak
