#include "platform/toolkit/qt/QtBackend.h"

#include "platform/toolkit/qt/QtWindows.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QTabBar>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace varnak::toolkit::qt {
namespace {

constexpr const char* ControlIdProperty = "varnakControlId";

QString ToQt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

// One edge of a dialog rectangle in pixels, rounded to the nearest pixel.
int ToPixels(int units, double pixelsPerBase, int unitsPerBase) {
    return static_cast<int>(std::lround(units * pixelsPerBase / unitsPerBase));
}

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

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

// The state every control adapter has; Interface is the toolkit's view of its kind.
template <class Interface, class WidgetType>
class QtControl : public Interface, public QtControlAccess {
public:
    QtControl(const ControlContext& context, WidgetType* widget)
        : template_(context.Template), window_(context.Window), widget_(widget) {}

    int Id() const override { return template_.Id; }
    ControlKind Kind() const override { return template_.Kind; }
    void Enable(bool enable) override { widget_->setEnabled(enable); }
    // Its own state, as Windows reports it, whatever its parents' state.
    bool IsEnabled() const override { return !widget_->testAttribute(Qt::WA_ForceDisabled); }
    void SetFocus() override { widget_->setFocus(Qt::OtherFocusReason); }

    QWidget* Widget() const override { return widget_; }
    const ControlTemplate& Template() const override { return template_; }

protected:
    void Notify(Notification code) { window_.Owner().Notify(template_.Id, code); }
    WidgetType& W() const { return *widget_; }
    QtWindow& OwnerWindow() const { return window_; }

private:
    const ControlTemplate& template_;
    QtWindow& window_;
    QPointer<WidgetType> widget_;
};

class LabelControl : public QtControl<Control, QLabel> {
public:
    LabelControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new QLabel(&parent)) {
        W().setTextFormat(Qt::PlainText);
        // Static text wraps at word boundaries and starts at the top left, as on Windows.
        W().setWordWrap(true);
        W().setAlignment(Qt::AlignLeft | Qt::AlignTop);
        W().setText(ToQt(context.Template.Text));
    }
    void SetText(std::string_view text) override { W().setText(ToQt(text)); }
    std::string GetText() const override { return FromQt(W().text()); }
};

class GroupControl : public QtControl<Control, QGroupBox> {
public:
    GroupControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new QGroupBox(ToQt(context.Template.Text), &parent)) {}
    void SetText(std::string_view text) override { W().setTitle(ToQt(text)); }
    std::string GetText() const override { return FromQt(W().title()); }
};

// Windows buttons react to a click anywhere in their rectangle.
class RadioWidget : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    // An auto radio button is checked by every click; its group is cleared by the adapter.
    void nextCheckState() override { setChecked(true); }
};

class CheckWidget : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

QAbstractButton* MakeButtonWidget(const ControlTemplate& tmpl, QWidget& parent) {
    const QString text = ToQt(tmpl.Text);
    switch (tmpl.Kind) {
    case ControlKind::RadioButton: {
        auto* radio = new RadioWidget(text, &parent);
        radio->setAutoExclusive(false);
        return radio;
    }
    case ControlKind::CheckBox:
        return new CheckWidget(text, &parent);
    default:
        break;
    }
    auto* push = new QPushButton(text, &parent);
    // Enter is the dialog's business (its key filter), never a default button's.
    push->setAutoDefault(false);
    push->setDefault(false);
    return push;
}

class ButtonControl : public QtControl<Button, QAbstractButton> {
public:
    ButtonControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, MakeButtonWidget(context.Template, parent)) {
        QObject::connect(&W(), &QAbstractButton::clicked, &W(), [this] {
            if (Kind() == ControlKind::RadioButton) {
                OwnerWindow().ClearRadioGroup(*this);
            }
            Notify(Notification::Clicked);
        });
    }
    void SetText(std::string_view text) override { W().setText(ToQt(text)); }
    std::string GetText() const override { return FromQt(W().text()); }
    void SetCheck(bool checked) override { W().setChecked(checked); }
    bool GetCheck() const override { return W().isChecked(); }
};

// Hyperlink text: a click, or releasing Enter while it has the focus, activates it; Space
// does nothing.
class LinkWidget : public QLabel {
public:
    explicit LinkWidget(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, colours.color(QPalette::Link));
        setPalette(colours);
    }

    std::function<void()> Activated;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->setAccepted(event->button() == Qt::LeftButton);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && TextRect().contains(event->position().toPoint())) {
            Activated();
        }
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (!IsEnterKey(event->key())) {
            QLabel::keyPressEvent(event);
        }
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        if (!IsEnterKey(event->key())) {
            QLabel::keyReleaseEvent(event);
            return;
        }
        if (!event->isAutoRepeat()) {
            Activated();
        }
    }
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (!hasFocus()) {
            return;
        }
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = TextRect().adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }

private:
    // Only the text is the link, not the empty rest of its rectangle.
    QRect TextRect() const {
        const QRect text =
            fontMetrics().boundingRect(rect(), static_cast<int>(alignment()), this->text());
        return text.intersected(rect());
    }
};

class LinkControl : public QtControl<Link, LinkWidget> {
public:
    LinkControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new LinkWidget(&parent)) {
        W().setText(ToQt(context.Template.Text));
        W().Activated = [this] {
            OwnerWindow().GetBackend().OpenUrl(url_);
            Notify(Notification::Clicked);
        };
    }
    void SetText(std::string_view text) override { W().setText(ToQt(text)); }
    std::string GetText() const override { return FromQt(W().text()); }
    void SetUrl(std::string_view address) override { url_ = address; }

private:
    std::string url_;
};

// Refuses typed non-digits when asked to; pasted text goes in as it is, as on Windows.
class LineEditWidget : public QLineEdit {
public:
    LineEditWidget(bool digitsOnly, QWidget* parent) : QLineEdit(parent), digitsOnly_(digitsOnly) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (digitsOnly_ && IsTypedNonDigit(*event)) {
            event->accept();
            QApplication::beep();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    static bool IsTypedNonDigit(const QKeyEvent& event) {
        if ((event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
            return false;
        }
        const QString text = event.text();
        return std::any_of(text.begin(), text.end(),
                           [](QChar c) { return c.isPrint() && !c.isDigit(); });
    }

    bool digitsOnly_;
};

class LineEditControl : public QtControl<Edit, LineEditWidget> {
public:
    LineEditControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new LineEditWidget((context.Template.Styles & Style::DigitsOnly) != 0,
                                                &parent)) {
        W().setReadOnly((context.Template.Styles & Style::ReadOnly) != 0);
        W().setText(ToQt(context.Template.Text));
        // textEdited: the user's changes only; changes from code notify in SetText.
        QObject::connect(&W(), &QLineEdit::textEdited, &W(),
                         [this] { Notify(Notification::EditChange); });
    }
    // Every change from code notifies, even to the same text.
    void SetText(std::string_view text) override {
        W().setText(ToQt(text));
        Notify(Notification::EditChange);
    }
    std::string GetText() const override { return FromQt(W().text()); }
    bool IsReadOnly() const override { return W().isReadOnly(); }
};

// Multi-line text as the program set it, line breaks and all; shown with plain line feeds.
class MultiLineEditControl : public QtControl<Edit, QPlainTextEdit> {
public:
    MultiLineEditControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new QPlainTextEdit(&parent)), text_(context.Template.Text) {
        const std::uint32_t styles = context.Template.Styles;
        W().setReadOnly((styles & Style::ReadOnly) != 0);
        W().setFrameShape((styles & Style::Border) != 0 ? QFrame::StyledPanel : QFrame::NoFrame);
        // Without horizontal scrolling a multi-line edit wraps its lines.
        W().setLineWrapMode((styles & Style::AutoHScroll) != 0 ? QPlainTextEdit::NoWrap
                                                               : QPlainTextEdit::WidgetWidth);
        W().setTabChangesFocus(true);
        Show();
        QObject::connect(&W(), &QPlainTextEdit::textChanged, &W(), [this] {
            if (settingText_) {
                return;
            }
            text_ = FromQt(W().toPlainText());
            Notify(Notification::EditChange);
        });
    }
    void SetText(std::string_view text) override {
        text_ = text;
        Show();
        Notify(Notification::EditChange);
    }
    std::string GetText() const override { return text_; }
    bool IsReadOnly() const override { return W().isReadOnly(); }

private:
    void Show() {
        settingText_ = true;
        W().setPlainText(ToQt(text_).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        settingText_ = false;
    }

    std::string text_;
    bool settingText_ = false;
};

// A drop-down list: no typing, never sorted; only the user's picks notify.
class ComboControl : public QtControl<ComboBox, QComboBox> {
public:
    ComboControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new QComboBox(&parent)) {
        W().setEditable(false);
        W().setInsertPolicy(QComboBox::NoInsert);
        // activated: the user's picks only, also of the item already selected.
        QObject::connect(&W(), &QComboBox::activated, &W(),
                         [this] { Notify(Notification::SelChange); });
    }
    void SetText(std::string_view) override {}
    std::string GetText() const override { return GetLBText(GetCurSel()); }

    int AddString(std::string_view text) override {
        const int before = W().currentIndex();
        W().addItem(ToQt(text));
        // Qt selects the first item added to an empty list; Windows selects nothing.
        if (before < 0) {
            W().setCurrentIndex(-1);
        }
        return W().count() - 1;
    }
    void SetCurSel(int index) override {
        W().setCurrentIndex(index >= 0 && index < W().count() ? index : -1);
    }
    int GetCurSel() const override { return W().currentIndex(); }
    int GetCount() const override { return W().count(); }
    std::string GetLBText(int index) const override {
        return index >= 0 && index < W().count() ? FromQt(W().itemText(index)) : std::string();
    }
};

Qt::Alignment ToQt(ColumnAlign align) {
    switch (align) {
    case ColumnAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlign::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlign::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// A report-style list view: rows of cells under column headings, one row selectable. It
// notifies whenever the selected row changes, by the user or by deleting it.
class ListControl : public QtControl<ListView, QTreeWidget> {
public:
    ListControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new QTreeWidget(&parent)) {
        W().setRootIsDecorated(false);
        W().setItemsExpandable(false);
        W().setUniformRowHeights(true);
        W().setAllColumnsShowFocus(true);
        W().setSortingEnabled(false);
        W().setSelectionMode(QAbstractItemView::SingleSelection);
        W().setSelectionBehavior(QAbstractItemView::SelectRows);
        W().setEditTriggers(QAbstractItemView::NoEditTriggers);
        W().header()->setStretchLastSection(false);
        W().header()->setSectionsMovable(false);
        W().setColumnCount(0);
        QObject::connect(&W(), &QTreeWidget::itemSelectionChanged, &W(), [this] {
            if (!deleting_) {
                SelectionMayHaveChanged();
            }
        });
    }
    void SetText(std::string_view) override {}
    std::string GetText() const override { return {}; }

    int InsertColumn(int column, std::string_view heading, ColumnAlign align,
                     int widthPixels) override {
        const int at = std::clamp(column, 0, GetColumnCount());
        columns_.insert(columns_.begin() + at, {ToQt(heading), ToQt(align), align, widthPixels});
        W().setColumnCount(GetColumnCount());
        for (int row = 0; row < W().topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = W().topLevelItem(row);
            for (int index = GetColumnCount() - 1; index > at; --index) {
                item->setText(index, item->text(index - 1));
            }
            item->setText(at, QString());
            AlignCells(*item);
        }
        QStringList headings;
        for (const auto& each : columns_) {
            headings << each.Heading;
        }
        W().setHeaderLabels(headings);
        for (int index = 0; index < GetColumnCount(); ++index) {
            W().headerItem()->setTextAlignment(index,
                                               columns_[static_cast<std::size_t>(index)].Align);
        }
        W().header()->resizeSection(at, ScaledWidth(widthPixels));
        return at;
    }
    int GetColumnCount() const override { return static_cast<int>(columns_.size()); }
    ListColumn GetColumn(int column) const override {
        if (column < 0 || column >= GetColumnCount()) {
            return {};
        }
        const Column& each = columns_[static_cast<std::size_t>(column)];
        return {FromQt(each.Heading), each.Given, each.WidthPixels};
    }

    int InsertItem(int row, std::string_view text) override {
        const int at = std::clamp(row, 0, GetItemCount());
        auto* item = new QTreeWidgetItem();
        item->setText(0, ToQt(text));
        AlignCells(*item);
        W().insertTopLevelItem(at, item);
        return at;
    }
    void SetItemText(int row, int column, std::string_view text) override {
        if (QTreeWidgetItem* item = W().topLevelItem(row); item != nullptr && column >= 0) {
            item->setText(column, ToQt(text));
        }
    }
    std::string GetItemText(int row, int column) const override {
        const QTreeWidgetItem* item = W().topLevelItem(row);
        return item != nullptr && column >= 0 ? FromQt(item->text(column)) : std::string();
    }
    void DeleteItem(int row) override {
        QTreeWidgetItem* item = W().topLevelItem(row);
        if (item == nullptr) {
            return;
        }
        const QList<QTreeWidgetItem*> selected = W().selectedItems();
        QTreeWidgetItem* keep =
            selected.isEmpty() || selected.front() == item ? nullptr : selected.front();
        deleting_ = true;
        delete W().takeTopLevelItem(row);
        // Qt moves the selection to the row that takes the deleted one's place; Windows
        // leaves no row selected.
        W().clearSelection();
        if (keep != nullptr) {
            keep->setSelected(true);
        }
        deleting_ = false;
        // The row is gone before anyone hears of it, as on Windows.
        SelectionMayHaveChanged();
    }
    int GetItemCount() const override { return W().topLevelItemCount(); }
    int GetNextSelected(int start) const override {
        const QList<QTreeWidgetItem*> selected = W().selectedItems();
        if (selected.isEmpty()) {
            return -1;
        }
        const int row = W().indexOfTopLevelItem(selected.front());
        return row > start ? row : -1;
    }

private:
    struct Column {
        QString Heading;
        Qt::Alignment Align;
        ColumnAlign Given;
        int WidthPixels;
    };

    // The widths are pixels of the design's font at 96 DPI; they grow with the dialog's
    // font as its dialog units do, so that the headings fit as they were meant to.
    int ScaledWidth(int designPixels) const {
        constexpr double DesignAverageWidth = 6.0; // "MS Shell Dlg" 8 pt at 96 DPI
        const double scale = MeasureBaseUnits(W().font()).X / DesignAverageWidth;
        return static_cast<int>(std::lround(designPixels * std::max(scale, 1.0)));
    }

    void AlignCells(QTreeWidgetItem& item) const {
        for (int index = 0; index < GetColumnCount(); ++index) {
            item.setTextAlignment(index, columns_[static_cast<std::size_t>(index)].Align);
        }
    }

    // Compares items, not positions: inserting or deleting other rows moves the selected
    // row without changing the selection.
    void SelectionMayHaveChanged() {
        const QList<QTreeWidgetItem*> selected = W().selectedItems();
        const QTreeWidgetItem* now = selected.isEmpty() ? nullptr : selected.front();
        if (now == selected_) {
            return;
        }
        selected_ = now;
        Notify(Notification::ItemChanged);
    }

    std::vector<Column> columns_;
    const QTreeWidgetItem* selected_ = nullptr;
    bool deleting_ = false;
};

std::unique_ptr<Control> MakeControl(const ControlContext& context, QWidget& parent) {
    switch (context.Template.Kind) {
    case ControlKind::Label:
        return std::make_unique<LabelControl>(context, parent);
    case ControlKind::GroupBox:
        return std::make_unique<GroupControl>(context, parent);
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
        return std::make_unique<ButtonControl>(context, parent);
    case ControlKind::ComboBox:
        return std::make_unique<ComboControl>(context, parent);
    case ControlKind::Edit:
        if ((context.Template.Styles & Style::MultiLine) != 0) {
            return std::make_unique<MultiLineEditControl>(context, parent);
        }
        return std::make_unique<LineEditControl>(context, parent);
    case ControlKind::Link:
        return std::make_unique<LinkControl>(context, parent);
    case ControlKind::ListView:
        return std::make_unique<ListControl>(context, parent);
    }
    return std::make_unique<LabelControl>(context, parent);
}

// The rectangle a control gets. A drop-down list's template height is that of its open
// list; closed it is as high as its font needs, and its list shows what fits.
QRect PlaceControl(const ControlTemplate& tmpl, QWidget& widget, BaseUnits units) {
    QRect rect = DialogUnitsToPixels(tmpl.Bounds, units);
    if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        const int closed = combo->sizeHint().height();
        const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
        combo->setMaxVisibleItems(std::max(3, (rect.height() - closed) / itemHeight));
        rect.setHeight(closed);
    }
    return rect;
}

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

// The dialog's frame: the close box cancels through the dialog's own handling.
class DialogWidget : public QDialog {
public:
    DialogWidget()
        : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {}
    std::function<void()> Cancelled;

    void reject() override {
        if (Cancelled) {
            Cancelled();
        }
    }
};

QSize PixelSize(const DialogTemplate& tmpl) {
    return DialogUnitsToPixels({0, 0, tmpl.Width, tmpl.Height}, MeasureBaseUnits(DialogFont(tmpl)))
        .size();
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
    QFont font = QGuiApplication::font();
    constexpr int StandardPointSize = 8;
    if (tmpl.FontSize > 0 && tmpl.FontSize != StandardPointSize) {
        font.setPointSizeF(font.pointSizeF() * tmpl.FontSize / StandardPointSize);
    }
    return font;
}

BaseUnits MeasureBaseUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    constexpr double Letters = 52;
    return {metrics.horizontalAdvance(alphabet) / Letters,
            static_cast<double>(QFontMetrics(font).height())};
}

QRect DialogUnitsToPixels(const Rect& rect, BaseUnits units) {
    const int left = ToPixels(rect.X, units.X, 4);
    const int top = ToPixels(rect.Y, units.Y, 8);
    const int right = ToPixels(rect.X + rect.Width, units.X, 4);
    const int bottom = ToPixels(rect.Y + rect.Height, units.Y, 8);
    return {QPoint(left, top), QSize(right - left, bottom - top)};
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

Control* QtWindow::Item(int id) {
    return FindControl(controls_, id);
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
    dialog->setFixedSize(PixelSize(tmpl));
    BuildControls(tmpl, *dialog);
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
    QDialog* dialog = parent.Widget();
    tabs_ = new SheetTabs(dialog);
    QSize largest;
    for (int index = 0; index < sheet.GetPageCount(); ++index) {
        largest = largest.expandedTo(PixelSize(sheet.GetPage(index).Template()));
    }
    for (int index = 0; index < sheet.GetPageCount(); ++index) {
        tabs_->addTab(new PageAreaWidget(largest, tabs_),
                      ToQt(sheet.GetPage(index).Template().Caption));
    }
    // The position comes as pixels of the design's font at 96 DPI; placed in the dialog
    // units they stand for, the sheet stays clear of the General Settings group at every
    // font size and scaling.
    constexpr int DesignBaseUnitX = 6; // "MS Shell Dlg" 8 pt at 96 DPI
    constexpr int DesignBaseUnitY = 13;
    const Rect units{(x * 4 + DesignBaseUnitX / 2) / DesignBaseUnitX,
                     (y * 8 + DesignBaseUnitY / 2) / DesignBaseUnitY, 0, 0};
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
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    ToQt(title), ToQt(text), QMessageBox::Ok,
                    parent != nullptr ? parent->window() : nullptr);
    box.exec();
}

void QtBackend::OpenInBrowser(const std::string& address) {
    QDesktopServices::openUrl(ResolveAddress(address, QCoreApplication::applicationDirPath()));
}

} // namespace varnak::toolkit::qt
