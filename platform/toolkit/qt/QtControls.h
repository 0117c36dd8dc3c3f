#pragma once

// The backend's control adapters: a toolkit control over a Qt widget each, made by the
// windows that hold them and acted on by the driver.

#include "platform/toolkit/Controls.h"
#include "platform/toolkit/Template.h"
#include "platform/toolkit/qt/QtBackend.h"

#include <QAccessible>
#include <QRect>
#include <QString>

#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace varnak::toolkit::qt {

class QtWindow;

// What assistive technology is told of the controls whose Qt widgets would say the wrong
// thing: radio buttons (Qt calls ours check boxes) and the link; null for the others.
QAccessibleInterface* AccessibleControl(QObject* object);

QString ToQt(std::string_view text);
std::string FromQt(const QString& text);
bool IsEnterKey(int key);

// Where a control lives: the window it belongs to, and through it the dialog that gets its
// notifications and the modal dialog whose key filter sees its keys.
struct ControlContext {
    const ControlTemplate& Template;
    QtWindow& Window;
};

// What every control adapter offers besides its toolkit interface.
class QtControlAccess {
public:
    virtual ~QtControlAccess() = default;
    virtual QWidget* Widget() const = 0;
};

// The adapter of a template's control, with its widget a child of parent.
std::unique_ptr<Control> MakeControl(const ControlContext& context, QWidget& parent);
// The rectangle a control gets. A drop-down list's template height is that of its open
// list; closed it is as high as its font needs, and its list shows what fits.
QRect PlaceControl(const ControlTemplate& tmpl, QWidget& widget, BaseUnits units);

} // namespace varnak::toolkit::qt
