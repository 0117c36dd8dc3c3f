#include "platform/toolkit/headless/HeadlessBackend.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

namespace varnak::toolkit::headless {
namespace {

class Window;

// The state every control has; Interface is the toolkit's view of its kind.
template <class Interface> class ControlBase : public Interface {
public:
    ControlBase(const ControlTemplate& tmpl, Window& window)
        : template_(tmpl), window_(window), text_(tmpl.Text) {}

    int Id() const override { return template_.Id; }
    ControlKind Kind() const override { return template_.Kind; }
    void SetText(std::string_view text) override { text_ = text; }
    std::string GetText() const override { return text_; }
    void Enable(bool enable) override { enabled_ = enable; }
    bool IsEnabled() const override { return enabled_; }
    void SetFocus() override;

    std::uint32_t Styles() const { return template_.Styles; }

protected:
    void Notify(Notification code);
    Window& OwnerWindow() const { return window_; }

    const ControlTemplate& template_;
    Window& window_;
    std::string text_;
    bool enabled_ = true;
};

class HeadlessEdit : public ControlBase<Edit> {
public:
    using ControlBase::ControlBase;

    bool IsReadOnly() const override { return (Styles() & Style::ReadOnly) != 0; }
    // Every change of the text from code notifies, even to the same text.
    void SetText(std::string_view text) override {
        text_ = text;
        Notify(Notification::EditChange);
    }
    void UserPaste(std::string_view text) { SetText(text); }
    void UserKeys(std::string_view keys) {
        for (const char key : keys) {
            if ((Styles() & Style::DigitsOnly) != 0 &&
                !std::isdigit(static_cast<unsigned char>(key))) {
                continue;
            }
            text_ += key;
            Notify(Notification::EditChange);
        }
    }
};

class HeadlessButton : public ControlBase<Button> {
public:
    using ControlBase::ControlBase;
    void SetCheck(bool checked) override { checked_ = checked; }
    bool GetCheck() const override { return checked_; }
    void UserClick();

private:
    bool checked_ = false;
};

class HeadlessLink : public ControlBase<Link> {
public:
    HeadlessLink(const ControlTemplate& tmpl, Window& window, Backend& backend)
        : ControlBase(tmpl, window), backend_(backend) {}
    void SetUrl(std::string_view address) override { url_ = address; }
    // A click, or Enter while it has the focus.
    void UserActivate() {
        const bool opened = backend_.OpenUrl(url_);
        Notify(Notification::Clicked);
        if (!opened) {
            Notify(Notification::OpenFailed);
        }
    }

private:
    Backend& backend_;
    std::string url_;
};

class HeadlessComboBox : public ControlBase<ComboBox> {
public:
    using ControlBase::ControlBase;

    std::string GetText() const override { return GetLBText(selection_); }
    int AddString(std::string_view text) override {
        items_.emplace_back(text);
        return static_cast<int>(items_.size()) - 1;
    }
    void SetCurSel(int index) override { selection_ = InRange(index) ? index : -1; }
    int GetCurSel() const override { return selection_; }
    int GetCount() const override { return static_cast<int>(items_.size()); }
    std::string GetLBText(int index) const override {
        return InRange(index) ? items_[static_cast<std::size_t>(index)] : std::string();
    }
    void UserPick(int index) {
        selection_ = index;
        Notify(Notification::SelChange);
    }

private:
    bool InRange(int index) const { return index >= 0 && index < GetCount(); }

    std::vector<std::string> items_;
    int selection_ = -1;
};

class HeadlessListView : public ControlBase<ListView> {
public:
    using ControlBase::ControlBase;

    int InsertColumn(int column, std::string_view heading, ColumnAlign align, int widthPixels,
                     std::string_view) override {
        const auto at = static_cast<std::size_t>(std::clamp(column, 0, GetColumnCount()));
        columns_.insert(columns_.begin() + static_cast<std::ptrdiff_t>(at),
                        ListColumn{std::string(heading), align, widthPixels});
        for (auto& row : rows_) {
            row.insert(row.begin() + static_cast<std::ptrdiff_t>(at), std::string());
        }
        return static_cast<int>(at);
    }
    int GetColumnCount() const override { return static_cast<int>(columns_.size()); }
    ListColumn GetColumn(int column) const override {
        return column >= 0 && column < GetColumnCount() ? columns_[static_cast<std::size_t>(column)]
                                                        : ListColumn{};
    }
    int InsertItem(int row, std::string_view text) override {
        const int at = std::clamp(row, 0, GetItemCount());
        std::vector<std::string> cells(std::max<std::size_t>(columns_.size(), 1));
        cells[0] = text;
        rows_.insert(rows_.begin() + at, std::move(cells));
        if (selection_ >= at) {
            ++selection_;
        }
        return at;
    }
    void SetItemText(int row, int column, std::string_view text) override {
        if (InRange(row) && column >= 0) {
            auto& cells = rows_[static_cast<std::size_t>(row)];
            if (static_cast<std::size_t>(column) >= cells.size()) {
                cells.resize(static_cast<std::size_t>(column) + 1);
            }
            cells[static_cast<std::size_t>(column)] = text;
        }
    }
    std::string GetItemText(int row, int column) const override {
        if (!InRange(row) || column < 0) {
            return {};
        }
        const auto& cells = rows_[static_cast<std::size_t>(row)];
        return static_cast<std::size_t>(column) < cells.size()
                   ? cells[static_cast<std::size_t>(column)]
                   : std::string();
    }
    void DeleteItem(int row) override {
        if (!InRange(row)) {
            return;
        }
        rows_.erase(rows_.begin() + row);
        if (row == selection_) {
            selection_ = -1;
            Notify(Notification::ItemChanged);
        } else if (row < selection_) {
            --selection_;
        }
    }
    int GetItemCount() const override { return static_cast<int>(rows_.size()); }
    int GetNextSelected(int start) const override { return selection_ > start ? selection_ : -1; }
    void UserPressDelete() { Notify(Notification::KeyDelete); }
    void UserSelectRow(int row) {
        if (row == selection_) {
            return;
        }
        selection_ = row;
        Notify(Notification::ItemChanged);
    }

private:
    bool InRange(int row) const { return row >= 0 && row < GetItemCount(); }

    std::vector<ListColumn> columns_;
    std::vector<std::vector<std::string>> rows_;
    int selection_ = -1;
};

using HeadlessLabel = ControlBase<Control>;

// The controls of one template, owned in template order.
class Window : public DialogWindow {
public:
    Window(const DialogTemplate& tmpl, Dialog& owner, Backend& backend) : owner_(owner) {
        for (const auto& control : tmpl.Controls) {
            controls_.push_back(Make(control, backend));
        }
    }

    Control* Item(int id) override { return FindControl(controls_, id); }
    void EndModal(int) override {}
    void StartTimer(int milliseconds) override { timer_ = milliseconds; }
    // The timer's interval in milliseconds, 0 for none.
    int Timer() const { return timer_; }

    Dialog& Owner() const { return owner_; }
    void SetFocusId(int id) { focusId_ = id; }
    int FocusId() const { return focusId_; }

    void ClearRadioGroup(const Control& clicked) { toolkit::ClearRadioGroup(controls_, clicked); }

private:
    std::unique_ptr<Control> Make(const ControlTemplate& control, Backend& backend) {
        switch (control.Kind) {
        case ControlKind::Edit:
            return std::make_unique<HeadlessEdit>(control, *this);
        case ControlKind::PushButton:
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
            return std::make_unique<HeadlessButton>(control, *this);
        case ControlKind::Link:
            return std::make_unique<HeadlessLink>(control, *this, backend);
        case ControlKind::ComboBox:
            return std::make_unique<HeadlessComboBox>(control, *this);
        case ControlKind::ListView:
            return std::make_unique<HeadlessListView>(control, *this);
        case ControlKind::Label:
        case ControlKind::GroupBox:
            break;
        }
        return std::make_unique<HeadlessLabel>(control, *this);
    }

    Dialog& owner_;
    std::vector<std::unique_ptr<Control>> controls_;
    int focusId_ = NoId;
    int timer_ = 0;
};

template <class Interface> void ControlBase<Interface>::SetFocus() {
    window_.SetFocusId(template_.Id);
}

template <class Interface> void ControlBase<Interface>::Notify(Notification code) {
    window_.Owner().Notify(template_.Id, code);
}

void HeadlessButton::UserClick() {
    if (Kind() == ControlKind::CheckBox) {
        checked_ = !checked_;
    } else if (Kind() == ControlKind::RadioButton) {
        OwnerWindow().ClearRadioGroup(*this);
        checked_ = true;
    }
    Notify(Notification::Clicked);
}

// Which page is shown is the toolkit's sheet's own state; nothing to draw here.
class Sheet : public SheetWindow {
public:
    void ShowPage(int, DialogWindow&) override {}
};

// Acts on the running dialog by calling the controls' user entry points directly.
class HeadlessDriver : public DialogDriver {
public:
    explicit HeadlessDriver(ModalDialog& dialog) : DialogDriver(dialog) {}

    ActionResult Pick(int id, std::string_view itemText) override {
        const auto found = PickTarget(id, itemText);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& combo = static_cast<HeadlessComboBox&>(*found.Found);
        combo.SetFocus();
        combo.UserPick(found.Index);
        return ActionResult::Ok();
    }

    ActionResult Type(int id, std::string_view text) override {
        const auto found = EditTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& edit = static_cast<HeadlessEdit&>(*found.Found);
        edit.SetFocus();
        edit.UserPaste(text);
        return ActionResult::Ok();
    }

    ActionResult TypeKeys(int id, std::string_view keys) override {
        const auto found = EditTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& edit = static_cast<HeadlessEdit&>(*found.Found);
        edit.SetFocus();
        edit.UserKeys(keys);
        return ActionResult::Ok();
    }

    ActionResult Click(int id) override {
        const auto found = ClickTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        found.Found->SetFocus();
        if (found.Found->Kind() == ControlKind::Link) {
            static_cast<HeadlessLink&>(*found.Found).UserActivate();
        } else {
            static_cast<HeadlessButton&>(*found.Found).UserClick();
        }
        return ActionResult::Ok();
    }

    ActionResult SelectRow(int id, int row) override {
        const auto found = RowTarget(id, row);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& list = static_cast<HeadlessListView&>(*found.Found);
        list.SetFocus();
        list.UserSelectRow(row);
        return ActionResult::Ok();
    }

    ActionResult SelectTab(int index) override {
        const auto sheet = TabTarget(index);
        if (!sheet.Found) {
            return ActionResult::Refused(sheet.Reason);
        }
        sheet.Found->SetActivePage(index);
        return ActionResult::Ok();
    }

    ActionResult PressEnter(int id) override {
        const auto found = EnterTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        found.Found->SetFocus();
        if (dialog_.GetDlgItem(id) != found.Found) {
            // Keys inside a page go to the sheet first, and a sheet without buttons does
            // nothing with Enter.
            return ActionResult::Ok();
        }
        if (found.Found->Kind() == ControlKind::Link) {
            // The link takes Enter itself, before any filter.
            static_cast<HeadlessLink&>(*found.Found).UserActivate();
            return ActionResult::Ok();
        }
        if (!dialog_.PreTranslateMessage({KeyMessage::Type::KeyDown, VirtualKeyReturn, id})) {
            PressDefaultButton(*found.Found);
        }
        if (dialog_.IsRunning()) {
            dialog_.PreTranslateMessage({KeyMessage::Type::KeyUp, VirtualKeyReturn, id});
        }
        return ActionResult::Ok();
    }

    ActionResult PressPageKey(bool backwards) override {
        int index = -1;
        const auto sheet = PageKeyTarget(backwards, index);
        if (!sheet.Found) {
            return ActionResult::Refused(sheet.Reason);
        }
        sheet.Found->SetActivePage(index);
        return ActionResult::Ok();
    }

    ActionResult PressEscape() override {
        if (auto refused = RefuseEscape()) {
            return *refused;
        }
        const int focus = static_cast<Window*>(dialog_.Window())->FocusId();
        if (!dialog_.PreTranslateMessage({KeyMessage::Type::KeyDown, VirtualKeyEscape, focus})) {
            dialog_.Notify(IdCancel, Notification::Clicked);
        }
        if (dialog_.IsRunning()) {
            dialog_.PreTranslateMessage({KeyMessage::Type::KeyUp, VirtualKeyEscape, focus});
        }
        return ActionResult::Ok();
    }

    ActionResult PressDelete(int id) override {
        const auto found = DeleteTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& list = static_cast<HeadlessListView&>(*found.Found);
        list.SetFocus();
        list.UserPressDelete();
        return ActionResult::Ok();
    }

    // No keyboard, no screen and no assistive technology: only the focus the actions set.
    ActionResult PressKey(Key, unsigned) override { return NoKeyboard(); }
    ActionResult TypeText(std::string_view) override { return NoKeyboard(); }
    int FocusId() const override {
        return dialog_.Window() != nullptr ? static_cast<Window*>(dialog_.Window())->FocusId()
                                           : NoId;
    }
    ScreenArea Screen() const override { return {}; }
    Announcement Announced(int) const override { return {}; }

private:
    static ActionResult NoKeyboard() {
        return ActionResult::Refused("the headless toolkit has no keyboard");
    }

    // What the dialog does with an Enter no filter took: a focused push button is pressed,
    // otherwise OK.
    void PressDefaultButton(Control& focused) {
        int target = IdOk;
        if (focused.Kind() == ControlKind::PushButton) {
            target = focused.Id();
        }
        Control* button = dialog_.GetDlgItem(target);
        if (button != nullptr && button->IsEnabled()) {
            dialog_.Notify(target, Notification::Clicked);
        }
    }
};

} // namespace

std::unique_ptr<DialogWindow> HeadlessBackend::CreateDialogWindow(const DialogTemplate& tmpl,
                                                                  Dialog& owner) {
    return std::make_unique<Window>(tmpl, owner, *this);
}

std::unique_ptr<SheetWindow> HeadlessBackend::CreateSheetWindow(PropertySheet&, DialogWindow&, int,
                                                                int) {
    return std::make_unique<Sheet>();
}

std::unique_ptr<DialogWindow> HeadlessBackend::CreatePageWindow(const DialogTemplate& tmpl,
                                                                Dialog& owner, SheetWindow&, int) {
    return std::make_unique<Window>(tmpl, owner, *this);
}

void HeadlessBackend::RunModal(ModalDialog& dialog) {
    // A dialog with a timer watches work done elsewhere: it runs, tick by tick, until it
    // ends itself, with nothing for a user or a script to do.
    const auto* window = dynamic_cast<const Window*>(dialog.Window());
    if (window != nullptr && window->Timer() > 0) {
        while (dialog.IsRunning()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(window->Timer()));
            dialog.OnTimer();
        }
        return;
    }
    if (Session() != nullptr) {
        Session()->Run(dialog);
    }
}

void ScriptedHeadlessBackend::Play(ModalDialog& dialog, const UserFunction& user) {
    HeadlessDriver driver(dialog);
    user(driver);
}

} // namespace varnak::toolkit::headless
