#pragma once

#include "platform/toolkit/ScriptedBackend.h"

#include <string>
#include <string_view>

namespace varnak::toolkit::win32 {

class Win32Backend;

// The Win32 backend with its user, who acts through real input: keys through SendInput,
// clicks as the mouse messages a click posts. Message boxes are shown for real, read back
// from their windows into Events and answered with OK.
class ScriptedWin32Backend : public ScriptedBackend {
public:
    ScriptedWin32Backend();

    // The keyboard alone, for what the toolkit's driver has no action for (moving the focus,
    // switching pages by key). Each key goes through the system's input queue and is
    // dispatched by the modal loop before the call returns.
    // Presses and releases the key, with Shift and Ctrl held down around it as asked.
    void PressKey(int virtualKey, bool shift = false, bool control = false);
    // Types the characters into whatever has the focus.
    void TypeText(std::string_view text);
    // The id of the control with the focus; 0 for a window without one (the sheet's tabs).
    static int FocusId();
    // Dispatches what is pending, the paint messages included: the system puts what the
    // windows drew on the screen when their thread goes idle.
    void Settle();

protected:
    void Play(ModalDialog& dialog, const UserFunction& user) override;

private:
    void ShowMessage(DialogWindow* owner, const std::string& text, const std::string& title,
                     MessageIcon icon) override;

    Win32Backend& win32_;
};

} // namespace varnak::toolkit::win32
