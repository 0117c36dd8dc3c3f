#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnak::toolkit {

// Dialogs and pages are described by templates held as data, the way resource scripts
// describe them on Windows; every backend builds its windows from the same description.

// Control ids of the standard buttons; a control without an id (labels, group boxes) has
// NoId.
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;
inline constexpr int NoId = -1;

enum class ControlKind {
    Label,       // static text
    GroupBox,    // frame with a caption
    PushButton,  // sends Clicked
    RadioButton, // auto radio button: a click checks it and clears its group, sends Clicked
    CheckBox,    // auto check box: a click toggles it, sends Clicked
    ComboBox,    // drop-down list (no typing), sends SelChange when the user picks
    Edit,        // sends EditChange when its text changes
    Link,        // hyperlink: a click or Enter opens its address
    ListView,    // report-style list view, sends ItemChanged when its selection changes
};

// Style bits; only those that change behaviour or look in some backend.
namespace Style {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Border = 1u << 0;
inline constexpr std::uint32_t VScroll = 1u << 1;
inline constexpr std::uint32_t AutoHScroll = 1u << 2;
inline constexpr std::uint32_t AutoVScroll = 1u << 3;
inline constexpr std::uint32_t DigitsOnly = 1u << 4;   // edit: typed non-digits are refused
inline constexpr std::uint32_t MultiLine = 1u << 5;    // edit
inline constexpr std::uint32_t ReadOnly = 1u << 6;     // edit: the user can't change it
inline constexpr std::uint32_t SingleSelect = 1u << 7; // list view
} // namespace Style

// Window styles of the template itself.
namespace DialogStyle {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t ModalFrame = 1u << 0;
inline constexpr std::uint32_t Caption = 1u << 1;
inline constexpr std::uint32_t SystemMenu = 1u << 2; // close box
inline constexpr std::uint32_t Child = 1u << 3;      // a property page
} // namespace DialogStyle

// A rectangle in dialog units.
struct Rect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const Rect&) const = default;
};

// The dialog base units of the design, in pixels: the dialog font on a 96-DPI screen. Where
// the design gives pixels (the sheet's place, list-view column widths), they are of this.
inline constexpr int DesignBaseUnitX = 6;
inline constexpr int DesignBaseUnitY = 13;

// A place given in pixels of the design, in the dialog units it stands for, rounded to the
// nearest; so placed, it keeps its distance to the template's controls at every font size.
constexpr Rect DesignPixelsToDialogUnits(int x, int y) {
    return {(x * 4 + DesignBaseUnitX / 2) / DesignBaseUnitX,
            (y * 8 + DesignBaseUnitY / 2) / DesignBaseUnitY, 0, 0};
}

struct ControlTemplate {
    ControlKind Kind = ControlKind::Label;
    int Id = NoId;
    std::string Text;
    std::uint32_t Styles = Style::None;
    Rect Bounds;
    // What assistive technology names a control that has no label of its own (a description
    // box); empty: its label's text, as LabelOf finds it.
    std::string AccessibleName = {};
};

struct DialogTemplate {
    int Id = 0;
    std::string Caption; // the window title; for a page, its tab caption
    int Width = 0;       // dialog units
    int Height = 0;
    std::string FontName = "MS Shell Dlg";
    int FontSize = 8;
    std::uint32_t Styles = DialogStyle::None;
    std::vector<ControlTemplate> Controls; // in tab order

    // The control with this id, or null.
    const ControlTemplate* Find(int id) const {
        for (const auto& control : Controls) {
            if (control.Id == id && id != NoId) {
                return &control;
            }
        }
        return nullptr;
    }
};

// The label that names the input control at index (a combo box, an edit the user can change
// or a list view), as assistive technology reads it: the nearest label to its left on its
// first line, or else the caption of the innermost group box around it. Null for another
// control or one without either.
const ControlTemplate* LabelOf(const DialogTemplate& tmpl, std::size_t index);

} // namespace varnak::toolkit
