// Any record: the build is deterministic, document mode writes one line and no variables,
// and the ticket is exactly the command string plus its 64-byte envelope.
#include "core/CommandBuilder.h"
#include "core/TicketWriter.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

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
