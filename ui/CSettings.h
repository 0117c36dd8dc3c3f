#pragma once

#include "core/JobSettings.h"
#include "ui/JobPage.h"

namespace varnak {

class COptionsDlg;

// The Chapter Printing page, so far without controls: it takes part in the sheet and, while
// active, keeps the copy count locked to one, since chapters carry their own copy counts.
class CSettings : public JobPage {
public:
    CSettings(JobSettings& settings, COptionsDlg& owner);

    bool OnSetActive() override;
    // Nothing to enable or disable yet.
    void DisableControls() override {}
    void EnableControls() override {}
    void StoreSettings() override {}
    bool IsEmpty() const override { return settings_.ChapterEntryCount() == 0; }

private:
    JobSettings& settings_;
    COptionsDlg& owner_;
};

} // namespace varnak
