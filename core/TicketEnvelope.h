#pragma once

#include <string>
#include <string_view>

// The PJL envelope around the command string in a ticket file: the Universal Exit Language
// command, the switch to ZOR, the section and the key, and the closing exit.
namespace varnak::TicketEnvelope {

inline constexpr std::string_view UniversalExit = "\x1b%-12345X";
inline constexpr std::string_view EnterLanguage = "@PJL ENTER LANGUAGE=ZOR";
inline constexpr std::string_view Section = "[GLOBAL]";
inline constexpr std::string_view CommandKey = "ZOR_COMMAND=";
inline constexpr std::string_view LineFeed = "\n";

// The ticket file's bytes for a command string, exactly as the ticket writer writes them.
inline std::string Wrap(std::string_view commandString) {
    std::string ticket;
    ticket.reserve(64 + commandString.size());
    for (std::string_view piece : {UniversalExit, EnterLanguage, LineFeed, Section, LineFeed,
                                   CommandKey, commandString, LineFeed, UniversalExit}) {
        ticket.append(piece);
    }
    return ticket;
}

} // namespace varnak::TicketEnvelope
