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
#include <QTimer>

#include <memory>
#include <vector>

namespace varnak::toolkit::qt {

// A dialog's or page's window: its widget and the controls of its template.
class QtWindow : public DialogWindow {
public:
    QtWindow(Dialog& owner, ModalDialog& modal, bool inSheet, Backend& backend)
        : owner_(owner), modal_(modal), inSheet_(inSheet), backend_(backend) {}

    Control* Item(int id) override;
    void StartTimer(int milliseconds) override;

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
    // Gives each input control its label's text as its accessible name.
    void NameByLabels(const DialogTemplate& tmpl);

private:
    Dialog& owner_;
    ModalDialog& modal_;
    bool inSheet_;
    Backend& backend_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<QTimer> timer_;
};

// The modal dialog's window.
class QtDialogWindow : public QtWindow {
public:
    QtDialogWindow(const DialogTemplate& tmpl, ModalDialog& owner, Backend& backend);
    ~QtDialogWindow() override;
    void EndModal(int result) override;
    QDialog* Widget() const { return dialog_; }
    // What holds the controls and the sheet, at the design's size; it scrolls in the dialog
    // where the screen is smaller.
    QWidget* Content() const { return content_; }

private:
    QPointer<QDialog> dialog_;
    QPointer<QWidget> content_;
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

// The sizes of a dialog whose content is content, on a screen with room for the window
// (its work area less the frame): it shows all of the content where it fits, and scrolls
// with scroll bars scrollBar wide where it doesn't; the user may make it smaller, down to a
// minimum, or larger, up to the whole content.
struct DialogFit {
    QSize Size;
    QSize Minimum;
    QSize Maximum;
};
inline constexpr int MinimumDialogWidth = 320;
inline constexpr int MinimumDialogHeight = 240;
DialogFit FitDialog(QSize content, QSize room, int scrollBar);

// The id of the control a widget (or one of its parents) shows, or NoId.
int ControlIdOf(const QWidget* widget);

// What assistive technology is told of a sheet's tab bar and its tabs (only the tab of the
// page shown is focused, and only while the tab bar has the focus); null for other objects.
QAccessibleInterface* AccessibleSheetTabs(QObject* object);

// Has Qt ask the backend's own interfaces first; once per program.
void InstallAccessibleInterfaces();

} // namespace varnak::toolkit::qt
