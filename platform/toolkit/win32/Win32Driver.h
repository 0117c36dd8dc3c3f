#pragma once

#include "platform/toolkit/ScriptedBackend.h"

#include <string>

namespace varnak::toolkit::win32 {

class Win32Backend;

// The Win32 backend with its user, who acts through real input: keys through SendInput,
// clicks as the mouse messages a click posts. Message boxes are shown for real, read back
// from their windows into Events and answered with OK.
class ScriptedWin32Backend : public ScriptedBackend {
public:
    ScriptedWin32Backend();

protected:
    void Play(ModalDialog& dialog, const UserFunction& user) override;

private:
    void ShowMessage(DialogWindow* owner, const std::string& text, const std::string& title,
                     MessageIcon icon) override;

    Win32Backend& win32_;
};

} // namespace varnak::toolkit::win32
