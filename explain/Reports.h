#pragma once

#include "explain/TicketDecoder.h"

#include <string>

namespace varnak {

// The job in plain English, one fact a line, in the order the printer produces the sheets.
std::string ExplainText(const DecodedTicket& ticket);

// The job as one JSON document; the README documents its schema for workflow scripts.
std::string ExplainJson(const DecodedTicket& ticket);

// A picture of the job's sheet sequence as a standalone SVG document, sized to its content.
std::string ExplainSvg(const DecodedTicket& ticket);

} // namespace varnak
