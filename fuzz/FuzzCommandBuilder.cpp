// Any record: the build is deterministic, document mode writes one line and no variables,
// and the ticket file is exactly the command string plus its 64-byte envelope.
#include "core/CommandBuilder.h"
#include "core/TicketWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return size_ == 0; }
    std::uint32_t Word() {
        std::uint32_t value = 0;
        const std::size_t take = size_ < 4 ? size_ : 4;
        std::memcpy(&value, data_, take);
        data_ += take;
        size_ -= take;
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

class Silent : public varnak::MessageOwner {
public:
    void ShowMessage(const std::string&, const std::string&, varnak::MessageIcon) override {}
};

varnak::JobSettings Decode(Input& in) {
    varnak::JobSettings s;
    s.SetNumberOfCopies(in.Word());
    s.SetDefaultInputTray(static_cast<std::int32_t>(in.Word()));
    s.SetDefaultFormOverlay(in.Word());
    s.SetCoverPageInputTray(static_cast<std::int32_t>(in.Word()));
    s.SetCoverPageFormOverlay(in.Word());
    s.SetFooterPageInputTray(static_cast<std::int32_t>(in.Word()));
    s.SetFooterPageFormOverlay(in.Word());
    s.SetRemainingChapterCopyCount(in.Word());
    s.SetSepPageAfterCopySetOnly(in.Word() & 1);
    while (!in.Empty()) {
        const std::uint32_t page = in.Word();
        const std::uint32_t overlay = in.Word();
        const auto tray = static_cast<std::int32_t>(in.Word());
        s.AddPageEntry({.Page = page, .FormOverlay = overlay, .InputTray = tray});
        s.AddChapterEntry(
            {.LastPage = page, .CopyCount = in.Word(), .FormOverlay = overlay, .InputTray = tray});
    }
    return s;
}

std::string TicketFile() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("varnak-fuzz-" + std::to_string(getpid())))
            .string();
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const varnak::JobSettings settings = Decode(in);
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
