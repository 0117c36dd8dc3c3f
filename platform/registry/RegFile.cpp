#include "platform/registry/RegFile.h"

#include "platform/files/Utf16.h"
#include "platform/registry/Registry.h"

#include <algorithm>
#include <cstdio>

namespace varnak::platform {
namespace {

constexpr std::string_view Regedit4Header = "REGEDIT4";
constexpr std::string_view Regedit5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t HexLineWidth = 76;

constexpr std::uint32_t RegMultiSz = 7;

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A hex number of 1 to 8 digits filling the whole text.
std::optional<std::uint32_t> ParseHex32(std::string_view text) {
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

// "xx,xx,..." with blanks allowed around the bytes; an empty text is no bytes.
std::optional<std::string> ParseHexBytes(std::string_view text) {
    std::string bytes;
    text = Trim(text);
    if (text.empty()) {
        return bytes;
    }
    while (true) {
        const auto comma = text.find(',');
        const auto byteText = Trim(text.substr(0, comma));
        if (byteText.size() > 2) {
            return std::nullopt;
        }
        const auto value = ParseHex32(byteText);
        if (!value) {
            return std::nullopt;
        }
        bytes += static_cast<char>(*value);
        if (comma == std::string_view::npos) {
            return bytes;
        }
        text = text.substr(comma + 1);
        if (Trim(text).empty()) {
            return bytes; // a trailing comma, as before a continued line
        }
    }
}

// A quoted string at the start of text with \\ and \" escapes; advances text past it.
std::optional<std::string> ParseQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                return std::nullopt;
            }
            out += text[++i];
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

bool IsStringType(std::uint32_t type) {
    return type == RegSz || type == RegExpandSz || type == RegMultiSz;
}

// The plain "text" form carries exactly: a REG_SZ of one NUL-terminated line.
bool FitsPlainString(const RegValue& value) {
    if (value.Type != RegSz || value.Data.empty() || value.Data.back() != '\0') {
        return false;
    }
    const std::string_view text(value.Data.data(), value.Data.size() - 1);
    return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

std::string FormatData(const RegValue& value) {
    if (FitsPlainString(value)) {
        return Quote(std::string_view(value.Data.data(), value.Data.size() - 1));
    }
    char buffer[32];
    if (value.Type == RegDword && value.Data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = number << 8 | static_cast<std::uint8_t>(value.Data[static_cast<std::size_t>(i)]);
        }
        std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(number));
        return buffer;
    }
    if (value.Type == RegBinary) {
        std::snprintf(buffer, sizeof buffer, "hex:");
    } else {
        std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(value.Type));
    }
    return buffer;
}

void AppendValue(std::string& out, const RegValue& value) {
    std::string line = value.Name.empty() ? std::string("@") : Quote(value.Name);
    line += '=';
    line += FormatData(value);
    const bool hexForm = line.back() == ':';
    if (hexForm) {
        for (std::size_t i = 0; i < value.Data.size(); ++i) {
            char byteText[4];
            std::snprintf(byteText, sizeof byteText, "%02x",
                          static_cast<unsigned>(static_cast<std::uint8_t>(value.Data[i])));
            const bool last = i + 1 == value.Data.size();
            if (line.size() + 3 > HexLineWidth && !last) {
                out += line;
                out += '\\';
                out += LineEnd;
                line = "  ";
            }
            line += byteText;
            if (!last) {
                line += ',';
            }
        }
    }
    out += line;
    out += LineEnd;
}

std::string_view KeyOf(std::string_view line) {
    // "[path]": the path runs to the last bracket.
    const auto close = line.rfind(']');
    if (line.size() < 2 || line.front() != '[' || close != line.size() - 1) {
        return {};
    }
    return line.substr(1, close - 1);
}

struct ValueLine {
    std::string Name;
    std::uint32_t Type = 0;
    std::string Data;
};

// One value line (continuations already joined). unicode: hex string data is UTF-16LE.
std::optional<ValueLine> ParseValueLine(std::string_view line, bool unicode) {
    ValueLine value;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        auto name = ParseQuoted(line);
        if (!name) {
            return std::nullopt;
        }
        value.Name = std::move(*name);
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=') {
        return std::nullopt;
    }
    line = Trim(line.substr(1));
    if (!line.empty() && line.front() == '"') {
        auto text = ParseQuoted(line);
        if (!text || !Trim(line).empty()) {
            return std::nullopt;
        }
        value.Type = RegSz;
        value.Data = std::move(*text);
        value.Data += '\0';
        return value;
    }
    if (line.starts_with("dword:")) {
        const auto number = ParseHex32(line.substr(6));
        if (!number) {
            return std::nullopt;
        }
        value.Type = RegDword;
        for (int i = 0; i < 4; ++i) {
            value.Data += static_cast<char>(*number >> (8 * i) & 0xFF);
        }
        return value;
    }
    std::string_view bytesText;
    if (line.starts_with("hex:")) {
        value.Type = RegBinary;
        bytesText = line.substr(4);
    } else if (line.starts_with("hex(")) {
        const auto close = line.find("):");
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const auto type = ParseHex32(line.substr(4, close - 4));
        if (!type) {
            return std::nullopt;
        }
        value.Type = *type;
        bytesText = line.substr(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(bytesText);
    if (!bytes) {
        return std::nullopt;
    }
    value.Data = unicode && IsStringType(value.Type) ? Utf16LeToUtf8(*bytes) : std::move(*bytes);
    return value;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = FoldCase(c);
    }
    return folded;
}

bool IsTrivia(std::string_view line) {
    const auto text = Trim(line);
    return text.empty() || text.front() == ';';
}

// A parsed key's values by name once it has more than a few, so that a key with very many
// values costs no more per value than one with a handful. Keys are named by their position,
// as the file's key list grows while it is read.
class ValueIndex {
public:
    RegValue* Find(std::size_t keyPosition, RegKeyData& key, std::string_view name) {
        if (key.Values.size() <= LinearLimit) {
            return key.FindValue(name);
        }
        auto& byName = indexes_[keyPosition];
        for (std::size_t i = byName.size(); i < key.Values.size(); ++i) {
            byName.emplace(Folded(key.Values[i].Name), i);
        }
        const auto found = byName.find(Folded(name));
        return found == byName.end() ? nullptr : &key.Values[found->second];
    }

private:
    static constexpr std::size_t LinearLimit = 16;
    std::unordered_map<std::size_t, std::unordered_map<std::string, std::size_t>> indexes_;
};

void AppendLines(std::string& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out += line;
        out += LineEnd;
    }
}

} // namespace

bool RegNamesEqual(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

RegValue* RegKeyData::FindValue(std::string_view name) {
    auto found = std::ranges::find_if(Values, [&](const RegValue& v) {
        return RegNamesEqual(v.Name, name);
    });
    return found == Values.end() ? nullptr : &*found;
}

const RegValue* RegKeyData::FindValue(std::string_view name) const {
    return const_cast<RegKeyData*>(this)->FindValue(name);
}

void RegKeyData::SetValue(std::string_view name, std::uint32_t type, std::string data) {
    if (RegValue* existing = FindValue(name)) {
        existing->Type = type;
        existing->Data = std::move(data);
        return;
    }
    Values.push_back(RegValue{std::string(name), type, std::move(data)});
}

RegKeyData* RegFile::FindKey(std::string_view path) {
    const auto found = keyIndex_.find(Folded(path));
    return found == keyIndex_.end() ? nullptr : &keys_[found->second];
}

const RegKeyData* RegFile::FindKey(std::string_view path) const {
    return const_cast<RegFile*>(this)->FindKey(path);
}

bool RegFile::KeyExists(std::string_view path) const {
    const std::string folded = Folded(path);
    return keyIndex_.contains(folded) || ancestors_.contains(folded);
}

RegKeyData& RegFile::AddKey(std::string_view path) {
    std::string folded = Folded(path);
    if (const auto found = keyIndex_.find(folded); found != keyIndex_.end()) {
        return keys_[found->second];
    }
    // Every path above this one exists from now on; once one is known, so are those above it.
    for (auto separator = folded.rfind('\\'); separator != std::string::npos && separator > 0;
         separator = folded.rfind('\\', separator - 1)) {
        if (!ancestors_.insert(folded.substr(0, separator)).second) {
            break;
        }
    }
    keyIndex_.emplace(std::move(folded), keys_.size());
    keys_.push_back(RegKeyData{std::string(path)});
    return keys_.back();
}

RegKeyData& RegFile::CreateKey(std::string_view path) {
    // Parents first, each as its own section, as an export of the registry lists them; the
    // hive itself gets none.
    const auto hiveEnd = path.find('\\');
    if (hiveEnd == std::string_view::npos) {
        return AddKey(path);
    }
    for (auto separator = path.find('\\', hiveEnd + 1); separator != std::string_view::npos;
         separator = path.find('\\', separator + 1)) {
        const auto parent = path.substr(0, separator);
        if (!KeyExists(parent)) {
            AddKey(parent);
        }
    }
    return AddKey(path);
}

std::optional<RegFile> RegFile::Parse(std::string_view bytes, RegParseError* error) {
    RegFile file;
    if (bytes.empty()) {
        return file;
    }
    std::string decoded;
    const bool utf16 = bytes.starts_with("\xFF\xFE");
    if (utf16) {
        decoded = Utf16LeToUtf8(bytes.substr(2));
        bytes = decoded;
    }
    const auto lines = SplitLines(bytes);
    const auto fail = [&](std::size_t index, const char* reason) -> std::optional<RegFile> {
        if (error != nullptr) {
            *error = RegParseError{index + 1, reason};
        }
        return std::nullopt;
    };
    bool haveHeader = false;
    bool unicode = false;
    std::optional<std::size_t> current;
    ValueIndex values;
    // Comment and blank lines wait for the line they stand before.
    std::vector<std::string> pending;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsTrivia(lines[i])) {
            pending.emplace_back(lines[i]);
            continue;
        }
        const auto line = Trim(lines[i]);
        if (!haveHeader) {
            if (line != Regedit4Header && line != Regedit5Header) {
                return fail(i, "the file does not begin with \"REGEDIT4\" or "
                               "\"Windows Registry Editor Version 5.00\"");
            }
            haveHeader = true;
            unicode = line == Regedit5Header;
            file.preamble_ = std::move(pending);
            pending.clear();
            continue;
        }
        if (line.front() == '[') {
            const auto path = KeyOf(line);
            if (path.empty() || path.front() == '-') {
                return fail(i, path.empty() ? "a key line is not of the form [path]"
                                            : "a key to be deleted ([-path]) is not supported");
            }
            const bool known = file.FindKey(path) != nullptr;
            RegKeyData& key = file.AddKey(path);
            current = static_cast<std::size_t>(&key - file.keys_.data());
            if (!known) {
                key.Leading = std::move(pending);
                pending.clear();
            }
            continue;
        }
        if (line.front() != '"' && line.front() != '@') {
            return fail(i, "the line is no comment, key or value");
        }
        if (!current) {
            return fail(i, "a value stands before the first key");
        }
        const std::size_t first = i;
        std::string joined(line);
        while (joined.back() == '\\' && joined.find("=hex") != std::string::npos &&
               i + 1 < lines.size()) {
            joined.pop_back();
            joined += Trim(lines[++i]);
        }
        auto value = ParseValueLine(joined, unicode);
        if (!value) {
            return fail(first, "the value is of no known form");
        }
        RegKeyData& key = file.keys_[*current];
        if (RegValue* existing = values.Find(*current, key, value->Name)) {
            existing->Type = value->Type;
            existing->Data = std::move(value->Data);
            continue; // the lines before a repeated value wait for the next line
        }
        key.Values.push_back(RegValue{std::move(value->Name), value->Type, std::move(value->Data),
                                      std::move(pending)});
        pending.clear();
    }
    if (!haveHeader) {
        return fail(lines.empty() ? 0 : lines.size() - 1, "the file has no \"REGEDIT4\" line");
    }
    // In a file without keys, notes after the header stay there when keys are added; blank
    // lines at its end stay at the end.
    auto notesEnd = pending.end();
    if (file.keys_.empty()) {
        while (notesEnd != pending.begin() && Trim(*(notesEnd - 1)).empty()) {
            --notesEnd;
        }
        file.afterHeader_.assign(pending.begin(), notesEnd);
    }
    file.trailing_.assign(file.keys_.empty() ? notesEnd : pending.begin(), pending.end());
    return file;
}

std::string RegFile::Format() const {
    std::string out;
    AppendLines(out, preamble_);
    out += Regedit4Header;
    out += LineEnd;
    AppendLines(out, afterHeader_);
    for (const RegKeyData& key : keys_) {
        AppendLines(out, key.Leading);
        out += '[';
        out += key.Path;
        out += ']';
        out += LineEnd;
        for (const RegValue& value : key.Values) {
            AppendLines(out, value.Leading);
            AppendValue(out, value);
        }
    }
    AppendLines(out, trailing_);
    return out;
}

} // namespace varnak::platform
