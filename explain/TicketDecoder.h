#pragma once

#include "core/JobSettings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace varnak {

// A ticket file read back into the record that built it. Only the values that reach the
// command string are set; the last-used memories keep their defaults. Building Settings
// again in the decoded mode gives the ticket's command string byte for byte.
struct DecodedTicket {
    JobSettings Settings;
    bool DocumentMode = true;
    // Empty when no chapter has a separator page: the ticket then can't tell the flag, and
    // Settings holds false, which builds the same bytes.
    std::optional<bool> SepPageAfterCopySetOnly;
};

// Why bytes are not a ticket the builder could have written: the first offset at which they
// differ from every ticket it could write, what it would have written there, and what is.
struct TicketError {
    std::size_t Offset = 0;
    std::string Expected; // e.g. `"C1", "K" or CR LF`
    std::string Found;    // e.g. `"X"`, `LF` or `end of file`

    // `offset 54: expected "C1", "K" or CR LF, found "X"`
    std::string Message() const;
};

using DecodeResult = std::variant<DecodedTicket, TicketError>;

// Reads the bytes of a ticket file: the PJL envelope as the ticket writer writes it, the
// command string in document mode (no variables) or chapter mode (a variable block).
DecodeResult DecodeTicket(std::string_view ticket);

// The most bytes read before deciding: far beyond any ticket the dialog writes (a million
// chapters take 92 MB), so that endless input is refused instead of filling memory.
inline constexpr std::size_t MaxTicketSize = std::size_t{256} << 20;

// The offset of the first of bytes (the beginning of a file) that no ticket can have there,
// whatever follows: a byte of the envelope's opening that differs from it, or a byte that no
// ticket holds anywhere (tickets hold printable ASCII, CR, LF and ESC only); npos for none.
// A reader can stop there: the decoder refuses the bytes up to it. from: where to begin
// looking, when the bytes before it were looked at already.
std::size_t FirstImpossibleByte(std::string_view bytes, std::size_t from = 0);

} // namespace varnak
