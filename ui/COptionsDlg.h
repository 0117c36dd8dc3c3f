#pragma once

#include "core/JobSettings.h"
#include "core/MessageOwner.h"
#include "core/TicketWriter.h"
#include "overlays/OverlayCatalog.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Dialog.h"
#include "ui/CPropSheet.h"

#include <optional>
#include <string>

namespace varnak {

// The address the "Online Manual" link opens; set when the program is built.
extern const char* const ManualAddress;

// The general settings dialog, the program's only window: job-wide settings above, the
// property sheet with the four pages below, OK and Cancel. Borrows the record and the
// ticket the command line asks for from start-up; owns its catalogue and the sheet.
class COptionsDlg : public toolkit::ModalDialog, public MessageOwner {
public:
    // The command-line text, read by the Windows command-line rules.
    COptionsDlg(toolkit::Backend& backend, platform::Registry& registry, JobSettings* settings,
                const std::string& commandLine);
    COptionsDlg(toolkit::Backend& backend, platform::Registry& registry, JobSettings* settings,
                TicketRequest ticket);

    bool OnInitDialog() override;
    // The OK handler: validates the copy count, stores every value and writes the ticket.
    void OnOK() override;
    // Enter never presses a button of the dialog.
    bool PreTranslateMessage(const toolkit::KeyMessage& message) override;

    void OnOverlaySelChange();
    void OnCopiesChange();
    // A click on the manual link that found no browser: says where the manual is.
    void OnManualNotOpened();

    // Called back by the pages.
    void LockCopiesToOne();
    void UnlockCopies();
    // Leaving the chapter page while it keeps the copies field locked: the field gets back
    // the count it held before, and the pages follow it as if the operator had typed it.
    void RestoreCopies();
    void EnableOK();
    void DisableOK();
    void DisableOKIfNothingSet();

    // The ticket writer reports through the dialog.
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;

    CPropSheet& Sheet() { return sheet_; }

private:
    TicketRequest ticket_;
    JobSettings* settings_;
    // The copies field's text when the chapter page locked it; none while it isn't locked.
    std::optional<std::string> copiesBeforeLock_;
    OverlayCatalog catalog_;
    CPropSheet sheet_;
};

} // namespace varnak
