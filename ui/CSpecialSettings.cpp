#include "ui/CSpecialSettings.h"

#include "core/ApplyPasses.h"
#include "core/NumberText.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"
#include "ui/Templates.h"

#include <algorithm>
#include <array>

namespace varnak {
namespace {

using toolkit::ColumnAlign;
using toolkit::Notification;

const ListPageControls Controls{
    ids::IDC_PAGE_LIST,      ids::IDC_PAGE_DELETE,      ids::IDC_PAGE_NUMBERS,
    ids::IDC_PAGE_SEPARATOR, ids::IDC_PAGE_MODIFY,      ids::IDC_PAGE_OVERLAY,
    ids::IDC_PAGE_TRAY,      ids::IDC_PAGE_DESCRIPTION, ids::IDC_PAGE_APPLY};

constexpr std::array<ListPageColumn, 4> Columns{{
    {"Page", ColumnAlign::Right, 50},
    {"Action", ColumnAlign::Left, 80},
    {"Formoverlay", ColumnAlign::Right, 80},
    {"Input tray", ColumnAlign::Left, 100},
}};

} // namespace

CSpecialSettings::CSpecialSettings(JobSettings& settings, COptionsDlg& owner,
                                   platform::Registry& registry)
    : CListPage(DocumentPrintingTemplate(), Controls, settings, owner, registry) {
    OnNotification(ids::IDC_PAGE_APPLY, Notification::Clicked, [this] { OnApply(); });
    OnNotification(ids::IDC_PAGE_DELETE, Notification::Clicked, [this] { OnDelete(); });
    OnNotification(ids::IDC_PAGE_OVERLAY, Notification::SelChange, [this] { OnOverlaySelected(); });
    OnNotification(ids::IDC_PAGE_TRAY, Notification::SelChange, [this] { ApplyEnablingRule(); });
    OnNotification(ids::IDC_PAGE_NUMBERS, Notification::EditChange,
                   [this] { ApplyEnablingRule(); });
    OnNotification(ids::IDC_PAGE_LIST, Notification::ItemChanged, [this] { OnListItemChanged(); });
}

void CSpecialSettings::InitControls() {
    FillControls(Columns);
    const JobSettings& settings = Settings();
    if (settings.LoadedFromRegistry()) {
        ShowRememberedInputs(settings.LastPageNumbers(), settings.LastInputTray(),
                             settings.LastFormOverlay());
    } else {
        ShowStartInputs();
    }
    ResetActionControls();
    OnOverlaySelected();
}

void CSpecialSettings::DisableEditing() {
    SetEnabled({ids::IDC_PAGE_LIST, ids::IDC_PAGE_NUMBERS, ids::IDC_PAGE_SEPARATOR,
                ids::IDC_PAGE_OVERLAY, ids::IDC_PAGE_TRAY, ids::IDC_PAGE_APPLY,
                ids::IDC_PAGE_DELETE},
               false);
}

void CSpecialSettings::EnableEditing() {
    SetEnabled({ids::IDC_PAGE_LIST, ids::IDC_PAGE_NUMBERS, ids::IDC_PAGE_SEPARATOR,
                ids::IDC_PAGE_OVERLAY, ids::IDC_PAGE_TRAY, ids::IDC_PAGE_APPLY},
               true);
}

void CSpecialSettings::StoreControls() {
    ListPageInputs inputs = CurrentInputs();
    Settings().SetLastPageNumbers(std::move(inputs.PageNumbers));
    Settings().SetLastInputTray(inputs.Tray);
    Settings().SetLastFormOverlay(static_cast<std::int32_t>(inputs.Overlay));
}

bool CSpecialSettings::IsEmpty() const {
    return Settings().PageEntryCount() == 0;
}

void CSpecialSettings::OnApply() {
    const std::string text = PageNumbersText();
    if (text.empty()) {
        return;
    }
    // The selections don't change during an Apply, so one reading serves every entry; a
    // listed item whose number reads as 0 stops the Apply before anything changes.
    const OverlayChoice overlay = SelectedOverlay();
    const bool overlayUsable = !overlay.Listed || overlay.Number != 0;
    // No selection means no tray, for updated and new entries alike.
    const std::int32_t tray = std::max(SelectedTray(), 0);
    JobSettings& settings = Settings();
    auto& list = List();
    const bool applied = RunApplyPasses(
        ParsePageNumberList(text), settings.PageEntries(), &PageEntry::Page,
        [&](std::size_t index) {
            if (!overlayUsable) {
                return false;
            }
            PageEntry& entry = *settings.PageEntryAt(index);
            entry.FormOverlay = overlay.Number;
            entry.InputTray = tray;
            ShowEntryCells(list, static_cast<int>(index), entry.FormOverlay, entry.InputTray);
            return true;
        },
        [&](std::uint32_t page) {
            if (!overlayUsable) {
                return false;
            }
            PageEntry entry;
            entry.Page = page;
            entry.FormOverlay = overlay.Number;
            entry.InputTray = tray;
            entry.Kind = 1;
            settings.AddPageEntry(entry);
            const int row = InsertEntryRow(list, list.GetItemCount(), page);
            ShowEntryCells(list, row, entry.FormOverlay, entry.InputTray);
            return true;
        });
    if (!applied) {
        ShowOverlayError();
        return;
    }
    Owner().EnableOK();
    Owner().UnlockCopies();
}

void CSpecialSettings::OnDelete() {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    // Rows and entries correspond one to one, so the row's index is the entry's: with two
    // entries for the same page, the one on the selected row goes.
    Settings().RemovePageEntryAt(static_cast<std::size_t>(row));
    List().DeleteItem(row);
    if (List().GetItemCount() == 0) {
        // The other pages may still hold something that OK should print.
        Owner().DisableOKIfNothingSet();
    }
}

void CSpecialSettings::OnOverlaySelected() {
    if (ShowOverlayDescription()) {
        ApplyEnablingRule();
    }
}

void CSpecialSettings::OnListItemChanged() {
    Item<toolkit::Button>(ids::IDC_PAGE_DELETE).Enable(SelectedRow() >= 0);
}

void CSpecialSettings::ShowOverlayError() {
    Owner().MessageBox("Form overlay must be larger than zero", "Input Error",
                       toolkit::MessageIcon::Warning);
    GetDlgItem(ids::IDC_PAGE_OVERLAY)->SetFocus();
}

} // namespace varnak
