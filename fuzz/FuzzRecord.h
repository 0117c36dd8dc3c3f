#pragma once

// A job record from fuzz input: the scalars first, then page entries and chapters made of the
// same words, so that any bytes give a record.
#include "core/JobSettings.h"

#include <cstdint>
#include <cstring>

namespace varnak::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return size_ == 0; }
    std::uint32_t Word() {
        std::uint32_t value = 0;
        const std::size_t take = size_ < 4 ? size_ : 4;
        std::memcpy(&value, data_, take);
        data_ += take;
        size_ -= take;
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

inline JobSettings RecordFrom(Input& in) {
    JobSettings s;
    s.SetNumberOfCopies(in.Word());
    s.SetDefaultInputTray(static_cast<std::int32_t>(in.Word()));
    s.SetDefaultFormOverlay(in.Word());
    s.SetCoverPageInputTray(static_cast<std::int32_t>(in.Word()));
    s.SetCoverPageFormOverlay(in.Word());
    s.SetFooterPageInputTray(static_cast<std::int32_t>(in.Word()));
    s.SetFooterPageFormOverlay(in.Word());
    s.SetRemainingChapterCopyCount(in.Word());
    s.SetSepPageAfterCopySetOnly(in.Word() & 1);
    while (!in.Empty()) {
        const std::uint32_t page = in.Word();
        const std::uint32_t overlay = in.Word();
        const auto tray = static_cast<std::int32_t>(in.Word());
        s.AddPageEntry({.Page = page, .FormOverlay = overlay, .InputTray = tray});
        s.AddChapterEntry(
            {.LastPage = page, .CopyCount = in.Word(), .FormOverlay = overlay, .InputTray = tray});
    }
    return s;
}

} // namespace varnak::fuzz
