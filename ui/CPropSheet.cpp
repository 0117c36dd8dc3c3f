#include "ui/CPropSheet.h"

namespace varnak {

CPropSheet::CPropSheet(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry)
    : chapterPage_(settings, owner, registry), coverPage_(settings, owner, registry),
      footerPage_(settings, owner, registry), documentPage_(settings, owner, registry) {
    AddPage(chapterPage_);
    AddPage(coverPage_);
    AddPage(footerPage_);
    AddPage(documentPage_);
    if (settings.LoadedFromRegistry()) {
        // Taken as stored: a value outside the pages opens the first one.
        SetStartPage(static_cast<int>(settings.LastTab()));
    }
}

void CPropSheet::DisableAllPages() {
    chapterPage_.DisableControls();
    coverPage_.DisableControls();
    footerPage_.DisableControls();
    documentPage_.DisableControls();
}

void CPropSheet::EnableAllPages() {
    chapterPage_.EnableControls();
    coverPage_.EnableControls();
    footerPage_.EnableControls();
    documentPage_.EnableControls();
}

void CPropSheet::DisableChapterPage() { chapterPage_.DisableControls(); }

void CPropSheet::StoreAllPages() {
    chapterPage_.StoreSettings();
    coverPage_.StoreSettings();
    footerPage_.StoreSettings();
    documentPage_.StoreSettings();
}

bool CPropSheet::IsEmpty() const {
    return coverPage_.IsEmpty() && footerPage_.IsEmpty() && chapterPage_.IsEmpty() &&
           documentPage_.IsEmpty();
}

bool CPropSheet::ChapterPageActive() const {
    return GetActiveIndex() == chapterPage_.PageIndex();
}

} // namespace varnak
