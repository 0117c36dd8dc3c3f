#pragma once

#include "core/TicketWriter.h"

#include <string>
#include <vector>

namespace varnak {

// The program's command line: the text start-up checks, and the ticket it asks for.
struct CommandLine {
    std::string Text;
    TicketRequest Ticket;
};

// The Windows command-line text, as varnak.exe gets it and varnak-drive's scripts give it:
// the ticket writer's rules of quotes and tails.
CommandLine CommandLineFromText(std::string text);

// The arguments a POSIX shell hands over, its quotes already removed: each taken whole. The
// first argument beginning with "-R" names the ticket with the rest of it or, when nothing
// follows "-R", with the next argument; "-R" followed by nothing or only by "-DEBUG" (an
// empty variable in -R"$TICKET") names no file. "-DEBUG" counts anywhere, as in the text.
CommandLine CommandLineFromArguments(const std::vector<std::string>& arguments);

// POSIX: a reader that went away or a file-size limit make a write fail and be reported,
// instead of ending the program with a signal.
void ReportFailedWritesInsteadOfDying();

} // namespace varnak
