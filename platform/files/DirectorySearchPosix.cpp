#include "platform/files/DirectorySearch.h"

#include <algorithm>
#include <dirent.h>

namespace varnak::platform {
namespace {

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

std::vector<std::string> FindFiles(const std::string& pattern) {
    const auto slash = pattern.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    const std::string_view wildcard =
        std::string_view(pattern).substr(slash == std::string::npos ? 0 : slash + 1);

    std::vector<std::string> names;
    DIR* stream = ::opendir(directory.c_str());
    if (stream == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(stream)) {
        if (WildcardMatch(wildcard, entry->d_name)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(stream);

    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) {
        keyed.emplace_back(UpperAscii(name), std::move(name));
    }
    std::ranges::sort(keyed);
    names.clear();
    for (auto& [key, name] : keyed) {
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace varnak::platform
