#include "explain/SheetSequence.h"

#include "core/NumberText.h"

#include <algorithm>

namespace varnak {
namespace {

template <typename Entry, typename PageOf>
std::vector<Entry> InPageOrder(const std::vector<Entry>& entries, PageOf pageOf) {
    std::vector<Entry> sorted = entries;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Entry& a, const Entry& b) { return pageOf(a) < pageOf(b); });
    return sorted;
}

void AddPages(std::vector<Sheet>& sheets, const JobSettings& settings) {
    std::uint64_t next = 1;
    for (const PageEntry& entry :
         InPageOrder(settings.PageEntries(), [](const PageEntry& e) { return e.Page; })) {
        const std::uint64_t page = entry.Page;
        const std::uint64_t runEnd = entry.IsSeparationSheet() ? page : page - 1;
        if (page > 0 && runEnd >= next) {
            sheets.push_back({.Kind = SheetKind::Pages, .FirstPage = next, .LastPage = runEnd});
        }
        next = std::max(next, page + 1);
        if (entry.IsSeparationSheet()) {
            sheets.push_back({.Kind = SheetKind::SeparationSheet, .LastPage = page});
        } else {
            sheets.push_back({.Kind = SheetKind::ModifiedPage,
                              .FirstPage = page,
                              .LastPage = page,
                              .Overlay = entry.FormOverlay,
                              .Tray = entry.InputTray});
        }
    }
    sheets.push_back({.Kind = SheetKind::Pages, .FirstPage = next, .ToTheEnd = true});
}

void AddChapters(std::vector<Sheet>& sheets, const JobSettings& settings) {
    std::uint64_t next = 1;
    std::size_t number = 0;
    for (const ChapterEntry& chapter :
         InPageOrder(settings.ChapterEntries(), [](const ChapterEntry& c) { return c.LastPage; })) {
        sheets.push_back({.Kind = SheetKind::Chapter,
                          .FirstPage = next,
                          .LastPage = chapter.LastPage,
                          .Copies = chapter.CopyCount,
                          .Chapter = ++number});
        next = std::max(next, std::uint64_t{chapter.LastPage} + 1);
        if (chapter.HasSeparatorPage()) {
            sheets.push_back({.Kind = SheetKind::SeparatorPage,
                              .Chapter = number,
                              .Overlay = chapter.FormOverlay,
                              .Tray = chapter.InputTray});
        }
    }
    sheets.push_back({.Kind = SheetKind::Rest,
                      .FirstPage = next,
                      .ToTheEnd = true,
                      .Copies = settings.RemainingChapterCopyCount()});
}

} // namespace

std::vector<Sheet> SheetSequence(const DecodedTicket& ticket) {
    const JobSettings& settings = ticket.Settings;
    std::vector<Sheet> sheets;
    if (settings.CoverPageFormOverlay() != 0) {
        sheets.push_back({.Kind = SheetKind::Cover,
                          .Overlay = settings.CoverPageFormOverlay(),
                          .Tray = settings.CoverPageInputTray()});
    }
    if (ticket.DocumentMode) {
        AddPages(sheets, settings);
    } else {
        AddChapters(sheets, settings);
    }
    if (settings.FooterPageFormOverlay() != 0) {
        sheets.push_back({.Kind = SheetKind::Footer,
                          .Overlay = settings.FooterPageFormOverlay(),
                          .Tray = settings.FooterPageInputTray()});
    }
    return sheets;
}

std::string_view TrayTableName(std::int32_t tray) {
    if (tray <= 0 || static_cast<std::size_t>(tray) >= InputTrayNames.size()) {
        return {};
    }
    return InputTrayNames[static_cast<std::size_t>(tray)];
}

std::string TrayText(std::int32_t tray) {
    if (tray <= 0) {
        return "no tray";
    }
    const std::string_view name = TrayTableName(tray);
    const std::string code = "tray " + FormatUnsigned(static_cast<std::uint32_t>(tray));
    return code + (name.empty() ? " (not in the tray table)" : " (" + std::string(name) + ")");
}

std::string OverlayText(std::uint32_t overlay) {
    return overlay == 0 ? "no overlay" : "overlay " + FormatUnsigned(overlay);
}

std::string PageRangeText(const Sheet& sheet) {
    const std::string first = std::to_string(sheet.FirstPage);
    if (sheet.ToTheEnd) {
        return "pages " + first + " to the end";
    }
    const std::string last = std::to_string(sheet.LastPage);
    if (sheet.FirstPage == sheet.LastPage) {
        return "page " + last;
    }
    if (sheet.FirstPage + 1 == sheet.LastPage) {
        return "pages " + first + " and " + last;
    }
    // A chapter whose last page an earlier one already reached has no pages of its own.
    return sheet.FirstPage < sheet.LastPage ? "pages " + first + " to " + last
                                            : "up to page " + last;
}

std::string CopiesText(std::uint32_t copies) {
    return FormatUnsigned(copies) + (copies == 1 ? " copy" : " copies");
}

} // namespace varnak
