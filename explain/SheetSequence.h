#pragma once

#include "explain/TicketDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace varnak {

enum class SheetKind {
    Cover,
    Pages,           // a run of document pages printed with the defaults
    SeparationSheet, // inserted after a page
    ModifiedPage,    // a page with a tray or overlay of its own
    Chapter,
    SeparatorPage, // after a chapter
    Rest,          // the pages after the last chapter
    Footer
};

// One step of the sheet sequence, in the operator's terms. Page numbers are 64 bits wide so
// that "the page after" the last 32-bit page needs no special case.
struct Sheet {
    SheetKind Kind = SheetKind::Pages;
    std::uint64_t FirstPage = 0; // Pages, Chapter, Rest; the page of a ModifiedPage
    std::uint64_t LastPage = 0;  // Pages, Chapter; the page a SeparationSheet follows
    bool ToTheEnd = false;       // Pages and Rest run to the document's end
    std::uint32_t Copies = 0;    // Chapter, Rest
    std::size_t Chapter = 0;     // Chapter and SeparatorPage: the chapter's number, from 1
    std::uint32_t Overlay = 0;   // Cover, Footer, ModifiedPage, SeparatorPage; 0 none
    std::int32_t Tray = 0;       // the same sheets; 0 or below: none
};

// The sheets in the order the printer produces them: the cover, the pages or chapters in page
// order (the ticket keeps the order they were entered in), the footer. A cover or footer
// sheet that isn't printed isn't listed.
std::vector<Sheet> SheetSequence(const DecodedTicket& ticket);

// The words every output uses for the same things.
std::string TrayText(std::int32_t tray);        // "tray 3 (Color)", "no tray"
std::string OverlayText(std::uint32_t overlay); // "overlay 12", "no overlay"
std::string PageRangeText(const Sheet& sheet);  // "pages 1 to 3", "page 4", "pages 9 to the end"
std::string CopiesText(std::uint32_t copies);   // "1 copy", "3 copies"
// The tray table's name for a code, empty for none and for a code outside it (unlike the
// lists' TrayName, which names 0 "None").
std::string_view TrayTableName(std::int32_t tray);

} // namespace varnak
