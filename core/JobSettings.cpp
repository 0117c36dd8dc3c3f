#include "core/JobSettings.h"

namespace varnak {
namespace {

template <typename Entry> Entry* EntryAt(std::vector<Entry>& entries, std::size_t index) {
    return index < entries.size() ? &entries[index] : nullptr;
}

template <typename Entry> void RemoveAt(std::vector<Entry>& entries, std::size_t index) {
    if (index < entries.size()) {
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

} // namespace

PageEntry* JobSettings::PageEntryAt(std::size_t index) { return EntryAt(pageEntries_, index); }

void JobSettings::RemovePageEntryAt(std::size_t index) { RemoveAt(pageEntries_, index); }

ChapterEntry* JobSettings::ChapterEntryAt(std::size_t index) {
    return EntryAt(chapterEntries_, index);
}

void JobSettings::RemoveChapterEntryAt(std::size_t index) { RemoveAt(chapterEntries_, index); }

void JobSettings::Clear() {
    pageEntries_.clear();
    chapterEntries_.clear();
    lastPageNumbers_.clear();
    lastChapterPageNumbers_.clear();
}

} // namespace varnak
