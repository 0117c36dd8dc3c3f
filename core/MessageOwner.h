#pragma once

#include <string>

namespace varnak {

enum class MessageIcon { None, Warning };

// The window that owns a modal message box. The dialogs implement it; core code reports
// through it without knowing any window system.
class MessageOwner {
public:
    virtual ~MessageOwner() = default;
    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
};

// Titles the messages that have no more specific title.
inline constexpr const char* ApplicationName = "ZOR Brevant";

} // namespace varnak
