#include "ui/CCoverFooterPage.h"

#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"
#include "ui/ControlHelpers.h"
#include "ui/Templates.h"

namespace varnak {
namespace {

using toolkit::Button;
using toolkit::ComboBox;
using toolkit::Notification;

const SheetPageConfig CoverConfig{&CoverPageTemplate,
                                  ids::IDC_COVER_OVERLAY,
                                  ids::IDC_COVER_TRAY,
                                  ids::IDC_COVER_DELETE,
                                  ids::IDC_COVER_DESCRIPTION,
                                  &JobSettings::CoverPageFormOverlay,
                                  &JobSettings::SetCoverPageFormOverlay,
                                  &JobSettings::CoverPageInputTray,
                                  &JobSettings::SetCoverPageInputTray};

const SheetPageConfig FooterConfig{&FooterPageTemplate,
                                   ids::IDC_FOOTER_OVERLAY,
                                   ids::IDC_FOOTER_TRAY,
                                   ids::IDC_FOOTER_DELETE,
                                   ids::IDC_FOOTER_DESCRIPTION,
                                   &JobSettings::FooterPageFormOverlay,
                                   &JobSettings::SetFooterPageFormOverlay,
                                   &JobSettings::FooterPageInputTray,
                                   &JobSettings::SetFooterPageInputTray};

} // namespace

CCoverFooterPage::CCoverFooterPage(const SheetPageConfig& config, JobSettings& settings,
                                   COptionsDlg& owner, platform::Registry& registry)
    : JobPage(config.Template(), settings, owner), config_(config), catalog_(registry) {
    OnNotification(config.OverlayList, Notification::SelChange, [this] { OnOverlaySelChange(); });
    OnNotification(config.DeleteButton, Notification::Clicked, [this] { OnDeleteClicked(); });
    OnNotification(config.TrayList, Notification::SelChange, [this] { OnTraySelChange(); });
}

void CCoverFooterPage::InitControls() {
    auto& trays = Item<ComboBox>(config_.TrayList);
    FillTrayList(trays);
    trays.SetCurSel(0);
    auto& overlays = Item<ComboBox>(config_.OverlayList);
    FillOverlayList(overlays, catalog_);
    auto& deleteButton = Item<Button>(config_.DeleteButton);
    deleteButton.Enable(false);

    const JobSettings& settings = Settings();
    if (settings.LoadedFromRegistry()) {
        const std::int32_t tray = (settings.*config_.Tray)();
        trays.SetCurSel(tray);
        const bool trayShown = tray != 0;
        const std::uint32_t overlay = (settings.*config_.Overlay)();
        if (overlay != 0) {
            SelectStoredOverlay(overlays, overlay);
            deleteButton.Enable(true);
        } else {
            overlays.SetCurSel(0);
            deleteButton.Enable(trayShown);
        }
    }
    OnOverlaySelChange();
}

void CCoverFooterPage::OnOverlaySelChange() {
    const auto overlay = SelectedItem(Item<ComboBox>(config_.OverlayList));
    if (!overlay) {
        return;
    }
    ShowDescription(catalog_, *overlay, *GetDlgItem(config_.DescriptionBox));
    auto& trays = Item<ComboBox>(config_.TrayList);
    if (*overlay != NoneItem) {
        Item<Button>(config_.DeleteButton).Enable(true);
        trays.Enable(true);
        Owner().EnableOK();
    } else {
        trays.SetCurSel(0);
        trays.Enable(false);
    }
}

void CCoverFooterPage::OnTraySelChange() {
    const auto tray = SelectedItem(Item<ComboBox>(config_.TrayList));
    if (tray && *tray != NoneItem) {
        Item<Button>(config_.DeleteButton).Enable(true);
        Owner().EnableOK();
    }
}

void CCoverFooterPage::OnDeleteClicked() {
    (Settings().*config_.SetTray)(0);
    (Settings().*config_.SetOverlay)(0);
    Item<ComboBox>(config_.TrayList).SetCurSel(0);
    Item<ComboBox>(config_.OverlayList).SetCurSel(0);
    GetDlgItem(config_.DescriptionBox)->SetText("");
    Item<Button>(config_.DeleteButton).Enable(false);
    Owner().DisableOKIfNothingSet();
    OnOverlaySelChange();
}

void CCoverFooterPage::DisableEditing() {
    Item<ComboBox>(config_.TrayList).Enable(false);
    Item<ComboBox>(config_.OverlayList).Enable(false);
    Item<Button>(config_.DeleteButton).Enable(false);
}

// The selections decide Delete, the tray list and the owner's OK button again.
void CCoverFooterPage::EnableEditing() {
    Item<ComboBox>(config_.TrayList).Enable(true);
    Item<ComboBox>(config_.OverlayList).Enable(true);
    OnTraySelChange();
    OnOverlaySelChange();
}

void CCoverFooterPage::StoreControls() {
    const int tray = Item<ComboBox>(config_.TrayList).GetCurSel();
    (Settings().*config_.SetTray)(tray < 0 ? 0 : tray);
    const auto overlay = SelectedItem(Item<ComboBox>(config_.OverlayList));
    (Settings().*config_.SetOverlay)(overlay ? OverlayNumberOf(*overlay) : 0);
}

bool CCoverFooterPage::IsEmpty() const {
    if (!IsShown()) {
        return (Settings().*config_.Overlay)() == 0 && (Settings().*config_.Tray)() == 0;
    }
    const auto overlay = SelectedItem(Item<ComboBox>(config_.OverlayList));
    if (!overlay) {
        return true;
    }
    if (*overlay != NoneItem) {
        return false;
    }
    const auto tray = SelectedItem(Item<ComboBox>(config_.TrayList));
    return !tray || *tray == NoneItem;
}

CCoverPage::CCoverPage(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry)
    : CCoverFooterPage(CoverConfig, settings, owner, registry) {}

CFooterPage::CFooterPage(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry)
    : CCoverFooterPage(FooterConfig, settings, owner, registry) {}

} // namespace varnak
