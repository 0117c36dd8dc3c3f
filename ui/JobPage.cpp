#include "ui/JobPage.h"

#include "ui/COptionsDlg.h"

namespace varnak {

bool JobPage::OnInitDialog() {
    PropertyPage::OnInitDialog();
    InitControls();
    if (DisablePending) {
        DisableEditing();
    }
    return true;
}

bool JobPage::OnSetActive() {
    Shown = true;
    settings_.SetLastTab(static_cast<std::uint32_t>(PageIndex()));
    OnActivated();
    return PropertyPage::OnSetActive();
}

void JobPage::OnActivated() {
    owner_.RestoreCopies();
    owner_.UnlockCopies();
}

void JobPage::DisableControls() {
    if (!Shown) {
        DisablePending = true;
        return;
    }
    DisableEditing();
}

void JobPage::EnableControls() {
    if (!Shown) {
        DisablePending = false;
        return;
    }
    EnableEditing();
}

void JobPage::StoreSettings() {
    if (Shown) {
        StoreControls();
    }
}

} // namespace varnak
