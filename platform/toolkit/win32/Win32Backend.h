#pragma once

// The toolkit on Win32 dialogs and comctl32 6 (platform/toolkit/README.md).
// Implemented features:
//  [x] windows from templates in dialog units, built by the dialog manager
//  [x] the notification rules, Enter, Escape, page keys, Tab order
//  [x] scrolling within the work area (ScreenFit.h); list columns fitted and aligned
//  [x] focus always drawn; no button looks like the default one
//  [x] roles and names for assistive technology (MSAA, Win32Accessible.h)
//  [x] driver (Win32Driver.h): actions through SendInput and posted clicks; keyboard,
//      screen, screen reader

#include "platform/toolkit/Backend.h"
#include "platform/toolkit/Dialog.h"

#include <exception>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

namespace varnak::toolkit::win32 {

class Win32Sheet;
class Win32Window;

// Whether hwnd is ancestor or lies inside it; false without an ancestor.
bool IsWithin(HWND ancestor, HWND hwnd);
// The style of a message box with an OK button and the icon.
UINT MessageBoxType(MessageIcon icon);

// The toolkit on Windows' own dialogs and common controls (version 6): dialogs and pages
// created from in-memory templates, the property sheet as a child window with a tab per
// page, and a modal loop that offers keyboard input to the sheet (its page-switching keys),
// then to the dialog's key filter, then to the dialog manager of the whole dialog, so that
// Tab goes through the dialog and the page shown as one cycle. Native notifications are adapted to
// the toolkit's rules (see Controls.h) where Windows' own differ.
//
// With a session set (ScriptedWin32Backend), the session takes the place of the loop, and
// message boxes and addresses are its.
class Win32Backend : public Backend {
public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& tmpl,
                                                     Dialog& owner) override;
    std::unique_ptr<SheetWindow> CreateSheetWindow(PropertySheet& sheet, DialogWindow& parent,
                                                   int x, int y) override;
    std::unique_ptr<DialogWindow> CreatePageWindow(const DialogTemplate& tmpl, Dialog& owner,
                                                   SheetWindow& sheet, int index) override;

    void RunModal(ModalDialog& dialog) override;
    std::string LocationOf(const std::string& address) const override;

    // One message of the modal loop: key filters, dialog manager, dispatch, and the
    // notifications that are due afterwards.
    void Dispatch(MSG& msg);
    // Dispatches every message waiting in the queue.
    void PumpPending();

    // The handle of a dialog or page window of this backend.
    static HWND Handle(const DialogWindow& window);

    // For the windows: bookkeeping and the error of a handler, raised once the message
    // that ran it has been dispatched (exceptions must not cross Windows' frames).
    void Register(Win32Window* window) { windows_.insert(window); }
    void Unregister(Win32Window* window) { windows_.erase(window); }
    void HandlerFailed(std::exception_ptr error) { error_ = error; }
    void RegisterSheet(const PropertySheet* sheet, Win32Sheet* window) { sheets_[sheet] = window; }
    void UnregisterSheet(const PropertySheet* sheet) { sheets_.erase(sheet); }
    // The window of the dialog's property sheet and its tab control; null without one.
    HWND SheetHandle(const ModalDialog& dialog) const;
    HWND SheetTabs(const ModalDialog& dialog) const;
    ModalDialog* RunningDialog() const { return running_.empty() ? nullptr : running_.back(); }

protected:
    void ShowMessageBox(DialogWindow* owner, const std::string& text, const std::string& title,
                        MessageIcon icon) override;
    bool OpenInBrowser(const std::string& address) override;

private:
    void AfterDispatch();
    Win32Sheet* SheetOf(const ModalDialog& dialog) const;
    // A key message inside the running dialog; true when it was handled here.
    bool OfferKey(ModalDialog& dialog, HWND top, MSG& msg);
    // The page-switching keys, from anywhere in the dialog.
    bool OfferToSheet(const ModalDialog& dialog, const MSG& msg);

    std::set<Win32Window*> windows_;
    std::map<const PropertySheet*, Win32Sheet*> sheets_;
    std::vector<ModalDialog*> running_;
    std::exception_ptr error_;
    bool comInitialised_ = false;
};

// What the manual link opens: a web address or an absolute path as it is; a relative path
// names a file beside the program, where the manual is installed, not one in the directory
// that the workflow started the program in.
std::wstring ResolveAddress(const std::string& address, const std::wstring& programDirectory);

} // namespace varnak::toolkit::win32
