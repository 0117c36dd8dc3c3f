#pragma once

#include "core/JobSettings.h"
#include "overlays/OverlayCatalog.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Controls.h"
#include "ui/JobPage.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

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
    static int InsertEntryRow(toolkit::ListView& list, int row, std::uint32_t page);
    static void ShowEntryCells(toolkit::ListView& list, int row, std::uint32_t overlay,
                               std::int32_t tray);

    toolkit::ListView& List() const;

private:
    const ListPageControls& controls_;
    OverlayCatalog catalog_;
};

} // namespace varnak
