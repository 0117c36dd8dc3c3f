#include "platform/files/WholeFile.h"

#include <algorithm>
#include <cwchar>
#include <random>
#include <windows.h>

namespace varnak::platform {
namespace {

// Written in pieces of this size, so that a failing disk meets the file part-way.
constexpr DWORD Piece = DWORD{64} * 1024;
// The longest name a file may have; a temporary name stays within it.
constexpr std::size_t LongestName = 255;
constexpr std::size_t LongestNamePart = 200;

// Ticket names come in the ANSI code page, as the command line does.
std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }

private:
    HANDLE handle_;
};

bool WritePieces(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), Piece));
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

WholeFileResult WriteTo(Handle& file, std::string_view bytes, bool flush) {
    const bool whole = WritePieces(file.Get(), bytes) && (!flush || FlushFileBuffers(file.Get()));
    return file.Close() && whole ? WholeFileResult::Written : WholeFileResult::CannotWrite;
}

// The file a name ends at once links and junctions are followed.
std::wstring FinalPath(HANDLE file, const std::wstring& name) {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetFinalPathNameByHandleW(file, path.data(),
                                                       static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return name;
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

std::wstring FullPath(const std::wstring& name) {
    const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    std::wstring path(length, L'\0');
    const DWORD written = GetFullPathNameW(name.c_str(), length, path.data(), nullptr);
    if (written == 0 || written >= length) {
        return name;
    }
    path.resize(written);
    return path;
}

std::wstring RandomSuffix() {
    std::random_device random;
    wchar_t text[17];
    std::swprintf(text, 17, L"%08x%08x", random(), random());
    return text;
}

} // namespace

WholeFileResult WriteWholeFile(const std::string& name, std::string_view bytes) {
    if (name.empty()) {
        return WholeFileResult::CannotCreate;
    }
    const std::wstring wide = Wide(name);
    constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    Handle existing(CreateFileW(wide.c_str(), GENERIC_WRITE, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring target;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (existing.Valid()) {
        if (GetFileType(existing.Get()) != FILE_TYPE_DISK) {
            return WriteTo(existing, bytes, false); // a device or a pipe
        }
        target = FinalPath(existing.Get(), wide);
        existing.Close();
        attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return WholeFileResult::CannotCreate; // a read-only ticket stays as it is
        }
    } else if (GetLastError() == ERROR_FILE_NOT_FOUND) {
        target = FullPath(wide);
    } else {
        return WholeFileResult::CannotCreate; // no folder, a read-only file, a directory
    }

    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring directory = target.substr(0, slash == std::wstring::npos ? 0 : slash + 1);
    const std::wstring fileName = target.substr(directory.size());
    if (fileName.empty() || fileName.size() > LongestName) {
        return WholeFileResult::CannotCreate;
    }
    const std::wstring temporary =
        directory + L"." + fileName.substr(0, LongestNamePart) + L"." + RandomSuffix() + L".tmp";
    // The new file takes over the old one's plain attributes (hidden, archive, ...).
    constexpr DWORD Kept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            (attributes & Kept ? attributes & Kept : FILE_ATTRIBUTE_NORMAL) |
                                FILE_FLAG_WRITE_THROUGH,
                            nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED) {
            return WholeFileResult::CannotCreate;
        }
        // A folder that takes no new files, around a ticket file that may be written.
        Handle inPlace(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   TRUNCATE_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr));
        return inPlace.Valid() ? WriteTo(inPlace, bytes, true) : WholeFileResult::CannotCreate;
    }
    if (WriteTo(file, bytes, true) != WholeFileResult::Written) {
        DeleteFileW(temporary.c_str());
        return WholeFileResult::CannotWrite;
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return WholeFileResult::CannotWrite;
    }
    return WholeFileResult::Written;
}

} // namespace varnak::platform
