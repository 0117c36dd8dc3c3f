#pragma once

#include "core/JobSettings.h"
#include "overlays/OverlayCatalog.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Controls.h"
#include "ui/JobPage.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnak {

class COptionsDlg;

// The controls that the Document Printing and Chapter Printing pages both have.
struct ListPageControls {
    int List;
    int DeleteButton;
    int PageNumbers;
    int SeparatorRadio;
    int ModifyRadio;
    int OverlayList;
    int TrayList;
    int DescriptionBox;
    int ApplyButton;
};

struct ListPageColumn {
    const char* Heading;
    toolkit::ColumnAlign Align;
    int WidthPixels;
};

// Where the cells of an entry's row are, on both pages; the chapter page adds its copies.
inline constexpr int PageColumn = 0;
inline constexpr int ActionColumn = 1;
inline constexpr int OverlayColumn = 2;
inline constexpr int TrayColumn = 3;
inline constexpr int CopiesColumn = 4;

// What the overlay list's selection stands for.
struct OverlayChoice {
    bool Listed = false;      // an overlay item: neither "None" nor no selection
    std::uint32_t Number = 0; // 0 for none
};

// The inputs a list page remembers for the next run.
struct ListPageInputs {
    std::string PageNumbers;
    std::int32_t Tray = 0;
    std::uint32_t Overlay = 0;
};

// The position of the first entry of each page number, so that an Apply finds the entry to
// update without scanning the list for every number it was given. Open addressing in one
// array: an Apply builds it afresh, and a node per entry would cost an allocation each.
class FirstEntryIndex {
public:
    template <class Entry>
    FirstEntryIndex(const std::vector<Entry>& entries, std::uint32_t Entry::*page) {
        std::size_t capacity = 16;
        while (capacity < entries.size() * 2) {
            capacity *= 2;
        }
        slots_.assign(capacity, Slot{});
        mask_ = capacity - 1;
        for (std::size_t index = 0; index < entries.size(); ++index) {
            Slot& slot = slots_[SlotOf(entries[index].*page)];
            if (slot.Position == Empty) {
                slot = {entries[index].*page, index};
            }
        }
    }
    std::optional<std::size_t> Find(std::uint32_t page) const {
        const Slot& slot = slots_[SlotOf(page)];
        return slot.Position != Empty ? std::optional(slot.Position) : std::nullopt;
    }

private:
    static constexpr std::size_t Empty = static_cast<std::size_t>(-1);
    struct Slot {
        std::uint32_t Page = 0;
        std::size_t Position = Empty;
    };
    // The slot that holds page, or the empty slot where it would go.
    std::size_t SlotOf(std::uint32_t page) const {
        std::size_t at = static_cast<std::size_t>((page * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
        while (slots_[at].Position != Empty && slots_[at].Page != page) {
            at = (at + 1) & mask_;
        }
        return at;
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

// Runs the two passes of an Apply over the numbers of a page-number text, in order. Update
// pass: the first existing entry of each number is handed to update(index). Creation pass:
// every number that is not 0 and matched no existing entry goes to create(page), once per
// occurrence. Either function returns false to stop the Apply; then so does this.
template <class Entry, class Update, class Create>
bool RunApplyPasses(const std::vector<std::int32_t>& numbers, const std::vector<Entry>& entries,
                    std::uint32_t Entry::*page, Update update, Create create) {
    const FirstEntryIndex index(entries, page);
    std::vector<bool> done(numbers.size(), false);
    for (std::size_t at = 0; at < numbers.size(); ++at) {
        // Negative numbers are taken as the unsigned page numbers they wrap to.
        if (const auto found = index.Find(static_cast<std::uint32_t>(numbers[at]))) {
            if (!update(*found)) {
                return false;
            }
            done[at] = true;
        }
    }
    for (std::size_t at = 0; at < numbers.size(); ++at) {
        if (numbers[at] != 0 && !done[at] && !create(static_cast<std::uint32_t>(numbers[at]))) {
            return false;
        }
    }
    return true;
}

// What the Document Printing and Chapter Printing pages share: a list view of entries, a
// page-number edit, an overlay and a tray list with a description box, Apply and Delete.
// Owns the page's catalogue; borrows the record and the owner dialog.
class CListPage : public JobPage {
protected:
    CListPage(const toolkit::DialogTemplate& tmpl, const ListPageControls& controls,
              JobSettings& settings, COptionsDlg& owner, platform::Registry& registry);

    // Initialisation: fills the tray and overlay lists ("None" selected) and the columns.
    void FillControls(std::span<const ListPageColumn> columns);
    // Shows the remembered inputs of the last run; an unlisted overlay leaves "None".
    void ShowRememberedInputs(const std::string& pageNumbers, std::int32_t tray,
                              std::int32_t overlay);
    void ShowStartInputs();
    // The rest of initialisation that both pages do: empty description, Apply rule, Delete
    // disabled, the radio buttons that are never read set once.
    void ResetActionControls();

    // Shows the description of the selected overlay; false when nothing is selected.
    bool ShowOverlayDescription();
    // Apply is usable exactly while there is a page-number text.
    void ApplyEnablingRule();
    void SetEnabled(std::initializer_list<int> ids, bool enable);

    std::string PageNumbersText() const;
    // The selected tray code; -1 with no selection.
    int SelectedTray() const;
    OverlayChoice SelectedOverlay() const;
    ListPageInputs CurrentInputs() const;
    // The selected row; -1 with none.
    int SelectedRow() const;
    // Inserts the row of an entry at row, showing its page and its action (every entry is
    // shown as a separation sheet); returns the row's position.
    int InsertEntryRow(int row, std::uint32_t page);
    void ShowEntryCells(int row, std::uint32_t overlay, std::int32_t tray);

    toolkit::ListView& List() const;

private:
    const ListPageControls& controls_;
    OverlayCatalog catalog_;
};

} // namespace varnak
