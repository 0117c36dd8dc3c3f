#pragma once

#include "platform/toolkit/Template.h"

#include <string>

#include <windows.h>

namespace varnak::toolkit::win32 {

// What assistive technology reads for a control: the text of the label that names it and the
// role of its kind. Oleacc names an edit by the label before it, but a drop-down list by its
// selected item and a list view not at all, and some systems' oleacc (Wine's) gives buttons
// and links no role of their own, so the control answers for itself.
struct AccessibleName {
    std::wstring Name; // empty: the control's own (a link's without its markup)
    long Role = 0;     // ROLE_SYSTEM_...
};

// The role of a control of this kind; 0 for one without a role of its own (labels).
long AccessibleRoleOf(ControlKind kind);

// Has the control answer WM_GETOBJECT with its standard accessible object, but with this
// name and role; a link is followed by its default action, as by a click. name is borrowed
// and must outlive the window.
void AnswerWithName(HWND control, const AccessibleName& name);

} // namespace varnak::toolkit::win32
