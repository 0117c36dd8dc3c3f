#include "platform/toolkit/Driver.h"

#include <algorithm>

namespace varnak::toolkit {
namespace {

const char* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return "a label";
    case ControlKind::GroupBox:
        return "a group box";
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
        return "a button";
    case ControlKind::ComboBox:
        return "a combo box";
    case ControlKind::Edit:
        return "an edit";
    case ControlKind::Link:
        return "a link";
    case ControlKind::ListView:
        return "a list view";
    }
    return "another control";
}

// The page whose controls the user sees, or null.
const PropertyPage* ActivePage(const ModalDialog& dialog) {
    const PropertySheet* sheet = dialog.ChildSheet();
    if (sheet == nullptr || sheet->GetActiveIndex() < 0) {
        return nullptr;
    }
    return &sheet->GetPage(sheet->GetActiveIndex());
}

bool OnHiddenPage(const ModalDialog& dialog, int id) {
    const PropertySheet* sheet = dialog.ChildSheet();
    if (sheet == nullptr) {
        return false;
    }
    for (int index = 0; index < sheet->GetPageCount(); ++index) {
        if (index != sheet->GetActiveIndex() && sheet->GetPage(index).Template().Find(id)) {
            return true;
        }
    }
    return false;
}

void AppendControls(const Dialog& dialog, std::vector<ControlState>& out) {
    for (const auto& control : dialog.Template().Controls) {
        if (control.Id == NoId) {
            continue;
        }
        if (const Control* item = dialog.GetDlgItem(control.Id)) {
            out.push_back(Snapshot(*item));
        }
    }
}

} // namespace

UserControl FindUserControl(const ModalDialog& dialog, int id) {
    if (!dialog.IsRunning()) {
        return {nullptr, "no dialog is open"};
    }
    if (id != NoId) {
        if (Control* control = dialog.GetDlgItem(id)) {
            return {control, {}};
        }
        if (const PropertyPage* page = ActivePage(dialog)) {
            if (Control* control = page->GetDlgItem(id)) {
                return {control, {}};
            }
        }
        if (OnHiddenPage(dialog, id)) {
            return {nullptr, "control " + std::to_string(id) + " is on a page that isn't shown"};
        }
    }
    return {nullptr, "no control " + std::to_string(id)};
}

UserControl FindUsableControl(const ModalDialog& dialog, int id,
                              std::initializer_list<ControlKind> kinds) {
    UserControl found = FindUserControl(dialog, id);
    if (found.Found == nullptr) {
        return found;
    }
    const ControlKind kind = found.Found->Kind();
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) {
        return {nullptr, "control " + std::to_string(id) + " is " + KindName(kind)};
    }
    if (!found.Found->IsEnabled()) {
        return {nullptr, "control " + std::to_string(id) + " is disabled"};
    }
    return found;
}

ControlState Snapshot(const Control& control) {
    ControlState state;
    state.Id = control.Id();
    state.Kind = control.Kind();
    state.Enabled = control.IsEnabled();
    state.Text = control.GetText();
    if (const auto* button = dynamic_cast<const Button*>(&control)) {
        state.Checked = button->GetCheck();
    }
    if (const auto* combo = dynamic_cast<const ComboBox*>(&control)) {
        state.Selection = combo->GetCurSel();
        state.Items.reserve(static_cast<std::size_t>(combo->GetCount()));
        for (int index = 0; index < combo->GetCount(); ++index) {
            state.Items.push_back(combo->GetLBText(index));
        }
    }
    if (const auto* list = dynamic_cast<const ListView*>(&control)) {
        state.Selection = list->GetNextSelected();
        for (int column = 0; column < list->GetColumnCount(); ++column) {
            state.Columns.push_back(list->GetColumn(column));
        }
        for (int row = 0; row < list->GetItemCount(); ++row) {
            std::vector<std::string> cells;
            cells.reserve(static_cast<std::size_t>(list->GetColumnCount()));
            for (int column = 0; column < list->GetColumnCount(); ++column) {
                cells.push_back(list->GetItemText(row, column));
            }
            state.Rows.push_back(std::move(cells));
        }
    }
    return state;
}

std::vector<ControlState> VisibleControls(const ModalDialog& dialog) {
    std::vector<ControlState> out;
    if (!dialog.IsRunning()) {
        return out;
    }
    AppendControls(dialog, out);
    if (const PropertyPage* page = ActivePage(dialog)) {
        AppendControls(*page, out);
    }
    return out;
}

bool DialogDriver::DialogOpen() const {
    return dialog_.IsRunning();
}

int DialogDriver::ActiveTab() const {
    const PropertySheet* sheet = dialog_.ChildSheet();
    return sheet != nullptr ? sheet->GetActiveIndex() : -1;
}

std::vector<ControlState> DialogDriver::Controls() const {
    return VisibleControls(dialog_);
}

std::optional<ControlState> DialogDriver::State(int id) const {
    auto found = FindUserControl(dialog_, id);
    if (!found.Found) {
        return std::nullopt;
    }
    return Snapshot(*found.Found);
}

UserControl DialogDriver::PickTarget(int id, std::string_view itemText) const {
    UserControl found = FindUsableControl(dialog_, id, {ControlKind::ComboBox});
    if (found.Found == nullptr) {
        return found;
    }
    const auto& combo = static_cast<const ComboBox&>(*found.Found);
    for (int index = 0; index < combo.GetCount(); ++index) {
        if (combo.GetLBText(index) == itemText) {
            found.Index = index;
            return found;
        }
    }
    return {nullptr,
            "combo box " + std::to_string(id) + " has no item \"" + std::string(itemText) + "\""};
}

UserControl DialogDriver::EditTarget(int id) const {
    UserControl found = FindUsableControl(dialog_, id, {ControlKind::Edit});
    if (found.Found != nullptr && static_cast<const Edit*>(found.Found)->IsReadOnly()) {
        return {nullptr, "control " + std::to_string(id) + " is read-only"};
    }
    return found;
}

UserControl DialogDriver::ClickTarget(int id) const {
    return FindUsableControl(dialog_, id,
                             {ControlKind::PushButton, ControlKind::RadioButton,
                              ControlKind::CheckBox, ControlKind::Link});
}

UserControl DialogDriver::RowTarget(int id, int row) const {
    UserControl found = FindUsableControl(dialog_, id, {ControlKind::ListView});
    if (found.Found == nullptr) {
        return found;
    }
    if (row < -1 || row >= static_cast<const ListView*>(found.Found)->GetItemCount()) {
        return {nullptr, "list view " + std::to_string(id) + " has no row " + std::to_string(row)};
    }
    found.Index = row;
    return found;
}

UserControl DialogDriver::EnterTarget(int id) const {
    UserControl found = FindUserControl(dialog_, id);
    if (found.Found != nullptr && !found.Found->IsEnabled()) {
        return {nullptr, "control " + std::to_string(id) + " is disabled"};
    }
    return found;
}

UserControl DialogDriver::DeleteTarget(int id) const {
    return FindUsableControl(dialog_, id, {ControlKind::ListView});
}

UserSheet DialogDriver::TabTarget(int index) const {
    if (!dialog_.IsRunning()) {
        return {nullptr, "no dialog is open"};
    }
    PropertySheet* sheet = dialog_.ChildSheet();
    if (sheet == nullptr || index < 0 || index >= sheet->GetPageCount()) {
        return {nullptr, "no page " + std::to_string(index)};
    }
    return {sheet, {}};
}

UserSheet DialogDriver::PageKeyTarget(bool backwards, int& index) const {
    PropertySheet* sheet = dialog_.IsRunning() ? dialog_.ChildSheet() : nullptr;
    if (sheet == nullptr || sheet->GetPageCount() == 0) {
        return {nullptr, dialog_.IsRunning() ? "no pages" : "no dialog is open"};
    }
    const int count = sheet->GetPageCount();
    index = (sheet->GetActiveIndex() + (backwards ? count - 1 : 1)) % count;
    return {sheet, {}};
}

std::optional<ActionResult> DialogDriver::RefuseEscape() const {
    if (!dialog_.IsRunning()) {
        return ActionResult::Refused("no dialog is open");
    }
    return std::nullopt;
}

} // namespace varnak::toolkit
