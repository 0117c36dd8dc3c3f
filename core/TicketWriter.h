#pragma once

#include "core/JobSettings.h"
#include "core/MessageOwner.h"

#include <optional>
#include <string>
#include <string_view>

namespace varnak {

enum class TicketOutcome { NotRequested, Written, OutputFailed };

// What the command-line text asks of the writer.
struct TicketRequest {
    bool Requested = false; // "-R" occurs
    bool Debug = false;     // "-DEBUG" occurs
    // The output file name; empty when "-R" names no file that could be opened.
    std::optional<std::string> OutputName;
};

// Reads "-R" and "-DEBUG" from the text: case-sensitive, first occurrence, anywhere.
TicketRequest ParseTicketRequest(std::string_view commandLine);

namespace TicketWriter {

// Builds the command string and writes it in its PJL envelope to the file named by "-R",
// plus a byte-identical "_debug" copy on "-DEBUG". A ticket that could not be written
// completely is reported and removed, never left behind as if it were good.
TicketOutcome WriteTicket(std::string_view commandLine, const JobSettings& settings,
                          bool documentMode, MessageOwner& owner);

} // namespace TicketWriter
} // namespace varnak
