#pragma once

#include "platform/registry/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnak {

// Where a description is shown: the toolkit's read-only description box.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void SetText(const std::string& utf8) = 0;
};

// The overlays installed in the companion program's working directory, listed by number,
// with their UTF-16LE descriptions. Each dialog and page owns one; nothing is cached.
class OverlayCatalog {
public:
    explicit OverlayCatalog(platform::Registry& registry) : registry_(registry) {}

    // The overlay numbers as decimal texts, in directory order; empty on any failure.
    std::vector<std::string> ListOverlays();
    // The description of a list item ("None" has none), as UTF-8.
    std::optional<std::string> ReadDescription(const std::string& itemText) const;
    void ShowDescription(const std::string& itemText, TextSink& box) const;

    const std::string& WorkingDirectory() const { return workingDirectory_; }

private:
    platform::Registry& registry_;
    std::string workingDirectory_;
};

// The rules every tray and overlay list follows, as plain functions over item texts.

// The first item of every tray and overlay list: no tray, no overlay.
inline constexpr std::string_view NoneItem = "None";
std::vector<std::string> TrayListTexts();        // "None", "Plain", ... "Rough"
std::vector<std::string> OverlayListTexts(const std::vector<std::string>& overlays); // "None", ...
// The text of a tray code as the lists show it; empty outside the table.
std::string_view TrayName(std::int32_t tray);
// The item to select for a stored overlay number: the item whose text is exactly that
// number; nullopt when 0 or unlisted (the selection then stays as it was).
std::optional<std::size_t> OverlayItemFor(const std::vector<std::string>& items,
                                          std::uint32_t overlay);
// The overlay number an item text reads back as; "None" is 0.
std::uint32_t OverlayNumberOf(std::string_view itemText);

} // namespace varnak
