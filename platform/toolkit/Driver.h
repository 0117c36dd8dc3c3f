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
