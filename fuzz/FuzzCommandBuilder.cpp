// Any record: the build is deterministic, document mode writes one line and no variables,
// and the ticket is exactly the command string plus its 64-byte envelope.
#include "core/CommandBuilder.h"
#include "core/TicketWriter.h"
#include "fuzz/FuzzRecord.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class Silent : public varnak::MessageOwner {
public:
    void ShowMessage(const std::string&, const std::string&, varnak::MessageIcon) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnak::fuzz::Input in(data, size);
    const varnak::JobSettings settings = varnak::fuzz::RecordFrom(in);
    const std::string document = varnak::BuildCommandString(settings, true);
    const std::string chapter = varnak::BuildCommandString(settings, false);
    if (document != varnak::BuildCommandString(settings, true) ||
        chapter != varnak::BuildCommandString(settings, false)) {
        std::abort();
    }
    if (document.size() < 2 || document.find("\r\n") != document.size() - 2 ||
        document.find("VARIABLE=") != std::string::npos) {
        std::abort();
    }
    if (chapter.size() < 2 || chapter.compare(chapter.size() - 2, 2, "\r\n") != 0) {
        std::abort();
    }

    Silent owner;
    std::string ticket;
    const varnak::WholeFileWriter capture = [&](const std::string&, std::string_view bytes) {
        ticket = bytes;
        return varnak::FileWrite::Written;
    };
    if (varnak::TicketWriter::WriteTicket(varnak::ParseTicketRequest("-R\"t.prn\""), settings,
                                          false, owner, capture) != varnak::TicketOutcome::Written ||
        ticket.size() != 64 + chapter.size()) {
        std::abort();
    }
    return 0;
}
