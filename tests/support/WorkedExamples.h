#pragma once

#include "core/JobSettings.h"

#include <string>
#include <string_view>

namespace varnak::test {

// The PJL lines around a command string, written out here for the tests instead of taken
// from the program's own TicketEnvelope, so that a change there shows.
inline constexpr std::string_view PjlOpening =
    "\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\nZOR_COMMAND=";
inline constexpr std::string_view PjlClosing = "\n\x1b%-12345X";
inline std::string Pjl(std::string_view command) {
    return std::string(PjlOpening).append(command).append(PjlClosing);
}

// The first worked example: two copies; a separation sheet after page 3, page 5 on overlay 12
// from tray 3, page 8 from tray 6.
inline void DocumentExample(JobSettings& s) {
    s.SetNumberOfCopies(2);
    s.AddPageEntry({.Page = 3});
    s.AddPageEntry({.Page = 5, .FormOverlay = 12, .InputTray = 3});
    s.AddPageEntry({.Page = 8, .InputTray = 6});
}

// Its command string, and its ticket of 128 bytes.
inline constexpr std::string_view DocumentExampleCommand =
    "C1I1;K2;D1;C1:2F25997I1;C1:5I1FF;C1:6I-3F12;C1:9I1FF;C1:10I-6;\r\n";
inline const std::string DocumentExampleTicket = Pjl(DocumentExampleCommand);

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

// Its command string in chapter mode, and its ticket.
inline constexpr std::string_view ChapterExampleCommand =
    "C1I2F40;EI1I1F7;\r\n"
    "ZOR_COMMAND_ADD=C1:10I2F40F25997;\r\n"
    "ZOR_COMMAND_ADD=C1:25I2F40F25997FF;C1:26F15I-5F25997;EJ1F9;\r\n"
    "VARIABLE=#CHAPTERCOPY1#:1\r\nVARIABLE=#CHAPTERCOPY2#:2\r\n"
    "VARIABLE=#CHAPTERCOPY3#:3\r\nVARIABLE=#CHAPTERCOPY4#:1\r\n"
    "VARIABLE=#CHAPTERCOPY5#:4\r\nVARIABLE=#CHAPTERCOPY6#:1\r\n";
inline const std::string ChapterExampleTicket = Pjl(ChapterExampleCommand);

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
