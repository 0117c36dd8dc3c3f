#pragma once

#include "platform/toolkit/Controls.h"
#include "platform/toolkit/Template.h"

#include <memory>
#include <string>
#include <vector>

namespace varnak::toolkit {

class Dialog;
class ModalDialog;
class PropertySheet;

enum class MessageIcon { None, Warning, Information };

// A modal run that the user left without ending the dialog.
inline constexpr int ResultStillOpen = 0;

// The backend's window of one dialog or property page: the controls of its template.
class DialogWindow {
public:
    virtual ~DialogWindow() = default;
    // The control with this id, or null.
    virtual Control* Item(int id) = 0;
    // Ends the modal loop that runs this window (modal dialogs only).
    virtual void EndModal(int result) = 0;
    // Calls the owner's OnTimer every so many milliseconds while the window lives: for a
    // dialog that watches work done elsewhere (a progress window). A second call changes the
    // interval.
    virtual void StartTimer(int milliseconds) = 0;
};

// What every backend's window does with its own list of controls, in template order.
// The first control with this id; null for NoId or none.
Control* FindControl(const std::vector<std::unique_ptr<Control>>& controls, int id);
// Clears the other members of an auto radio button's group: the run of radio buttons around
// the clicked one.
void ClearRadioGroup(const std::vector<std::unique_ptr<Control>>& controls, const Control& clicked);

// The backend's window of a property sheet placed as a child of a dialog: a tab per page.
class SheetWindow {
public:
    virtual ~SheetWindow() = default;
    // Makes the page at index the visible one; page is its window.
    virtual void ShowPage(int index, DialogWindow& page) = 0;
};

// Takes the user's place on a backend: tests, scripts and the screenshot programs set one,
// from the driver libraries; the shipped programs never do.
class UserSession {
public:
    virtual ~UserSession() = default;
    // Acts on the shown dialog in place of the modal loop; when it returns with the dialog
    // still open, the run ends with ResultStillOpen.
    virtual void Run(ModalDialog& dialog) = 0;
    // In place of a message box and of the browser.
    virtual void ShowMessage(DialogWindow* owner, const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
    // Whether the address counts as opened.
    virtual bool OpenUrl(const std::string& address) = 0;
};

// A windowing system. The program uses exactly one, chosen when the application is linked.
// Controls send their notifications to the Dialog that owns the window (Dialog::Notify).
class Backend {
public:
    virtual ~Backend() = default;

    virtual std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& tmpl,
                                                             Dialog& owner) = 0;
    // x and y place the sheet in the parent's client area, in pixels of the design: the
    // dialog's font on a 96-DPI screen. Backends scale them with the font actually used.
    virtual std::unique_ptr<SheetWindow> CreateSheetWindow(PropertySheet& sheet,
                                                           DialogWindow& parent, int x, int y) = 0;
    virtual std::unique_ptr<DialogWindow>
    CreatePageWindow(const DialogTemplate& tmpl, Dialog& owner, SheetWindow& sheet, int index) = 0;

    // Runs the dialog's window modally until ModalDialog::EndDialog, or, with a session set,
    // until the session returns.
    virtual void RunModal(ModalDialog& dialog) = 0;

    // A modal message box with an OK button; owner is null for none.
    void ShowMessage(DialogWindow* owner, const std::string& text, const std::string& title,
                     MessageIcon icon);
    // Opens a web address in the user's browser; false when no browser could be started.
    bool OpenUrl(const std::string& address);
    // Where an address leads, as a user would look for it: a local file's full path, or the
    // address as it stands.
    virtual std::string LocationOf(const std::string& address) const { return address; }

    // With a session set, the modal runs, message boxes and addresses are the session's.
    // Borrowed; null for none.
    void SetSession(UserSession* session) { session_ = session; }

protected:
    UserSession* Session() const { return session_; }
    virtual void ShowMessageBox(DialogWindow* owner, const std::string& text,
                                const std::string& title, MessageIcon icon) = 0;
    virtual bool OpenInBrowser(const std::string& address) = 0;

private:
    UserSession* session_ = nullptr;
};

} // namespace varnak::toolkit
