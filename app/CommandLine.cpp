#include "app/CommandLine.h"

#include <string_view>

namespace varnak {
namespace {

constexpr std::string_view OutputSwitch = "-R";

std::string Quoted(std::string_view name) {
    return std::string(OutputSwitch) + '"' + std::string(name) + '"';
}

} // namespace

std::string CommandLineFromArguments(const std::vector<std::string>& arguments) {
    std::string text;
    bool first = true;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        std::string word(argument);
        if (argument == OutputSwitch) {
            if (index + 1 < arguments.size()) {
                word = Quoted(arguments[++index]);
            }
        } else if (argument.substr(0, OutputSwitch.size()) == OutputSwitch) {
            const std::string_view rest = argument.substr(OutputSwitch.size());
            if (rest.front() != '"') {
                word = Quoted(rest);
            }
        }
        if (!first) {
            text += ' ';
        }
        first = false;
        text += word;
    }
    return text;
}

} // namespace varnak
