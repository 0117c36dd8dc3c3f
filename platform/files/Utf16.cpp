#include "platform/files/Utf16.h"

#include <cstdint>

namespace varnak::platform {
namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

char16_t UnitAt(std::string_view bytes, std::size_t i) {
    return static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                 static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
}

} // namespace

std::size_t InvalidUtf16LeAt(std::string_view bytes) {
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = UnitAt(bytes, i);
        if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(UnitAt(bytes, i + 1))) {
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            return 2 * i;
        }
    }
    return bytes.size() % 2 == 0 ? std::string_view::npos : bytes.size() - 1;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) { return UnitAt(bytes, i); };
    std::string out;
    out.reserve(units + units / 2);
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unitAt(i + 1))) {
            const char16_t low = unitAt(++i);
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(low) - 0xDC00));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, ReplacementCharacter);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

} // namespace varnak::platform
