#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace varnak::print {

// varnak-print [-d DESTINATION] [-h SERVER[:PORT]] [-t TITLE] [--wait[=SECONDS]]
//              [--keep-ticket FILE] [FILE | -]
struct PrintOptions {
    std::string Destination; // empty: the user's default
    std::string Server;      // empty: the usual client configuration
    std::optional<std::string> Title;
    bool Wait = false;
    std::optional<int> WaitSeconds; // with Wait: none for no limit
    std::optional<std::string> KeepTicket;
    std::string Document = "-"; // "-": standard input

    bool FromStandardInput() const { return Document == "-"; }
    // The job's title: -t, else the document's file name ("stdin" for standard input).
    std::string JobTitle() const;
};

struct UsageError {
    std::string Message;
};

inline constexpr const char* PrintUsage =
    "usage: varnak-print [-d DESTINATION] [-h SERVER[:PORT]] [-t TITLE] [--wait[=SECONDS]] "
    "[--keep-ticket FILE] [FILE | -]";

// The arguments after the program's name, read in the ordinary way: options by their whole
// word (a value in the same word, "-dzor", or the next one, "-d zor"), "--" ending them.
std::variant<PrintOptions, UsageError>
ParsePrintArguments(const std::vector<std::string>& arguments);

} // namespace varnak::print
