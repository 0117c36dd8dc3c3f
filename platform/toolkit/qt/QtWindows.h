#pragma once

// The backend's windows: the modal dialog, the property sheet and its pages, each holding
// the controls of its template, and the routing of their keys. Shared by the backend and
// its driver.

#include "platform/toolkit/Controls.h"
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/qt/QtBackend.h"
#include "platform/toolkit/qt/QtControls.h"

#include <QDialog>
#include <QPointer>
#include <QTabWidget>

#include <memory>
#include <vector>

namespace varnak::toolkit::qt {

// A dialog's or page's window: its widget and the controls of its template.
class QtWindow : public DialogWindow {
public:
    QtWindow(Dialog& owner, ModalDialog& modal, bool inSheet, Backend& backend)
        : owner_(owner), modal_(modal), inSheet_(inSheet), backend_(backend) {}

    Control* Item(int id) override;

    Dialog& Owner() const { return owner_; }
    ModalDialog& Modal() const { return modal_; }
    Backend& GetBackend() const { return backend_; }

    // Builds the template's controls in tab order as children of parent.
    void BuildControls(const DialogTemplate& tmpl, QWidget& parent);
    // An auto radio button's group: the run of radio buttons around it in template order.
    void ClearRadioGroup(const Control& clicked);
    // The control whose widget this is, or null.
    Control* ControlOf(const QWidget* widget) const;

protected:
    void DestroyControls();

private:
    Dialog& owner_;
    ModalDialog& modal_;
    bool inSheet_;
    Backend& backend_;
    std::vector<std::unique_ptr<Control>> controls_;
};

// The modal dialog's window.
class QtDialogWindow : public QtWindow {
public:
    QtDialogWindow(const DialogTemplate& tmpl, ModalDialog& owner, Backend& backend);
    ~QtDialogWindow() override;
    void EndModal(int result) override;
    QDialog* Widget() const { return dialog_; }

private:
    QPointer<QDialog> dialog_;
};

// A tab widget whose tab bar the driver may click.
class SheetTabs : public QTabWidget {
public:
    using QTabWidget::QTabWidget;
    using QTabWidget::tabBar;
};

class QtSheetWindow : public SheetWindow {
public:
    QtSheetWindow(PropertySheet& sheet, QtDialogWindow& parent, int x, int y);
    ~QtSheetWindow() override;
    void ShowPage(int index, DialogWindow& page) override;

    SheetTabs* Tabs() const { return tabs_; }
    QWidget* PageArea(int index) const;
    QtDialogWindow& Parent() const { return parent_; }

private:
    PropertySheet& sheet_;
    QtDialogWindow& parent_;
    QPointer<SheetTabs> tabs_;
    bool showing_ = false;
};

// A page's window: its controls inside the sheet's page area for it.
class QtPageWindow : public QtWindow {
public:
    QtPageWindow(const DialogTemplate& tmpl, Dialog& owner, QtSheetWindow& sheet, int index,
                 Backend& backend);
    ~QtPageWindow() override;
    void EndModal(int) override {}
    QWidget* Widget() const { return area_; }
    QtSheetWindow& Sheet() const { return sheet_; }

private:
    QtSheetWindow& sheet_;
    QPointer<QWidget> area_;
};

// The id of the control a widget (or one of its parents) shows, or NoId.
int ControlIdOf(const QWidget* widget);

} // namespace varnak::toolkit::qt
