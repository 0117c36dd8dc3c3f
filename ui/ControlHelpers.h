#pragma once

#include "overlays/OverlayCatalog.h"
#include "platform/toolkit/Controls.h"

#include <cstdint>
#include <optional>
#include <string>

namespace varnak {

// The list rules applied to the controls, the same way by the dialog and every page.

// "None" and the tray names, so that the selected position is the tray code.
void FillTrayList(toolkit::ComboBox& trays);
// "None" and the catalogue's overlays, in its order, with "None" selected.
void FillOverlayList(toolkit::ComboBox& overlays, OverlayCatalog& catalog);
// Selects the item of a stored overlay number; 0 or an unlisted number leaves the
// selection as it is.
void SelectStoredOverlay(toolkit::ComboBox& overlays, std::uint32_t overlay);
// The selected item's text; nullopt with no selection.
std::optional<std::string> SelectedItem(const toolkit::ComboBox& combo);
// Shows the description of an overlay item in box; "None" and an overlay without one
// leave it empty.
void ShowDescription(const OverlayCatalog& catalog, const std::string& item, toolkit::Control& box);

} // namespace varnak
