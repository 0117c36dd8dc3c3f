#pragma once

#include "core/JobSettings.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Dialog.h"
#include "ui/CCoverFooterPage.h"
#include "ui/CSettings.h"
#include "ui/CSpecialSettings.h"

#include <array>

namespace varnak {

class COptionsDlg;

// The tabbed lower half of the general settings dialog. Owns the pages and adds them in their
// fixed order, which is also the meaning of LastTab, and fans the dialog's requests out to
// them in that order. A new page is a member and an entry of pages_ (and PageCount).
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
    // The tab order.
    const std::array<JobPage*, PageCount> pages_{&chapterPage_, &coverPage_, &footerPage_,
                                                 &documentPage_};
    // The order IsEmpty asks in; it stops at the first page that holds something.
    const std::array<const JobPage*, PageCount> emptinessOrder_{&coverPage_, &footerPage_,
                                                                &chapterPage_, &documentPage_};
};

} // namespace varnak
