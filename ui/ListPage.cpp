#include "ui/ListPage.h"

#include "core/NumberText.h"
#include "ui/ControlHelpers.h"

namespace varnak {
namespace {

using toolkit::Button;
using toolkit::ComboBox;
using toolkit::Edit;

constexpr const char* NoneItem = "None";

} // namespace

std::string_view TrayName(std::int32_t tray) {
    if (tray < 0 || static_cast<std::size_t>(tray) >= InputTrayNames.size()) {
        return {};
    }
    return InputTrayNames[static_cast<std::size_t>(tray)];
}

CListPage::CListPage(const toolkit::DialogTemplate& tmpl, const ListPageControls& controls,
                     JobSettings& settings, COptionsDlg& owner, platform::Registry& registry)
    : JobPage(tmpl, settings, owner), controls_(controls), catalog_(registry) {}

void CListPage::FillControls(std::span<const ListPageColumn> columns) {
    auto& trays = Item<ComboBox>(controls_.TrayList);
    for (const auto& text : TrayListTexts()) {
        trays.AddString(text);
    }
    auto& overlays = Item<ComboBox>(controls_.OverlayList);
    for (const auto& text : OverlayListTexts(catalog_.ListOverlays())) {
        overlays.AddString(text);
    }
    overlays.SetCurSel(0);
    auto& list = List();
    int at = 0;
    for (const auto& column : columns) {
        list.InsertColumn(at++, column.Heading, column.Align, column.WidthPixels);
    }
}

void CListPage::ShowRememberedInputs(const std::string& pageNumbers, std::int32_t tray,
                                     std::int32_t overlay) {
    Item<Edit>(controls_.PageNumbers).SetText(pageNumbers);
    Item<ComboBox>(controls_.TrayList).SetCurSel(tray);
    if (overlay != 0) {
        auto& overlays = Item<ComboBox>(controls_.OverlayList);
        if (auto item = OverlayItemFor(ItemTexts(overlays), static_cast<std::uint32_t>(overlay))) {
            overlays.SetCurSel(static_cast<int>(*item));
        }
    }
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
    const auto& overlays = Item<ComboBox>(controls_.OverlayList);
    const int selection = overlays.GetCurSel();
    if (selection < 0) {
        return false;
    }
    ControlTextSink description(Item<Edit>(controls_.DescriptionBox));
    catalog_.ShowDescription(overlays.GetLBText(selection), description);
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
    const auto& overlays = Item<ComboBox>(controls_.OverlayList);
    const int selection = overlays.GetCurSel();
    if (selection < 0) {
        return {};
    }
    const std::string text = overlays.GetLBText(selection);
    if (text == NoneItem) {
        return {};
    }
    return {true, OverlayNumberOf(text)};
}

ListPageInputs CListPage::CurrentInputs() const {
    const int tray = SelectedTray();
    return {PageNumbersText(), tray < 0 ? 0 : tray, SelectedOverlay().Number};
}

int CListPage::SelectedRow() const {
    return List().GetNextSelected();
}

toolkit::ListView& CListPage::List() const {
    return Item<toolkit::ListView>(controls_.List);
}

} // namespace varnak
