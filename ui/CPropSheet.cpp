#include "ui/CPropSheet.h"

#include <algorithm>

namespace varnak {

CPropSheet::CPropSheet(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry)
    : chapterPage_(settings, owner, registry), coverPage_(settings, owner, registry),
      footerPage_(settings, owner, registry), documentPage_(settings, owner, registry) {
    for (JobPage* page : pages_) {
        AddPage(*page);
    }
    if (settings.LoadedFromRegistry()) {
        // Taken as stored: a value outside the pages opens the first one.
        SetStartPage(static_cast<int>(settings.LastTab()));
    }
}

void CPropSheet::DisableAllPages() {
    for (JobPage* page : pages_) {
        page->DisableControls();
    }
}

void CPropSheet::EnableAllPages() {
    for (JobPage* page : pages_) {
        page->EnableControls();
    }
}

void CPropSheet::DisableChapterPage() {
    chapterPage_.DisableControls();
}

void CPropSheet::StoreAllPages() {
    for (JobPage* page : pages_) {
        page->StoreSettings();
    }
}

bool CPropSheet::IsEmpty() const {
    return std::all_of(emptinessOrder_.begin(), emptinessOrder_.end(),
                       [](const JobPage* page) { return page->IsEmpty(); });
}

bool CPropSheet::ChapterPageActive() const {
    return GetActiveIndex() == chapterPage_.PageIndex();
}

} // namespace varnak
