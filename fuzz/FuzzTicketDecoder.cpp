// Any record, in both modes: decoding its ticket and building again gives the same bytes.
// Any bytes: the decoder refuses them with an offset inside them, or returns a job whose
// ticket is exactly those bytes; every explanation of every decoded job can be written.
#include "core/CommandBuilder.h"
#include "core/TicketEnvelope.h"
#include "explain/Reports.h"
#include "explain/TicketDecoder.h"
#include "fuzz/FuzzRecord.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

namespace {

using varnak::DecodedTicket;

void Explain(const DecodedTicket& decoded) {
    for (const varnak::ReportFormat& format : varnak::ReportFormats) {
        if (format.Explain(decoded).empty()) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnak::fuzz::Input in(data, size);
    const varnak::JobSettings settings = varnak::fuzz::RecordFrom(in);
    for (const bool documentMode : {true, false}) {
        const std::string command = varnak::BuildCommandString(settings, documentMode);
        const varnak::DecodeResult result =
            varnak::DecodeTicket(varnak::TicketEnvelope::Wrap(command));
        const auto* decoded = std::get_if<DecodedTicket>(&result);
        if (decoded == nullptr || decoded->DocumentMode != documentMode ||
            varnak::BuildCommandString(decoded->Settings, documentMode) != command) {
            std::abort();
        }
        Explain(*decoded);
    }

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const varnak::DecodeResult result = varnak::DecodeTicket(bytes);
    if (const auto* error = std::get_if<varnak::TicketError>(&result)) {
        if (error->Offset > size || error->Expected.empty() || error->Found.empty()) {
            std::abort();
        }
        return 0;
    }
    const auto& decoded = std::get<DecodedTicket>(result);
    if (varnak::TicketEnvelope::Wrap(
            varnak::BuildCommandString(decoded.Settings, decoded.DocumentMode)) != bytes) {
        std::abort();
    }
    Explain(decoded);
    return 0;
}
