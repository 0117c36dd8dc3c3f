#include "print/PrintArguments.h"

#include <charconv>
#include <filesystem>

namespace varnak::print {
namespace {

std::optional<int> Seconds(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string PrintOptions::JobTitle() const {
    if (Title) {
        return *Title;
    }
    if (FromStandardInput()) {
        return "stdin";
    }
    const std::string name = std::filesystem::path(Document).filename().string();
    return name.empty() ? Document : name;
}

std::variant<PrintOptions, UsageError>
ParsePrintArguments(const std::vector<std::string>& arguments) {
    PrintOptions options;
    bool documentGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // A value in the same word ("-dzor", "--keep-ticket=a.prn") or in the next one.
        const auto value = [&](std::size_t length, std::string& into) -> std::optional<UsageError> {
            const std::string option = argument.substr(0, length);
            if (argument.size() > length) {
                into = argument.substr(argument[length] == '=' && length > 2 ? length + 1 : length);
            } else if (i + 1 < arguments.size()) {
                into = arguments[++i];
            }
            if (into.empty()) {
                return UsageError{"varnak-print: " + option + " needs a value"};
            }
            return std::nullopt;
        };
        std::optional<UsageError> error;
        if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
            if (documentGiven) {
                return UsageError{"varnak-print: one document at a time: " + argument};
            }
            documentGiven = true;
            options.Document = argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument.starts_with("-d")) {
            error = value(2, options.Destination);
        } else if (argument.starts_with("-h")) {
            error = value(2, options.Server);
        } else if (argument.starts_with("-t")) {
            std::string title;
            error = value(2, title);
            options.Title = title;
        } else if (argument == "--wait") {
            options.Wait = true;
        } else if (argument.starts_with("--wait=")) {
            options.Wait = true;
            options.WaitSeconds = Seconds(std::string_view(argument).substr(7));
            if (!options.WaitSeconds) {
                return UsageError{"varnak-print: --wait takes a number of seconds: " + argument};
            }
        } else if (argument == "--keep-ticket" || argument.starts_with("--keep-ticket=")) {
            std::string file;
            error = value(13, file);
            options.KeepTicket = file;
        } else {
            return UsageError{"varnak-print: unknown option " + argument};
        }
        if (error) {
            return *error;
        }
    }
    return options;
}

} // namespace varnak::print
