// The user of the Qt backend: every action is a real mouse or key event on the widgets, so
// that the behaviour tests exercise the widgets' own handling and the backend's adaptation
// of their signals, not a shortcut around them.
#include "platform/toolkit/qt/QtWindows.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QTabBar>
#include <QTest>

namespace varnak::toolkit::qt {
namespace {

QString ToQt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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
        auto found = FindUsableControl(dialog_, id, {ControlKind::ComboBox});
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& combo = *static_cast<QComboBox*>(WidgetOf(*found.Found));
        const int index = combo.findText(ToQt(itemText), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index < 0) {
            return ActionResult::Refused("combo box " + std::to_string(id) + " has no item \"" +
                                         std::string(itemText) + "\"");
        }
        combo.setFocus(Qt::MouseFocusReason);
        QTest::keyClick(&combo, Qt::Key_F4);
        QAbstractItemView* list = combo.view();
        QTest::keyClick(list, Qt::Key_Home);
        for (int step = 0; step < index; ++step) {
            QTest::keyClick(list, Qt::Key_Down);
        }
        QTest::keyClick(list, Qt::Key_Return);
        Settle();
        return ActionResult::Ok();
    }

    // Selects everything and pastes over it: one change, and a digits-only edit takes it.
    ActionResult Type(int id, std::string_view text) override {
        QWidget* edit = nullptr;
        if (auto refused = FindWritableEdit(id, edit)) {
            return *refused;
        }
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
        QWidget* edit = nullptr;
        if (auto refused = FindWritableEdit(id, edit)) {
            return *refused;
        }
        edit->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, ToQt(keys));
        Settle();
        return ActionResult::Ok();
    }

    ActionResult Click(int id) override {
        auto found = FindUsableControl(dialog_, id,
                                       {ControlKind::PushButton, ControlKind::RadioButton,
                                        ControlKind::CheckBox, ControlKind::Link});
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
        auto found = FindUsableControl(dialog_, id, {ControlKind::ListView});
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        auto& list = *static_cast<ListView*>(found.Found);
        if (row < -1 || row >= list.GetItemCount()) {
            return ActionResult::Refused("list view " + std::to_string(id) + " has no row " +
                                         std::to_string(row));
        }
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
        if (!dialog_.IsRunning()) {
            return ActionResult::Refused("no dialog is open");
        }
        PropertySheet* sheet = dialog_.ChildSheet();
        if (sheet == nullptr || index < 0 || index >= sheet->GetPageCount()) {
            return ActionResult::Refused("no page " + std::to_string(index));
        }
        QTabBar* bar = SheetWindowOf(*sheet).Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
        Settle();
        return ActionResult::Ok();
    }

    ActionResult PressEnter(int id) override {
        auto found = FindUserControl(dialog_, id);
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        if (!found.Found->IsEnabled()) {
            return ActionResult::Refused("control " + std::to_string(id) + " is disabled");
        }
        QWidget* widget = WidgetOf(*found.Found);
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, Qt::Key_Return);
        Settle();
        return ActionResult::Ok();
    }

    ActionResult PressEscape() override {
        if (!dialog_.IsRunning()) {
            return ActionResult::Refused("no dialog is open");
        }
        QWidget* window = WidgetOf(*dialog_.Window());
        QWidget* focus = window->focusWidget();
        QTest::keyClick(focus != nullptr ? focus : window, Qt::Key_Escape);
        Settle();
        return ActionResult::Ok();
    }

private:
    std::optional<ActionResult> FindWritableEdit(int id, QWidget*& edit) {
        auto found = FindUsableControl(dialog_, id, {ControlKind::Edit});
        if (!found.Found) {
            return ActionResult::Refused(found.Reason);
        }
        const auto* access = dynamic_cast<const QtControlAccess*>(found.Found);
        if ((access->Template().Styles & Style::ReadOnly) != 0) {
            return ActionResult::Refused("control " + std::to_string(id) + " is read-only");
        }
        edit = access->Widget();
        return std::nullopt;
    }

    // The sheet's window is the parent of every page area.
    static const QtSheetWindow& SheetWindowOf(const PropertySheet& sheet) {
        const PropertyPage& active = sheet.GetPage(sheet.GetActiveIndex());
        return static_cast<const QtPageWindow*>(active.Window())->Sheet();
    }

};

} // namespace

std::unique_ptr<Driver> MakeQtDriver(ModalDialog& dialog) {
    return std::make_unique<QtDriver>(dialog);
}

} // namespace varnak::toolkit::qt
