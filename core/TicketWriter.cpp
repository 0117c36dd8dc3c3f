#include "core/TicketWriter.h"

#include "core/CommandBuilder.h"

#include <array>
#include <memory>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace varnak {
namespace {

constexpr std::string_view UniversalExit = "\x1b%-12345X";
constexpr std::string_view Header = "\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\n";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenForWriting(const std::string& name) {
    if (name.empty()) {
        return nullptr;
    }
    return File(std::fopen(name.c_str(), "wb"));
}

bool Put(std::FILE* file, std::string_view piece) {
    return std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
}

// Closing flushes: a full disk often shows only here.
bool Close(File& file) {
    std::FILE* raw = file.release();
    const bool flushed = std::fflush(raw) == 0;
    return std::fclose(raw) == 0 && flushed;
}

// Only a regular file is taken away; a device such as /dev/full or a link stays.
void RemoveIncomplete(const std::string& name) {
    std::error_code error;
    if (std::filesystem::symlink_status(name, error).type() ==
        std::filesystem::file_type::regular) {
        std::filesystem::remove(name, error);
    }
}

} // namespace

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

TicketOutcome WriteTicket(std::string_view commandLine, const JobSettings& settings,
                          bool documentMode, MessageOwner& owner) {
    const TicketRequest request = ParseTicketRequest(commandLine);
    if (!request.Requested) {
        return TicketOutcome::NotRequested;
    }
    const std::string command = BuildCommandString(settings, documentMode);

    const std::string outputName = request.OutputName.value_or(std::string());
    File output = OpenForWriting(outputName);
    if (!output) {
        owner.ShowMessage("Could not open output file", "Error", MessageIcon::Warning);
        return TicketOutcome::OutputFailed;
    }
    File debug;
    if (request.Debug) {
        const std::string debugName = outputName + "_debug";
        debug = OpenForWriting(debugName);
        if (!debug) {
            owner.ShowMessage("Couldn't open debug file: " + debugName, ApplicationName,
                              MessageIcon::None);
        }
    }

    const std::array<std::string_view, 5> pieces = {Header, "ZOR_COMMAND=", command, "\n",
                                                     UniversalExit};
    bool complete = true;
    for (std::string_view piece : pieces) {
        complete = Put(output.get(), piece) && complete;
        if (debug) {
            Put(debug.get(), piece); // the debug copy is best effort
        }
    }
    complete = Close(output) && complete;
    if (debug) {
        Close(debug);
    }
    if (!complete) {
        RemoveIncomplete(outputName);
        owner.ShowMessage("Could not write output file", "Error", MessageIcon::Warning);
        return TicketOutcome::OutputFailed;
    }
    return TicketOutcome::Written;
}

} // namespace TicketWriter
} // namespace varnak
