// Any record: the build is deterministic, document mode writes one line and no variables,
// and the ticket file is exactly the command string plus its 64-byte envelope.
#include "core/CommandBuilder.h"
#include "core/TicketWriter.h"
#include "fuzz/FuzzRecord.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class Silent : public varnak::MessageOwner {
public:
    void ShowMessage(const std::string&, const std::string&, varnak::MessageIcon) override {}
};

std::string TicketFile() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("varnak-fuzz-" + std::to_string(getpid())))
            .string();
    return name;
}

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
    const std::string name = TicketFile();
    if (varnak::TicketWriter::WriteTicket("-R\"" + name + "\"", settings, false, owner) !=
            varnak::TicketOutcome::Written ||
        std::filesystem::file_size(name) != 64 + chapter.size()) {
        std::abort();
    }
    std::remove(name.c_str());
    return 0;
}
