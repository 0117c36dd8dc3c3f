#pragma once

#include "core/JobSettings.h"
#include "platform/registry/Registry.h"
#include "ui/ListPage.h"

namespace varnak {

class COptionsDlg;

// The Document Printing page: per-page exceptions of the job, each a page number with a
// form overlay and an input tray (both none: a separation sheet after the page). Edits
// JobSettings' page entries in place, one list-view row per entry, in the same order.
class CSpecialSettings : public CListPage {
public:
    CSpecialSettings(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry);

    bool IsEmpty() const override;

    void OnApply();
    void OnDelete();
    void OnOverlaySelected();
    void OnListItemChanged();

protected:
    void InitControls() override;
    void DisableEditing() override;
    void EnableEditing() override;
    void StoreControls() override;

private:
    void ShowOverlayError();
};

} // namespace varnak
