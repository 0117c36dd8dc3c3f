#include "core/CommandBuilder.h"

#include "core/CommandTokens.h"
#include "core/NumberText.h"

#include <array>
#include <cstring>
#include <string_view>

namespace varnak {
namespace {

namespace Tokens = CommandTokens;

// First pass: counts the bytes of the command text and of the variable block, so that the
// result is allocated once at its final size and each byte is written once.
class Measure {
public:
    void Token(std::string_view token) { text_ += token.size(); }
    void Number(std::string_view token, std::uint32_t value) {
        text_ += token.size() + DecimalDigits(value);
    }
    void Variable(std::uint32_t count) {
        variables_ += Tokens::VariableStart.size() + DecimalDigits(nextVariable_++) +
                      Tokens::VariableValue.size() + DecimalDigits(count) + Tokens::LineEnd.size();
    }
    std::uint32_t NextVariable() const { return nextVariable_; }
    std::size_t TextSize() const { return text_; }
    std::size_t VariablesSize() const { return variables_; }

private:
    std::size_t text_ = 0;
    std::size_t variables_ = 0;
    std::uint32_t nextVariable_ = 1;
};

// Second pass: writes into the measured buffer, the command text from its start and the
// variable block behind the text's closing CR LF.
class Write {
public:
    Write(char* text, char* variables) : text_(text), variables_(variables) {}

    void Token(std::string_view token) { text_ = Put(text_, token); }
    void Number(std::string_view token, std::uint32_t value) {
        text_ = PutDecimal(Put(text_, token), value);
    }
    void Variable(std::uint32_t count) {
        variables_ = PutDecimal(Put(variables_, Tokens::VariableStart), nextVariable_++);
        variables_ = PutDecimal(Put(variables_, Tokens::VariableValue), count);
        variables_ = Put(variables_, Tokens::LineEnd);
    }
    std::uint32_t NextVariable() const { return nextVariable_; }

private:
    static char* Put(char* at, std::string_view token) {
        std::memcpy(at, token.data(), token.size());
        return at + token.size();
    }
    char* text_;
    char* variables_;
    std::uint32_t nextVariable_ = 1;
};

// The encoding rules, written once for both passes. The entry loops work on a local copy of
// the sink and read each entry by value: writes through the output's char pointer may alias
// anything, and would otherwise force the sink and the entry to be read again after each.
template <class Out> class Encoder {
public:
    explicit Encoder(const JobSettings& settings)
        : settings_(settings), defaultTray_(settings.DefaultInputTray()),
          defaultOverlay_(settings.DefaultFormOverlay()),
          copySetSeparators_(settings.SepPageAfterCopySetOnly()) {}

    void Encode(bool documentMode, Out& out) const {
        if (defaultTray_ > 0 || defaultOverlay_ != 0) {
            out.Token(Tokens::DefaultsGroup);
            Defaults(out);
            out.Token(Tokens::GroupEnd);
        }
        if (settings_.NumberOfCopies() > 1) {
            out.Number(Tokens::Copies, settings_.NumberOfCopies());
            out.Token(Tokens::CopiesEnd);
        }
        if (settings_.CoverPageFormOverlay() != 0) {
            Sheet(out, Tokens::CoverGroup, settings_.CoverPageInputTray(),
                  settings_.CoverPageFormOverlay(), documentMode);
        }
        if (documentMode) {
            out = PageEntries(out);
        } else {
            out = Chapters(out);
        }
        if (settings_.FooterPageFormOverlay() != 0) {
            Sheet(out, Tokens::FooterGroup, settings_.FooterPageInputTray(),
                  settings_.FooterPageFormOverlay(), documentMode);
        }
    }

private:
    // Trays are signed codes; only those above 0 are written.
    static void Tray(Out& out, std::string_view token, std::int32_t tray) {
        if (tray > 0) {
            out.Number(token, static_cast<std::uint32_t>(tray));
        }
    }
    static void Overlay(Out& out, std::uint32_t overlay) {
        if (overlay != 0) {
            out.Number(Tokens::Overlay, overlay);
        }
    }
    void Defaults(Out& out) const {
        Tray(out, Tokens::Tray, defaultTray_);
        Overlay(out, defaultOverlay_);
    }

    // The cover or footer group; in chapter mode each is printed once, through a variable.
    static void Sheet(Out& out, std::string_view group, std::int32_t tray, std::uint32_t overlay,
                      bool documentMode) {
        out.Token(group);
        Tray(out, Tokens::Tray, tray);
        Overlay(out, overlay);
        out.Token(Tokens::GroupEnd);
        if (!documentMode) {
            out.Variable(1);
        }
    }

    Out PageEntries(Out out) const {
        std::uint32_t pageShift = 0;
        for (const PageEntry entry : settings_.PageEntries()) {
            if (entry.IsSeparationSheet()) {
                out.Number(Tokens::PageGroup, entry.Page + pageShift - 1);
                out.Token(Tokens::SeparatorSheet);
                Defaults(out);
                out.Token(Tokens::GroupEnd);
                continue;
            }
            out.Number(Tokens::PageGroup, entry.Page + pageShift);
            Defaults(out);
            out.Token(Tokens::FormFeed);
            ++pageShift;
            out.Number(Tokens::PageGroup, entry.Page + pageShift);
            Tray(out, Tokens::OwnTray, entry.InputTray);
            Overlay(out, entry.FormOverlay);
            out.Token(Tokens::GroupEnd);
        }
        return out;
    }

    Out Chapters(Out out) const {
        std::uint32_t pageShift = 0;
        for (const ChapterEntry chapter : settings_.ChapterEntries()) {
            if (out.NextVariable() > 1) {
                out.Token(Tokens::ContinuationLine);
            }
            out.Number(Tokens::PageGroup, chapter.LastPage + pageShift);
            Defaults(out);
            out.Variable(chapter.CopyCount);
            if (chapter.HasSeparatorPage()) {
                if (copySetSeparators_) {
                    out.Token(Tokens::SeparatorSheet);
                    out.Variable(1);
                }
                out.Token(Tokens::FormFeed);
                ++pageShift;
                out.Number(Tokens::PageGroup, chapter.LastPage + pageShift);
                Overlay(out, chapter.FormOverlay);
                Tray(out, Tokens::OwnTray, chapter.InputTray);
            }
            out.Token(Tokens::SeparatorSheet);
            out.Token(Tokens::GroupEnd);
        }
        out.Variable(settings_.RemainingChapterCopyCount());
        return out;
    }

    const JobSettings& settings_;
    const std::int32_t defaultTray_;
    const std::uint32_t defaultOverlay_;
    const bool copySetSeparators_;
};

} // namespace

std::string BuildCommandString(const JobSettings& settings, bool documentMode) {
    Measure measure;
    Encoder<Measure>(settings).Encode(documentMode, measure);

    std::string result(measure.TextSize() + Tokens::LineEnd.size() + measure.VariablesSize(), '\0');
    char* const text = result.data();
    char* const lineEnd = text + measure.TextSize();
    Write write(text, lineEnd + Tokens::LineEnd.size());
    Encoder<Write>(settings).Encode(documentMode, write);
    std::memcpy(lineEnd, Tokens::LineEnd.data(), Tokens::LineEnd.size());
    return result;
}

} // namespace varnak
