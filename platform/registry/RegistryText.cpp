#include "platform/registry/Registry.h"

#ifdef _WIN32
#include <windows.h>

#include <climits>
#endif

namespace varnak::platform {

#ifdef _WIN32
namespace {

// From one code page to another through UTF-16, as the system converts.
std::string Convert(std::string_view text, unsigned from, unsigned to) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::string(text);
    }
    const int size = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), size, wide.data(), wideLength);
    const int length =
        WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, converted.data(), length, nullptr,
                        nullptr);
    return converted;
}

} // namespace

std::string TextFromRegistry(std::string_view stored) { return Convert(stored, CP_ACP, CP_UTF8); }
std::string TextForRegistry(std::string_view utf8) { return Convert(utf8, CP_UTF8, CP_ACP); }

#else

std::string TextFromRegistry(std::string_view stored) { return std::string(stored); }
std::string TextForRegistry(std::string_view utf8) { return std::string(utf8); }

#endif

} // namespace varnak::platform
