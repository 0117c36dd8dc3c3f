#include "overlays/OverlayCatalog.h"

#include "core/JobSettings.h"
#include "core/NumberText.h"
#include "platform/files/DirectorySearch.h"
#include "platform/files/RegularFile.h"
#include "platform/files/Utf16.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

namespace varnak {
namespace {

constexpr const char* CompanionKey = "SOFTWARE\\quet\\quetprint";
constexpr const char* WorkingDirectoryValue = "WorkingDirectory";
// The value's buffer: 259 characters and the terminating NUL.
constexpr std::uint32_t WorkingDirectoryBufferSize = 260;
// The longest search pattern the directory search takes.
constexpr std::size_t LongestPattern = 259;
constexpr const char* OverlayPattern = "*.mac";
constexpr const char* DescriptionExtension = ".mat";
static_assert(InputTrayNames[0] == NoneItem, "both lists start with the same item");
// Descriptions are a few lines; a larger file is shown up to here.
constexpr std::size_t MaxDescriptionBytes = 1u << 20;

std::optional<std::string> ReadWorkingDirectory(platform::Registry& registry) {
    std::unique_ptr<platform::RegistryKey> key;
    if (registry.OpenKey(CompanionKey, platform::KeyReadAccess, key) != platform::RegSuccess) {
        return std::nullopt;
    }
    std::array<std::uint8_t, WorkingDirectoryBufferSize> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = WorkingDirectoryBufferSize;
    if (key->QueryValue(WorkingDirectoryValue, &type, buffer.data(), &size) !=
        platform::RegSuccess) {
        return std::nullopt;
    }
    if (type != platform::RegSz && type != platform::RegExpandSz) {
        return std::nullopt;
    }
    if (size > 0 && buffer[size - 1] != 0) {
        return std::nullopt;
    }
    std::string directory(reinterpret_cast<const char*>(buffer.data()),
                          std::find(buffer.begin(), buffer.begin() + size, 0) - buffer.begin());
    if (directory.empty() || directory.back() != platform::PathSeparator) {
        directory += platform::PathSeparator;
    }
    return directory;
}

} // namespace

std::vector<std::string> OverlayCatalog::ListOverlays() {
    std::vector<std::string> overlays;
    auto directory = ReadWorkingDirectory(registry_);
    if (!directory) {
        return overlays;
    }
    workingDirectory_ = std::move(*directory);
    const std::string pattern = workingDirectory_ + OverlayPattern;
    if (pattern.size() > LongestPattern) {
        return overlays;
    }
    for (const std::string& name : platform::FindFiles(pattern)) {
        const std::int32_t number = LeadingNumber(name);
        if (number >= 1) {
            overlays.push_back(FormatUnsigned(static_cast<std::uint32_t>(number)));
        }
    }
    return overlays;
}

std::optional<std::string> OverlayCatalog::ReadDescription(const std::string& itemText) const {
    if (itemText == NoneItem) {
        return std::nullopt;
    }
    const auto bytes = platform::ReadRegularFile(workingDirectory_ + itemText + DescriptionExtension,
                                                 MaxDescriptionBytes);
    if (!bytes || bytes->empty()) {
        return std::nullopt;
    }
    try {
        return platform::Utf16LeToUtf8(*bytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

void OverlayCatalog::ShowDescription(const std::string& itemText, TextSink& box) const {
    box.SetText(ReadDescription(itemText).value_or(std::string()));
}

std::vector<std::string> TrayListTexts() {
    return {InputTrayNames.begin(), InputTrayNames.end()};
}

std::vector<std::string> OverlayListTexts(const std::vector<std::string>& overlays) {
    std::vector<std::string> items;
    items.reserve(overlays.size() + 1);
    items.emplace_back(NoneItem);
    items.insert(items.end(), overlays.begin(), overlays.end());
    return items;
}

std::string_view TrayName(std::int32_t tray) {
    if (tray < 0 || static_cast<std::size_t>(tray) >= InputTrayNames.size()) {
        return {};
    }
    return InputTrayNames[static_cast<std::size_t>(tray)];
}

std::optional<std::size_t> OverlayItemFor(const std::vector<std::string>& items,
                                          std::uint32_t overlay) {
    if (overlay == 0) {
        return std::nullopt;
    }
    const std::string text = FormatUnsigned(overlay);
    const auto found = std::ranges::find(items, text);
    if (found == items.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - items.begin());
}

std::uint32_t OverlayNumberOf(std::string_view itemText) {
    return static_cast<std::uint32_t>(LeadingNumber(itemText));
}

} // namespace varnak
