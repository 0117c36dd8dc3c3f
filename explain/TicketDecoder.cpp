#include "explain/TicketDecoder.h"

#include "core/CommandTokens.h"
#include "core/NumberText.h"
#include "core/TicketEnvelope.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>

namespace varnak {
namespace {

namespace Tokens = CommandTokens;
namespace Envelope = TicketEnvelope;

bool IsPrintable(char c) {
    return c >= 0x20 && c < 0x7f;
}

std::string ControlName(char c) {
    switch (c) {
    case '\r':
        return "CR";
    case '\n':
        return "LF";
    case '\x1b':
        return "ESC";
    case '\t':
        return "TAB";
    default: {
        constexpr std::string_view hex = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        return std::string("0x") + hex[byte >> 4] + hex[byte & 0xf];
    }
    }
}

// Printable runs in double quotes, other bytes by name: CR LF "ZOR_COMMAND_ADD=".
std::string Spell(std::string_view bytes) {
    std::string spelled;
    bool quoted = false;
    for (char c : bytes) {
        if (IsPrintable(c)) {
            if (!quoted) {
                spelled += spelled.empty() ? "\"" : " \"";
                quoted = true;
            }
            if (c == '"' || c == '\\') {
                spelled += '\\';
            }
            spelled += c;
            continue;
        }
        if (quoted) {
            spelled += '"';
            quoted = false;
        }
        if (!spelled.empty()) {
            spelled += ' ';
        }
        spelled += ControlName(c);
    }
    if (quoted) {
        spelled += '"';
    }
    return spelled;
}

std::string JoinAlternatives(const std::vector<std::string>& items) {
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            joined += i + 1 == items.size() ? " or " : ", ";
        }
        joined += items[i];
    }
    return joined;
}

// What would have been accepted at an offset: a literal, or a described value.
struct Expectation {
    std::string_view Text;
    bool Literal = true;
};

struct NumberAt {
    std::uint32_t Value = 0;
    std::size_t Offset = 0;
    std::size_t Length = 0;
};

// Thrown from deep in the grammar and caught once, where the decoding starts.
struct Refusal {
    TicketError Error;
};

// Reads the bytes front to back. Every literal that fails to match at the current offset is
// noted, so that a refusal lists exactly what would have been accepted there.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Offset() const { return at_; }
    std::size_t Remaining() const { return bytes_.size() - at_; }
    bool AtEnd() const { return at_ == bytes_.size(); }
    std::string_view Since(std::size_t start) const { return bytes_.substr(start, at_ - start); }

    // The bytes are read through locals: a member written in a loop would be stored and
    // read again on every byte.
    bool Peek(std::string_view literal) {
        const char* const here = bytes_.data() + at_;
        if (bytes_.size() - at_ >= literal.size()) {
            // Literals are a few bytes long: comparing in place beats calling memcmp.
            std::size_t same = 0;
            while (same < literal.size() && here[same] == literal[same]) {
                ++same;
            }
            if (same == literal.size()) {
                return true;
            }
        }
        Note({literal});
        return false;
    }
    bool Take(std::string_view literal) {
        if (!Peek(literal)) {
            return false;
        }
        at_ += literal.size();
        return true;
    }
    void Expect(std::string_view literal) {
        if (!Take(literal)) {
            Fail();
        }
    }

    // An unsigned decimal as the builder writes it: no sign, no leading zeros, 32 bits.
    NumberAt Number() {
        const DigitRun run = LeadingDigits(bytes_.substr(at_));
        const NumberAt number{.Value = run.Value.value_or(0), .Offset = at_, .Length = run.Length};
        at_ += run.Length;
        if (!run.Value || (run.Length > 1 && bytes_[number.Offset] == '0')) {
            RefuseNumber(number);
        }
        return number;
    }
    void Exactly(std::uint32_t value) {
        const NumberAt number = Number();
        if (number.Value != value) {
            RefuseOther(number, value);
        }
    }

    [[noreturn]] void Fail(std::initializer_list<Expectation> more = {}) {
        for (const Expectation& expectation : more) {
            Note(expectation);
        }
        throw Refusal{Describe()};
    }
    [[noreturn]] void Refuse(const NumberAt& at, std::string_view expected) const {
        throw Refusal{
            {at.Offset, std::string(expected), Spell(bytes_.substr(at.Offset, at.Length))}};
    }
    [[noreturn]] void Refuse(std::size_t length, std::string_view expected) const {
        Refuse(NumberAt{.Offset = at_, .Length = length}, expected);
    }

private:
    [[noreturn]] void RefuseNumber(const NumberAt& number) {
        if (number.Length == 0) {
            Fail({{"a number", false}});
        }
        Refuse(number, bytes_[number.Offset] == '0' ? "a number without leading zeros"
                                                    : "a number up to 4294967295");
    }
    [[noreturn]] void RefuseOther(const NumberAt& number, std::uint32_t expected) const {
        Refuse(number, Spell(FormatUnsigned(expected)));
    }

    void Note(const Expectation& expectation) {
        if (notedAt_ != at_) {
            notedAt_ = at_;
            noteCount_ = 0;
        }
        if (noteCount_ < noted_.size()) {
            noted_[noteCount_++] = expectation;
        }
    }

    // The noted literals, without repeats and without those that a shorter one already
    // rules out.
    TicketError Describe() const {
        std::vector<Expectation> notes;
        if (notedAt_ == at_) {
            notes.assign(noted_.begin(), noted_.begin() + static_cast<std::ptrdiff_t>(noteCount_));
        }
        std::vector<Expectation> kept;
        for (const Expectation& note : notes) {
            const bool covered =
                std::any_of(notes.begin(), notes.end(), [&](const Expectation& other) {
                    return note.Literal && other.Literal && other.Text.size() < note.Text.size() &&
                           note.Text.starts_with(other.Text);
                });
            const bool repeated =
                std::any_of(kept.begin(), kept.end(),
                            [&](const Expectation& other) { return other.Text == note.Text; });
            if (!covered && !repeated) {
                kept.push_back(note);
            }
        }
        const std::size_t shared = SharedMatchingPrefix(kept);
        std::vector<std::string> expected;
        std::size_t longest = 1;
        for (const Expectation& note : kept) {
            const std::string_view text = note.Literal ? note.Text.substr(shared) : note.Text;
            expected.push_back(note.Literal ? Spell(text) : std::string(text));
            longest = std::max(longest, note.Literal ? text.size() : 1);
        }
        return {at_ + shared, JoinAlternatives(expected), Found(at_ + shared, longest)};
    }

    // Where one literal alone was expected, the part of it that the bytes match.
    std::size_t SharedMatchingPrefix(const std::vector<Expectation>& notes) const {
        if (notes.size() != 1 || !notes.front().Literal) {
            return 0;
        }
        const std::string_view literal = notes.front().Text;
        const std::string_view input = bytes_.substr(at_);
        std::size_t shared = 0;
        // Stop short of the whole literal: what is expected must stay visible.
        while (shared + 1 < literal.size() && shared < input.size() &&
               literal[shared] == input[shared]) {
            ++shared;
        }
        return shared;
    }

    // The bytes that stand where the expected ones would: printable ones up to the length
    // of the longest expected, or the one other byte, and whether the file ends there.
    std::string Found(std::size_t offset, std::size_t length) const {
        if (offset >= bytes_.size()) {
            return "end of file";
        }
        const std::string_view rest = bytes_.substr(offset, length);
        std::size_t end = 1;
        while (end < rest.size() && IsPrintable(rest.front()) && IsPrintable(rest[end])) {
            ++end;
        }
        // A file cut short shows as such, not only as the bytes that are there.
        const bool last = offset + end == bytes_.size();
        return Spell(rest.substr(0, end)) + (last ? " then end of file" : "");
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
    std::size_t notedAt_ = std::string_view::npos;
    std::array<Expectation, 8> noted_{};
    std::size_t noteCount_ = 0;
};

// A chapter ticket's command text goes on after its first line end, or its variable block
// follows it; document mode writes neither.
bool IsChapterTicket(std::string_view ticket, std::size_t commandStart) {
    const std::size_t lineEnd = ticket.find(Tokens::LineEnd, commandStart);
    if (lineEnd == std::string_view::npos) {
        return false;
    }
    const std::string_view next = ticket.substr(lineEnd);
    return next.starts_with(Tokens::ContinuationLine) ||
           next.substr(Tokens::LineEnd.size()).starts_with(Tokens::VariableStart);
}

std::string Concat(std::initializer_list<std::string_view> pieces) {
    std::string joined;
    for (std::string_view piece : pieces) {
        joined.append(piece);
    }
    return joined;
}

// No page or chapter group is shorter than "C1:0F25997;": the bytes left bound the count
// of entries, so that the lists can be given their room before they are filled.
constexpr std::size_t ShortestEntry = 11;

// The grammar of what the builder writes, read in the order it writes.
class Decoder {
public:
    explicit Decoder(std::string_view ticket) : ticket_(ticket), in_(ticket) {}

    DecodedTicket Decode() {
        for (std::string_view piece :
             {Envelope::UniversalExit, Envelope::EnterLanguage, Envelope::LineFeed,
              Envelope::Section, Envelope::LineFeed, Envelope::CommandKey}) {
            in_.Expect(piece);
        }
        decoded_.DocumentMode = !IsChapterTicket(ticket_, in_.Offset());
        Defaults();
        if (in_.Take(Tokens::Copies)) {
            const NumberAt copies = in_.Number();
            if (copies.Value < 2) {
                in_.Refuse(copies, "a copy count from 2 to 4294967295");
            }
            settings().SetNumberOfCopies(copies.Value);
            in_.Expect(Tokens::CopiesEnd);
        }
        if (in_.Take(Tokens::CoverGroup)) {
            const auto [tray, overlay] = SheetGroup();
            settings().SetCoverPageInputTray(tray);
            settings().SetCoverPageFormOverlay(overlay);
        }
        if (decoded_.DocumentMode) {
            PageEntries();
        } else {
            Chapters();
        }
        if (in_.Take(Tokens::FooterGroup)) {
            const auto [tray, overlay] = SheetGroup();
            settings().SetFooterPageInputTray(tray);
            settings().SetFooterPageFormOverlay(overlay);
        }
        in_.Expect(Tokens::LineEnd);
        if (!decoded_.DocumentMode) {
            VariableBlock();
        }
        in_.Expect(Envelope::LineFeed);
        in_.Expect(Envelope::UniversalExit);
        if (!in_.AtEnd()) {
            in_.Fail({{"end of file", false}});
        }
        settings().SetSepPageAfterCopySetOnly(decoded_.SepPageAfterCopySetOnly.value_or(false));
        return std::move(decoded_);
    }

private:
    JobSettings& settings() { return decoded_.Settings; }

    std::int32_t TrayCode() {
        const NumberAt tray = in_.Number();
        if (tray.Value == 0 || tray.Value > std::numeric_limits<std::int32_t>::max()) {
            in_.Refuse(tray, "a tray code from 1 to 2147483647");
        }
        return static_cast<std::int32_t>(tray.Value);
    }
    std::uint32_t OverlayNumber() {
        const NumberAt overlay = in_.Number();
        if (overlay.Value == 0) {
            in_.Refuse(overlay, "an overlay number from 1 to 4294967295");
        }
        return overlay.Value;
    }

    // The defaults group also sets what every page and chapter group repeats.
    void Defaults() {
        settings().SetDefaultInputTray(0);
        if (in_.Peek(Tokens::PageGroup) || !in_.Take(Tokens::DefaultsGroup)) {
            return;
        }
        const std::size_t start = in_.Offset();
        if (in_.Take(Tokens::Tray)) {
            settings().SetDefaultInputTray(TrayCode());
        }
        if (in_.Take(Tokens::Overlay)) {
            settings().SetDefaultFormOverlay(OverlayNumber());
        }
        if (in_.Offset() == start) {
            in_.Fail();
        }
        defaults_ = in_.Since(start);
        in_.Expect(Tokens::GroupEnd);
    }

    // The cover or footer group after its start; in chapter mode it takes a variable.
    std::pair<std::int32_t, std::uint32_t> SheetGroup() {
        std::int32_t tray = 0;
        if (in_.Take(Tokens::Tray)) {
            tray = TrayCode();
        }
        in_.Expect(Tokens::Overlay);
        const std::uint32_t overlay = OverlayNumber();
        in_.Expect(Tokens::GroupEnd);
        if (!decoded_.DocumentMode) {
            ++variables_;
        }
        return {tray, overlay};
    }

    void PageEntries() {
        const std::string separation =
            Concat({Tokens::SeparatorSheet, defaults_, Tokens::GroupEnd});
        const std::string modification = Concat({defaults_, Tokens::FormFeed});
        settings().ReservePageEntries(in_.Remaining() / ShortestEntry);
        std::uint32_t pageShift = 0;
        while (in_.Take(Tokens::PageGroup)) {
            const std::uint32_t address = in_.Number().Value;
            if (in_.Take(separation)) {
                settings().AddPageEntry({.Page = address + 1 - pageShift});
                continue;
            }
            in_.Expect(modification);
            in_.Expect(Tokens::PageGroup);
            in_.Exactly(address + 1);
            PageEntry entry{.Page = address - pageShift};
            if (in_.Take(Tokens::OwnTray)) {
                entry.InputTray = TrayCode();
            }
            if (in_.Take(Tokens::Overlay)) {
                entry.FormOverlay = OverlayNumber();
            }
            if (entry.IsSeparationSheet()) {
                // A modification that writes neither had a tray code below 0.
                entry.InputTray = -1;
            }
            in_.Expect(Tokens::GroupEnd);
            ++pageShift;
            settings().AddPageEntry(entry);
        }
    }

    void Chapters() {
        const std::string chapterEnd = Concat({Tokens::SeparatorSheet, Tokens::GroupEnd});
        const std::string copySetSeparator = Concat({Tokens::SeparatorSheet, Tokens::FormFeed});
        std::optional<bool>& afterCopySet = decoded_.SepPageAfterCopySetOnly;
        settings().ReserveChapterEntries(in_.Remaining() / ShortestEntry);
        std::uint32_t pageShift = 0;
        for (;;) {
            if (variables_ > 0) {
                if (!in_.Take(Tokens::ContinuationLine)) {
                    break;
                }
                in_.Expect(Tokens::PageGroup);
            } else if (!in_.Take(Tokens::PageGroup)) {
                break;
            }
            const std::uint32_t address = in_.Number().Value;
            in_.Expect(defaults_);
            ++variables_;
            ChapterEntry chapter{.LastPage = address - pageShift, .CopyCount = 0};
            if (in_.Take(chapterEnd)) {
                settings().AddChapterEntry(chapter);
                continue;
            }
            // Every separator page of a ticket follows the one flag.
            if (afterCopySet.value_or(true) && in_.Take(copySetSeparator)) {
                afterCopySet = true;
                ++variables_;
            } else if (!afterCopySet.value_or(false) && in_.Take(Tokens::FormFeed)) {
                afterCopySet = false;
            } else {
                in_.Fail();
            }
            ++pageShift;
            in_.Expect(Tokens::PageGroup);
            in_.Exactly(address + 1);
            if (!in_.Peek(chapterEnd) && in_.Take(Tokens::Overlay)) {
                chapter.FormOverlay = OverlayNumber();
            }
            if (in_.Take(Tokens::OwnTray)) {
                chapter.InputTray = TrayCode();
            }
            if (!chapter.HasSeparatorPage()) {
                in_.Refuse(chapterEnd.size(), "the overlay or tray of a separator page");
            }
            in_.Expect(chapterEnd);
            settings().AddChapterEntry(chapter);
        }
        ++variables_; // the pages after the last chapter
    }

    // The variables in the order the command text took them: the cover's, each chapter's
    // copy count and its copy-set separator, the remainder's, the footer's.
    void VariableBlock() {
        std::uint32_t index = 1;
        if (settings().CoverPageFormOverlay() != 0) {
            SingleCopy(index++);
        }
        const bool copySetSeparators = decoded_.SepPageAfterCopySetOnly.value_or(false);
        for (std::size_t i = 0; i < settings().ChapterEntryCount(); ++i) {
            ChapterEntry& chapter = *settings().ChapterEntryAt(i);
            chapter.CopyCount = Variable(index++).Value;
            if (copySetSeparators && chapter.HasSeparatorPage()) {
                SingleCopy(index++);
            }
        }
        const std::uint32_t remaining = Variable(index++).Value;
        settings().SetRemainingChapterCopyCount(remaining);
        settings().SetLastRemainingChapterCopyCount(remaining);
        if (settings().FooterPageFormOverlay() != 0) {
            SingleCopy(index++);
        }
    }

    NumberAt Variable(std::uint32_t index) {
        in_.Expect(Tokens::VariableStart);
        in_.Exactly(index);
        in_.Expect(Tokens::VariableValue);
        const NumberAt count = in_.Number();
        in_.Expect(Tokens::LineEnd);
        return count;
    }
    void SingleCopy(std::uint32_t index) {
        const NumberAt count = Variable(index);
        if (count.Value != 1) {
            in_.Refuse(count, Spell("1"));
        }
    }

    std::string_view ticket_;
    Cursor in_;
    DecodedTicket decoded_;
    std::string_view defaults_;
    std::uint32_t variables_ = 0;
};

} // namespace

std::string TicketError::Message() const {
    return "offset " + std::to_string(Offset) + ": expected " + Expected + ", found " + Found;
}

std::size_t FirstImpossibleByte(std::string_view bytes, std::size_t from) {
    std::string opening;
    for (std::string_view piece :
         {Envelope::UniversalExit, Envelope::EnterLanguage, Envelope::LineFeed, Envelope::Section,
          Envelope::LineFeed, Envelope::CommandKey}) {
        opening.append(piece);
    }
    for (std::size_t i = from; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (i < opening.size() ? c != opening[i]
                               : !IsPrintable(c) && c != '\r' && c != '\n' && c != '\x1b') {
            return i;
        }
    }
    return std::string_view::npos;
}

DecodeResult DecodeTicket(std::string_view ticket) {
    try {
        return Decoder(ticket).Decode();
    } catch (Refusal& refusal) {
        return std::move(refusal.Error);
    }
}

} // namespace varnak
