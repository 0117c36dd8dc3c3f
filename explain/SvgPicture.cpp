#include "explain/Reports.h"

#include "explain/SheetSequence.h"

#include "core/NumberText.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnak {
namespace {

// Layout in pixels. Text widths are estimated from the character count, generously, since
// the viewer's font is unknown.
constexpr int Margin = 20;
constexpr int TitleHeight = 64;
constexpr int SheetWidth = 56;
constexpr int SheetHeight = 72;
constexpr int StackOffset = 5;
constexpr int CardHeight = 172;
constexpr int CardGap = 28;
constexpr int CardsPerRow = 6;
constexpr int LineHeight = 16;
constexpr int LegendHeight = 44;
constexpr double CharWidth = 7.2;

struct Style {
    std::string_view Name; // in the legend
    std::string_view Fill;
    std::string_view Stroke;
    bool Printed = true; // shows lines of text
};

// One per SheetKind, in its order; the cover and the footer sheet look alike.
constexpr std::array<Style, 8> Styles = {{
    {"cover or footer sheet", "#dce8fb", "#2f5597"},
    {"document pages", "#ffffff", "#6b7280"},
    {"separation sheet", "#f59f00", "#a85a00", false},
    {"modified page", "#e6f4ea", "#2b8a3e"},
    {"chapter, printed \xc3\x97 copies", "#f3f0ff", "#5f3dc4"},
    {"separator page", "#ffe8cc", "#a85a00", false},
    {"rest, printed \xc3\x97 copies", "#f1f3f5", "#495057"},
    {"cover or footer sheet", "#dce8fb", "#2f5597"},
}};

const Style& StyleOf(SheetKind kind) {
    return Styles[static_cast<std::size_t>(kind)];
}

std::string Escaped(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string Number(double value) {
    return std::to_string(static_cast<long long>(value));
}

// Characters as shown: the multiplication sign is two bytes in UTF-8.
std::size_t Shown(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xc0) != 0x80; }));
}

void Text(std::string& svg, double x, double y, std::string_view text, std::string_view extra) {
    svg += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\"" + std::string(extra) + ">" +
           Escaped(text) + "</text>\n";
}

bool IsStack(const Sheet& sheet) {
    return sheet.Kind == SheetKind::Chapter || sheet.Kind == SheetKind::Rest ||
           (sheet.Kind == SheetKind::Pages &&
            (sheet.ToTheEnd || sheet.FirstPage != sheet.LastPage));
}

bool HasOverlay(const Sheet& sheet) {
    return sheet.Overlay != 0;
}

// One sheet with a folded corner; a band across its head stands for a form overlay.
void SheetShape(std::string& svg, double x, double y, const Style& style, bool overlay) {
    const std::string fold = "10";
    svg += "<path d=\"M" + Number(x) + "," + Number(y) + " h" + Number(SheetWidth - 10) + " l" +
           fold + "," + fold + " v" + Number(SheetHeight - 10) + " h-" + Number(SheetWidth) +
           " z\" fill=\"" + std::string(style.Fill) + "\" stroke=\"" + std::string(style.Stroke) +
           "\" stroke-width=\"1.5\"/>\n";
    svg += "<path d=\"M" + Number(x + SheetWidth - 10) + "," + Number(y) +
           " v10 h10\" fill=\"none\" stroke=\"" + std::string(style.Stroke) +
           "\" stroke-width=\"1\"/>\n";
    if (overlay) {
        svg += "<rect x=\"" + Number(x + 6) + "\" y=\"" + Number(y + 14) + "\" width=\"" +
               Number(SheetWidth - 12) + "\" height=\"9\" fill=\"" + std::string(style.Stroke) +
               "\" opacity=\"0.55\"/>\n";
    }
    if (style.Printed) {
        for (int line = 0; line < 4; ++line) {
            const double lineY = y + 32 + line * 9;
            svg += "<line x1=\"" + Number(x + 8) + "\" y1=\"" + Number(lineY) + "\" x2=\"" +
                   Number(x + SheetWidth - (line == 3 ? 22 : 8)) + "\" y2=\"" + Number(lineY) +
                   "\" stroke=\"#9aa0a6\" stroke-width=\"2\"/>\n";
        }
    }
}

void Glyph(std::string& svg, double x, double y, const Sheet& sheet, bool run) {
    const Style& style = StyleOf(sheet.Kind);
    if (run || IsStack(sheet)) {
        SheetShape(svg, x + 2 * StackOffset, y - 2 * StackOffset, style, HasOverlay(sheet));
        SheetShape(svg, x + StackOffset, y - StackOffset, style, HasOverlay(sheet));
    }
    SheetShape(svg, x, y, style, HasOverlay(sheet));
    if (sheet.Kind == SheetKind::Chapter || sheet.Kind == SheetKind::Rest) {
        const std::string badge = "\xc3\x97" + FormatUnsigned(sheet.Copies);
        const double width = 12 + CharWidth * static_cast<double>(Shown(badge));
        const double badgeX = x + SheetWidth - width / 2;
        const double badgeY = y + SheetHeight - 6;
        svg += "<rect x=\"" + Number(badgeX - width / 2) + "\" y=\"" + Number(badgeY - 12) +
               "\" width=\"" + Number(width) + "\" height=\"22\" rx=\"11\" fill=\"" +
               std::string(style.Stroke) + "\"/>\n";
        Text(svg, badgeX, badgeY + 4, badge,
             " font-size=\"13\" font-weight=\"bold\" fill=\"#ffffff\" text-anchor=\"middle\"");
    }
}

// The label under a sheet: what it is, then its details, one a line.
std::vector<std::string> Label(const Sheet& sheet, const std::optional<bool>& afterCopySetOnly) {
    const auto ownTrayAndOverlay = [&](std::string heading) {
        std::vector<std::string> lines{std::move(heading)};
        if (sheet.Overlay != 0) {
            lines.push_back(OverlayText(sheet.Overlay));
        }
        if (sheet.Tray > 0) {
            lines.push_back(TrayText(sheet.Tray));
        }
        if (lines.size() == 1) {
            lines.emplace_back("no tray or overlay");
        }
        return lines;
    };
    switch (sheet.Kind) {
    case SheetKind::Cover:
        return {"Cover sheet", OverlayText(sheet.Overlay), TrayText(sheet.Tray)};
    case SheetKind::Footer:
        return {"Footer sheet", OverlayText(sheet.Overlay), TrayText(sheet.Tray)};
    case SheetKind::Pages: {
        std::string range = PageRangeText(sheet);
        range.front() = 'P';
        return {range, "default tray", "and overlay"};
    }
    case SheetKind::SeparationSheet:
        return {"Separation sheet", "after page " + std::to_string(sheet.LastPage)};
    case SheetKind::ModifiedPage:
        return ownTrayAndOverlay("Page " + std::to_string(sheet.FirstPage));
    case SheetKind::Chapter:
        return {"Chapter " + std::to_string(sheet.Chapter), PageRangeText(sheet),
                CopiesText(sheet.Copies)};
    case SheetKind::SeparatorPage: {
        std::vector<std::string> lines = ownTrayAndOverlay("Separator page");
        lines.push_back(afterCopySetOnly.value_or(false) ? "after the copy set"
                                                         : "after each copy");
        return lines;
    }
    case SheetKind::Rest:
        return {"Rest", PageRangeText(sheet), CopiesText(sheet.Copies)};
    }
    return {};
}

// What one card shows: a sheet, a run of like sheets drawn once, or the sheets left out.
struct CardContent {
    const Sheet* Glyph = nullptr; // none: the sheets left out
    bool Run = false;
    std::vector<std::string> Lines;
};

// Past this many cards, runs of like sheets are drawn once with their count, and what still
// doesn't fit is told by one card before the last, so that the picture of any ticket stays
// readable and its size bounded; the words and the JSON list every sheet.
constexpr std::size_t MostCards = 240;

bool Alike(const Sheet& a, const Sheet& b) {
    return a.Kind == b.Kind && a.Overlay == b.Overlay && a.Tray == b.Tray && a.Copies == b.Copies &&
           a.Kind != SheetKind::Cover && a.Kind != SheetKind::Footer && a.Kind != SheetKind::Rest;
}

// The label of a run of like sheets: how many of what, over which pages, and what they share.
std::vector<std::string> RunLabel(const Sheet& first, const Sheet& last, std::size_t count,
                                  const std::optional<bool>& afterCopySetOnly) {
    static constexpr std::array<std::string_view, 8> Plurals = {"",
                                                                "runs of pages",
                                                                "separation sheets",
                                                                "modified pages",
                                                                "chapters",
                                                                "separator pages",
                                                                "",
                                                                ""};
    const bool separation = first.Kind == SheetKind::SeparationSheet;
    const std::uint64_t from = separation ? first.LastPage : first.FirstPage;
    const std::uint64_t to = first.Kind == SheetKind::ModifiedPage ? last.FirstPage : last.LastPage;
    std::vector<std::string> lines{
        FormatUnsigned(static_cast<std::uint32_t>(std::min<std::size_t>(count, UINT32_MAX))) + " " +
            std::string(Plurals[static_cast<std::size_t>(first.Kind)]),
        std::string(separation ? "after " : "") + "pages " + std::to_string(from) + " to " +
            std::to_string(to)};
    // What the sheets share: the details of the first one that name no page.
    const std::vector<std::string> own = Label(first, afterCopySetOnly);
    const std::size_t shared =
        first.Kind == SheetKind::Chapter || first.Kind == SheetKind::SeparationSheet ? 2 : 1;
    lines.insert(lines.end(),
                 own.begin() + static_cast<std::ptrdiff_t>(std::min(shared, own.size())),
                 own.end());
    return lines;
}

std::vector<CardContent> Cards(const std::vector<Sheet>& sheets,
                               const std::optional<bool>& afterCopySetOnly) {
    std::vector<CardContent> cards;
    if (sheets.size() <= MostCards) {
        for (const Sheet& sheet : sheets) {
            cards.push_back({&sheet, false, Label(sheet, afterCopySetOnly)});
        }
        return cards;
    }
    // Runs of like sheets, as [first, end) of each.
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < sheets.size();) {
        std::size_t end = i + 1;
        while (end < sheets.size() && Alike(sheets[i], sheets[end])) {
            ++end;
        }
        runs.emplace_back(i, end);
        i = end;
    }
    const auto card = [&](std::pair<std::size_t, std::size_t> run) {
        const auto [first, end] = run;
        if (end - first == 1) {
            return CardContent{&sheets[first], false, Label(sheets[first], afterCopySetOnly)};
        }
        return CardContent{&sheets[first], true,
                           RunLabel(sheets[first], sheets[end - 1], end - first, afterCopySetOnly)};
    };
    const std::size_t kept = std::min(runs.size(), MostCards - 2);
    for (std::size_t i = 0; i < kept; ++i) {
        cards.push_back(card(runs[i]));
    }
    if (kept < runs.size()) {
        const std::size_t left = runs.back().first - runs[kept].first;
        cards.push_back(
            {nullptr,
             false,
             {FormatUnsigned(static_cast<std::uint32_t>(std::min<std::size_t>(left, UINT32_MAX))) +
                  (left == 1 ? " more sheet" : " more sheets"),
              "listed in words", "and in JSON"}});
        cards.push_back(card(runs.back()));
    }
    return cards;
}

// The sheets left out: an outline of a sheet with an ellipsis.
void Omission(std::string& svg, double x, double y) {
    svg += "<rect x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" width=\"" + Number(SheetWidth) +
           "\" height=\"" + Number(SheetHeight) +
           "\" fill=\"none\" stroke=\"#868e96\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"/>\n";
    Text(svg, x + SheetWidth / 2.0, y + SheetHeight / 2.0 + 6, "\xe2\x80\xa6",
         " font-size=\"20\" fill=\"#868e96\" text-anchor=\"middle\"");
}

void DrawCard(std::string& svg, double x, double y, double width, const CardContent& card) {
    const double center = x + width / 2;
    const double glyphX = center - SheetWidth / 2.0 - StackOffset;
    const double glyphY = y + 2 * StackOffset + 4;
    if (card.Glyph != nullptr) {
        Glyph(svg, glyphX, glyphY, *card.Glyph, card.Run);
    } else {
        Omission(svg, glyphX, glyphY);
    }
    double lineY = y + 2 * StackOffset + SheetHeight + 26;
    bool heading = true;
    for (const std::string& line : card.Lines) {
        Text(svg, center, lineY, line,
             heading ? " font-size=\"12\" font-weight=\"bold\" text-anchor=\"middle\""
                     : " font-size=\"12\" fill=\"#333333\" text-anchor=\"middle\"");
        heading = false;
        lineY += LineHeight;
    }
}

void Arrow(std::string& svg, double fromX, double toX, double y) {
    svg += "<line x1=\"" + Number(fromX + 4) + "\" y1=\"" + Number(y) + "\" x2=\"" +
           Number(toX - 6) + "\" y2=\"" + Number(y) +
           "\" stroke=\"#868e96\" stroke-width=\"2\" marker-end=\"url(#arrow)\"/>\n";
}

std::string Subtitle(const DecodedTicket& ticket) {
    const JobSettings& settings = ticket.Settings;
    std::string subtitle =
        "Default tray: " +
        (settings.DefaultInputTray() > 0 ? TrayText(settings.DefaultInputTray()) : "none") +
        "  \xc2\xb7  default overlay: " +
        (settings.DefaultFormOverlay() != 0 ? OverlayText(settings.DefaultFormOverlay()) : "none");
    if (!ticket.DocumentMode) {
        const auto& flag = ticket.SepPageAfterCopySetOnly;
        subtitle += "  \xc2\xb7  separator pages after the copy set only: ";
        subtitle += !flag ? "not determined" : (*flag ? "yes" : "no");
    }
    return subtitle;
}

// The legend names each kind of sheet the picture shows, once.
std::vector<const Style*> LegendStyles(const std::vector<Sheet>& sheets) {
    std::vector<const Style*> shown;
    for (const Sheet& sheet : sheets) {
        const Style* style = &StyleOf(sheet.Kind);
        if (std::none_of(shown.begin(), shown.end(),
                         [&](const Style* other) { return other->Name == style->Name; })) {
            shown.push_back(style);
        }
    }
    return shown;
}

double LegendItemWidth(const Style& style) {
    return 44 + CharWidth * static_cast<double>(Shown(style.Name));
}

void Legend(std::string& svg, double y, const std::vector<const Style*>& styles) {
    double x = Margin;
    for (const Style* style : styles) {
        svg += "<rect x=\"" + Number(x) + "\" y=\"" + Number(y) +
               "\" width=\"14\" height=\"18\" fill=\"" + std::string(style->Fill) + "\" stroke=\"" +
               std::string(style->Stroke) + "\" stroke-width=\"1.5\"/>\n";
        Text(svg, x + 20, y + 14, style->Name, " font-size=\"12\" fill=\"#333333\"");
        x += LegendItemWidth(*style);
    }
}

} // namespace

std::string ExplainSvg(const DecodedTicket& ticket) {
    const std::vector<Sheet> sheets = SheetSequence(ticket);
    const JobSettings& settings = ticket.Settings;
    const std::string title = std::string(ticket.DocumentMode ? "Document" : "Chapter") +
                              " printing, " + CopiesText(settings.NumberOfCopies());
    const std::string subtitle = Subtitle(ticket);
    const std::vector<const Style*> legend = LegendStyles(sheets);

    const std::vector<CardContent> cards = Cards(sheets, ticket.SepPageAfterCopySetOnly);
    std::size_t widest = 0;
    for (const CardContent& card : cards) {
        for (const std::string& line : card.Lines) {
            widest = std::max(widest, Shown(line));
        }
    }
    const double cardWidth = std::max(110.0, CharWidth * static_cast<double>(widest) + 16);
    // Rows as even as they can be, each starting with room for the arrow from the row above.
    const std::size_t rows = (cards.size() + CardsPerRow - 1) / CardsPerRow;
    const std::size_t columns = (cards.size() + rows - 1) / rows;
    double legendWidth = 0;
    for (const Style* style : legend) {
        legendWidth += LegendItemWidth(*style);
    }
    const double rowWidth = static_cast<double>(columns) * (cardWidth + CardGap);
    const double width = std::max({2.0 * Margin + rowWidth,
                                   2.0 * Margin + CharWidth * static_cast<double>(Shown(subtitle)),
                                   2.0 * Margin + legendWidth});
    const double legendY = TitleHeight + static_cast<double>(rows) * CardHeight + 8;
    const double height = legendY + LegendHeight;

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      Number(width) + "\" height=\"" + Number(height) + "\" viewBox=\"0 0 " +
                      Number(width) + " " + Number(height) +
                      "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\">\n";
    svg += "<title>" + Escaped(title) + "</title>\n";
    svg += "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"8\" refY=\"5\" "
           "markerWidth=\"7\" markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" "
           "fill=\"#868e96\"/></marker></defs>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    Text(svg, Margin, 30, title, " font-size=\"18\" font-weight=\"bold\"");
    Text(svg, Margin, 50, subtitle, " font-size=\"12\" fill=\"#333333\"");

    const double arrowY = 2 * StackOffset + 4 + SheetHeight / 2.0;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const std::size_t column = i % columns;
        const double x = Margin + CardGap + static_cast<double>(column) * (cardWidth + CardGap);
        const std::size_t row = i / columns;
        const double y = TitleHeight + static_cast<double>(row) * CardHeight;
        if (column == 0 && i > 0) {
            Arrow(svg, x - CardGap, x, y + arrowY);
        }
        DrawCard(svg, x, y, cardWidth, cards[i]);
        if (i + 1 < cards.size()) {
            Arrow(svg, x + cardWidth,
                  x + cardWidth + (column + 1 == columns ? CardGap / 2.0 : CardGap), y + arrowY);
        }
    }
    Legend(svg, legendY, legend);
    svg += "</svg>\n";
    return svg;
}

} // namespace varnak
