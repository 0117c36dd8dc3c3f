#pragma once

#include "core/JobSettings.h"
#include "core/MessageOwner.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varnak {

enum class TicketOutcome { NotRequested, Written, OutputFailed };

// What the command line asks of the writer.
struct TicketRequest {
    bool Requested = false; // "-R" occurs
    bool Debug = false;     // "-DEBUG" occurs
    // The output file name; empty when "-R" names no file that could be opened.
    std::optional<std::string> OutputName;
};

// Reads "-R" and "-DEBUG" from the Windows command-line text: case-sensitive, first
// occurrence, anywhere.
TicketRequest ParseTicketRequest(std::string_view commandLine);

// How writing one whole file under a name went.
enum class FileWrite { Written, CannotCreate, CannotWrite };
// Writes a file whole: at every instant the name holds either its old contents or all of the
// new ones. Supplied by the platform; tests supply their own.
using WholeFileWriter = std::function<FileWrite(const std::string& name, std::string_view bytes)>;

namespace TicketWriter {

// Builds the command string and writes it in its PJL envelope to the file named by "-R",
// plus a byte-identical "_debug" copy on "-DEBUG". A ticket that could not be written
// completely is reported, and what the name held before stays there.
TicketOutcome WriteTicket(const TicketRequest& request, const JobSettings& settings,
                          bool documentMode, MessageOwner& owner, const WholeFileWriter& files);

} // namespace TicketWriter
} // namespace varnak
