#pragma once

#include "platform/toolkit/Controls.h"
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/Template.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnak::toolkit {

// What an action of the user came to: done, or refused because a user couldn't have done
// it (the reason says why, in a few plain words).
struct ActionResult {
    bool Done = true;
    std::string Reason;

    static ActionResult Ok() { return {}; }
    static ActionResult Refused(std::string reason) { return {false, std::move(reason)}; }
    explicit operator bool() const { return Done; }
};

// A control as the user sees it.
struct ControlState {
    int Id = NoId;
    ControlKind Kind = ControlKind::Label;
    bool Enabled = false;
    std::string Text;                           // edit, link, button label, combo selection
    bool Checked = false;                       // buttons
    int Selection = -1;                         // combo item or list-view row; -1 none
    std::vector<std::string> Items;             // combo items
    std::vector<std::vector<std::string>> Rows; // list-view cells, row by row
    std::vector<ListColumn> Columns;            // list-view columns
};

// The keys beyond typing that an operator without a mouse uses, for Driver::PressKey, and the
// keys held down around one.
enum class Key { Tab, Space, Up, Down, PageUp, PageDown };
namespace Modifier {
inline constexpr unsigned None = 0;
inline constexpr unsigned Shift = 1u << 0;
inline constexpr unsigned Ctrl = 1u << 1;
} // namespace Modifier

// A rectangle on the screen, in pixels; Right and Bottom are outside it.
struct ScreenRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool Contains(const ScreenRect& other) const {
        return other.Left >= Left && other.Top >= Top && other.Right <= Right &&
               other.Bottom <= Bottom;
    }
};

// Where the dialog is: the work area of its screen (the screen less its task bars) and the
// dialog's window with its frame.
struct ScreenArea {
    ScreenRect WorkArea;
    ScreenRect Window;
};

// What a screen reader says a control is.
enum class AccessibleRole {
    None, // nothing answers for the control
    PushButton,
    RadioButton,
    CheckBox,
    ComboBox,
    Text,
    Link,
    List, // a list or a table
    Other
};

// What a screen reader says for a control: its role and its name. A control the toolkit
// names by its value (Qt's drop-down lists) gives the name of the label it points to.
struct Announcement {
    AccessibleRole Role = AccessibleRole::None;
    std::string Name;
    bool operator==(const Announcement&) const = default;
};

// The user, as tests and scripts play it. Each backend implements it by acting through its
// own input events, so that the same behaviour tests run on every backend. Actions reach
// only what a user could reach: controls of the dialog and of the page shown, enabled, of
// the right kind.
class Driver {
public:
    virtual ~Driver() = default;

    // Picks the first item of combo box id whose text equals itemText.
    virtual ActionResult Pick(int id, std::string_view itemText) = 0;
    // Replaces the whole text of edit id, as a paste would: a digits-only edit takes it
    // too, and it changes once.
    virtual ActionResult Type(int id, std::string_view text) = 0;
    // Types the keys at the end of the text of edit id, one by one; a digits-only edit
    // drops the non-digits.
    virtual ActionResult TypeKeys(int id, std::string_view keys) = 0;
    // Clicks a button, check box, radio button or link.
    virtual ActionResult Click(int id) = 0;
    // Selects row of list view id; -1 clears the selection.
    virtual ActionResult SelectRow(int id, int row) = 0;
    // Switches the property sheet to the page at index.
    virtual ActionResult SelectTab(int index) = 0;
    // Presses and releases Enter with the focus in control id.
    virtual ActionResult PressEnter(int id) = 0;
    virtual ActionResult PressEscape() = 0;
    // Presses Ctrl+Tab (backwards: Ctrl+Shift+Tab) with the focus where it is: the sheet's
    // next (previous) page, from the last to the first and back.
    virtual ActionResult PressPageKey(bool backwards) = 0;
    // Presses and releases Delete with the focus in list view id.
    virtual ActionResult PressDelete(int id) = 0;

    // The keyboard alone, as an operator without a mouse works: keys go to whatever has the
    // focus, through the window system. The headless toolkit has neither and refuses them.
    virtual ActionResult PressKey(Key key, unsigned modifiers = Modifier::None) = 0;
    // Types the characters into whatever has the focus, key by key.
    virtual ActionResult TypeText(std::string_view text) = 0;
    // The control with the focus: its id; 0 for the sheet's tabs; NoId for none.
    virtual int FocusId() const = 0;
    // Where the dialog's window is on its screen; all zero without a screen.
    virtual ScreenArea Screen() const = 0;
    // What a screen reader says for control id of the dialog or the page shown.
    virtual Announcement Announced(int id) const = 0;

    virtual bool DialogOpen() const = 0;
    // The active page of the dialog's property sheet; -1 without one.
    virtual int ActiveTab() const = 0;
    // The controls with an id, in template order: the dialog's, then the active page's.
    virtual std::vector<ControlState> Controls() const = 0;
    // One of those controls; nullopt for one the user can't see.
    virtual std::optional<ControlState> State(int id) const = 0;
};

// Shared by the backends' drivers, so that they look up and refuse alike.

// Where a control the user asked for was found.
struct UserControl {
    Control* Found = nullptr; // null when refused
    std::string Reason;
    int Index = -1; // the combo item or list row the action goes to, where it names one
};

// The property sheet whose page the user asked for.
struct UserSheet {
    PropertySheet* Found = nullptr; // null when refused
    std::string Reason;
};

// Finds control id among those the user can reach now: the dialog's and the active page's.
UserControl FindUserControl(const ModalDialog& dialog, int id);
// As FindUserControl, and refuses a control of another kind or a disabled one.
UserControl FindUsableControl(const ModalDialog& dialog, int id,
                              std::initializer_list<ControlKind> kinds);

ControlState Snapshot(const Control& control);
std::vector<ControlState> VisibleControls(const ModalDialog& dialog);

// What every backend's driver answers the same way: it reads the dialog, not the window
// system. Backends derive from it and supply the actions.
class DialogDriver : public Driver {
public:
    explicit DialogDriver(ModalDialog& dialog) : dialog_(dialog) {}

    bool DialogOpen() const override;
    int ActiveTab() const override;
    std::vector<ControlState> Controls() const override;
    std::optional<ControlState> State(int id) const override;

protected:
    // The refusal rules of the actions, one set for every backend: each finds what its
    // action acts on, or says why a user couldn't act.
    UserControl PickTarget(int id, std::string_view itemText) const; // Index: the item
    UserControl EditTarget(int id) const;                            // enabled, not read-only
    UserControl ClickTarget(int id) const;                           // enabled button or link
    UserControl RowTarget(int id, int row) const;                    // Index: row, -1 none
    UserControl EnterTarget(int id) const;                           // any enabled control
    UserControl DeleteTarget(int id) const;                          // enabled list view
    UserSheet TabTarget(int index) const;
    // The page a page key leads to, wrapping around.
    UserSheet PageKeyTarget(bool backwards, int& index) const;
    // Escape goes to whatever has the focus: only an open dialog is needed.
    std::optional<ActionResult> RefuseEscape() const;

    ModalDialog& dialog_;
};

} // namespace varnak::toolkit
