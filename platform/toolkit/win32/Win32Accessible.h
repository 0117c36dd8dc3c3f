#pragma once

#include <string>

#include <windows.h>

namespace varnak::toolkit::win32 {

// What assistive technology reads for an input control: the text of the label that names it
// and the role of its kind. Oleacc names an edit by the label before it, but a drop-down list
// by its selected item and a list view not at all, so the control answers for itself.
struct AccessibleName {
    std::wstring Name;
    long Role = 0; // ROLE_SYSTEM_...
};

// The role of a control of this Windows class: text, combo box or list; 0 for another.
long AccessibleRoleOf(const std::wstring& className);

// Has the control answer WM_GETOBJECT with its standard accessible object, but with this
// name and role. name is borrowed and must outlive the window.
void AnswerWithName(HWND control, const AccessibleName& name);

} // namespace varnak::toolkit::win32
