#include "app/CommandLine.h"

#include <string_view>

#ifndef _WIN32
#include <csignal>
#endif

namespace varnak {
namespace {

constexpr std::string_view OutputSwitch = "-R";
constexpr std::string_view DebugSwitch = "-DEBUG";

} // namespace

CommandLine CommandLineFromText(std::string text) {
    TicketRequest ticket = ParseTicketRequest(text);
    return {std::move(text), std::move(ticket)};
}

CommandLine CommandLineFromArguments(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (index > 0) {
            line.Text += ' ';
        }
        line.Text += argument;
        if (argument.find(DebugSwitch) != std::string::npos) {
            line.Ticket.Debug = true;
        }
        if (line.Ticket.Requested || !argument.starts_with(OutputSwitch)) {
            continue;
        }
        line.Ticket.Requested = true;
        if (argument.size() > OutputSwitch.size()) {
            line.Ticket.OutputName = argument.substr(OutputSwitch.size());
        } else if (index + 1 < arguments.size() && arguments[index + 1] != DebugSwitch) {
            line.Ticket.OutputName = arguments[index + 1];
        }
    }
    return line;
}

void ReportFailedWritesInsteadOfDying() {
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace varnak
