#pragma once

#include "core/JobSettings.h"
#include "ui/JobPage.h"

namespace varnak {

class COptionsDlg;

// The Document Printing page, so far without controls: it takes part in the sheet and
// gives the copy count back when it becomes active.
class CSpecialSettings : public JobPage {
public:
    CSpecialSettings(JobSettings& settings, COptionsDlg& owner);

    bool OnSetActive() override;
    // Nothing to enable or disable yet.
    void DisableControls() override {}
    void EnableControls() override {}
    void StoreSettings() override {}
    bool IsEmpty() const override { return settings_.PageEntryCount() == 0; }

private:
    JobSettings& settings_;
    COptionsDlg& owner_;
};

} // namespace varnak
