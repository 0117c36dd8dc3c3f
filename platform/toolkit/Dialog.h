#pragma once

#include "platform/toolkit/Backend.h"
#include "platform/toolkit/Controls.h"
#include "platform/toolkit/Template.h"

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace varnak::toolkit {

// What a control tells its dialog.
enum class Notification {
    Clicked,     // a button, check box, radio button or link was clicked
    SelChange,   // the user picked a combo box item
    EditChange,  // an edit's text changed
    ItemChanged, // a list view's selection changed
    OpenFailed,  // a link was clicked, and its address could not be opened
    KeyDelete,   // the user pressed Delete in a list view
};

inline constexpr int VirtualKeyReturn = 13;
inline constexpr int VirtualKeyEscape = 27;

// A keyboard message on its way to the control that has the focus.
struct KeyMessage {
    enum class Type { KeyDown, KeyUp };
    Type What = Type::KeyDown;
    int VirtualKey = 0;
    int FocusId = NoId;
};

// A dialog or property page built from a template. Its controls exist only while its
// window does; handlers registered in its message map run when a control notifies.
class Dialog {
public:
    explicit Dialog(const DialogTemplate& tmpl) : template_(tmpl) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    const DialogTemplate& Template() const { return template_; }
    bool HasWindow() const { return window_ != nullptr; }
    DialogWindow* Window() const { return window_.get(); }

    // The control with this id, or null (also before the window exists).
    Control* GetDlgItem(int id) const { return window_ ? window_->Item(id) : nullptr; }

    // The control with this id as the kind the caller expects; asking for a control that
    // doesn't exist (yet) is a programming error.
    template <class T> T& Item(int id) const {
        auto* control = dynamic_cast<T*>(GetDlgItem(id));
        if (control == nullptr) {
            throw std::logic_error("no such control in dialog " + std::to_string(template_.Id) +
                                   ": " + std::to_string(id));
        }
        return *control;
    }

    // Called by the backend when its window is created, before it is shown.
    virtual bool OnInitDialog() { return true; }
    // Called by the backend at each tick of the window's timer (DialogWindow::StartTimer).
    virtual void OnTimer() {}

    // Routes a control's notification to its handler; returns whether one ran.
    virtual bool Notify(int id, Notification code);

    // Called by the windows that own this dialog's window.
    void AttachWindow(std::unique_ptr<DialogWindow> window) { window_ = std::move(window); }
    void DestroyWindow() { window_.reset(); }

protected:
    // One entry of the message map.
    void OnNotification(int id, Notification code, std::function<void()> handler) {
        handlers_[{id, code}] = std::move(handler);
    }

private:
    const DialogTemplate& template_;
    std::unique_ptr<DialogWindow> window_;
    std::map<std::pair<int, Notification>, std::function<void()>> handlers_;
};

class PropertySheet;

// A dialog that runs modally on a backend. OK and Cancel without a handler of their own
// end it with their result.
class ModalDialog : public Dialog {
public:
    ModalDialog(Backend& backend, const DialogTemplate& tmpl) : Dialog(tmpl), backend_(backend) {}

    // Creates the window, initialises it and runs it; returns the EndDialog result, or
    // ResultStillOpen when the user left it open.
    int DoModal();
    void EndDialog(int result);
    bool IsRunning() const { return running_; }

    virtual void OnOK() { EndDialog(IdOk); }
    virtual void OnCancel() { EndDialog(IdCancel); }
    // The pre-dispatch key filter: true swallows the message.
    virtual bool PreTranslateMessage(const KeyMessage&) { return false; }

    bool Notify(int id, Notification code) override;

    void MessageBox(const std::string& text, const std::string& title, MessageIcon icon);

    Backend& GetBackend() const { return backend_; }
    // The property sheet created inside this dialog, if any.
    PropertySheet* ChildSheet() const { return childSheet_; }
    void SetChildSheet(PropertySheet* sheet) { childSheet_ = sheet; }

private:
    Backend& backend_;
    PropertySheet* childSheet_ = nullptr;
    bool running_ = false;
    int result_ = ResultStillOpen;
};

// A page of a property sheet; its window is created on its first activation.
class PropertyPage : public Dialog {
public:
    using Dialog::Dialog;
    // Called on every activation, also right after OnInitDialog on the first.
    virtual bool OnSetActive() { return true; }
    // The page's position in its sheet, given when the sheet adds it; -1 before.
    int PageIndex() const { return pageIndex_; }

private:
    friend class PropertySheet;
    int pageIndex_ = -1;
};

// Tabbed pages inside a dialog, created as a child window; it has no buttons of its own.
class PropertySheet {
public:
    explicit PropertySheet(int startPage = 0) : startPage_(startPage) {}
    virtual ~PropertySheet() = default;
    PropertySheet(const PropertySheet&) = delete;
    PropertySheet& operator=(const PropertySheet&) = delete;

    void AddPage(PropertyPage& page) {
        page.pageIndex_ = GetPageCount();
        pages_.push_back(&page);
    }
    // A start page outside the pages opens the first one.
    void SetStartPage(int index) { startPage_ = index; }

    // Creates the sheet in the parent's window at x, y (pixels), then creates and activates
    // the start page.
    void Create(ModalDialog& parent, int x, int y);
    void Destroy();

    // Activates the page, creating it first if it has no window yet; what a tab switch does.
    // Returns false for an index outside the pages.
    bool SetActivePage(int index);
    int GetActiveIndex() const { return active_; }
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    PropertyPage& GetPage(int index) const { return *pages_.at(static_cast<std::size_t>(index)); }

private:
    int startPage_;
    std::vector<PropertyPage*> pages_;
    ModalDialog* parent_ = nullptr;
    std::unique_ptr<SheetWindow> window_;
    int active_ = -1;
};

} // namespace varnak::toolkit
