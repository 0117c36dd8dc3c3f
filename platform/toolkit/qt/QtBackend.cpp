#include "platform/toolkit/qt/QtBackend.h"

#include "platform/toolkit/qt/QtControls.h"
#include "platform/toolkit/qt/QtWindows.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMessageBox>

#include <cmath>
#include <stdexcept>

namespace varnak::toolkit::qt {
namespace {

// One edge of a dialog rectangle in pixels, rounded to the nearest pixel.
int ToPixels(int units, double pixelsPerBase, int unitsPerBase) {
    return static_cast<int>(std::lround(units * pixelsPerBase / unitsPerBase));
}

QMessageBox::Icon MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

ModalDialog& AsModal(Dialog& owner) {
    auto* modal = dynamic_cast<ModalDialog*>(&owner);
    if (modal == nullptr) {
        throw std::logic_error("a dialog window needs a modal dialog");
    }
    return *modal;
}

} // namespace

QFont DialogFont(const DialogTemplate& tmpl) {
    // The desktop's family at the template's size, as Windows takes "MS Shell Dlg" at it:
    // dialog units follow from this font, so a desktop default of 9 or 10 points would make
    // the dialog a fifth larger than its design, too large for a 768-pixel screen.
    QFont font = QGuiApplication::font();
    constexpr int StandardPointSize = 8;
    font.setPointSizeF(tmpl.FontSize > 0 ? tmpl.FontSize : StandardPointSize);
    return font;
}

BaseUnits MeasureBaseUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    constexpr double Letters = 52;
    // The font's own height, unrounded, as the average width is: rounding it up would make
    // the dialog's 432 units up to 27 pixels taller than the font asks for.
    return {metrics.horizontalAdvance(alphabet) / Letters, metrics.height()};
}

QRect DialogUnitsToPixels(const Rect& rect, BaseUnits units) {
    const int left = ToPixels(rect.X, units.X, 4);
    const int top = ToPixels(rect.Y, units.Y, 8);
    const int right = ToPixels(rect.X + rect.Width, units.X, 4);
    const int bottom = ToPixels(rect.Y + rect.Height, units.Y, 8);
    return {QPoint(left, top), QSize(right - left, bottom - top)};
}

QWidget* WidgetOf(const Control& control) {
    const auto* access = dynamic_cast<const QtControlAccess*>(&control);
    return access != nullptr ? access->Widget() : nullptr;
}

QWidget* WidgetOf(const DialogWindow& window) {
    if (const auto* dialog = dynamic_cast<const QtDialogWindow*>(&window)) {
        return dialog->Widget();
    }
    if (const auto* page = dynamic_cast<const QtPageWindow*>(&window)) {
        return page->Widget();
    }
    return nullptr;
}

QWidget* WidgetOf(const SheetWindow& window) {
    const auto* sheet = dynamic_cast<const QtSheetWindow*>(&window);
    return sheet != nullptr ? sheet->Tabs() : nullptr;
}

QUrl ResolveAddress(const std::string& address, const QString& programDirectory) {
    const QString text = ToQt(address);
    QUrl url(text);
    // A one-letter scheme is a Windows drive, not a scheme.
    if (url.isValid() && url.scheme().size() > 1) {
        return url;
    }
    if (QFileInfo(text).isAbsolute()) {
        return QUrl::fromLocalFile(QDir::cleanPath(text));
    }
    return QUrl::fromLocalFile(QDir::cleanPath(QDir(programDirectory).absoluteFilePath(text)));
}

std::unique_ptr<DialogWindow> QtBackend::CreateDialogWindow(const DialogTemplate& tmpl,
                                                            Dialog& owner) {
    return std::make_unique<QtDialogWindow>(tmpl, AsModal(owner), *this);
}

std::unique_ptr<SheetWindow> QtBackend::CreateSheetWindow(PropertySheet& sheet,
                                                          DialogWindow& parent, int x, int y) {
    return std::make_unique<QtSheetWindow>(sheet, static_cast<QtDialogWindow&>(parent), x, y);
}

std::unique_ptr<DialogWindow> QtBackend::CreatePageWindow(const DialogTemplate& tmpl, Dialog& owner,
                                                          SheetWindow& sheet, int index) {
    return std::make_unique<QtPageWindow>(tmpl, owner, static_cast<QtSheetWindow&>(sheet), index,
                                          *this);
}

QtBackend::QtBackend() {
    InstallAccessibleInterfaces();
}

void QtBackend::RunModal(ModalDialog& dialog) {
    if (Session() != nullptr) {
        Session()->Run(dialog);
        return;
    }
    static_cast<QtDialogWindow*>(dialog.Window())->Widget()->exec();
}

void QtBackend::ShowMessageBox(DialogWindow* owner, const std::string& text,
                               const std::string& title, MessageIcon icon) {
    QWidget* parent = owner != nullptr ? WidgetOf(*owner) : nullptr;
    QMessageBox box(MessageBoxIcon(icon), ToQt(title), ToQt(text), QMessageBox::Ok,
                    parent != nullptr ? parent->window() : nullptr);
    box.exec();
}

bool QtBackend::OpenInBrowser(const std::string& address) {
    return QDesktopServices::openUrl(
        ResolveAddress(address, QCoreApplication::applicationDirPath()));
}

std::string QtBackend::LocationOf(const std::string& address) const {
    const QUrl url = ResolveAddress(address, QCoreApplication::applicationDirPath());
    return FromQt(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString());
}

} // namespace varnak::toolkit::qt
