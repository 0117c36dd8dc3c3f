#include "explain/Reports.h"

#include "explain/SheetSequence.h"

#include "core/NumberText.h"

namespace varnak {
namespace {

// Every text in the document is ASCII that needs no escapes: the tray table's names and the
// fixed words below.
std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted.append(text);
    quoted += '"';
    return quoted;
}

std::string Tray(std::int32_t tray) {
    if (tray <= 0) {
        return "null";
    }
    const std::string_view name = TrayTableName(tray);
    return "{\"code\": " + FormatUnsigned(static_cast<std::uint32_t>(tray)) +
           ", \"name\": " + (name.empty() ? "null" : Quoted(name)) + "}";
}

std::string Overlay(std::uint32_t overlay) {
    return overlay == 0 ? "null" : FormatUnsigned(overlay);
}

// A cover or footer sheet: null when it isn't printed.
std::string SheetObject(std::uint32_t overlay, std::int32_t tray) {
    if (overlay == 0) {
        return "null";
    }
    return "{\"overlay\": " + Overlay(overlay) + ", \"tray\": " + Tray(tray) + "}";
}

// Items of a list, one a line.
template <typename Entry, typename Describe>
std::string List(const std::vector<Entry>& entries, Describe describe) {
    if (entries.empty()) {
        return "[]";
    }
    std::string list = "[\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        list += "    " + describe(entries[i]) + (i + 1 < entries.size() ? ",\n" : "\n");
    }
    return list + "  ]";
}

std::string PageObject(const PageEntry& entry) {
    const bool separation = entry.IsSeparationSheet();
    return "{\"page\": " + FormatUnsigned(entry.Page) +
           ", \"action\": " + Quoted(separation ? "separation sheet" : "modification") +
           ", \"overlay\": " + Overlay(entry.FormOverlay) + ", \"tray\": " + Tray(entry.InputTray) +
           "}";
}

std::string ChapterObject(const ChapterEntry& chapter) {
    const std::string separator = chapter.HasSeparatorPage()
                                      ? "{\"overlay\": " + Overlay(chapter.FormOverlay) +
                                            ", \"tray\": " + Tray(chapter.InputTray) + "}"
                                      : "null";
    return "{\"lastPage\": " + FormatUnsigned(chapter.LastPage) +
           ", \"copies\": " + FormatUnsigned(chapter.CopyCount) + ", \"separator\": " + separator +
           "}";
}

std::string SeparatorFlag(const std::optional<bool>& afterCopySetOnly) {
    if (!afterCopySetOnly) {
        return Quoted("not determined");
    }
    return *afterCopySetOnly ? "true" : "false";
}

} // namespace

std::string ExplainJson(const DecodedTicket& ticket) {
    const JobSettings& settings = ticket.Settings;
    std::string json = "{\n";
    const auto field = [&json](std::string_view name, const std::string& value) {
        json += "  " + Quoted(name) + ": " + value + ",\n";
    };
    field("schema", "1");
    field("mode", Quoted(ticket.DocumentMode ? "document" : "chapter"));
    field("copies", FormatUnsigned(settings.NumberOfCopies()));
    field("defaultTray", Tray(settings.DefaultInputTray()));
    field("defaultOverlay", Overlay(settings.DefaultFormOverlay()));
    field("cover", SheetObject(settings.CoverPageFormOverlay(), settings.CoverPageInputTray()));
    if (ticket.DocumentMode) {
        field("pages", List(settings.PageEntries(), PageObject));
    } else {
        field("chapters", List(settings.ChapterEntries(), ChapterObject));
        field("separatorAfterCopySetOnly", SeparatorFlag(ticket.SepPageAfterCopySetOnly));
        field("remainingCopies", FormatUnsigned(settings.RemainingChapterCopyCount()));
    }
    json += "  \"footer\": " +
            SheetObject(settings.FooterPageFormOverlay(), settings.FooterPageInputTray()) + "\n}\n";
    return json;
}

} // namespace varnak
