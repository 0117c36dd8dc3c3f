#include "core/JobSettings.h"

#include <algorithm>

namespace varnak {
namespace {

// Works for const and mutable lists alike.
template <typename List> auto EntryAt(List& entries, std::size_t index) -> decltype(&entries[0]) {
    return index < entries.size() ? &entries[index] : nullptr;
}

template <typename Entry, typename PageOf>
void RemoveFirst(std::vector<Entry>& entries, std::uint32_t page, PageOf pageOf) {
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& entry) { return pageOf(entry) == page; });
    if (found != entries.end()) {
        entries.erase(found);
    }
}

template <typename Entry> void RemoveAt(std::vector<Entry>& entries, std::size_t index) {
    if (index < entries.size()) {
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

} // namespace

const PageEntry* JobSettings::PageEntryAt(std::size_t index) const {
    return EntryAt(pageEntries_, index);
}

PageEntry* JobSettings::PageEntryAt(std::size_t index) { return EntryAt(pageEntries_, index); }

void JobSettings::RemovePageEntry(std::uint32_t page) {
    RemoveFirst(pageEntries_, page, [](const PageEntry& entry) { return entry.Page; });
}

void JobSettings::RemovePageEntryAt(std::size_t index) { RemoveAt(pageEntries_, index); }

const ChapterEntry* JobSettings::ChapterEntryAt(std::size_t index) const {
    return EntryAt(chapterEntries_, index);
}

ChapterEntry* JobSettings::ChapterEntryAt(std::size_t index) {
    return EntryAt(chapterEntries_, index);
}

void JobSettings::RemoveChapterEntry(std::uint32_t lastPage) {
    RemoveFirst(chapterEntries_, lastPage,
                [](const ChapterEntry& entry) { return entry.LastPage; });
}

void JobSettings::RemoveChapterEntryAt(std::size_t index) { RemoveAt(chapterEntries_, index); }

void JobSettings::Clear() {
    pageEntries_.clear();
    chapterEntries_.clear();
    lastPageNumbers_.clear();
    lastChapterPageNumbers_.clear();
}

} // namespace varnak
