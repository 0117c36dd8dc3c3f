#pragma once

#include "platform/toolkit/Template.h"

namespace varnak {

// The dialog templates of the user interface, as data: every backend builds its windows
// from these. Each lives for the whole program.
const toolkit::DialogTemplate& OptionsTemplate();         // 133, "ZOR Brevant"
const toolkit::DialogTemplate& CoverPageTemplate();       // 190, "Cover Page"
const toolkit::DialogTemplate& FooterPageTemplate();      // 191, "Footer Page"
const toolkit::DialogTemplate& ChapterPrintingTemplate(); // 192, "Chapter Printing"
const toolkit::DialogTemplate& DocumentPrintingTemplate(); // 134, "Document Printing"

} // namespace varnak
