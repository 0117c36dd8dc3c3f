#include "platform/toolkit/ScriptedBackend.h"

namespace varnak::toolkit {

ScriptedBackend::ScriptedBackend(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {
    backend_->SetSession(this);
}

void ScriptedBackend::Run(ModalDialog& dialog) {
    if (user_) {
        Play(dialog, user_);
    }
}

void ScriptedBackend::ShowMessage(DialogWindow*, const std::string& text, const std::string& title,
                                  MessageIcon icon) {
    Record({UserEvent::Type::Message, icon, title, text});
}

bool ScriptedBackend::OpenUrl(const std::string& address) {
    Record({UserEvent::Type::Browse, MessageIcon::None, {}, address});
    return browserOpens_;
}

} // namespace varnak::toolkit
