#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnak {

// One exception of the Document Printing list. FormOverlay and InputTray both 0 means
// "insert a separation sheet after the page"; anything else modifies the page itself.
struct PageEntry {
    std::uint32_t Page = 0;
    std::int32_t Kind = 1; // the design names it; nothing reads it
    std::uint32_t FormOverlay = 0;
    std::int32_t InputTray = 0;

    bool IsSeparationSheet() const { return FormOverlay == 0 && InputTray == 0; }
};

// One chapter of the Chapter Printing list: its last page, copy count and the separator
// page (overlay and tray) that follows it.
struct ChapterEntry {
    std::uint32_t LastPage = 0;
    std::int32_t Kind = 1; // the design names it; nothing reads it
    std::uint32_t CopyCount = 1;
    std::uint32_t FormOverlay = 0;
    std::int32_t InputTray = 0;

    // A separator page needs an overlay or a tray; a tray code below 0 is no tray.
    bool HasSeparatorPage() const { return FormOverlay != 0 || InputTray > 0; }
};

// Tray codes index this table; every tray list shows it in this order, so that a list's
// selected position is the tray code.
inline constexpr std::array<std::string_view, 12> InputTrayNames = {
    "None",       "Plain",     "Bond",       "Color",      "Labels",       "Recycled",
    "Letterhead", "Cardstock", "Prepunched", "Preprinted", "Transparency", "Rough"};

// The property sheet's pages; LastTab is the index of one of them (0 to PageCount - 1), in
// the sheet's tab order.
inline constexpr std::uint32_t PageCount = 4;

// The overlay printed for every separator sheet; it comes from no setting.
inline constexpr std::uint32_t SeparatorOverlay = 25997;

// The one record of job options of a run. Start-up owns it; dialogs and pages hold a plain
// pointer and edit it in place. It owns the entries of both lists, which are never stored.
class JobSettings {
public:
    std::uint32_t NumberOfCopies() const { return numberOfCopies_; }
    void SetNumberOfCopies(std::uint32_t value) { numberOfCopies_ = value; }
    std::int32_t DefaultInputTray() const { return defaultInputTray_; }
    void SetDefaultInputTray(std::int32_t value) { defaultInputTray_ = value; }
    std::uint32_t DefaultFormOverlay() const { return defaultFormOverlay_; }
    void SetDefaultFormOverlay(std::uint32_t value) { defaultFormOverlay_ = value; }

    std::string LastPageNumbers() const { return lastPageNumbers_; }
    void SetLastPageNumbers(std::string value) { lastPageNumbers_ = std::move(value); }
    std::int32_t LastFormOverlay() const { return lastFormOverlay_; }
    void SetLastFormOverlay(std::int32_t value) { lastFormOverlay_ = value; }
    std::int32_t LastInputTray() const { return lastInputTray_; }
    void SetLastInputTray(std::int32_t value) { lastInputTray_ = value; }

    bool LoadedFromRegistry() const { return loadedFromRegistry_; }
    void SetLoadedFromRegistry(bool value) { loadedFromRegistry_ = value; }

    std::int32_t CoverPageInputTray() const { return coverPageInputTray_; }
    void SetCoverPageInputTray(std::int32_t value) { coverPageInputTray_ = value; }
    std::uint32_t CoverPageFormOverlay() const { return coverPageFormOverlay_; }
    void SetCoverPageFormOverlay(std::uint32_t value) { coverPageFormOverlay_ = value; }
    std::int32_t FooterPageInputTray() const { return footerPageInputTray_; }
    void SetFooterPageInputTray(std::int32_t value) { footerPageInputTray_ = value; }
    std::uint32_t FooterPageFormOverlay() const { return footerPageFormOverlay_; }
    void SetFooterPageFormOverlay(std::uint32_t value) { footerPageFormOverlay_ = value; }

    std::uint32_t LastTab() const { return lastTab_; }
    void SetLastTab(std::uint32_t value) { lastTab_ = value; }

    std::string LastChapterPageNumbers() const { return lastChapterPageNumbers_; }
    void SetLastChapterPageNumbers(std::string value) {
        lastChapterPageNumbers_ = std::move(value);
    }
    std::uint32_t LastChapterCopyCount() const { return lastChapterCopyCount_; }
    void SetLastChapterCopyCount(std::uint32_t value) { lastChapterCopyCount_ = value; }
    std::int32_t LastChapterFormOverlay() const { return lastChapterFormOverlay_; }
    void SetLastChapterFormOverlay(std::int32_t value) { lastChapterFormOverlay_ = value; }
    std::int32_t LastChapterInputTray() const { return lastChapterInputTray_; }
    void SetLastChapterInputTray(std::int32_t value) { lastChapterInputTray_ = value; }

    std::uint32_t RemainingChapterCopyCount() const { return remainingChapterCopyCount_; }
    void SetRemainingChapterCopyCount(std::uint32_t value) { remainingChapterCopyCount_ = value; }
    std::uint32_t LastRemainingChapterCopyCount() const { return lastRemainingChapterCopyCount_; }
    void SetLastRemainingChapterCopyCount(std::uint32_t value) {
        lastRemainingChapterCopyCount_ = value;
    }
    bool SepPageAfterCopySetOnly() const { return sepPageAfterCopySetOnly_; }
    void SetSepPageAfterCopySetOnly(bool value) { sepPageAfterCopySetOnly_ = value; }

    // Document Printing list, in the order the entries were added. At and RemoveAt take
    // an index; beyond the list, At gives null and RemoveAt does nothing.
    void AddPageEntry(const PageEntry& entry) { pageEntries_.push_back(entry); }
    // Room for entries about to be added, so that a long list is not moved as it grows.
    void ReservePageEntries(std::size_t count) { pageEntries_.reserve(count); }
    PageEntry* PageEntryAt(std::size_t index);
    std::size_t PageEntryCount() const { return pageEntries_.size(); }
    void RemovePageEntryAt(std::size_t index);
    const std::vector<PageEntry>& PageEntries() const { return pageEntries_; }

    // Chapter Printing list, the same way.
    void AddChapterEntry(const ChapterEntry& entry) { chapterEntries_.push_back(entry); }
    void ReserveChapterEntries(std::size_t count) { chapterEntries_.reserve(count); }
    ChapterEntry* ChapterEntryAt(std::size_t index);
    std::size_t ChapterEntryCount() const { return chapterEntries_.size(); }
    void RemoveChapterEntryAt(std::size_t index);
    const std::vector<ChapterEntry>& ChapterEntries() const { return chapterEntries_; }

    // Destroys every entry of both lists and empties both strings; the scalars stay.
    void Clear();

private:
    std::uint32_t numberOfCopies_ = 1;
    std::int32_t defaultInputTray_ = 1;
    std::uint32_t defaultFormOverlay_ = 0;
    std::string lastPageNumbers_;
    std::int32_t lastFormOverlay_ = 0;
    std::int32_t lastInputTray_ = 0;
    std::vector<PageEntry> pageEntries_;
    bool loadedFromRegistry_ = false;
    std::int32_t coverPageInputTray_ = 0;
    std::uint32_t coverPageFormOverlay_ = 0;
    std::int32_t footerPageInputTray_ = 0;
    std::uint32_t footerPageFormOverlay_ = 0;
    std::uint32_t lastTab_ = 0;
    std::string lastChapterPageNumbers_;
    std::uint32_t lastChapterCopyCount_ = 0;
    std::int32_t lastChapterFormOverlay_ = 0;
    std::int32_t lastChapterInputTray_ = 0;
    std::vector<ChapterEntry> chapterEntries_;
    std::uint32_t remainingChapterCopyCount_ = 0;
    std::uint32_t lastRemainingChapterCopyCount_ = 0;
    bool sepPageAfterCopySetOnly_ = false;
};

} // namespace varnak
