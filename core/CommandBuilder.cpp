#include "core/CommandBuilder.h"

#include "core/NumberText.h"

#include <string_view>

namespace varnak {
namespace {

class CommandText {
public:
    explicit CommandText(const JobSettings& settings) : settings_(settings) {}

    void Token(std::string_view token) { text_.append(token); }
    void Number(std::string_view token, std::uint32_t value) {
        text_.append(token);
        AppendUnsigned(text_, value);
    }
    // Trays are signed codes; only those above 0 are written.
    void Tray(std::string_view token, std::int32_t tray) {
        if (tray > 0) {
            Number(token, static_cast<std::uint32_t>(tray));
        }
    }
    void Overlay(std::uint32_t overlay) {
        if (overlay != 0) {
            Number("F", overlay);
        }
    }
    void Defaults() {
        Tray("I", settings_.DefaultInputTray());
        Overlay(settings_.DefaultFormOverlay());
    }
    void Variable(std::uint32_t count) {
        variables_.append("VARIABLE=#CHAPTERCOPY");
        AppendUnsigned(variables_, variableIndex_++);
        variables_.append("#:");
        AppendUnsigned(variables_, count);
        variables_.append("\r\n");
    }
    std::uint32_t VariableIndex() const { return variableIndex_; }

    std::string Result() && {
        text_.append("\r\n");
        text_.append(variables_);
        return std::move(text_);
    }

    void Reserve(std::size_t entries) {
        // Generous per-entry estimates keep a long list from reallocating repeatedly; the
        // command text has room for the variables too, so that joining them copies only
        // the variables. Capacity that is never written costs no memory.
        text_.reserve(64 + entries * (48 + 64));
        variables_.reserve(entries * 64);
    }

private:
    const JobSettings& settings_;
    std::string text_;
    std::string variables_;
    std::uint32_t variableIndex_ = 1;
};

void WritePageEntries(const JobSettings& settings, CommandText& out) {
    std::uint32_t pageShift = 0;
    for (const PageEntry& entry : settings.PageEntries()) {
        if (entry.FormOverlay == 0 && entry.InputTray == 0) {
            out.Number("C1:", entry.Page + pageShift - 1);
            out.Number("F", SeparatorOverlay);
            out.Defaults();
            out.Token(";");
            continue;
        }
        out.Number("C1:", entry.Page + pageShift);
        out.Defaults();
        out.Token("FF;");
        ++pageShift;
        out.Number("C1:", entry.Page + pageShift);
        out.Tray("I-", entry.InputTray);
        out.Overlay(entry.FormOverlay);
        out.Token(";");
    }
}

void WriteChapters(const JobSettings& settings, CommandText& out) {
    std::uint32_t pageShift = 0;
    for (const ChapterEntry& chapter : settings.ChapterEntries()) {
        if (out.VariableIndex() > 1) {
            out.Token("\r\nZOR_COMMAND_ADD=");
        }
        out.Number("C1:", chapter.LastPage + pageShift);
        out.Defaults();
        out.Variable(chapter.CopyCount);
        if (chapter.FormOverlay != 0 || chapter.InputTray > 0) {
            if (settings.SepPageAfterCopySetOnly()) {
                out.Number("F", SeparatorOverlay);
                out.Variable(1);
            }
            out.Token("FF;");
            ++pageShift;
            out.Number("C1:", chapter.LastPage + pageShift);
            out.Overlay(chapter.FormOverlay);
            out.Tray("I-", chapter.InputTray);
        }
        out.Number("F", SeparatorOverlay);
        out.Token(";");
    }
    out.Variable(settings.RemainingChapterCopyCount());
}

} // namespace

std::string BuildCommandString(const JobSettings& settings, bool documentMode) {
    CommandText out(settings);
    out.Reserve(documentMode ? settings.PageEntryCount() : settings.ChapterEntryCount());

    if (settings.DefaultInputTray() > 0 || settings.DefaultFormOverlay() != 0) {
        out.Token("C1");
        out.Defaults();
        out.Token(";");
    }
    if (settings.NumberOfCopies() > 1) {
        out.Number("K", settings.NumberOfCopies());
        out.Token(";D1;");
    }
    if (settings.CoverPageFormOverlay() != 0) {
        out.Token("EI1");
        out.Tray("I", settings.CoverPageInputTray());
        out.Overlay(settings.CoverPageFormOverlay());
        out.Token(";");
        if (!documentMode) {
            out.Variable(1);
        }
    }
    if (documentMode) {
        WritePageEntries(settings, out);
    } else {
        WriteChapters(settings, out);
    }
    if (settings.FooterPageFormOverlay() != 0) {
        out.Token("EJ1");
        out.Tray("I", settings.FooterPageInputTray());
        out.Overlay(settings.FooterPageFormOverlay());
        out.Token(";");
        if (!documentMode) {
            out.Variable(1);
        }
    }
    return std::move(out).Result();
}

} // namespace varnak
