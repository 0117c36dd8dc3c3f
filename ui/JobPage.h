#pragma once

#include "core/JobSettings.h"
#include "platform/toolkit/Dialog.h"

namespace varnak {

class COptionsDlg;

// What the property sheet asks of each of its pages, and the life cycle they share. A page
// has no window until it is first shown: until then it only records disable and enable
// requests, stores nothing and answers IsEmpty from the record. A page supplies what differs:
// how it fills its controls, which of them it disables and enables, and what it stores.
// Borrows the record and the owner dialog.
class JobPage : public toolkit::PropertyPage {
public:
    JobPage(const toolkit::DialogTemplate& tmpl, JobSettings& settings, COptionsDlg& owner)
        : PropertyPage(tmpl), settings_(settings), owner_(owner) {}

    // Fills the controls, then applies a disable request that came before the window.
    bool OnInitDialog() final;
    // Marks the page shown and makes it the sheet's last tab, on every activation.
    bool OnSetActive() final;

    void DisableControls();
    void EnableControls();
    // Copies the page's controls into the record; a page never shown leaves it as loaded.
    void StoreSettings();
    // True when the page holds nothing that would reach the ticket.
    virtual bool IsEmpty() const = 0;

protected:
    virtual void InitControls() = 0;
    // What the page does on each activation once it is shown; by default it gives the
    // copies field back, with the count it held before the chapter page locked it, which only
    // the chapter page keeps locked.
    virtual void OnActivated();
    virtual void DisableEditing() = 0;
    virtual void EnableEditing() = 0;
    virtual void StoreControls() = 0;

    bool IsShown() const { return Shown; }
    JobSettings& Settings() const { return settings_; }
    COptionsDlg& Owner() const { return owner_; }

private:
    JobSettings& settings_;
    COptionsDlg& owner_;
    bool Shown = false;
    bool DisablePending = false;
};

} // namespace varnak
