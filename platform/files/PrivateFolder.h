#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace varnak::platform {

// A new folder that only this user may enter, in the user's temporary folder ($TMPDIR or
// /tmp; on Windows the user's own temporary folder), named after prefix; nullopt when none
// can be made. The caller removes it.
std::optional<std::filesystem::path> MakePrivateFolder(const std::string& prefix);

} // namespace varnak::platform
