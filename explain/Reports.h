#pragma once

#include "explain/TicketDecoder.h"

#include <array>
#include <string>
#include <string_view>

namespace varnak {

// The job in plain English, one fact a line, in the order the printer produces the sheets.
std::string ExplainText(const DecodedTicket& ticket);

// The job as one JSON document; the README documents its schema for workflow scripts.
std::string ExplainJson(const DecodedTicket& ticket);

// A picture of the job's sheet sequence as a standalone SVG document, sized to its content.
std::string ExplainSvg(const DecodedTicket& ticket);

// The ways varnak-explain can explain a ticket: the command-line flag that asks for one (none
// for plain text, the default), the report, the extension of its golden files in the tests,
// and its line of --help. A new format is a report and a row here.
struct ReportFormat {
    std::string_view Flag;
    std::string (*Explain)(const DecodedTicket&);
    std::string_view Extension;
    std::string_view Help;
};

inline constexpr std::array<ReportFormat, 3> ReportFormats{{
    {"", &ExplainText, "txt", "the job in plain English, one fact a line"},
    {"--json", &ExplainJson, "json", "the job as one JSON document, for workflow scripts"},
    {"--svg", &ExplainSvg, "svg", "a picture of the job's sheet sequence, as an SVG document"},
}};

} // namespace varnak
