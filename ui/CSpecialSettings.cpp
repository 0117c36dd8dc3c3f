#include "ui/CSpecialSettings.h"

#include "ui/COptionsDlg.h"
#include "ui/Templates.h"

namespace varnak {

CSpecialSettings::CSpecialSettings(JobSettings& settings, COptionsDlg& owner)
    : JobPage(DocumentPrintingTemplate()), settings_(settings), owner_(owner) {}

bool CSpecialSettings::OnSetActive() {
    settings_.SetLastTab(3);
    owner_.UnlockCopies();
    return JobPage::OnSetActive();
}

} // namespace varnak
