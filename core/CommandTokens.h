#pragma once

#include "core/JobSettings.h"

#include <string_view>

// The words of the ZOR command string, shared by the builder that writes them and the
// decoder that reads them back, so that the two can't drift apart.
namespace varnak::CommandTokens {

inline constexpr std::string_view DefaultsGroup = "C1";
inline constexpr std::string_view PageGroup = "C1:";
inline constexpr std::string_view Copies = "K";
inline constexpr std::string_view CopiesEnd = ";D1;";
inline constexpr std::string_view CoverGroup = "EI1";
inline constexpr std::string_view FooterGroup = "EJ1";
inline constexpr std::string_view Tray = "I";
inline constexpr std::string_view OwnTray = "I-";
inline constexpr std::string_view Overlay = "F";
inline constexpr std::string_view GroupEnd = ";";
// A complete group between the two groups of a modified page or chapter.
inline constexpr std::string_view FormFeed = "FF;";
inline constexpr std::string_view SeparatorSheet = "F25997";
inline constexpr std::string_view LineEnd = "\r\n";
inline constexpr std::string_view ContinuationLine = "\r\nZOR_COMMAND_ADD=";
inline constexpr std::string_view VariableStart = "VARIABLE=#CHAPTERCOPY";
inline constexpr std::string_view VariableValue = "#:";

// The separator sheet is the overlay token with the fixed SeparatorOverlay number.
static_assert([] {
    std::uint32_t number = SeparatorOverlay;
    std::size_t at = SeparatorSheet.size();
    for (; number != 0; number /= 10) {
        if (at == Overlay.size() || SeparatorSheet[--at] != static_cast<char>('0' + number % 10)) {
            return false;
        }
    }
    return at == Overlay.size() && SeparatorSheet.substr(0, at) == Overlay;
}());

} // namespace varnak::CommandTokens
