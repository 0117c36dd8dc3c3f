#include "platform/toolkit/qt/QtWindows.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace varnak::toolkit::qt {
namespace {

constexpr const char* ControlIdProperty = "varnakControlId";

// The Windows rules for Enter and Escape. Keys in the dialog's own controls go through its
// pre-dispatch filter; keys inside the property sheet go to the sheet first, which has no
// buttons and so does nothing with Enter; the link takes Enter itself.
class KeyRouter : public QObject {
public:
    KeyRouter(ModalDialog& modal, QtWindow* window, bool inSheet, QObject* parent)
        : QObject(parent), modal_(modal), window_(window), inSheet_(inSheet) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        if (const int step = PageStep(*static_cast<QKeyEvent*>(event))) {
            // Taken before the control sees it, so that no list changes its selection.
            if (event->type() == QEvent::KeyPress && modal_.IsRunning()) {
                SwitchPage(step);
            }
            return true;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = IsEnterKey(key);
        if (!enter && key != Qt::Key_Escape) {
            return false;
        }
        if (!modal_.IsRunning()) {
            return true;
        }
        const auto* widget = qobject_cast<QWidget*>(watched);
        Control* control = window_ != nullptr ? window_->ControlOf(widget) : nullptr;
        if (enter && control != nullptr && control->Kind() == ControlKind::Link && !inSheet_) {
            return false;
        }
        if (enter && inSheet_) {
            return true;
        }
        const bool down = event->type() == QEvent::KeyPress;
        const KeyMessage message{down ? KeyMessage::Type::KeyDown : KeyMessage::Type::KeyUp,
                                 enter ? VirtualKeyReturn : VirtualKeyEscape,
                                 control != nullptr ? control->Id() : FocusId()};
        if (modal_.PreTranslateMessage(message) || !down) {
            return true;
        }
        if (enter) {
            PressDefaultButton(control);
        } else {
            modal_.Notify(IdCancel, Notification::Clicked);
        }
        return true;
    }

private:
    // Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and Ctrl+PgUp to the one
    // before; 0 for any other key.
    static int PageStep(const QKeyEvent& key) {
        const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
        const bool shift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
        if (modifiers == Qt::ControlModifier) {
            switch (key.key()) {
            case Qt::Key_Tab:
            case Qt::Key_PageDown:
                return 1;
            case Qt::Key_PageUp:
                return -1;
            default:
                return 0;
            }
        }
        return shift && (key.key() == Qt::Key_Backtab || key.key() == Qt::Key_Tab) ? -1 : 0;
    }

    // As a click on the tab does; a focus left on the page that went away moves to the tabs.
    void SwitchPage(int step) {
        PropertySheet* sheet = modal_.ChildSheet();
        const auto* dialog = static_cast<QtDialogWindow*>(modal_.Window());
        if (sheet == nullptr || sheet->GetPageCount() == 0 || dialog == nullptr) {
            return;
        }
        const int count = sheet->GetPageCount();
        sheet->SetActivePage(((sheet->GetActiveIndex() + step) % count + count) % count);
        QWidget* focus = dialog->Widget()->focusWidget();
        if (focus == nullptr || !focus->isVisible()) {
            if (auto* tabs = dialog->Widget()->findChild<QTabWidget*>()) {
                tabs->tabBar()->setFocus(Qt::TabFocusReason);
            }
        }
    }

    int FocusId() const {
        const auto* dialog = static_cast<QtDialogWindow*>(modal_.Window());
        return dialog != nullptr && dialog->Widget() != nullptr
                   ? ControlIdOf(dialog->Widget()->focusWidget())
                   : NoId;
    }

    // What a dialog does with an Enter that no filter took: a focused push button is
    // pressed, otherwise OK.
    void PressDefaultButton(const Control* focused) {
        const int target =
            focused != nullptr && focused->Kind() == ControlKind::PushButton ? focused->Id() : IdOk;
        const Control* button = modal_.GetDlgItem(target);
        if (button != nullptr && button->IsEnabled()) {
            modal_.Notify(target, Notification::Clicked);
        }
    }

    ModalDialog& modal_;
    QtWindow* window_;
    bool inSheet_;
};

// A page's place in the sheet, as big as the largest page.
class PageAreaWidget : public QWidget {
public:
    PageAreaWidget(QSize size, QWidget* parent) : QWidget(parent), size_(size) {
        setMinimumSize(size);
    }
    QSize sizeHint() const override { return size_; }

private:
    QSize size_;
};

// The dialog's frame: the close box cancels through the dialog's own handling. Its content
// scrolls where the screen is too small for it.
class DialogWidget : public QDialog {
public:
    DialogWidget()
        : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {}
    std::function<void()> Cancelled;
    QScrollArea* Scroll = nullptr;

    void reject() override {
        if (Cancelled) {
            Cancelled();
        }
    }

    void setVisible(bool visible) override {
        if (visible && !isVisible()) {
            FitToScreen();
        }
        QDialog::setVisible(visible);
    }

private:
    void FitToScreen() {
        const QScreen* where = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
        if (where == nullptr || Scroll == nullptr || Scroll->widget() == nullptr) {
            return;
        }
        // The frame isn't known before the window manager has framed the window.
        const int title =
            std::max(style()->pixelMetric(QStyle::PM_TitleBarHeight), fontMetrics().height() + 12);
        constexpr int Border = 4;
        const QRect area = where->availableGeometry();
        const QSize room(area.width() - 2 * Border, area.height() - title - Border);
        const DialogFit fit = FitDialog(Scroll->widget()->size(), room,
                                        style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        setMinimumSize(fit.Minimum);
        setMaximumSize(fit.Maximum);
        resize(fit.Size);
    }
};

// Draws the focus around the controls whose style shows none of its own: read-only text
// and list views, empty or without a current row.
class FocusRing : public QFocusFrame {
public:
    using QFocusFrame::QFocusFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

bool ShowsNoFocusOfItsOwn(const QWidget* widget) {
    const auto* text = qobject_cast<const QPlainTextEdit*>(widget);
    return (text != nullptr && text->isReadOnly()) || qobject_cast<const QTableWidget*>(widget);
}

QSize PixelSize(const DialogTemplate& tmpl) {
    return DialogUnitsToPixels({0, 0, tmpl.Width, tmpl.Height}, MeasureBaseUnits(DialogFont(tmpl)))
        .size();
}

} // namespace

DialogFit FitDialog(QSize content, QSize room, int scrollBar) {
    QSize size = content;
    const bool tall = content.height() > room.height();
    const bool wide = content.width() + (tall ? scrollBar : 0) > room.width();
    if (tall) {
        size.rwidth() += scrollBar;
    }
    if (wide) {
        size.rheight() += scrollBar;
    }
    const QSize fitted = size.boundedTo(room.expandedTo(QSize(1, 1)));
    const QSize most = content + QSize(scrollBar, scrollBar);
    return {fitted, fitted.boundedTo(QSize(MinimumDialogWidth, MinimumDialogHeight)),
            tall || wide ? most : content};
}

namespace {

// One tab of a sheet's tab bar. Qt's own says the current tab is focused whether the tab
// bar has the focus or not, so a screen reader hears a page tab where the focus isn't.
class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(QTabBar* bar, int index) : bar_(bar), index_(index) {}

    bool isValid() const override { return bar_ != nullptr && index_ < bar_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return bar_ != nullptr ? bar_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QVector<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation) const override {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid()
                   ? bar_->tabText(index_).remove(QLatin1Char('&'))
                   : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect tab = bar_->tabRect(index_);
        return {bar_->mapToGlobal(tab.topLeft()), tab.size()};
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool shown = index_ == bar_->currentIndex();
        state.selectable = true;
        state.selected = shown;
        state.focusable = true;
        state.focused = shown && bar_->hasFocus();
        state.disabled = !bar_->isTabEnabled(index_);
        state.invisible = !bar_->isVisible();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid()) {
            bar_->setCurrentIndex(index_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> bar_;
    int index_;
};

// A sheet's tab bar: a page tab list whose children are its tabs.
class TabBarAccessible : public QAccessibleWidget {
public:
    explicit TabBarAccessible(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~TabBarAccessible() override {
        for (const QAccessible::Id id : tabs_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return Bar().count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        if (tabs_.size() <= static_cast<std::size_t>(index)) {
            tabs_.resize(static_cast<std::size_t>(index) + 1, 0);
        }
        QAccessible::Id& id = tabs_[static_cast<std::size_t>(index)];
        if (id == 0) {
            id = QAccessible::registerAccessibleInterface(new TabAccessible(&Bar(), index));
        }
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t index = 0; index < tabs_.size(); ++index) {
            if (tabs_[index] != 0 && QAccessible::accessibleInterface(tabs_[index]) == child) {
                return static_cast<int>(index);
            }
        }
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        return Bar().hasFocus() ? child(Bar().currentIndex()) : nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name
                   ? Bar().tabText(Bar().currentIndex()).remove(QLatin1Char('&'))
                   : QAccessibleWidget::text(kind);
    }

private:
    QTabBar& Bar() const { return *static_cast<QTabBar*>(widget()); }
    mutable std::vector<QAccessible::Id> tabs_;
};

QAccessibleInterface* BackendInterface(const QString&, QObject* object) {
    if (QAccessibleInterface* control = AccessibleControl(object)) {
        return control;
    }
    return AccessibleSheetTabs(object);
}

} // namespace

QAccessibleInterface* AccessibleSheetTabs(QObject* object) {
    auto* bar = qobject_cast<QTabBar*>(object);
    if (bar == nullptr || dynamic_cast<SheetTabs*>(bar->parentWidget()) == nullptr) {
        return nullptr;
    }
    return new TabBarAccessible(bar);
}

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(BackendInterface);
        return true;
    }();
    (void)installed;
}

int ControlIdOf(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const QVariant id = widget->property(ControlIdProperty);
        if (id.isValid()) {
            return id.toInt();
        }
    }
    return NoId;
}

Control* QtWindow::Item(int id) {
    return FindControl(controls_, id);
}

void QtWindow::StartTimer(int milliseconds) {
    if (!timer_) {
        timer_ = std::make_unique<QTimer>();
        QObject::connect(timer_.get(), &QTimer::timeout, [this] { owner_.OnTimer(); });
    }
    timer_->start(milliseconds);
}

void QtWindow::BuildControls(const DialogTemplate& tmpl, QWidget& parent) {
    const BaseUnits units = MeasureBaseUnits(DialogFont(tmpl));
    auto* router = new KeyRouter(modal_, this, inSheet_, &parent);
    int unplacedTop = 0;
    for (const auto& each : tmpl.Controls) {
        auto control = MakeControl({each, *this}, parent);
        QWidget* widget = WidgetOf(*control);
        QRect place = PlaceControl(each, *widget, units);
        if (place.isEmpty()) {
            // A template without rectangles (a test's, say) still gets reachable controls:
            // each at its natural size, one below the other.
            place = QRect(QPoint(0, unplacedTop), widget->sizeHint().expandedTo(QSize(8, 8)));
            unplacedTop = place.bottom() + 1;
        }
        widget->setGeometry(place);
        if (each.Id != NoId) {
            widget->setProperty(ControlIdProperty, each.Id);
        }
        widget->installEventFilter(router);
        widget->show();
        controls_.push_back(std::move(control));
    }
    NameByLabels(tmpl);
}

void QtWindow::NameByLabels(const DialogTemplate& tmpl) {
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        if (const std::string& name = tmpl.Controls[index].AccessibleName; !name.empty()) {
            WidgetOf(*controls_[index])->setAccessibleName(ToQt(name));
            continue;
        }
        const ControlTemplate* label = LabelOf(tmpl, index);
        if (label == nullptr) {
            continue;
        }
        QWidget* widget = WidgetOf(*controls_[index]);
        widget->setAccessibleName(ToQt(label->Text));
        const auto labelIndex = static_cast<std::size_t>(label - tmpl.Controls.data());
        if (auto* text = qobject_cast<QLabel*>(WidgetOf(*controls_[labelIndex]))) {
            text->setBuddy(widget);
        }
    }
}

void QtWindow::ClearRadioGroup(const Control& clicked) {
    toolkit::ClearRadioGroup(controls_, clicked);
}

Control* QtWindow::ControlOf(const QWidget* widget) const {
    for (const auto& control : controls_) {
        if (WidgetOf(*control) == widget) {
            return control.get();
        }
    }
    return nullptr;
}

void QtWindow::DestroyControls() {
    for (const auto& control : controls_) {
        delete WidgetOf(*control);
    }
    controls_.clear();
}

QtDialogWindow::QtDialogWindow(const DialogTemplate& tmpl, ModalDialog& owner, Backend& backend)
    : QtWindow(owner, owner, false, backend) {
    auto* dialog = new DialogWidget();
    dialog_ = dialog;
    dialog->Cancelled = [&owner] {
        if (owner.IsRunning()) {
            owner.Notify(IdCancel, Notification::Clicked);
        }
    };
    dialog->setWindowTitle(ToQt(tmpl.Caption));
    dialog->setFont(DialogFont(tmpl));
    dialog->setModal(true);
    // The focus is drawn from the start, not only once the user has pressed Tab.
    dialog->setAttribute(Qt::WA_KeyboardFocusChange);
    auto* scroll = new QScrollArea(dialog);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(false);
    auto* content = new QWidget();
    content->setFixedSize(PixelSize(tmpl));
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    dialog->Scroll = scroll;
    content_ = content;
    BuildControls(tmpl, *content);
    auto* ring = new FocusRing(dialog);
    ring->hide();
    QObject::connect(qApp, &QApplication::focusChanged, dialog,
                     [dialog, scroll, ring](QWidget*, QWidget* now) {
                         const bool ours = now != nullptr && scroll->widget()->isAncestorOf(now);
                         if (ours) {
                             // Qt forgets that the focus is to be drawn after a click.
                             dialog->setAttribute(Qt::WA_KeyboardFocusChange);
                             scroll->ensureWidgetVisible(now, 8, 8);
                         }
                         ring->setWidget(ours && ShowsNoFocusOfItsOwn(now) ? now : nullptr);
                     });
    // Keys that reach the dialog itself (from the sheet's tab bar, say) follow the rules too.
    dialog->installEventFilter(new KeyRouter(owner, nullptr, false, dialog));
}

QtDialogWindow::~QtDialogWindow() {
    DestroyControls();
    delete dialog_;
}

void QtDialogWindow::EndModal(int result) {
    if (dialog_ != nullptr) {
        dialog_->done(result);
    }
}

QtPageWindow::QtPageWindow(const DialogTemplate& tmpl, Dialog& owner, QtSheetWindow& sheet,
                           int index, Backend& backend)
    : QtWindow(owner, sheet.Parent().Modal(), true, backend), sheet_(sheet),
      area_(sheet.PageArea(index)) {
    BuildControls(tmpl, *area_);
}

QtPageWindow::~QtPageWindow() {
    DestroyControls();
}

QtSheetWindow::QtSheetWindow(PropertySheet& sheet, QtDialogWindow& parent, int x, int y)
    : sheet_(sheet), parent_(parent) {
    QWidget* dialog = parent.Content();
    tabs_ = new SheetTabs(dialog);
    QSize largest;
    for (int index = 0; index < sheet.GetPageCount(); ++index) {
        largest = largest.expandedTo(PixelSize(sheet.GetPage(index).Template()));
    }
    for (int index = 0; index < sheet.GetPageCount(); ++index) {
        tabs_->addTab(new PageAreaWidget(largest, tabs_),
                      ToQt(sheet.GetPage(index).Template().Caption));
    }
    // Placed in dialog units, the sheet stays clear of the General Settings group at every
    // font size and scaling.
    const Rect units = DesignPixelsToDialogUnits(x, y);
    const QPoint origin = DialogUnitsToPixels(units, MeasureBaseUnits(dialog->font())).topLeft();
    tabs_->setGeometry(QRect(origin, tabs_->sizeHint()));
    tabs_->tabBar()->installEventFilter(new KeyRouter(parent.Modal(), nullptr, true, tabs_));
    QObject::connect(tabs_, &QTabWidget::currentChanged, tabs_, [this](int index) {
        if (!showing_) {
            sheet_.SetActivePage(index);
        }
    });
    tabs_->show();
}

QtSheetWindow::~QtSheetWindow() {
    delete tabs_;
}

void QtSheetWindow::ShowPage(int index, DialogWindow&) {
    showing_ = true;
    tabs_->setCurrentIndex(index);
    showing_ = false;
}

QWidget* QtSheetWindow::PageArea(int index) const {
    return tabs_->widget(index);
}

} // namespace varnak::toolkit::qt
