#include "platform/registry/RegFile.h"

#include "platform/files/Utf16.h"
#include "platform/registry/Registry.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

namespace varnak::platform {
namespace {

constexpr std::string_view Regedit4Header = "REGEDIT4";
constexpr std::string_view Regedit5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t HexLineWidth = 76;

constexpr std::uint32_t RegMultiSz = 7;

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
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
    // Most names and texts have no escapes: taken whole up to the closing quote.
    if (const auto end = text.find_first_of("\"\\", 1);
        end != std::string_view::npos && text[end] == '"') {
        out.assign(text.substr(1, end - 1));
        text.remove_prefix(end + 1);
        return out;
    }
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

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
}

// value in lower-case hex, at least digits long.
void AppendHex(std::string& out, std::uint32_t value, int digits) {
    constexpr std::string_view HexDigits = "0123456789abcdef";
    char text[8];
    int length = 0;
    do {
        text[length++] = HexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0 || length < digits);
    while (length > 0) {
        out += text[--length];
    }
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

void AppendValue(std::string& out, const RegValue& value) {
    std::size_t lineStart = out.size();
    if (value.Name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, value.Name);
    }
    out += '=';
    if (FitsPlainString(value)) {
        AppendQuoted(out, std::string_view(value.Data.data(), value.Data.size() - 1));
        out += LineEnd;
        return;
    }
    if (value.Type == RegDword && value.Data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number =
                number << 8 | static_cast<std::uint8_t>(value.Data[static_cast<std::size_t>(i)]);
        }
        out += "dword:";
        AppendHex(out, number, 8);
        out += LineEnd;
        return;
    }
    if (value.Type == RegBinary) {
        out += "hex:";
    } else {
        out += "hex(";
        AppendHex(out, value.Type, 1);
        out += "):";
    }
    for (std::size_t i = 0; i < value.Data.size(); ++i) {
        const bool last = i + 1 == value.Data.size();
        if (out.size() - lineStart + 3 > HexLineWidth && !last) {
            out += '\\';
            out += LineEnd;
            lineStart = out.size();
            out += "  ";
        }
        AppendHex(out, static_cast<std::uint8_t>(value.Data[i]), 2);
        if (!last) {
            out += ',';
        }
    }
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
// reason is set when a more precise one than "of no known form" applies.
std::optional<ValueLine> ParseValueLine(std::string_view line, bool unicode, const char*& reason) {
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
    if (!unicode || !IsStringType(value.Type)) {
        value.Data = std::move(*bytes);
        return value;
    }
    // A text that can't be carried exactly is refused: a save would change it.
    if (InvalidUtf16LeAt(*bytes) != std::string_view::npos) {
        reason = "the value's text is not valid UTF-16";
        return std::nullopt;
    }
    value.Data = Utf16LeToUtf8(*bytes);
    return value;
}

// The lines of a text one at a time, without their CR LF or LF, counted from 1.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    std::optional<std::string_view> Next() {
        if (text_.empty()) {
            return std::nullopt;
        }
        const auto end = text_.find('\n');
        auto line = text_.substr(0, end);
        text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++number_;
        return line;
    }
    std::size_t Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t number_ = 0;
};

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

// Adds a comment or blank line to the notes waiting for the next line.
void AddNote(RegNotes& notes, std::string_view line) {
    if (!notes.empty() && notes.back().Line == line) {
        ++notes.back().Count;
    } else {
        notes.push_back(RegNote{std::string(line)});
    }
}

// False when the notes would take the text past the limit.
bool AppendNotes(std::string& out, const RegNotes& notes, std::size_t limit) {
    for (const RegNote& note : notes) {
        const std::size_t length = note.Line.size() + LineEnd.size();
        if (note.Count > (limit - std::min(limit, out.size())) / length) {
            return false;
        }
        for (std::uint64_t i = 0; i < note.Count; ++i) {
            out += note.Line;
            out += LineEnd;
        }
    }
    return true;
}

} // namespace

bool RegNamesEqual(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

RegValue* RegKeyData::FindValue(std::string_view name) {
    auto found = std::ranges::find_if(
        Values, [&](const RegValue& v) { return RegNamesEqual(v.Name, name); });
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

namespace {

// FNV-1a, whose value for each prefix of a text follows from the one before it.
constexpr std::uint64_t HashStart = 0xCBF29CE484222325u;
constexpr std::uint64_t HashPrime = 0x100000001B3u;

std::uint64_t HashOf(std::string_view text) {
    std::uint64_t hash = HashStart;
    for (const char c : text) {
        hash = (hash ^ static_cast<std::uint8_t>(c)) * HashPrime;
    }
    return hash;
}

} // namespace

void RegFile::Ancestors::AddAbove(std::string_view foldedPath) {
    // Each path above it ends before one of its separators; the deepest first, so that the
    // walk ends at the first one already known (those above it are known too).
    std::vector<Entry> above;
    std::uint64_t hash = HashStart;
    for (std::size_t i = 0; i < foldedPath.size(); ++i) {
        if (foldedPath[i] == '\\' && i > 0) {
            above.push_back(Entry{foldedPath.substr(0, i), hash});
        }
        hash = (hash ^ static_cast<std::uint8_t>(foldedPath[i])) * HashPrime;
    }
    for (auto entry = above.rbegin(); entry != above.rend(); ++entry) {
        if (!entries_.insert(*entry).second) {
            break;
        }
    }
}

bool RegFile::Ancestors::Contains(std::string_view foldedPath) const {
    return entries_.contains(Entry{foldedPath, HashOf(foldedPath)});
}

bool RegFile::KeyExists(std::string_view path) const {
    const std::string folded = Folded(path);
    return keyIndex_.contains(folded) || ancestors_.Contains(folded);
}

std::pair<RegKeyData*, bool> RegFile::AddKey(std::string_view path) {
    const auto [entry, added] = keyIndex_.try_emplace(Folded(path), keys_.size());
    if (!added) {
        return {&keys_[entry->second], false};
    }
    ancestors_.AddAbove(entry->first);
    keys_.push_back(RegKeyData{std::string(path)});
    return {&keys_.back(), true};
}

std::vector<std::string_view> RegFile::MissingKeys(std::string_view path) const {
    if (FindKey(path) != nullptr) {
        return {};
    }
    // Parents first, each as its own section, as an export of the registry lists them; the
    // hive itself gets none.
    std::vector<std::string_view> missing;
    const auto hiveEnd = path.find('\\');
    if (hiveEnd != std::string_view::npos) {
        for (auto separator = path.find('\\', hiveEnd + 1); separator != std::string_view::npos;
             separator = path.find('\\', separator + 1)) {
            if (!KeyExists(path.substr(0, separator))) {
                missing.push_back(path.substr(0, separator));
            }
        }
    }
    missing.push_back(path);
    return missing;
}

RegKeyData& RegFile::CreateKey(std::string_view path) {
    for (const std::string_view key : MissingKeys(path)) {
        AddKey(key);
    }
    return *FindKey(path);
}

std::optional<std::string> RegFile::FormatChanged(std::string_view path,
                                                  const std::vector<RegValue>& values,
                                                  std::size_t limit) const {
    const RegKeyData* listed = FindKey(path);
    std::vector<RegKeyData> added;
    for (const std::string_view key : MissingKeys(path)) {
        added.push_back(RegKeyData{std::string(key)});
    }
    if (listed != nullptr) {
        RegKeyData changed = *listed;
        for (const RegValue& value : values) {
            changed.SetValue(value.Name, value.Type, value.Data);
        }
        return Render(limit, listed, &changed, added);
    }
    for (const RegValue& value : values) {
        added.back().SetValue(value.Name, value.Type, value.Data);
    }
    return Render(limit, nullptr, nullptr, added);
}

std::optional<RegFile> RegFile::Parse(std::string_view bytes, RegParseError* error) {
    RegFile file;
    if (bytes.empty()) {
        return file;
    }
    const auto failAt = [&](std::size_t line, const char* reason) -> std::optional<RegFile> {
        if (error != nullptr) {
            *error = RegParseError{line, reason};
        }
        return std::nullopt;
    };
    std::string decoded;
    const bool utf16 = bytes.starts_with("\xFF\xFE");
    if (utf16) {
        // Text that can't be carried exactly is refused: a save would change it.
        const auto text = bytes.substr(2);
        if (const auto bad = InvalidUtf16LeAt(text); bad != std::string_view::npos) {
            const std::string before = Utf16LeToUtf8(text.substr(0, bad - bad % 2));
            return failAt(static_cast<std::size_t>(std::ranges::count(before, '\n')) + 1,
                          "the text is not valid UTF-16");
        }
        decoded = Utf16LeToUtf8(text);
        bytes = decoded;
    }
    // Room for every key line at once: a large file is indexed without growing the index.
    const auto keyLines = static_cast<std::size_t>(std::ranges::count(bytes, '['));
    file.keyIndex_.reserve(keyLines);
    file.keys_.reserve(keyLines);
    LineReader lines(bytes);
    const auto fail = [&](const char* reason) { return failAt(lines.Number(), reason); };
    bool haveHeader = false;
    bool unicode = false;
    std::optional<std::size_t> current;
    ValueIndex values;
    // Comment and blank lines wait for the line they stand before.
    RegNotes pending;
    while (const auto raw = lines.Next()) {
        if (IsTrivia(*raw)) {
            AddNote(pending, *raw);
            continue;
        }
        const auto line = Trim(*raw);
        if (!haveHeader) {
            if (line != Regedit4Header && line != Regedit5Header) {
                return fail("the file does not begin with \"REGEDIT4\" or "
                            "\"Windows Registry Editor Version 5.00\"");
            }
            haveHeader = true;
            unicode = line == Regedit5Header;
            file.preamble_ = std::exchange(pending, {});
            continue;
        }
        if (line.front() == '[') {
            const auto path = KeyOf(line);
            if (path.empty() || path.front() == '-') {
                return fail(path.empty() ? "a key line is not of the form [path]"
                                         : "a key to be deleted ([-path]) is not supported");
            }
            const auto [key, added] = file.AddKey(path);
            current = static_cast<std::size_t>(key - file.keys_.data());
            if (added) {
                key->Leading = std::exchange(pending, {});
            }
            continue;
        }
        if (line.front() != '"' && line.front() != '@') {
            return fail("the line is no comment, key or value");
        }
        if (!current) {
            return fail("a value stands before the first key");
        }
        const std::size_t first = lines.Number();
        std::string joined(line);
        // Decided once, so that a long value line costs no more per continued line.
        if (joined.find("=hex") != std::string::npos) {
            while (joined.back() == '\\') {
                const auto next = lines.Next();
                if (!next) {
                    break;
                }
                joined.pop_back();
                joined += Trim(*next);
            }
        }
        const char* reason = "the value is of no known form";
        auto value = ParseValueLine(joined, unicode, reason);
        if (!value) {
            return failAt(first, reason);
        }
        RegKeyData& key = file.keys_[*current];
        if (RegValue* existing = values.Find(*current, key, value->Name)) {
            existing->Type = value->Type;
            existing->Data = std::move(value->Data);
            continue; // the lines before a repeated value wait for the next line
        }
        key.Values.push_back(RegValue{std::move(value->Name), value->Type, std::move(value->Data),
                                      std::exchange(pending, {})});
    }
    if (!haveHeader) {
        return failAt(std::max<std::size_t>(lines.Number(), 1),
                      "the file has no \"REGEDIT4\" line");
    }
    // In a file without keys, notes after the header stay there when keys are added; blank
    // lines at its end stay at the end.
    auto notesEnd = pending.end();
    if (file.keys_.empty()) {
        while (notesEnd != pending.begin() && Trim((notesEnd - 1)->Line).empty()) {
            --notesEnd;
        }
        file.afterHeader_.assign(pending.begin(), notesEnd);
    }
    file.trailing_.assign(file.keys_.empty() ? notesEnd : pending.begin(), pending.end());
    return file;
}

std::string RegFile::Format() const {
    return *Format(std::numeric_limits<std::size_t>::max());
}

std::optional<std::string> RegFile::Format(std::size_t limit) const {
    return Render(limit, nullptr, nullptr, {});
}

std::optional<std::string> RegFile::Render(std::size_t limit, const RegKeyData* replaced,
                                           const RegKeyData* with,
                                           const std::vector<RegKeyData>& appended) const {
    std::string out;
    const auto appendKey = [&](const RegKeyData& key) {
        if (!AppendNotes(out, key.Leading, limit)) {
            return false;
        }
        out += '[';
        out += key.Path;
        out += ']';
        out += LineEnd;
        for (const RegValue& value : key.Values) {
            if (!AppendNotes(out, value.Leading, limit)) {
                return false;
            }
            AppendValue(out, value);
        }
        return out.size() <= limit;
    };
    if (!AppendNotes(out, preamble_, limit)) {
        return std::nullopt;
    }
    out += Regedit4Header;
    out += LineEnd;
    if (!AppendNotes(out, afterHeader_, limit)) {
        return std::nullopt;
    }
    for (const RegKeyData& key : keys_) {
        if (!appendKey(&key == replaced ? *with : key)) {
            return std::nullopt;
        }
    }
    for (const RegKeyData& key : appended) {
        if (!appendKey(key)) {
            return std::nullopt;
        }
    }
    if (!AppendNotes(out, trailing_, limit) || out.size() > limit) {
        return std::nullopt;
    }
    return out;
}

} // namespace varnak::platform
