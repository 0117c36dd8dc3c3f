#pragma once

#include "core/JobSettings.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Dialog.h"
#include "ui/CCoverFooterPage.h"
#include "ui/CSettings.h"
#include "ui/CSpecialSettings.h"

namespace varnak {

class COptionsDlg;

// The tabbed lower half of the general settings dialog. Owns the four pages and adds them in
// their fixed order, which is also the meaning of LastTab, and fans the dialog's requests out
// to them.
class CPropSheet : public toolkit::PropertySheet {
public:
    // Opens on the first page, or on the stored LastTab when the record was loaded.
    CPropSheet(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry);

    void DisableAllPages();
    void EnableAllPages();
    void DisableChapterPage();
    void StoreAllPages();
    // True when no page holds anything; stops at the first page that does.
    bool IsEmpty() const;
    // Whether Chapter Printing is the active page: OK then prints in chapter mode.
    bool ChapterPageActive() const;

private:
    CSettings chapterPage_;
    CCoverPage coverPage_;
    CFooterPage footerPage_;
    CSpecialSettings documentPage_;
};

} // namespace varnak
