#include "core/TicketWriter.h"

#include "core/CommandBuilder.h"
#include "core/TicketEnvelope.h"

namespace varnak {

TicketRequest ParseTicketRequest(std::string_view commandLine) {
    TicketRequest request;
    request.Debug = commandLine.find("-DEBUG") != std::string_view::npos;
    const std::size_t switchAt = commandLine.find("-R");
    if (switchAt == std::string_view::npos) {
        return request;
    }
    request.Requested = true;
    const std::size_t quoteAt = switchAt + 2;
    // The name must follow an opening quote (or, as callers have long written, a blank).
    // Anything else would silently lose the name's first character.
    if (quoteAt >= commandLine.size() ||
        (commandLine[quoteAt] != '"' && commandLine[quoteAt] != ' ')) {
        return request;
    }
    const std::string_view rest = commandLine.substr(quoteAt + 1);
    const std::size_t closing = rest.find('"');
    std::string name(rest.substr(0, closing));
    if (closing != std::string_view::npos) {
        const std::string_view afterQuote = rest.substr(closing + 1);
        name.append(afterQuote.substr(0, afterQuote.find(' ')));
    }
    request.OutputName = std::move(name);
    return request;
}

namespace TicketWriter {

TicketOutcome WriteTicket(const TicketRequest& request, const JobSettings& settings,
                          bool documentMode, MessageOwner& owner, const WholeFileWriter& files) {
    if (!request.Requested) {
        return TicketOutcome::NotRequested;
    }
    const std::string ticket = TicketEnvelope::Wrap(BuildCommandString(settings, documentMode));

    const std::string outputName = request.OutputName.value_or(std::string());
    switch (outputName.empty() ? FileWrite::CannotCreate : files(outputName, ticket)) {
    case FileWrite::Written:
        break;
    case FileWrite::CannotCreate:
        owner.ShowMessage("Could not open output file", "Error", MessageIcon::Warning);
        return TicketOutcome::OutputFailed;
    case FileWrite::CannotWrite:
        owner.ShowMessage("Could not write output file", "Error", MessageIcon::Warning);
        return TicketOutcome::OutputFailed;
    }
    if (request.Debug) {
        // The debug copy is best effort: only one that can't be created at all is reported.
        const std::string debugName = outputName + "_debug";
        if (files(debugName, ticket) == FileWrite::CannotCreate) {
            owner.ShowMessage("Couldn't open debug file: " + debugName, ApplicationName,
                              MessageIcon::None);
        }
    }
    return TicketOutcome::Written;
}

} // namespace TicketWriter
} // namespace varnak
