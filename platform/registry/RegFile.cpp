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
    auto found = std::ranges::find_if(keys_, [&](const RegKeyData& key) {
        return RegNamesEqual(key.Path, path);
    });
    return found == keys_.end() ? nullptr : &*found;
}

const RegKeyData* RegFile::FindKey(std::string_view path) const {
    return const_cast<RegFile*>(this)->FindKey(path);
}

bool RegFile::KeyExists(std::string_view path) const {
    return std::ranges::any_of(keys_, [&](const RegKeyData& key) {
        const std::string_view listed = key.Path;
        if (listed.size() == path.size()) {
            return RegNamesEqual(listed, path);
        }
        return listed.size() > path.size() && listed[path.size()] == '\\' &&
               RegNamesEqual(listed.substr(0, path.size()), path);
    });
}

RegKeyData& RegFile::AddKey(std::string_view path) {
    if (RegKeyData* existing = FindKey(path)) {
        return *existing;
    }
    keys_.push_back(RegKeyData{std::string(path), {}});
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

std::optional<RegFile> RegFile::Parse(std::string_view bytes) {
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
    bool haveHeader = false;
    bool unicode = false;
    RegKeyData* current = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto line = Trim(lines[i]);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!haveHeader) {
            if (line != Regedit4Header && line != Regedit5Header) {
                return std::nullopt;
            }
            haveHeader = true;
            unicode = line == Regedit5Header;
            continue;
        }
        if (line.front() == '[') {
            const auto path = KeyOf(line);
            if (path.empty() || path.front() == '-') {
                return std::nullopt;
            }
            current = &file.AddKey(path);
            continue;
        }
        if (current == nullptr || (line.front() != '"' && line.front() != '@')) {
            return std::nullopt;
        }
        std::string joined(line);
        while (joined.back() == '\\' && joined.find("=hex") != std::string::npos &&
               i + 1 < lines.size()) {
            joined.pop_back();
            joined += Trim(lines[++i]);
        }
        auto value = ParseValueLine(joined, unicode);
        if (!value) {
            return std::nullopt;
        }
        current->SetValue(value->Name, value->Type, std::move(value->Data));
    }
    if (!haveHeader) {
        return std::nullopt;
    }
    return file;
}

std::string RegFile::Format() const {
    std::string out(Regedit4Header);
    out += LineEnd;
    for (const RegKeyData& key : keys_) {
        out += LineEnd;
        out += '[';
        out += key.Path;
        out += ']';
        out += LineEnd;
        for (const RegValue& value : key.Values) {
            AppendValue(out, value);
        }
    }
    out += LineEnd;
    return out;
}

} // namespace varnak::platform
