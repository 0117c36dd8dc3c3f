#include "ui/CSettings.h"

#include "core/ApplyPasses.h"
#include "core/NumberText.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"
#include "ui/Templates.h"

#include <algorithm>
#include <array>

namespace varnak {
namespace {

using toolkit::Button;
using toolkit::ColumnAlign;
using toolkit::ComboBox;
using toolkit::Edit;
using toolkit::Notification;

const ListPageControls Controls{
    ids::IDC_CHAPTER_LIST,      ids::IDC_CHAPTER_DELETE,      ids::IDC_CHAPTER_PAGE_NUMBERS,
    ids::IDC_CHAPTER_SEPARATOR, ids::IDC_CHAPTER_MODIFY,      ids::IDC_CHAPTER_OVERLAY,
    ids::IDC_CHAPTER_TRAY,      ids::IDC_CHAPTER_DESCRIPTION, ids::IDC_CHAPTER_APPLY};

constexpr std::array<ListPageColumn, 5> Columns{{
    {"Last Page", ColumnAlign::Right, 60},
    {"Action", ColumnAlign::Left, 45},
    {"Formoverlay", ColumnAlign::Right, 70},
    {"Input tray", ColumnAlign::Left, 80},
    {"Copies", ColumnAlign::Right, 60},
}};

constexpr const char* LastRowText = "Last";

// A copy count as typed: anything not above 1 (empty, 0, negative) means one copy.
std::uint32_t CopyCountOf(const std::string& text) {
    const std::int32_t value = LeadingNumber(text);
    return value > 1 ? static_cast<std::uint32_t>(value) : 1;
}

} // namespace

CSettings::CSettings(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry)
    : CListPage(ChapterPrintingTemplate(), Controls, settings, owner, registry) {
    OnNotification(ids::IDC_CHAPTER_APPLY, Notification::Clicked, [this] { OnApply(); });
    OnNotification(ids::IDC_CHAPTER_DELETE, Notification::Clicked, [this] { OnDelete(); });
    OnNotification(ids::IDC_SEP_AFTER_COPYSET, Notification::Clicked,
                   [this] { OnSeparatorAfterCopySetClicked(); });
    OnNotification(ids::IDC_CHAPTER_OVERLAY, Notification::SelChange,
                   [this] { OnOverlaySelected(); });
    OnNotification(ids::IDC_CHAPTER_TRAY, Notification::SelChange, [this] { OnTraySelected(); });
    OnNotification(ids::IDC_CHAPTER_PAGE_NUMBERS, Notification::EditChange,
                   [this] { ApplyEnablingRule(); });
    OnNotification(ids::IDC_CHAPTER_LIST, Notification::ItemChanged,
                   [this] { OnListItemChanged(); });
}

void CSettings::InitControls() {
    FillControls(Columns);
    const JobSettings& settings = Settings();
    if (settings.LoadedFromRegistry()) {
        ShowRememberedInputs(settings.LastChapterPageNumbers(), settings.LastChapterInputTray(),
                             settings.LastChapterFormOverlay());
        if (settings.LastChapterCopyCount() > 1) {
            Item<Edit>(ids::IDC_CHAPTER_COPIES)
                .SetText(FormatUnsigned(settings.LastChapterCopyCount()));
        }
        if (settings.LastRemainingChapterCopyCount() > 1) {
            Item<Edit>(ids::IDC_REMAINING_COPIES)
                .SetText(FormatUnsigned(settings.LastRemainingChapterCopyCount()));
        }
    } else {
        ShowStartInputs();
    }
    ResetActionControls();
    OnOverlaySelected();
    Item<Button>(ids::IDC_SEP_AFTER_COPYSET).SetCheck(settings.SepPageAfterCopySetOnly());
    if (BothListsHaveSelection()) {
        ShowBoxForLists();
    }
}

void CSettings::OnActivated() {
    Owner().LockCopiesToOne();
}

void CSettings::DisableEditing() {
    SetEnabled({ids::IDC_CHAPTER_LIST, ids::IDC_CHAPTER_PAGE_NUMBERS, ids::IDC_CHAPTER_SEPARATOR,
                ids::IDC_CHAPTER_COPIES, ids::IDC_CHAPTER_OVERLAY, ids::IDC_CHAPTER_TRAY,
                ids::IDC_REMAINING_COPIES, ids::IDC_SEP_AFTER_COPYSET, ids::IDC_CHAPTER_APPLY,
                ids::IDC_CHAPTER_DELETE},
               false);
}

void CSettings::EnableEditing() {
    SetEnabled({ids::IDC_CHAPTER_LIST, ids::IDC_CHAPTER_PAGE_NUMBERS, ids::IDC_CHAPTER_SEPARATOR,
                ids::IDC_CHAPTER_COPIES, ids::IDC_CHAPTER_OVERLAY, ids::IDC_CHAPTER_TRAY,
                ids::IDC_REMAINING_COPIES, ids::IDC_SEP_AFTER_COPYSET},
               true);
    if (!BothListsHaveSelection()) {
        return;
    }
    // The box follows the lists, but the remembered choice stays as it is.
    ShowBoxForLists();
    Item<Button>(ids::IDC_CHAPTER_APPLY).Enable(true);
}

void CSettings::StoreControls() {
    JobSettings& settings = Settings();
    ListPageInputs inputs = CurrentInputs();
    settings.SetLastChapterPageNumbers(std::move(inputs.PageNumbers));
    settings.SetLastChapterInputTray(inputs.Tray);
    settings.SetLastChapterFormOverlay(static_cast<std::int32_t>(inputs.Overlay));
    // A negative count would come back as some four billion copies.
    const std::int32_t copies = LeadingNumber(Item<Edit>(ids::IDC_CHAPTER_COPIES).GetText());
    settings.SetLastChapterCopyCount(copies > 0 ? static_cast<std::uint32_t>(copies) : 0);
    settings.SetSepPageAfterCopySetOnly(Item<Button>(ids::IDC_SEP_AFTER_COPYSET).GetCheck());
    // Without an Apply nothing set the remaining copy count; a ticket must not ask for no
    // copies of the remaining pages.
    if (settings.RemainingChapterCopyCount() == 0) {
        settings.SetRemainingChapterCopyCount(1);
    }
}

bool CSettings::IsEmpty() const {
    return Settings().ChapterEntryCount() == 0;
}

void CSettings::OnApply() {
    const std::string text = PageNumbersText();
    if (text.empty()) {
        return;
    }
    const std::uint32_t copyCount = CopyCountOf(Item<Edit>(ids::IDC_CHAPTER_COPIES).GetText());
    // An overlay item that reads as 0 is taken as no overlay.
    const std::uint32_t overlay = SelectedOverlay().Number;
    const std::int32_t tray = std::max(SelectedTray(), 0);
    JobSettings& settings = Settings();
    auto& list = List();
    bool chapterTouched = false;
    RunApplyPasses(
        ParsePageNumberList(text), settings.ChapterEntries(), &ChapterEntry::LastPage,
        [&](std::size_t index) {
            ChapterEntry& entry = *settings.ChapterEntryAt(index);
            entry.CopyCount = copyCount;
            entry.FormOverlay = overlay;
            entry.InputTray = tray;
            WriteChapterCells(list, static_cast<int>(index), entry);
            chapterTouched = true;
            return true;
        },
        [&](std::uint32_t lastPage) {
            ChapterEntry entry;
            entry.LastPage = lastPage;
            entry.Kind = 1;
            entry.CopyCount = copyCount;
            entry.FormOverlay = overlay;
            entry.InputTray = tray;
            InsertChapterRow(list, entry);
            settings.AddChapterEntry(entry);
            chapterTouched = true;
            return true;
        });
    ShowLastRow(ApplyRemainingCopyCount(chapterTouched, copyCount));
    if (list.GetItemCount() > 1) {
        Owner().EnableOK();
        Owner().LockCopiesToOne();
    }
}

std::string CSettings::ApplyRemainingCopyCount(bool chapterTouched, std::uint32_t copyCount) {
    JobSettings& settings = Settings();
    auto& field = Item<Edit>(ids::IDC_REMAINING_COPIES);
    const std::string typed = field.GetText();
    const std::uint32_t remaining =
        !typed.empty() ? CopyCountOf(typed) : (chapterTouched ? copyCount : 1);
    settings.SetRemainingChapterCopyCount(remaining);
    settings.SetLastRemainingChapterCopyCount(remaining);
    std::string shown = FormatUnsigned(remaining);
    if (typed.empty()) {
        field.SetText(shown);
    }
    // The row shows the count that will reach the ticket, whatever was typed.
    return shown;
}

void CSettings::ShowLastRow(const std::string& copies) {
    auto& list = List();
    if (!HasLastRow) {
        const int row = list.InsertItem(list.GetItemCount(), LastRowText);
        list.SetItemText(row, CopiesColumn, copies);
        HasLastRow = true;
        return;
    }
    list.SetItemText(list.GetItemCount() - 1, CopiesColumn, copies);
}

void CSettings::OnDelete() {
    const int row = SelectedRow();
    // The "Last" row stands for the pages after the last chapter and is never deleted.
    if (row < 0 || IsLastRow(row) ||
        static_cast<std::size_t>(row) >= Settings().ChapterEntryCount()) {
        return;
    }
    // Chapter rows and entries correspond one to one: the selected row's entry goes.
    Settings().RemoveChapterEntryAt(static_cast<std::size_t>(row));
    List().DeleteItem(row);
    const int rows = List().GetItemCount();
    if (rows == 0 || (rows == 1 && HasLastRow)) {
        // The other pages may still hold something that OK should print.
        Owner().DisableOKIfNothingSet();
        Owner().UnlockCopies();
    }
}

void CSettings::OnOverlaySelected() {
    if (!ShowOverlayDescription()) {
        return;
    }
    ApplyEnablingRule();
    CheckBoxRule();
}

void CSettings::OnTraySelected() {
    ApplyEnablingRule();
    CheckBoxRule();
}

void CSettings::OnSeparatorAfterCopySetClicked() {
    Settings().SetSepPageAfterCopySetOnly(Item<Button>(ids::IDC_SEP_AFTER_COPYSET).GetCheck());
}

void CSettings::OnListItemChanged() {
    const int row = SelectedRow();
    Item<Button>(ids::IDC_CHAPTER_DELETE).Enable(row >= 0 && !IsLastRow(row));
}

void CSettings::CheckBoxRule() {
    if (!BothListsHaveSelection()) {
        return;
    }
    if (BothListsSayNone()) {
        Settings().SetSepPageAfterCopySetOnly(false);
    }
    ShowBoxForLists();
}

void CSettings::ShowBoxForLists() {
    auto& box = Item<Button>(ids::IDC_SEP_AFTER_COPYSET);
    if (BothListsSayNone()) {
        box.SetCheck(false);
        box.Enable(false);
        return;
    }
    box.Enable(true);
}

bool CSettings::BothListsHaveSelection() const {
    return Item<ComboBox>(ids::IDC_CHAPTER_OVERLAY).GetCurSel() >= 0 &&
           Item<ComboBox>(ids::IDC_CHAPTER_TRAY).GetCurSel() >= 0;
}

bool CSettings::BothListsSayNone() const {
    return Item<ComboBox>(ids::IDC_CHAPTER_OVERLAY).GetText() == NoneItem &&
           Item<ComboBox>(ids::IDC_CHAPTER_TRAY).GetText() == NoneItem;
}

void CSettings::InsertChapterRow(toolkit::ListView& list, const ChapterEntry& entry) {
    // New chapters go just above the "Last" row.
    const int rows = list.GetItemCount();
    const int row = InsertEntryRow(list, HasLastRow ? rows - 1 : rows, entry.LastPage);
    WriteChapterCells(list, row, entry);
}

void CSettings::WriteChapterCells(toolkit::ListView& list, int row, const ChapterEntry& entry) {
    ShowEntryCells(list, row, entry.FormOverlay, entry.InputTray);
    list.SetItemText(row, CopiesColumn, FormatUnsigned(entry.CopyCount));
}

bool CSettings::IsLastRow(int row) const {
    return HasLastRow && row == List().GetItemCount() - 1;
}

} // namespace varnak
