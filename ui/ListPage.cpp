#include "ui/ListPage.h"

#include "core/NumberText.h"
#include "ui/ControlHelpers.h"

#include <algorithm>
#include <limits>

namespace varnak {
namespace {

using toolkit::Button;
using toolkit::ComboBox;
using toolkit::Edit;

constexpr const char* SeparatorAction = "sep. sheet";

// The widest text a cell of the column can show, so that the column is made wide enough.
std::string WidestCellOf(int column) {
    switch (column) {
    case ActionColumn:
        return SeparatorAction;
    case TrayColumn:
        return std::string(*std::max_element(
            InputTrayNames.begin(), InputTrayNames.end(),
            [](std::string_view a, std::string_view b) { return a.size() < b.size(); }));
    default: // page numbers, overlays and copy counts
        return FormatUnsigned(std::numeric_limits<std::uint32_t>::max());
    }
}

} // namespace

CListPage::CListPage(const toolkit::DialogTemplate& tmpl, const ListPageControls& controls,
                     JobSettings& settings, COptionsDlg& owner, platform::Registry& registry)
    : JobPage(tmpl, settings, owner), controls_(controls), catalog_(registry) {
    OnNotification(controls.List, toolkit::Notification::KeyDelete, [this] {
        // The Delete key does what the Delete button does, while the button is usable.
        if (Item<Button>(controls_.DeleteButton).IsEnabled()) {
            Notify(controls_.DeleteButton, toolkit::Notification::Clicked);
        }
    });
}

void CListPage::FillControls(std::span<const ListPageColumn> columns) {
    FillTrayList(Item<ComboBox>(controls_.TrayList));
    FillOverlayList(Item<ComboBox>(controls_.OverlayList), catalog_);
    auto& list = List();
    int at = 0;
    for (const auto& column : columns) {
        list.InsertColumn(at, column.Heading, column.Align, column.WidthPixels, WidestCellOf(at));
        ++at;
    }
}

void CListPage::ShowRememberedInputs(const std::string& pageNumbers, std::int32_t tray,
                                     std::int32_t overlay) {
    Item<Edit>(controls_.PageNumbers).SetText(pageNumbers);
    Item<ComboBox>(controls_.TrayList).SetCurSel(tray);
    SelectStoredOverlay(Item<ComboBox>(controls_.OverlayList), static_cast<std::uint32_t>(overlay));
}

void CListPage::ShowStartInputs() {
    Item<ComboBox>(controls_.TrayList).SetCurSel(0);
    Item<ComboBox>(controls_.OverlayList).SetCurSel(0);
}

void CListPage::ResetActionControls() {
    Item<Edit>(controls_.DescriptionBox).SetText("");
    ApplyEnablingRule();
    Item<Button>(controls_.DeleteButton).Enable(false);
    // Every entry is shown as a separation sheet; the radio buttons are never read.
    Item<Button>(controls_.SeparatorRadio).SetCheck(true);
    Item<Button>(controls_.ModifyRadio).Enable(false);
}

bool CListPage::ShowOverlayDescription() {
    const auto overlay = SelectedItem(Item<ComboBox>(controls_.OverlayList));
    if (!overlay) {
        return false;
    }
    ShowDescription(catalog_, *overlay, Item<Edit>(controls_.DescriptionBox));
    return true;
}

void CListPage::ApplyEnablingRule() {
    Item<Button>(controls_.ApplyButton).Enable(!PageNumbersText().empty());
}

void CListPage::SetEnabled(std::initializer_list<int> ids, bool enable) {
    for (const int id : ids) {
        GetDlgItem(id)->Enable(enable);
    }
}

std::string CListPage::PageNumbersText() const {
    return Item<Edit>(controls_.PageNumbers).GetText();
}

int CListPage::SelectedTray() const {
    return Item<ComboBox>(controls_.TrayList).GetCurSel();
}

OverlayChoice CListPage::SelectedOverlay() const {
    const auto overlay = SelectedItem(Item<ComboBox>(controls_.OverlayList));
    if (!overlay || *overlay == NoneItem) {
        return {};
    }
    return {true, OverlayNumberOf(*overlay)};
}

ListPageInputs CListPage::CurrentInputs() const {
    const int tray = SelectedTray();
    return {PageNumbersText(), tray < 0 ? 0 : tray, SelectedOverlay().Number};
}

int CListPage::SelectedRow() const {
    return List().GetNextSelected();
}

int CListPage::InsertEntryRow(toolkit::ListView& list, int row, std::uint32_t page) {
    const int at = list.InsertItem(row, FormatUnsigned(page));
    list.SetItemText(at, ActionColumn, SeparatorAction);
    return at;
}

void CListPage::ShowEntryCells(toolkit::ListView& list, int row, std::uint32_t overlay,
                               std::int32_t tray) {
    list.SetItemText(row, OverlayColumn, FormatUnsigned(overlay));
    list.SetItemText(row, TrayColumn, TrayName(tray));
}

toolkit::ListView& CListPage::List() const {
    return Item<toolkit::ListView>(controls_.List);
}

} // namespace varnak
