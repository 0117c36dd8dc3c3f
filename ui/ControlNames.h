#pragma once

#include "ui/ControlIds.h"

#include <algorithm>
#include <optional>
#include <string_view>

// The controls by their names in ControlIds.h, for scripts that name what they touch.
namespace varnak::ids {

struct NamedControl {
    std::string_view Name;
    int Id;
};

inline constexpr NamedControl ControlNames[] = {
    {"IDC_OK", IDC_OK},
    {"IDC_CANCEL", IDC_CANCEL},
    {"IDC_SIMPLEX", IDC_SIMPLEX},
    {"IDC_DUPLEX", IDC_DUPLEX},
    {"IDC_AS_DATASTREAM", IDC_AS_DATASTREAM},
    {"IDC_DEFAULT_TRAY", IDC_DEFAULT_TRAY},
    {"IDC_COPIES", IDC_COPIES},
    {"IDC_DEFAULT_OVERLAY", IDC_DEFAULT_OVERLAY},
    {"IDC_STAPLING", IDC_STAPLING},
    {"IDC_OVERLAY_DESCRIPTION", IDC_OVERLAY_DESCRIPTION},
    {"IDC_MANUAL_LINK", IDC_MANUAL_LINK},
    {"IDC_COVER_OVERLAY", IDC_COVER_OVERLAY},
    {"IDC_COVER_TRAY", IDC_COVER_TRAY},
    {"IDC_COVER_DESCRIPTION", IDC_COVER_DESCRIPTION},
    {"IDC_COVER_DELETE", IDC_COVER_DELETE},
    {"IDC_FOOTER_OVERLAY", IDC_FOOTER_OVERLAY},
    {"IDC_FOOTER_TRAY", IDC_FOOTER_TRAY},
    {"IDC_FOOTER_DESCRIPTION", IDC_FOOTER_DESCRIPTION},
    {"IDC_FOOTER_DELETE", IDC_FOOTER_DELETE},
    {"IDC_CHAPTER_COPIES", IDC_CHAPTER_COPIES},
    {"IDC_CHAPTER_DELETE", IDC_CHAPTER_DELETE},
    {"IDC_CHAPTER_APPLY", IDC_CHAPTER_APPLY},
    {"IDC_CHAPTER_LIST", IDC_CHAPTER_LIST},
    {"IDC_CHAPTER_PAGE_NUMBERS", IDC_CHAPTER_PAGE_NUMBERS},
    {"IDC_CHAPTER_SEPARATOR", IDC_CHAPTER_SEPARATOR},
    {"IDC_CHAPTER_MODIFY", IDC_CHAPTER_MODIFY},
    {"IDC_CHAPTER_OVERLAY", IDC_CHAPTER_OVERLAY},
    {"IDC_CHAPTER_TRAY", IDC_CHAPTER_TRAY},
    {"IDC_REMAINING_COPIES", IDC_REMAINING_COPIES},
    {"IDC_SEP_AFTER_COPYSET", IDC_SEP_AFTER_COPYSET},
    {"IDC_CHAPTER_DESCRIPTION", IDC_CHAPTER_DESCRIPTION},
    {"IDC_PAGE_TRAY", IDC_PAGE_TRAY},
    {"IDC_PAGE_DELETE", IDC_PAGE_DELETE},
    {"IDC_PAGE_NUMBERS", IDC_PAGE_NUMBERS},
    {"IDC_PAGE_SEPARATOR", IDC_PAGE_SEPARATOR},
    {"IDC_PAGE_MODIFY", IDC_PAGE_MODIFY},
    {"IDC_PAGE_OVERLAY", IDC_PAGE_OVERLAY},
    {"IDC_PAGE_LIST", IDC_PAGE_LIST},
    {"IDC_PAGE_APPLY", IDC_PAGE_APPLY},
    {"IDC_PAGE_DESCRIPTION", IDC_PAGE_DESCRIPTION},
    {"IDC_SENDING_TITLE", IDC_SENDING_TITLE},
    {"IDC_SENDING_DESTINATION", IDC_SENDING_DESTINATION},
    {"IDC_SENDING_BYTES", IDC_SENDING_BYTES},
};

// The id of the control of that name; none for a name that isn't one.
inline std::optional<int> ControlNamed(std::string_view name) {
    const auto* found = std::ranges::find(ControlNames, name, &NamedControl::Name);
    return found != std::end(ControlNames) ? std::optional(found->Id) : std::nullopt;
}

} // namespace varnak::ids
