// The user of the Qt backend: every action is a real mouse or key event on the widgets, so
// that the behaviour tests exercise the widgets' own handling and the backend's adaptation
// of their signals, not a shortcut around them.
#include "platform/toolkit/qt/QtDriver.h"

#include "platform/toolkit/qt/QtWindows.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QScreen>
#include <QTabBar>
#include <QTest>

namespace varnak::toolkit::qt {
namespace {

// Lets queued work of the widgets (layouts, deferred deletes) happen between actions.
void Settle() {
    QCoreApplication::processEvents();
}

class QtDriver : public DialogDriver {
public:
    explicit QtDriver(ModalDialog& dialog) : DialogDriver(dialog) {}

    // Opens the list with F4, walks to the item with the arrow keys and takes it with
    // Enter: one pick, as a user makes it.
    ActionResult Pick(int id, std::string_view itemText) override {
        const auto found = PickTarget(id, itemText);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& combo = *static_cast<QComboBox*>(WidgetOf(*found.Found));
        combo.setFocus(Qt::MouseFocusReason);
        QTest::keyClick(&combo, Qt::Key_F4);
        QAbstractItemView* list = combo.view();
        QTest::keyClick(list, Qt::Key_Home);
        for (int step = 0; step < found.Index; ++step) {
            QTest::keyClick(list, Qt::Key_Down);
        }
        QTest::keyClick(list, Qt::Key_Return);
        Settle();
        return ActionResult::Ok();
    }

    // Selects everything and pastes over it: one change, and a digits-only edit takes it.
    ActionResult Type(int id, std::string_view text) override {
        const auto found = EditTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        QWidget* edit = WidgetOf(*found.Found);
        edit->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.empty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
        } else {
            QGuiApplication::clipboard()->setText(ToQt(text));
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        }
        Settle();
        return ActionResult::Ok();
    }

    ActionResult TypeKeys(int id, std::string_view keys) override {
        const auto found = EditTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        QWidget* edit = WidgetOf(*found.Found);
        edit->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, ToQt(keys));
        Settle();
        return ActionResult::Ok();
    }

    ActionResult Click(int id) override {
        const auto found = ClickTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        QWidget* widget = WidgetOf(*found.Found);
        // A link is only its text; everything else takes a click anywhere.
        const QPoint at = found.Found->Kind() == ControlKind::Link ? QPoint(2, widget->height() / 2)
                                                                   : widget->rect().center();
        widget->setFocus(Qt::MouseFocusReason);
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
        Settle();
        return ActionResult::Ok();
    }

    // A click on the row; a Ctrl+click on the selected row clears the selection.
    ActionResult SelectRow(int id, int row) override {
        const auto found = RowTarget(id, row);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& list = *static_cast<ListView*>(found.Found);
        auto& view = *static_cast<QAbstractItemView*>(WidgetOf(list));
        view.setFocus(Qt::MouseFocusReason);
        const int selected = list.GetNextSelected();
        const int target = row >= 0 ? row : selected;
        if (target >= 0) {
            const QModelIndex index = view.model()->index(target, 0);
            view.scrollTo(index);
            const QPoint at = view.visualRect(index).center();
            const Qt::KeyboardModifiers modifiers = row >= 0 ? Qt::NoModifier : Qt::ControlModifier;
            QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, at);
        }
        Settle();
        return ActionResult::Ok();
    }

    ActionResult SelectTab(int index) override {
        const auto sheet = TabTarget(index);
        if (!sheet.Found) {
            return ActionResult::Refused(sheet.Reason);
        }
        QTabBar* bar = SheetWindowOf(*sheet.Found).Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
        Settle();
        return ActionResult::Ok();
    }

    ActionResult PressEnter(int id) override {
        const auto found = EnterTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        QWidget* widget = WidgetOf(*found.Found);
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, Qt::Key_Return);
        Settle();
        return ActionResult::Ok();
    }

    ActionResult PressPageKey(bool backwards) override {
        int index = -1;
        if (const auto sheet = PageKeyTarget(backwards, index); !sheet.Found) {
            return ActionResult::Refused(sheet.Reason);
        }
        QWidget* window = WidgetOf(*dialog_.Window());
        QWidget* focus = window->focusWidget();
        QTest::keyClick(focus != nullptr ? focus : window,
                        backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        Settle();
        return ActionResult::Ok();
    }

    ActionResult PressEscape() override {
        if (auto refused = RefuseEscape()) {
            return *refused;
        }
        QWidget* window = WidgetOf(*dialog_.Window());
        QWidget* focus = window->focusWidget();
        QTest::keyClick(focus != nullptr ? focus : window, Qt::Key_Escape);
        Settle();
        return ActionResult::Ok();
    }

    ActionResult PressDelete(int id) override {
        const auto found = DeleteTarget(id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        QWidget* widget = WidgetOf(*found.Found);
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, Qt::Key_Delete);
        Settle();
        return ActionResult::Ok();
    }

    ActionResult PressKey(Key key, unsigned modifiers) override {
        Qt::Key qtKey = QtKeyOf(key);
        Qt::KeyboardModifiers held;
        if ((modifiers & Modifier::Shift) != 0) {
            held |= Qt::ShiftModifier;
            qtKey = qtKey == Qt::Key_Tab ? Qt::Key_Backtab : qtKey; // as Qt reports Shift+Tab
        }
        if ((modifiers & Modifier::Ctrl) != 0) {
            held |= Qt::ControlModifier;
        }
        QTest::keyClick(KeyTarget(), qtKey, held);
        Settle();
        return ActionResult::Ok();
    }

    ActionResult TypeText(std::string_view text) override {
        QTest::keyClicks(KeyTarget(), ToQt(text));
        Settle();
        return ActionResult::Ok();
    }

    // The dialog's focus widget, which takes the keys while the dialog is the active window
    // (on the offscreen platform the application's may stay empty after a list's popup).
    int FocusId() const override {
        const QWidget* focus = WidgetOf(*dialog_.Window())->focusWidget();
        return qobject_cast<const QTabBar*>(focus) != nullptr ? 0 : ControlIdOf(focus);
    }

    ScreenArea Screen() const override {
        const QWidget* window = WidgetOf(*dialog_.Window());
        const QScreen* screen = window->screen();
        return {RectOf(screen != nullptr ? screen->availableGeometry() : QRect()),
                RectOf(window->frameGeometry())};
    }

    Announcement Announced(int id) const override {
        const auto found = FindUserControl(dialog_, id);
        QAccessibleInterface* widget =
            found.Found != nullptr ? QAccessible::queryAccessibleInterface(WidgetOf(*found.Found))
                                   : nullptr;
        if (widget == nullptr) {
            return {};
        }
        const AccessibleRole role = RoleOf(widget->role());
        if (role == AccessibleRole::ComboBox) {
            // Named by its choice; the label is where the relation points.
            for (const auto& [label, relation] : widget->relations(QAccessible::Label)) {
                return {role, label->text(QAccessible::Name).toStdString()};
            }
        }
        return {role, widget->text(QAccessible::Name).toStdString()};
    }

private:
    QWidget* KeyTarget() const {
        QWidget* window = WidgetOf(*dialog_.Window());
        QWidget* focus = window->focusWidget();
        return focus != nullptr ? focus : window;
    }

    static Qt::Key QtKeyOf(Key key) {
        switch (key) {
        case Key::Tab:
            return Qt::Key_Tab;
        case Key::Space:
            return Qt::Key_Space;
        case Key::Up:
            return Qt::Key_Up;
        case Key::Down:
            return Qt::Key_Down;
        case Key::PageUp:
            return Qt::Key_PageUp;
        case Key::PageDown:
            return Qt::Key_PageDown;
        }
        return Qt::Key_unknown;
    }

    static ScreenRect RectOf(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }

    static AccessibleRole RoleOf(QAccessible::Role role) {
        switch (role) {
        case QAccessible::PushButton:
            return AccessibleRole::PushButton;
        case QAccessible::RadioButton:
            return AccessibleRole::RadioButton;
        case QAccessible::CheckBox:
            return AccessibleRole::CheckBox;
        case QAccessible::ComboBox:
            return AccessibleRole::ComboBox;
        case QAccessible::EditableText:
            return AccessibleRole::Text;
        case QAccessible::Link:
            return AccessibleRole::Link;
        case QAccessible::List:
        case QAccessible::Table:
            return AccessibleRole::List;
        default:
            return AccessibleRole::Other;
        }
    }

    // The sheet's window is the parent of every page area.
    static const QtSheetWindow& SheetWindowOf(const PropertySheet& sheet) {
        const PropertyPage& active = sheet.GetPage(sheet.GetActiveIndex());
        return static_cast<const QtPageWindow*>(active.Window())->Sheet();
    }
};

} // namespace

ScriptedQtBackend::ScriptedQtBackend() : ScriptedBackend(std::make_unique<QtBackend>()) {}

// The user acts on the shown dialog through input events; no loop of ours is needed.
void ScriptedQtBackend::Play(ModalDialog& dialog, const UserFunction& user) {
    QDialog* widget = static_cast<QtDialogWindow*>(dialog.Window())->Widget();
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    widget->show();
    widget->activateWindow();
    Settle();
    QtDriver driver(dialog);
    user(driver);
    if (dialog.IsRunning()) {
        widget->hide();
    }
}

} // namespace varnak::toolkit::qt
