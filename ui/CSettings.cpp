#include "ui/CSettings.h"

#include "ui/COptionsDlg.h"
#include "ui/Templates.h"

namespace varnak {

CSettings::CSettings(JobSettings& settings, COptionsDlg& owner)
    : JobPage(ChapterPrintingTemplate()), settings_(settings), owner_(owner) {}

bool CSettings::OnSetActive() {
    settings_.SetLastTab(0);
    owner_.LockCopiesToOne();
    return JobPage::OnSetActive();
}

} // namespace varnak
