// Any command line: the switches are found wherever they occur, and a file name is taken
// only from the text behind "-R", never from beyond its end.
#include "core/TicketWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const varnak::TicketRequest request = varnak::ParseTicketRequest(text);
    const std::size_t switchAt = text.find("-R");
    if (request.Requested != (switchAt != std::string_view::npos) ||
        request.Debug != (text.find("-DEBUG") != std::string_view::npos)) {
        std::abort();
    }
    if (!request.OutputName) {
        return 0;
    }
    const std::string_view rest = text.substr(switchAt + 3);
    if (request.OutputName->size() > rest.size()) {
        std::abort();
    }
    // Without a closing quote the name is the whole rest of the line.
    if (rest.find('"') == std::string_view::npos && *request.OutputName != rest) {
        std::abort();
    }
    return 0;
}
