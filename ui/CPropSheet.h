#pragma once

#include "core/JobSettings.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Dialog.h"
#include "ui/CCoverFooterPage.h"
#include "ui/CSettings.h"
#include "ui/CSpecialSettings.h"

#include <string>

namespace varnak {

class COptionsDlg;

// The tabbed lower half of the general settings dialog. Owns the four pages in their fixed
// order, which is also the meaning of LastTab and of the active index at OK (0 chapter
// mode, otherwise document mode), and fans the dialog's requests out to them.
class CPropSheet : public toolkit::PropertySheet {
public:
    static constexpr int ChapterPrintingIndex = 0;
    static constexpr int CoverPageIndex = 1;
    static constexpr int FooterPageIndex = 2;
    static constexpr int DocumentPrintingIndex = 3;

    CPropSheet(std::string caption, int startPage, JobSettings& settings, COptionsDlg& owner,
               platform::Registry& registry);

    void DisableAllPages();
    void EnableAllPages();
    void DisableChapterPage();
    void StoreAllPages();
    // True when no page holds anything; stops at the first page that does.
    bool IsEmpty() const;

private:
    CSettings chapterPage_;
    CCoverPage coverPage_;
    CFooterPage footerPage_;
    CSpecialSettings documentPage_;
};

} // namespace varnak
