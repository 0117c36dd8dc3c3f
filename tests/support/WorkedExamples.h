#pragma once

#include "core/JobSettings.h"

namespace varnak::test {

// The first worked example: two copies; a separation sheet after page 3, page 5 on overlay 12
// from tray 3, page 8 from tray 6.
inline void DocumentExample(JobSettings& s) {
    s.SetNumberOfCopies(2);
    s.AddPageEntry({.Page = 3});
    s.AddPageEntry({.Page = 5, .FormOverlay = 12, .InputTray = 3});
    s.AddPageEntry({.Page = 8, .InputTray = 6});
}

// The second: defaults tray 2 and overlay 40, cover 7 on tray 1, footer 9, two chapters of
// which the second has a separator definition, separator pages after the copy set only.
inline void ChapterExample(JobSettings& s) {
    s.SetDefaultInputTray(2);
    s.SetDefaultFormOverlay(40);
    s.SetCoverPageFormOverlay(7);
    s.SetCoverPageInputTray(1);
    s.SetFooterPageFormOverlay(9);
    s.SetSepPageAfterCopySetOnly(true);
    s.SetRemainingChapterCopyCount(4);
    s.AddChapterEntry({.LastPage = 10, .CopyCount = 2});
    s.AddChapterEntry({.LastPage = 25, .CopyCount = 3, .FormOverlay = 15, .InputTray = 5});
}

// The first example's page entries as an operator types and picks them on the Document
// Printing page, in order.
struct PageEntryInput {
    const char* page;
    const char* overlay;
    const char* tray;
};
inline constexpr PageEntryInput DocumentExampleInputs[] = {
    {"3", "None", "None"}, {"5", "12", "Color"}, {"8", "None", "Letterhead"}};

} // namespace varnak::test
