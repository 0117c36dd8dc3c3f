#pragma once

#include "platform/files/WideText.h"
#include "platform/toolkit/Template.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnak::toolkit::win32 {

// In-memory extended dialog templates (DLGTEMPLATEEX) built from the toolkit's templates, so
// that Windows lays the dialogs out in dialog units with their font, as it does for a
// compiled resource.

// What kind of window a template becomes.
enum class TemplateRole { TopLevel, Page, Sheet };

using platform::Narrow;
using platform::Widen;

// The markup a link control shows for its label.
std::wstring LinkMarkup(std::string_view label);

// A control's place: its template rectangle, or, for a template that gives none (tests
// describe behaviour, not looks), a row of its own so that it can be shown and clicked.
Rect ControlBounds(const ControlTemplate& control, std::size_t index);
// The template's size, or one that holds its controls when it gives none.
Rect DialogBounds(const DialogTemplate& tmpl);

// The Windows class and styles of a control, in the form a resource script gives them.
struct ItemStyle {
    std::wstring ClassName;
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
};
ItemStyle StyleOf(const ControlTemplate& control, bool startsGroup);

// The template's bytes, DWORD-aligned from the start of the vector.
std::vector<std::uint8_t> BuildDialogTemplate(const DialogTemplate& tmpl, TemplateRole role);

} // namespace varnak::toolkit::win32
