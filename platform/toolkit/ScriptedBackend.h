#pragma once

#include "platform/toolkit/Backend.h"
#include "platform/toolkit/Driver.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace varnak::toolkit {

// What the program showed the user outside its dialogs' controls, in order.
struct UserEvent {
    enum class Type { Message, Browse };
    Type What = Type::Message;
    MessageIcon Icon = MessageIcon::None; // messages only
    std::string Title;                    // messages only
    std::string Text;                     // a message's text, or the address to browse
    bool operator==(const UserEvent&) const = default;
};

// The user acting on the dialogs: a test, or a script.
using UserFunction = std::function<void(Driver&)>;

// A backend, owned, whose user is played by a function, for tests, scripts and the screenshot
// programs: the user acts on each modal run through the backend's driver; message boxes are
// answered with OK and addresses not opened, both recorded in Events alike on every backend.
class ScriptedBackend : private UserSession {
public:
    explicit ScriptedBackend(std::unique_ptr<Backend> backend);
    ScriptedBackend(const ScriptedBackend&) = delete;
    ScriptedBackend& operator=(const ScriptedBackend&) = delete;

    // The backend the dialogs are built on.
    Backend& Get() const { return *backend_; }
    // Without a user, a modal run returns at once and leaves the dialog open.
    void SetUser(UserFunction user) { user_ = std::move(user); }
    const std::vector<UserEvent>& Events() const { return events_; }
    // Whether the addresses the program opens count as opened; false plays a machine on
    // which no browser can be started.
    void SetBrowserOpens(bool opens) { browserOpens_ = opens; }

protected:
    // Shows the dialog as the backend needs it for input, then plays user on it through
    // the backend's driver.
    virtual void Play(ModalDialog& dialog, const UserFunction& user) = 0;
    void Record(UserEvent event) { events_.push_back(std::move(event)); }

private:
    void Run(ModalDialog& dialog) final;
    void ShowMessage(DialogWindow* owner, const std::string& text, const std::string& title,
                     MessageIcon icon) override;
    bool OpenUrl(const std::string& address) final;

    std::unique_ptr<Backend> backend_;
    UserFunction user_;
    std::vector<UserEvent> events_;
    bool browserOpens_ = true;
};

} // namespace varnak::toolkit
