#pragma once

// The toolkit on Qt 6 widgets (platform/toolkit/README.md).
// Implemented features:
//  [x] windows from templates in dialog units, from the template's 8-point font
//  [x] the notification rules, Enter, Escape, page keys, Tab order
//  [x] scrolling within the work area; list columns fitted and aligned
//  [x] focus always drawn
//  [x] roles and names for assistive technology (AT-SPI, through Qt's accessibility)
//  [x] driver (QtDriver.h): actions as Qt input events; keyboard, screen, screen reader

#include "platform/toolkit/Backend.h"
#include "platform/toolkit/Dialog.h"

#include <QFont>
#include <QRect>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace varnak::toolkit::qt {

// Pixels per 4 horizontal and per 8 vertical dialog units: the dialog font's average
// character width, unrounded so that a wider font doesn't cut labels off, and its height.
struct BaseUnits {
    double X = 0;
    double Y = 0;
};

// The font a template asks for: its "MS Shell Dlg" maps to the platform's standard dialog
// font, scaled by the template's point size against the usual 8 points.
QFont DialogFont(const DialogTemplate& tmpl);
BaseUnits MeasureBaseUnits(const QFont& font);
// Each edge is converted on its own, as Windows maps dialog rectangles.
QRect DialogUnitsToPixels(const Rect& rect, BaseUnits units);

// The widget that shows a control or a window of this backend; null for another backend's.
QWidget* WidgetOf(const Control& control);
QWidget* WidgetOf(const DialogWindow& window);
QWidget* WidgetOf(const SheetWindow& window);

// What the manual link opens: an address with a scheme as it stands, a path relative to
// the program's directory otherwise, so that an installed copy finds its manual wherever it
// was installed.
QUrl ResolveAddress(const std::string& address, const QString& programDirectory);

// Dialogs as Qt 6 widgets, following the Windows rules the dialogs were designed on. A
// QApplication must exist for as long as the backend is used. The modal run is Qt's own
// loop, and message boxes and the browser are real, unless a session stands in for the user
// (ScriptedQtBackend).
class QtBackend : public Backend {
public:
    QtBackend();

    std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& tmpl,
                                                     Dialog& owner) override;
    std::unique_ptr<SheetWindow> CreateSheetWindow(PropertySheet& sheet, DialogWindow& parent,
                                                   int x, int y) override;
    std::unique_ptr<DialogWindow> CreatePageWindow(const DialogTemplate& tmpl, Dialog& owner,
                                                   SheetWindow& sheet, int index) override;

    void RunModal(ModalDialog& dialog) override;
    std::string LocationOf(const std::string& address) const override;

protected:
    void ShowMessageBox(DialogWindow* owner, const std::string& text, const std::string& title,
                        MessageIcon icon) override;
    bool OpenInBrowser(const std::string& address) override;
};

} // namespace varnak::toolkit::qt
