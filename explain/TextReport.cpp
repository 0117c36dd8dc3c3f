#include "explain/Reports.h"

#include "explain/SheetSequence.h"

#include "core/NumberText.h"

#include <utility>

namespace varnak {
namespace {

// "overlay 12, tray 3 (Color)", leaving out what the sheet doesn't have.
std::string OwnTrayAndOverlay(const Sheet& sheet) {
    if (sheet.Overlay == 0 && sheet.Tray <= 0) {
        return "neither a tray nor an overlay of its own";
    }
    if (sheet.Overlay == 0) {
        return TrayText(sheet.Tray);
    }
    return sheet.Tray > 0 ? OverlayText(sheet.Overlay) + ", " + TrayText(sheet.Tray)
                          : OverlayText(sheet.Overlay);
}

std::string Capitalised(std::string text) {
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') {
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    }
    return text;
}

std::string SheetLine(const Sheet& sheet) {
    switch (sheet.Kind) {
    case SheetKind::Cover:
        return "Cover sheet: " + OverlayText(sheet.Overlay) + ", " + TrayText(sheet.Tray);
    case SheetKind::Footer:
        return "Footer sheet: " + OverlayText(sheet.Overlay) + ", " + TrayText(sheet.Tray);
    case SheetKind::Pages:
        return Capitalised(PageRangeText(sheet)) + ": default tray and overlay";
    case SheetKind::SeparationSheet:
        return "Separation sheet after page " + std::to_string(sheet.LastPage);
    case SheetKind::ModifiedPage:
        return "Page " + std::to_string(sheet.FirstPage) + ": " + OwnTrayAndOverlay(sheet);
    case SheetKind::Chapter:
        return "Chapter " + std::to_string(sheet.Chapter) + ", " + PageRangeText(sheet) + ": " +
               CopiesText(sheet.Copies);
    case SheetKind::SeparatorPage:
        return "Separator page after chapter " + std::to_string(sheet.Chapter) + ": " +
               OwnTrayAndOverlay(sheet);
    case SheetKind::Rest:
        return "Rest, " + PageRangeText(sheet) + ": " + CopiesText(sheet.Copies);
    }
    return {};
}

std::string NoneOr(bool present, std::string text) {
    return present ? std::move(text) : "none";
}

std::string SeparatorFlagText(const std::optional<bool>& afterCopySetOnly) {
    if (!afterCopySetOnly) {
        return "not determined (no chapter has a separator page)";
    }
    return *afterCopySetOnly ? "yes" : "no";
}

} // namespace

std::string ExplainText(const DecodedTicket& ticket) {
    const JobSettings& settings = ticket.Settings;
    std::string text;
    const auto line = [&text](const std::string& fact) { text += fact + "\n"; };
    line(ticket.DocumentMode ? "Mode: document printing" : "Mode: chapter printing");
    line("Copies: " + FormatUnsigned(settings.NumberOfCopies()));
    line("Default tray: " +
         NoneOr(settings.DefaultInputTray() > 0, TrayText(settings.DefaultInputTray())));
    line("Default overlay: " +
         NoneOr(settings.DefaultFormOverlay() != 0, OverlayText(settings.DefaultFormOverlay())));
    if (!ticket.DocumentMode) {
        line("Separator pages after the copy set only: " +
             SeparatorFlagText(ticket.SepPageAfterCopySetOnly));
    }
    if (settings.CoverPageFormOverlay() == 0) {
        line("Cover sheet: none");
    }
    for (const Sheet& sheet : SheetSequence(ticket)) {
        line(SheetLine(sheet));
    }
    if (settings.FooterPageFormOverlay() == 0) {
        line("Footer sheet: none");
    }
    return text;
}

} // namespace varnak
