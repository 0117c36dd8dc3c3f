#pragma once

#include "core/JobSettings.h"
#include "overlays/OverlayCatalog.h"
#include "platform/registry/Registry.h"
#include "ui/JobPage.h"

#include <cstdint>

namespace varnak {

class COptionsDlg;

// What sets the cover page and the footer page apart: their template, controls and record
// fields.
struct SheetPageConfig {
    const toolkit::DialogTemplate& (*Template)();
    int OverlayList;
    int TrayList;
    int DeleteButton;
    int DescriptionBox;
    std::uint32_t (JobSettings::*Overlay)() const;
    void (JobSettings::*SetOverlay)(std::uint32_t);
    std::int32_t (JobSettings::*Tray)() const;
    void (JobSettings::*SetTray)(std::int32_t);
};

// A page that asks for one extra sheet, described by a form overlay and an input tray:
// the cover sheet in front of the job or the footer sheet behind it. Owns its catalogue.
class CCoverFooterPage : public JobPage {
public:
    CCoverFooterPage(const SheetPageConfig& config, JobSettings& settings, COptionsDlg& owner,
                     platform::Registry& registry);

    bool IsEmpty() const override;

    void OnOverlaySelChange();
    void OnTraySelChange();
    void OnDeleteClicked();

protected:
    void InitControls() override;
    void DisableEditing() override;
    void EnableEditing() override;
    void StoreControls() override;

private:
    const SheetPageConfig& config_;
    OverlayCatalog catalog_;
};

class CCoverPage : public CCoverFooterPage {
public:
    CCoverPage(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry);
};

class CFooterPage : public CCoverFooterPage {
public:
    CFooterPage(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry);
};

} // namespace varnak
