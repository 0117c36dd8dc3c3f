#include "ui/COptionsDlg.h"

#include "core/NumberText.h"
#include "platform/files/WholeFile.h"
#include "ui/ControlHelpers.h"
#include "ui/ControlIds.h"
#include "ui/Templates.h"

namespace varnak {

const char* const ManualAddress = VARNAK_MANUAL_URL;

namespace {

using toolkit::ComboBox;
using toolkit::Edit;
using toolkit::Notification;

constexpr int SheetX = 5; // pixels in the client area
constexpr int SheetY = 200;

FileWrite WriteToDisk(const std::string& name, std::string_view bytes) {
    switch (platform::WriteWholeFile(name, bytes)) {
    case platform::WholeFileResult::Written:
        return FileWrite::Written;
    case platform::WholeFileResult::CannotCreate:
        return FileWrite::CannotCreate;
    case platform::WholeFileResult::CannotWrite:
        break;
    }
    return FileWrite::CannotWrite;
}

toolkit::MessageIcon ToolkitIcon(MessageIcon icon) {
    return icon == MessageIcon::Warning ? toolkit::MessageIcon::Warning
                                        : toolkit::MessageIcon::None;
}

} // namespace

COptionsDlg::COptionsDlg(toolkit::Backend& backend, platform::Registry& registry,
                         JobSettings* settings, const std::string& commandLine)
    : COptionsDlg(backend, registry, settings, ParseTicketRequest(commandLine)) {}

COptionsDlg::COptionsDlg(toolkit::Backend& backend, platform::Registry& registry,
                         JobSettings* settings, TicketRequest ticket)
    : ModalDialog(backend, OptionsTemplate()), ticket_(std::move(ticket)), settings_(settings),
      catalog_(registry), sheet_(*settings, *this, registry) {
    OnNotification(ids::IDC_DEFAULT_OVERLAY, Notification::SelChange,
                   [this] { OnOverlaySelChange(); });
    OnNotification(ids::IDC_COPIES, Notification::EditChange, [this] { OnCopiesChange(); });
    OnNotification(ids::IDC_MANUAL_LINK, Notification::OpenFailed, [this] { OnManualNotOpened(); });
}

bool COptionsDlg::OnInitDialog() {
    ModalDialog::OnInitDialog();
    // Creating the sheet activates its start page, which may call back into this dialog.
    sheet_.Create(*this, SheetX, SheetY);

    auto& trays = Item<ComboBox>(ids::IDC_DEFAULT_TRAY);
    FillTrayList(trays);
    auto& overlays = Item<ComboBox>(ids::IDC_DEFAULT_OVERLAY);
    FillOverlayList(overlays, catalog_);

    auto& copies = Item<Edit>(ids::IDC_COPIES);
    if (settings_->LoadedFromRegistry()) {
        copies.SetText(FormatUnsigned(settings_->NumberOfCopies()));
        trays.SetCurSel(settings_->DefaultInputTray());
        SelectStoredOverlay(overlays, settings_->DefaultFormOverlay());
    } else {
        copies.SetText("1");
        trays.SetCurSel(1);
        overlays.SetCurSel(0);
    }
    Item<Edit>(ids::IDC_OVERLAY_DESCRIPTION).SetText("");
    for (int id : {ids::IDC_STAPLING, ids::IDC_SIMPLEX, ids::IDC_DUPLEX, ids::IDC_AS_DATASTREAM}) {
        GetDlgItem(id)->Enable(false);
    }
    Item<toolkit::Link>(ids::IDC_MANUAL_LINK).SetUrl(ManualAddress);
    OnOverlaySelChange();
    DisableOKIfNothingSet();
    // The stored copy count was set after the chapter page locked the field; while that
    // page is active the field must read 1 and stay disabled, and the count the dialog shows
    // on every other start page comes back when the operator leaves it.
    if (sheet_.ChapterPageActive()) {
        copiesBeforeLock_ = copies.GetText();
        LockCopiesToOne();
    }
    return true;
}

void COptionsDlg::OnOK() {
    const std::int32_t copies = LeadingNumber(Item<Edit>(ids::IDC_COPIES).GetText());
    if (copies <= 0) {
        MessageBox("Number of copies must be larger than zero", "Input Error",
                   toolkit::MessageIcon::Warning);
        return;
    }
    settings_->SetNumberOfCopies(static_cast<std::uint32_t>(copies));
    const bool documentMode = !sheet_.ChapterPageActive();

    const auto& trays = Item<ComboBox>(ids::IDC_DEFAULT_TRAY);
    const auto tray = SelectedItem(trays);
    settings_->SetDefaultInputTray(!tray || *tray == NoneItem ? 0 : trays.GetCurSel());
    if (const auto overlay = SelectedItem(Item<ComboBox>(ids::IDC_DEFAULT_OVERLAY))) {
        settings_->SetDefaultFormOverlay(OverlayNumberOf(*overlay));
    }

    sheet_.StoreAllPages();
    if (TicketWriter::WriteTicket(ticket_, *settings_, documentMode, *this, WriteToDisk) ==
        TicketOutcome::OutputFailed) {
        return;
    }
    EndDialog(toolkit::IdOk);
}

bool COptionsDlg::PreTranslateMessage(const toolkit::KeyMessage& message) {
    return message.VirtualKey == toolkit::VirtualKeyReturn;
}

void COptionsDlg::OnOverlaySelChange() {
    if (const auto overlay = SelectedItem(Item<ComboBox>(ids::IDC_DEFAULT_OVERLAY))) {
        ShowDescription(catalog_, *overlay, *GetDlgItem(ids::IDC_OVERLAY_DESCRIPTION));
    }
}

void COptionsDlg::OnCopiesChange() {
    const std::int32_t copies = LeadingNumber(Item<Edit>(ids::IDC_COPIES).GetText());
    if (copies == 0) {
        sheet_.DisableAllPages();
    } else if (copies >= 2) {
        sheet_.EnableAllPages();
        // Chapters carry their own copy counts, so chapter printing needs a single copy.
        sheet_.DisableChapterPage();
    } else {
        sheet_.EnableAllPages();
    }
}

void COptionsDlg::OnManualNotOpened() {
    // Without a browser the link would do nothing visible; the user can still go there.
    MessageBox(
        std::string("The online manual could not be opened in a browser. You find it here:") +
            '\n' + GetBackend().LocationOf(ManualAddress),
        "ZOR Brevant", toolkit::MessageIcon::Information);
}

void COptionsDlg::LockCopiesToOne() {
    auto& copies = Item<Edit>(ids::IDC_COPIES);
    if (copies.IsEnabled()) {
        copiesBeforeLock_ = copies.GetText();
    }
    copies.SetText("1");
    copies.Enable(false);
}

void COptionsDlg::RestoreCopies() {
    auto& copies = Item<Edit>(ids::IDC_COPIES);
    // A count the operator typed after the field was unlocked on the chapter page stays.
    if (copiesBeforeLock_ && !copies.IsEnabled()) {
        copies.Enable(true);
        // The pages already match a count of 1, which the locked field shows.
        if (*copiesBeforeLock_ != copies.GetText()) {
            copies.SetText(*copiesBeforeLock_);
        }
    }
    copiesBeforeLock_.reset();
}

void COptionsDlg::UnlockCopies() {
    GetDlgItem(ids::IDC_COPIES)->Enable(true);
}

void COptionsDlg::EnableOK() {
    GetDlgItem(ids::IDC_OK)->Enable(true);
}

void COptionsDlg::DisableOK() {
    GetDlgItem(ids::IDC_OK)->Enable(false);
}

void COptionsDlg::DisableOKIfNothingSet() {
    if (sheet_.IsEmpty()) {
        DisableOK();
    }
}

void COptionsDlg::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
    MessageBox(text, title, ToolkitIcon(icon));
}

} // namespace varnak
