// varnak-explain [--json | --svg] [FILE]: reads a ticket file back (standard input without
// FILE) and says what it will print, in words, as JSON or as a picture.
#include "explain/Reports.h"
#include "explain/TicketDecoder.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <variant>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int ExitExplained = 0;
constexpr int ExitNotATicket = 1;
constexpr int ExitUsage = 2;

// "[--json | --svg]": the flags of the formats that have one.
std::string FormatFlags() {
    std::string flags;
    for (const varnak::ReportFormat& format : varnak::ReportFormats) {
        if (!format.Flag.empty()) {
            flags += std::string(flags.empty() ? "[" : " | ") + std::string(format.Flag);
        }
    }
    return flags + "]";
}

std::string Usage() {
    return "usage: varnak-explain " + FormatFlags() + " [FILE]\n";
}

std::string Help() {
    std::string help =
        "\n"
        "Reads a ZOR Brevant ticket file (standard input without FILE, or with -) and\n"
        "says what it will print: the copies, the default tray and overlay, the cover\n"
        "and footer sheets, and the page exceptions or the chapters, in the order the\n"
        "printer produces the sheets.\n"
        "\n";
    for (const varnak::ReportFormat& format : varnak::ReportFormats) {
        const std::string_view flag = format.Flag.empty() ? "(none)" : format.Flag;
        help += "  " + std::string(flag) +
                std::string(std::max<std::size_t>(9, flag.size() + 1) - flag.size(), ' ') +
                std::string(format.Help) + "\n";
    }
    return help +
           "  --help   this text\n"
           "\n"
           "Exit status: 0 for a ticket, 1 for bytes that are not a ticket the dialog could\n"
           "have written (the offset and what was expected there on standard error), 2 for a\n"
           "usage error or a file that can't be read.\n";
}

struct Arguments {
    const varnak::ReportFormat* Output = &varnak::ReportFormats.front();
    std::string File; // empty: standard input
    bool Help = false;
};

// False for a command line the tool doesn't understand.
bool Parse(int argc, char** argv, Arguments& arguments) {
    bool formatGiven = false;
    bool fileGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            arguments.Help = true;
        } else if (const auto* format = std::ranges::find(varnak::ReportFormats, argument,
                                                          &varnak::ReportFormat::Flag);
                   !argument.empty() && format != varnak::ReportFormats.end()) {
            if (formatGiven) {
                return false;
            }
            formatGiven = true;
            arguments.Output = format;
        } else if (fileGiven || (argument.size() > 1 && argument.front() == '-')) {
            return false;
        } else {
            fileGiven = true;
            arguments.File = argument == "-" ? std::string() : std::string(argument);
        }
    }
    return true;
}

enum class ReadOutcome {
    Whole,   // all of the input
    Stopped, // up to a byte no ticket can have there, or past the most a ticket can hold
    Failed,  // a read error
};

// Reads a ticket, but no further than it takes to decide: input that can't be a ticket (an
// endless device, another file's bytes) is refused at its first impossible byte, and
// nothing larger than a ticket can be is held. A read error (a directory, a device that
// fails) marks the stream bad, where reading it through rdbuf() would look like an empty
// file.
ReadOutcome ReadTicket(std::istream& in, std::string& bytes) {
    std::array<char, 65536> chunk{};
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        const std::size_t checked = bytes.size();
        const std::size_t needed = checked + static_cast<std::size_t>(in.gcount());
        if (needed > bytes.capacity()) {
            // A small ticket grows as a string grows; a large one gets the most that is held
            // at once (only what is filled takes memory), instead of a copy at each doubling.
            constexpr std::size_t Small = std::size_t{1} << 20;
            bytes.reserve(needed <= Small ? std::max(needed, 2 * bytes.capacity())
                                          : varnak::MaxTicketSize + chunk.size());
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (varnak::FirstImpossibleByte(bytes, checked) != std::string::npos ||
            bytes.size() > varnak::MaxTicketSize) {
            return ReadOutcome::Stopped;
        }
    }
    return in.bad() ? ReadOutcome::Failed : ReadOutcome::Whole;
}

int Explain(const Arguments& arguments) {
    std::string ticket;
    const std::string name = arguments.File.empty() ? "standard input" : arguments.File;
    ReadOutcome read = ReadOutcome::Failed;
    if (arguments.File.empty()) {
        read = ReadTicket(std::cin, ticket);
    } else if (std::ifstream file(arguments.File, std::ios::binary); file) {
        read = ReadTicket(file, ticket);
    }
    if (read == ReadOutcome::Failed) {
        std::cerr << "varnak-explain: cannot read " << name << "\n";
        return ExitUsage;
    }
    if (ticket.size() > varnak::MaxTicketSize) {
        std::cerr << "varnak-explain: " << name << " is not a ticket: it is larger than "
                  << (varnak::MaxTicketSize >> 20) << " MiB, more than any ticket holds\n";
        return ExitNotATicket;
    }

    const varnak::DecodeResult result = varnak::DecodeTicket(ticket);
    if (const auto* error = std::get_if<varnak::TicketError>(&result)) {
        std::cerr << "varnak-explain: " << name << " is not a ticket: " << error->Message() << "\n";
        return ExitNotATicket;
    }
    const auto& decoded = std::get<varnak::DecodedTicket>(result);
    std::cout << arguments.Output->Explain(decoded);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "varnak-explain: cannot write the explanation\n";
        return ExitUsage;
    }
    return ExitExplained;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // A ticket's CR LF must reach the decoder as they are, and the output is the same bytes
    // on every platform.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // Streams of their own, so that a read error on standard input shows as one.
    std::ios::sync_with_stdio(false);
    Arguments arguments;
    if (!Parse(argc, argv, arguments)) {
        std::cerr << Usage() << "Try 'varnak-explain --help'.\n";
        return ExitUsage;
    }
    if (arguments.Help) {
        std::cout << Usage() << Help();
        return ExitExplained;
    }

    // The statuses are the three above, whatever happens: no exception leaves.
    try {
        return Explain(arguments);
    } catch (const std::exception& error) {
        std::cerr << "varnak-explain: " << error.what() << "\n";
    } catch (...) {
        std::cerr << "varnak-explain: failed\n";
    }
    return ExitUsage;
}
