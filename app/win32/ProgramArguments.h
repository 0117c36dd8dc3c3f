#pragma once

#include <string>
#include <string_view>

namespace varnak {

// The command-line text after the program name, as the C runtime hands it to a program's
// WinMain: a name that begins with a quote ends right after its closing quote, any other at
// the first blank or control character; the blanks and control characters after it are
// skipped and the rest is taken unchanged.
inline std::string ProgramArguments(std::string_view commandLine) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t close = commandLine.find('"', 1);
        at = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (at < commandLine.size() && !isBlank(commandLine[at])) {
            ++at;
        }
    }
    while (at < commandLine.size() && isBlank(commandLine[at])) {
        ++at;
    }
    return std::string(commandLine.substr(at));
}

} // namespace varnak
