#include "app/DriveScript.h"

#include "app/CVarnakApp.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/headless/HeadlessBackend.h"
#include "ui/ControlNames.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace varnak {
namespace {

using toolkit::ActionResult;
using toolkit::ControlKind;
using toolkit::ControlState;
using toolkit::Driver;

enum class Command {
    Start,
    Print,
    Tab,
    PageKey,
    PageKeyBack,
    Type,
    Select,
    Click,
    Row,
    Enter,
    Escape,
    Dump
};

struct ScriptLine {
    int Number = 0;
    Command What = Command::Start;
    std::optional<int> Id;
    int Value = 0;
    std::string Text;
};

struct BadLine {
    std::string Message;
};

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// Splits "first rest" at the first blank; rest is empty without one.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, blank), text.substr(blank + 1)};
}

class LineParser {
public:
    LineParser(int number, std::string_view text) : number_(number), text_(text) {}

    std::optional<ScriptLine> Parse(std::string& error) {
        const auto [word, rest] = SplitWord(text_);
        const bool hasRest = word.size() < text_.size();
        ScriptLine line;
        line.Number = number_;
        if (word == "start" || word == "print") {
            line.What = word == "start" ? Command::Start : Command::Print;
            line.Text = rest;
        } else if (word == "tab") {
            line.What = Command::Tab;
            if (!Number(rest, line.Value, error)) {
                return std::nullopt;
            }
        } else if (word == "type" || word == "select") {
            line.What = word == "type" ? Command::Type : Command::Select;
            const auto [id, text] = SplitWord(rest);
            if (!Id(id, line, error)) {
                return std::nullopt;
            }
            line.Text = text;
        } else if (word == "click" || word == "enter") {
            line.What = word == "click" ? Command::Click : Command::Enter;
            if (!Id(rest, line, error)) {
                return std::nullopt;
            }
        } else if (word == "row") {
            line.What = Command::Row;
            const auto [id, row] = SplitWord(rest);
            if (!Id(id, line, error) || !Number(row, line.Value, error)) {
                return std::nullopt;
            }
        } else if (word == "escape" || word == "ctrl-tab" || word == "ctrl-shift-tab") {
            line.What = word == "escape"     ? Command::Escape
                        : word == "ctrl-tab" ? Command::PageKey
                                             : Command::PageKeyBack;
            if (hasRest) {
                error = std::string(word) + " takes no arguments";
                return std::nullopt;
            }
        } else if (word == "dump") {
            line.What = Command::Dump;
            if (hasRest && !Id(rest, line, error)) {
                return std::nullopt;
            }
        } else {
            error = "unknown command \"" + std::string(word) + "\"";
            return std::nullopt;
        }
        return line;
    }

private:
    static bool Number(std::string_view text, int& value, std::string& error) {
        const auto number = ParseInt(text);
        if (!number) {
            error = text.empty() ? "missing number" : "not a number: \"" + std::string(text) + "\"";
            return false;
        }
        value = *number;
        return true;
    }

    // A control by its number or its name in ControlIds.h ("IDC_PAGE_NUMBERS").
    static bool Id(std::string_view text, ScriptLine& line, std::string& error) {
        if (const auto named = ids::ControlNamed(text)) {
            line.Id = *named;
            return true;
        }
        int id = 0;
        if (!Number(text, id, error)) {
            error = text.empty() ? "missing control id"
                                 : "not a control id: \"" + std::string(text) + "\"";
            return false;
        }
        line.Id = id;
        return true;
    }

    int number_;
    std::string_view text_;
};

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

const char* KindWord(ControlKind kind) {
    switch (kind) {
    case ControlKind::Edit:
        return "edit";
    case ControlKind::ComboBox:
        return "combo";
    case ControlKind::Link:
        return "link";
    case ControlKind::ListView:
        return "list";
    default:
        return "button";
    }
}

void DumpControl(const ControlState& state, std::ostream& out) {
    out << state.Id << ' ' << KindWord(state.Kind) << " enabled=" << (state.Enabled ? 1 : 0);
    switch (state.Kind) {
    case ControlKind::Edit:
    case ControlKind::Link:
        out << " text=" << QuoteText(state.Text) << '\n';
        return;
    case ControlKind::ComboBox:
        out << " sel=" << state.Selection << " items=" << state.Items.size()
            << " text=" << QuoteText(state.Text) << '\n';
        return;
    case ControlKind::ListView:
        out << " sel=" << state.Selection << " rows=" << state.Rows.size() << '\n';
        for (const auto& row : state.Rows) {
            out << "   ";
            for (const auto& cell : row) {
                out << ' ' << QuoteText(cell);
            }
            out << '\n';
        }
        return;
    default:
        out << " checked=" << (state.Checked ? 1 : 0) << '\n';
        return;
    }
}

// One run of the script: the lines, where it stands, and what has been printed.
class Runner {
public:
    Runner(std::vector<ScriptLine> lines, const DriveScript::RegistryOpener& openRegistry,
           const DriveScript::PrintRunner& runPrint, std::ostream& out)
        : lines_(std::move(lines)), openRegistry_(openRegistry), runPrint_(runPrint), out_(out) {}

    void Run() {
        while (next_ < lines_.size()) {
            const ScriptLine& line = lines_[next_++];
            if (line.What == Command::Start || (line.What == Command::Print && runPrint_)) {
                Start(line);
            } else if (line.What == Command::Print) {
                Refuse(line, "this varnak-drive can't print");
            } else {
                Refuse(line, "no dialog is open");
            }
        }
    }

private:
    // Blank-separated words: a print line's arguments.
    static std::vector<std::string> Words(const std::string& text) {
        std::vector<std::string> words;
        std::string_view rest = text;
        while (!rest.empty()) {
            const auto [word, after] = SplitWord(rest);
            if (!word.empty()) {
                words.emplace_back(word);
            }
            rest = after;
        }
        return words;
    }

    void Start(const ScriptLine& line) {
        auto registry = openRegistry_();
        toolkit::headless::ScriptedHeadlessBackend backend;
        std::size_t printed = 0;
        auto flush = [&] {
            const auto& events = backend.Events();
            for (; printed < events.size(); ++printed) {
                Print(events[printed]);
            }
        };
        backend.SetUser([&](Driver& user) {
            flush();
            while (next_ < lines_.size() && user.DialogOpen()) {
                Execute(lines_[next_++], user);
                flush();
            }
        });
        if (line.What == Command::Print) {
            const auto run = runPrint_(Words(line.Text), backend.Get(), *registry, out_);
            flush();
            out_ << "end " << (run.DialogShown ? EndWord(run.DialogResult) : "none")
                 << " status=" << run.Status << '\n';
            return;
        }
        CVarnakApp app(backend.Get(), *registry, line.Text);
        app.InitInstance();
        flush();
        out_ << "end " << EndWord(app.DialogResult()) << '\n';
    }

    static const char* EndWord(int dialogResult) {
        switch (dialogResult) {
        case toolkit::IdOk:
            return "ok";
        case toolkit::IdCancel:
            return "cancel";
        default:
            return "open";
        }
    }

    void Execute(const ScriptLine& line, Driver& user) {
        ActionResult result;
        switch (line.What) {
        case Command::Start:
        case Command::Print:
            result = ActionResult::Refused("a dialog is already open");
            break;
        case Command::Tab:
            result = user.SelectTab(line.Value);
            break;
        case Command::Type:
            result = user.Type(*line.Id, line.Text);
            break;
        case Command::Select:
            result = user.Pick(*line.Id, line.Text);
            break;
        case Command::Click:
            result = user.Click(*line.Id);
            break;
        case Command::Row:
            result = user.SelectRow(*line.Id, line.Value);
            break;
        case Command::Enter:
            result = user.PressEnter(*line.Id);
            break;
        case Command::Escape:
            result = user.PressEscape();
            break;
        case Command::PageKey:
        case Command::PageKeyBack:
            result = user.PressPageKey(line.What == Command::PageKeyBack);
            break;
        case Command::Dump:
            result = Dump(line, user);
            break;
        }
        if (!result) {
            Refuse(line, result.Reason);
        }
    }

    ActionResult Dump(const ScriptLine& line, Driver& user) {
        if (!line.Id) {
            for (const auto& state : user.Controls()) {
                DumpControl(state, out_);
            }
            return ActionResult::Ok();
        }
        const auto state = user.State(*line.Id);
        if (!state) {
            return ActionResult::Refused("no control " + std::to_string(*line.Id) + " is shown");
        }
        DumpControl(*state, out_);
        return ActionResult::Ok();
    }

    void Refuse(const ScriptLine& line, const std::string& reason) {
        out_ << "refused " << line.Number << ": " << reason << '\n';
    }

    void Print(const toolkit::UserEvent& event) {
        if (event.What == toolkit::UserEvent::Type::Browse) {
            out_ << "browse " << QuoteText(event.Text) << '\n';
            return;
        }
        out_ << "message " << (event.Icon == toolkit::MessageIcon::Warning ? "warning" : "none")
             << ' ' << QuoteText(event.Title) << ' ' << QuoteText(event.Text) << '\n';
    }

    std::vector<ScriptLine> lines_;
    std::size_t next_ = 0;
    const DriveScript::RegistryOpener& openRegistry_;
    const DriveScript::PrintRunner& runPrint_;
    std::ostream& out_;
};

} // namespace

std::string QuoteText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

int DriveScript::Run(std::istream& script) {
    std::vector<ScriptLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(script, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        if (IsBlank(text) || text.front() == '#') {
            continue;
        }
        std::string error;
        auto line = LineParser(number, text).Parse(error);
        if (!line) {
            err_ << "varnak-drive: line " << number << ": " << error << '\n';
            return ExitBadScript;
        }
        lines.push_back(std::move(*line));
    }
    if (script.bad()) {
        err_ << "varnak-drive: the script could not be read\n";
        return ExitBadScript;
    }
    Runner(std::move(lines), openRegistry_, runPrint_, out_).Run();
    return ExitOk;
}

} // namespace varnak
