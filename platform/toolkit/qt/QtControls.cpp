#include "platform/toolkit/qt/QtControls.h"

#include "platform/toolkit/qt/QtWindows.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionFocusRect>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <functional>

namespace varnak::toolkit::qt {
namespace {

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

// What assistive technology is told of a radio button: one of a group, although the
// adapter keeps the group (Qt reports a radio button that is not auto-exclusive as a check
// box).
class RadioAccessible : public QAccessibleWidget {
public:
    explicit RadioAccessible(QRadioButton* radio)
        : QAccessibleWidget(radio, QAccessible::RadioButton) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button().isChecked();
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return Button().text();
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled()) {
            Button().click();
        }
    }

private:
    QAbstractButton& Button() const { return *static_cast<QAbstractButton*>(widget()); }
};

// A link that can be followed: activating it does what Enter does.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkWidget* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return static_cast<LinkWidget*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled()) {
            static_cast<LinkWidget*>(widget())->Activated();
        }
    }
};

class LinkControl : public QtControl<Link, LinkWidget> {
public:
    LinkControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new LinkWidget(&parent)) {
        W().setText(ToQt(context.Template.Text));
        W().Activated = [this] {
            const bool opened = OwnerWindow().GetBackend().OpenUrl(url_);
            Notify(Notification::Clicked);
            if (!opened) {
                Notify(Notification::OpenFailed);
            }
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
        if ((styles & Style::Border) != 0) {
            // A solid one-pixel border: the style's own, drawn between device pixels at a
            // scale such as 1.25, fades into a white page on three of its sides.
            W().setStyleSheet(QStringLiteral("QPlainTextEdit { border: 1px solid palette(mid); }"));
        }
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

Qt::Alignment AlignmentOf(ColumnAlign align) {
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

// Tells of the Delete key instead of handling it, as a Windows list view does; the arrow
// keys select the row they land on, as there. A table, so that assistive technology
// announces it as one, with its column headings.
class ListWidget : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    std::function<void()> DeletePressed;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
            event->accept();
            DeletePressed();
            return;
        }
        QTableWidget::keyPressEvent(event);
        // Qt moves the focus onto a row without selecting it when there was no current row,
        // and on a one-row list the arrow keys then have nowhere to go: Delete found nothing.
        const bool navigation = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                                event->key() == Qt::Key_Home || event->key() == Qt::Key_End ||
                                event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
        const QModelIndex current = currentIndex();
        if (navigation && current.isValid() &&
            !selectionModel()->isRowSelected(current.row(), QModelIndex())) {
            selectRow(current.row());
        }
    }
};

// A report-style list view: rows of cells under column headings, one row selectable. It
// notifies whenever the selected row changes, by the user or by deleting it.
class ListControl : public QtControl<ListView, ListWidget> {
public:
    ListControl(const ControlContext& context, QWidget& parent)
        : QtControl(context, new ListWidget(&parent)) {
        W().DeletePressed = [this] { Notify(Notification::KeyDelete); };
        W().verticalHeader()->hide();
        W().verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        W().verticalHeader()->setDefaultSectionSize(W().fontMetrics().height() + 4);
        W().setShowGrid(false);
        W().setWordWrap(false);
        W().setCornerButtonEnabled(false);
        // Tab leaves the list, as it leaves a Windows list view; the arrow keys move in it.
        W().setTabKeyNavigation(false);
        W().setSortingEnabled(false);
        W().setSelectionMode(QAbstractItemView::SingleSelection);
        W().setSelectionBehavior(QAbstractItemView::SelectRows);
        W().setEditTriggers(QAbstractItemView::NoEditTriggers);
        W().horizontalHeader()->setStretchLastSection(false);
        W().horizontalHeader()->setSectionsMovable(false);
        W().horizontalHeader()->setHighlightSections(false);
        W().setColumnCount(0);
        QObject::connect(W().selectionModel(), &QItemSelectionModel::selectionChanged, &W(),
                         [this] {
                             if (!deleting_) {
                                 SelectionMayHaveChanged();
                             }
                         });
    }
    void SetText(std::string_view) override {}
    std::string GetText() const override { return {}; }

    int InsertColumn(int column, std::string_view heading, ColumnAlign align, int widthPixels,
                     std::string_view /*widestCell*/) override {
        const int at = std::clamp(column, 0, GetColumnCount());
        columns_.insert(columns_.begin() + at, {ToQt(heading), AlignmentOf(align), align,
                                                widthPixels, HeadingWidth(heading)});
        W().insertColumn(at);
        auto* headingItem = new QTableWidgetItem(ToQt(heading));
        headingItem->setTextAlignment(AlignmentOf(align));
        W().setHorizontalHeaderItem(at, headingItem);
        for (int row = 0; row < W().rowCount(); ++row) {
            Cell(row, at).setTextAlignment(AlignmentOf(align));
        }
        Arrange();
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
        W().insertRow(at);
        for (int column = 0; column < GetColumnCount(); ++column) {
            Cell(at, column);
        }
        SetItemText(at, 0, text);
        return at;
    }
    void SetItemText(int row, int column, std::string_view text) override {
        if (row >= 0 && row < GetItemCount() && column >= 0 && column < GetColumnCount()) {
            Cell(row, column).setText(ToQt(text));
            Fit(column, ToQt(text));
        }
    }
    std::string GetItemText(int row, int column) const override {
        const QTableWidgetItem* item = W().item(row, column);
        return item != nullptr ? FromQt(item->text()) : std::string();
    }
    void DeleteItem(int row) override {
        if (row < 0 || row >= GetItemCount()) {
            return;
        }
        const int selected = SelectedRow();
        deleting_ = true;
        W().removeRow(row);
        // Qt moves the selection to the row that takes the deleted one's place; Windows
        // leaves no row selected, and another selected row keeps its selection.
        W().clearSelection();
        if (selected >= 0 && selected != row) {
            W().selectRow(selected > row ? selected - 1 : selected);
        }
        deleting_ = false;
        // The row is gone before anyone hears of it, as on Windows.
        SelectionMayHaveChanged();
    }
    int GetItemCount() const override { return W().rowCount(); }
    int GetNextSelected(int start) const override {
        const int row = SelectedRow();
        return row > start ? row : -1;
    }

private:
    struct Column {
        QString Heading;
        Qt::Alignment Align;
        ColumnAlign Given;
        int WidthPixels;
        int Needed = 0; // the heading's width, or the widest cell's shown so far
    };

    // The widths are pixels of the design's font at 96 DPI; they grow with the dialog's
    // font as its dialog units do, so that the headings fit as they were meant to.
    int ScaledWidth(int designPixels) const {
        const double scale = MeasureBaseUnits(W().font()).X / DesignBaseUnitX;
        return static_cast<int>(std::lround(designPixels * std::max(scale, 1.0)));
    }

    // The cell, made when it has none yet, with its column's alignment.
    QTableWidgetItem& Cell(int row, int column) {
        QTableWidgetItem* item = W().item(row, column);
        if (item == nullptr) {
            item = new QTableWidgetItem();
            item->setTextAlignment(columns_[static_cast<std::size_t>(column)].Align);
            W().setItem(row, column, item);
        }
        return *item;
    }

    int SelectedRow() const {
        const QModelIndexList rows = W().selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }

    // Compares rows as the model keeps them, not positions: inserting or deleting other rows
    // moves the selected row without changing the selection.
    void SelectionMayHaveChanged() {
        const QModelIndexList rows = W().selectionModel()->selectedRows();
        const QPersistentModelIndex now = rows.isEmpty() ? QModelIndex() : rows.front();
        if (now == selected_) {
            return;
        }
        selected_ = now;
        Notify(Notification::ItemChanged);
    }

    // A heading's text with a gap of half an average character on either side beyond the
    // header's own margins, so that neighbouring headings never run together. (The header's
    // size hint makes room for a sort arrow that these lists never show, and would push the
    // last column behind a scroll bar.)
    int HeadingWidth(std::string_view heading) const {
        const int margin = W().style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &W());
        const int gap = W().fontMetrics().averageCharWidth() / 2;
        return W().fontMetrics().horizontalAdvance(ToQt(heading)) + 2 * (margin + gap);
    }

    // Makes room for a cell's text when its column has none; what a column needed stays
    // needed while the list lives, so that columns don't jump as rows come and go.
    void Fit(int column, const QString& text) {
        Column& each = columns_[static_cast<std::size_t>(column)];
        if (CellWidth(text) > each.Needed) {
            each.Needed = CellWidth(text);
            Arrange();
        }
    }

    // Each column at its design width where the list has room for all of them, never below
    // what its heading and cells need; where the design widths don't fit, the room left
    // after every column's need is shared in proportion to what the design gives beyond it,
    // so that every heading shows at the list's width as long as the needs do.
    void Arrange() {
        const int room = W().maximumViewportSize().width();
        int needed = 0;
        int beyond = 0;
        for (const Column& each : columns_) {
            needed += each.Needed;
            beyond += std::max(0, ScaledWidth(each.WidthPixels) - each.Needed);
        }
        const int spare = std::max(0, room - needed);
        for (std::size_t index = 0; index < columns_.size(); ++index) {
            const Column& each = columns_[index];
            const int extra = std::max(0, ScaledWidth(each.WidthPixels) - each.Needed);
            const int share =
                spare >= beyond || beyond == 0
                    ? extra
                    : static_cast<int>(static_cast<long long>(extra) * spare / beyond);
            W().horizontalHeader()->resizeSection(static_cast<int>(index), each.Needed + share);
        }
    }

    // A cell's text between the margins the style keeps on either side of it.
    int CellWidth(const QString& text) const {
        const int margin =
            W().style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &W()) + 1;
        return W().fontMetrics().horizontalAdvance(text) + 2 * margin + 2;
    }

    std::vector<Column> columns_;
    QPersistentModelIndex selected_;
    bool deleting_ = false;
};

} // namespace

QAccessibleInterface* AccessibleControl(QObject* object) {
    // Every radio button of the toolkit keeps its group itself. Qt may ask while the button
    // is still being constructed, before it is a RadioWidget, and keeps the first answer.
    if (auto* radio = qobject_cast<QRadioButton*>(object)) {
        return new RadioAccessible(radio);
    }
    if (auto* link = dynamic_cast<LinkWidget*>(object)) {
        return new LinkAccessible(link);
    }
    return nullptr;
}

QString ToQt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

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

} // namespace varnak::toolkit::qt
