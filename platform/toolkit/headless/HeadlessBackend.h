#pragma once

#include "platform/toolkit/Backend.h"
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/Driver.h"

#include <memory>
#include <string>
#include <vector>

namespace varnak::toolkit::headless {

// Dialogs without a windowing system: controls held in memory with the Windows
// notification rules, a modal run that hands the dialog to the user function, message boxes
// answered with OK and browser requests only recorded. For tests and scripted runs.
class HeadlessBackend : public Backend {
public:
    std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& tmpl,
                                                     Dialog& owner) override;
    std::unique_ptr<SheetWindow> CreateSheetWindow(PropertySheet& sheet, DialogWindow& parent,
                                                   int x, int y) override;
    std::unique_ptr<DialogWindow> CreatePageWindow(const DialogTemplate& tmpl, Dialog& owner,
                                                   SheetWindow& sheet, int index) override;

    void RunModal(ModalDialog& dialog) override;

    void ShowMessage(DialogWindow* owner, const std::string& text, const std::string& title,
                     MessageIcon icon) override;
    void OpenUrl(const std::string& address) override;

    void SetUser(UserFunction user) override { user_ = std::move(user); }
    const std::vector<UserEvent>& Events() const override { return events_; }

private:
    UserFunction user_;
    std::vector<UserEvent> events_;
};

} // namespace varnak::toolkit::headless
