#include "platform/toolkit/Backend.h"

#include <algorithm>

namespace varnak::toolkit {

Control* FindControl(const std::vector<std::unique_ptr<Control>>& controls, int id) {
    if (id == NoId) {
        return nullptr;
    }
    for (const auto& control : controls) {
        if (control->Id() == id) {
            return control.get();
        }
    }
    return nullptr;
}

void Backend::ShowMessage(DialogWindow* owner, const std::string& text, const std::string& title,
                          MessageIcon icon) {
    if (session_ != nullptr) {
        session_->ShowMessage(owner, text, title, icon);
        return;
    }
    ShowMessageBox(owner, text, title, icon);
}

bool Backend::OpenUrl(const std::string& address) {
    return session_ != nullptr ? session_->OpenUrl(address) : OpenInBrowser(address);
}

void ClearRadioGroup(const std::vector<std::unique_ptr<Control>>& controls,
                     const Control& clicked) {
    const auto at = std::find_if(controls.begin(), controls.end(),
                                 [&](const auto& control) { return control.get() == &clicked; });
    auto isRadio = [](const auto& control) { return control->Kind() == ControlKind::RadioButton; };
    auto first = at;
    while (first != controls.begin() && isRadio(*(first - 1))) {
        --first;
    }
    for (auto it = first; it != controls.end() && isRadio(*it); ++it) {
        if (it != at) {
            static_cast<Button&>(**it).SetCheck(false);
        }
    }
}

} // namespace varnak::toolkit
