#pragma once

// The backend's control adapters: a toolkit control over a native control window each,
// made by the windows that hold them.

#include "platform/toolkit/Controls.h"
#include "platform/toolkit/Template.h"

#include <memory>

#include <windows.h>

namespace varnak::toolkit::win32 {

class Win32Window;

// What every control of this backend has besides its toolkit interface: its window, and
// the native notifications it turns into the toolkit's.
class Win32Item {
public:
    virtual ~Win32Item() = default;
    virtual HWND Handle() const = 0;
    virtual void OnCommand(int /*code*/) {}
    // The answer to a notification from the control (the dialog's DWLP_MSGRESULT).
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    // List views: notifies when the selected row is another one than last time.
    virtual void CheckSelection() {}
};

HWND HandleOf(const Control& control);

// The adapter of a template's control over its window hwnd in window.
std::unique_ptr<Control> MakeControl(const ControlTemplate& tmpl, HWND hwnd, Win32Window& window);

} // namespace varnak::toolkit::win32
