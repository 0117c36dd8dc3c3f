#pragma once

// The toolkit without a window system (platform/toolkit/README.md).
// Implemented features:
//  [x] the notification rules, Enter, Escape, page keys
//  [ ] windows, geometry, scrolling, focus drawing, assistive technology: nothing is shown
//  [x] driver (ScriptedHeadlessBackend): actions as calls on the controls
//  [ ] driver: keyboard, screen, screen reader (refused)

#include "platform/toolkit/Backend.h"
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/ScriptedBackend.h"

#include <memory>
#include <string>

namespace varnak::toolkit::headless {

// Dialogs without a windowing system: controls held in memory with the Windows
// notification rules. Nothing is shown: a modal run without a session returns at once.
// For tests and scripted runs, through ScriptedHeadlessBackend.
class HeadlessBackend : public Backend {
public:
    std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& tmpl,
                                                     Dialog& owner) override;
    std::unique_ptr<SheetWindow> CreateSheetWindow(PropertySheet& sheet, DialogWindow& parent,
                                                   int x, int y) override;
    std::unique_ptr<DialogWindow> CreatePageWindow(const DialogTemplate& tmpl, Dialog& owner,
                                                   SheetWindow& sheet, int index) override;

    void RunModal(ModalDialog& dialog) override;

protected:
    void ShowMessageBox(DialogWindow*, const std::string&, const std::string&,
                        MessageIcon) override {}
    bool OpenInBrowser(const std::string&) override { return true; }
};

// The headless backend with its user: actions call the controls' user entry points directly.
class ScriptedHeadlessBackend : public ScriptedBackend {
public:
    ScriptedHeadlessBackend() : ScriptedBackend(std::make_unique<HeadlessBackend>()) {}

protected:
    void Play(ModalDialog& dialog, const UserFunction& user) override;
};

} // namespace varnak::toolkit::headless
