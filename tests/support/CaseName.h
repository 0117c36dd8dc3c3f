#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace varnak::test {

// A table case's description as its test name: the same in every run and usable with
// `ctest -R`. "read-only file" becomes "ReadOnlyFile", "another user's link"
// "AnotherUsersLink".
inline std::string CaseName(std::string_view description) {
    std::string name;
    bool wordStart = true;
    for (const char c : description) {
        if (c == '\'') {
            continue; // "user's" is one word
        }
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) {
            wordStart = true;
            continue;
        }
        name += wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        wordStart = false;
    }
    return name;
}

// The name generator of a table whose cases describe themselves in `name`.
inline constexpr auto ByCaseName = [](const auto& info) { return CaseName(info.param.name); };

} // namespace varnak::test
