// What only the Qt backend can get wrong: where its widgets sit, how Qt's own signals and
// keys are bent to the toolkit's rules, and whole runs through real input events.
#include "platform/toolkit/qt/QtBackend.h"
#include "app/CVarnakApp.h"
#include "platform/toolkit/qt/QtWindows.h"
#include "tests/support/WorkedExamples.h"
#include "tests/ui/ProgramFixture.h"
#include "tests/ui/UserSteps.h"
#include "ui/ControlIds.h"
#include "ui/Templates.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace varnak {
namespace {

using namespace ids;
using test::Shown;
using toolkit::ControlKind;
using toolkit::Driver;
using toolkit::Rect;
using toolkit::qt::BaseUnits;
using toolkit::qt::DialogFont;
using toolkit::qt::DialogUnitsToPixels;
using toolkit::qt::MeasureBaseUnits;
using toolkit::qt::WidgetOf;

class QtBackendTest : public ::testing::Test, public test::ProgramFixture {
protected:
    using DialogUser = std::function<void(Driver&, COptionsDlg&)>;

    int RunOptions(const DialogUser& user) {
        COptionsDlg dialog(backend->Get(), registry.Registry(), &settings, commandLine);
        backend->SetUser([&](Driver& driver) { user(driver, dialog); });
        return dialog.DoModal();
    }

    static QWidget& Widget(const toolkit::Dialog& dialog, int id) {
        return *WidgetOf(*dialog.GetDlgItem(id));
    }
};

BaseUnits UnitsOf(const toolkit::DialogTemplate& tmpl) {
    return MeasureBaseUnits(DialogFont(tmpl));
}

TEST_F(QtBackendTest, ControlsSitOnTheirDialogUnitRectangles) {
    RunOptions([&](Driver& user, COptionsDlg& dialog) {
        const auto& tmpl = OptionsTemplate();
        const BaseUnits units = UnitsOf(tmpl);
        ASSERT_GT(units.X, 0);
        ASSERT_GT(units.Y, units.X) << "characters are higher than wide";
        // The controls' area has the design's size, whether or not it scrolls in the window.
        EXPECT_EQ(Widget(dialog, IDC_OK).parentWidget()->size(),
                  DialogUnitsToPixels({0, 0, tmpl.Width, tmpl.Height}, units).size());
        for (int id : {IDC_COPIES, IDC_OK, IDC_CANCEL, IDC_MANUAL_LINK, IDC_OVERLAY_DESCRIPTION,
                       IDC_SIMPLEX}) {
            EXPECT_EQ(Widget(dialog, id).geometry(),
                      DialogUnitsToPixels(tmpl.Find(id)->Bounds, units))
                << "control " << id;
        }
        // A drop-down list's template height is its open list's; closed it is lower.
        const QRect tray = Widget(dialog, IDC_DEFAULT_TRAY).geometry();
        const QRect trayUnits = DialogUnitsToPixels(tmpl.Find(IDC_DEFAULT_TRAY)->Bounds, units);
        EXPECT_EQ(tray.topLeft(), trayUnits.topLeft());
        EXPECT_EQ(tray.width(), trayUnits.width());
        EXPECT_LT(tray.height(), trayUnits.height());

        // Page controls sit in the page's own dialog units, inside the sheet.
        ASSERT_TRUE(user.SelectTab(1));
        const auto& cover = CoverPageTemplate();
        QWidget& remove = Widget(dialog.Sheet().GetPage(1), IDC_COVER_DELETE);
        EXPECT_EQ(remove.geometry(),
                  DialogUnitsToPixels(cover.Find(IDC_COVER_DELETE)->Bounds, UnitsOf(cover)));
    });
}

// The sheet keeps its place against the dialog's controls whatever the font's size.
TEST_F(QtBackendTest, SheetSitsBetweenTheGroupAndTheButtonsSizedToItsLargestPage) {
    RunOptions([&](Driver&, COptionsDlg& dialog) {
        const auto& tmpl = OptionsTemplate();
        const BaseUnits units = UnitsOf(tmpl);
        QWidget* window = WidgetOf(*dialog.Window());
        const auto* sheet = window->findChild<QTabWidget*>();
        ASSERT_NE(sheet, nullptr);
        const QRect place = sheet->geometry();
        EXPECT_EQ(place.topLeft(), DialogUnitsToPixels({3, 123, 0, 0}, units).topLeft());
        const QRect group = DialogUnitsToPixels({7, 7, 478, 94}, units);
        EXPECT_GT(place.top(), group.bottom()) << "the sheet overlaps the group";
        EXPECT_LT(place.bottom(), Widget(dialog, IDC_OK).geometry().top());
        EXPECT_LE(place.right(), sheet->parentWidget()->width());
        const QSize largest =
            DialogUnitsToPixels({0, 0, 441, 245}, UnitsOf(ChapterPrintingTemplate())).size();
        for (int index = 0; index < sheet->count(); ++index) {
            EXPECT_GE(sheet->widget(index)->width(), largest.width()) << "page " << index;
            EXPECT_GE(sheet->widget(index)->height(), largest.height()) << "page " << index;
        }
        EXPECT_EQ(sheet->tabText(0), "Chapter Printing");
        EXPECT_EQ(sheet->tabText(3), "Document Printing");
    });
}

// No text of the templates is cut off with the platform's dialog font.
TEST(QtTemplatesTest, TextsFitTheirRectangles) {
    test::MakeTestBackend();
    for (const auto* tmpl : {&OptionsTemplate(), &CoverPageTemplate(), &FooterPageTemplate(),
                             &ChapterPrintingTemplate(), &DocumentPrintingTemplate()}) {
        const QFontMetrics metrics(DialogFont(*tmpl));
        const BaseUnits units = UnitsOf(*tmpl);
        for (const auto& control : tmpl->Controls) {
            const QRect room = DialogUnitsToPixels(control.Bounds, units);
            const QString text = QString::fromStdString(control.Text);
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap, text);
            switch (control.Kind) {
            case ControlKind::Label:
                EXPECT_LE(needed.height(), room.height()) << control.Text;
                EXPECT_LE(needed.width(), room.width()) << control.Text;
                break;
            case ControlKind::PushButton:
            case ControlKind::RadioButton:
            case ControlKind::CheckBox:
            case ControlKind::Link:
                EXPECT_LE(metrics.horizontalAdvance(text), room.width()) << control.Text;
                break;
            default:
                break;
            }
        }
    }
}

// At 200 % the font doubles, and so does the dialog, in the same proportions.
TEST(QtTemplatesTest, DialogUnitsFollowTheFont) {
    test::MakeTestBackend();
    QFont font = DialogFont(OptionsTemplate());
    const BaseUnits normal = MeasureBaseUnits(font);
    font.setPointSizeF(font.pointSizeF() * 2);
    const BaseUnits doubled = MeasureBaseUnits(font);
    EXPECT_NEAR(doubled.X, 2 * normal.X, 1);
    EXPECT_NEAR(doubled.Y, 2 * normal.Y, 2);
    const Rect sheet{3, 123, 441, 245};
    EXPECT_NEAR(DialogUnitsToPixels(sheet, doubled).top(),
                2 * DialogUnitsToPixels(sheet, normal).top(), 3 * 123 / 8 + 1);
}

TEST_F(QtBackendTest, QtQuirksFollowTheWindowsRules) {
    InstallOverlays({{"1.mac", ""}, {"1.mat", test::Utf16("First")}});
    RunOptions([&](Driver&, COptionsDlg& dialog) {
        // Qt selects the first item added to an empty list; Windows doesn't.
        auto& stapling = dialog.Item<toolkit::ComboBox>(IDC_STAPLING);
        stapling.AddString("x");
        EXPECT_EQ(stapling.GetCurSel(), -1);
        // The arrow keys on a closed list are the user's picks: each one notifies.
        auto& overlays = static_cast<QComboBox&>(Widget(dialog, IDC_DEFAULT_OVERLAY));
        overlays.setFocus();
        QTest::keyClick(&overlays, Qt::Key_Down);
        EXPECT_EQ(dialog.Item<toolkit::Edit>(IDC_OVERLAY_DESCRIPTION).GetText(), "First");
        QTest::keyClick(&overlays, Qt::Key_Up);
        EXPECT_EQ(dialog.Item<toolkit::Edit>(IDC_OVERLAY_DESCRIPTION).GetText(), "");
    });
}

TEST_F(QtBackendTest, CloseBoxCancels) {
    const int result = RunOptions([&](Driver& user, COptionsDlg& dialog) {
        WidgetOf(*dialog.Window())->close();
        EXPECT_FALSE(user.DialogOpen());
    });
    EXPECT_EQ(result, toolkit::IdCancel);
}

// Keys reaching the sheet's tab bar go to the sheet, which has no buttons: Enter does
// nothing there, while Escape still cancels.
TEST_F(QtBackendTest, EnterOnTheTabBarDoesNothingAndEscapeCancels) {
    InstallOverlays({{"12.mac", ""}});
    settings.SetLoadedFromRegistry(true);
    settings.SetCoverPageFormOverlay(12); // OK is enabled
    const int result = RunOptions([&](Driver& user, COptionsDlg& dialog) {
        auto* sheet = WidgetOf(*dialog.Window())->findChild<QTabWidget*>();
        QWidget* bar = sheet->findChild<QTabBar*>();
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Return);
        EXPECT_TRUE(user.DialogOpen());
        QTest::keyClick(bar, Qt::Key_Escape);
        EXPECT_FALSE(user.DialogOpen());
    });
    EXPECT_EQ(result, toolkit::IdCancel);
}

// A report-style list view as a page builds it: headings, alignment and pixel widths as
// given, and a selection change heard only once the deleted row is gone.
class ListDialog : public toolkit::ModalDialog {
public:
    static constexpr int Rows = 300;

    explicit ListDialog(toolkit::Backend& backend) : ModalDialog(backend, Template()) {
        OnNotification(Rows, toolkit::Notification::ItemChanged,
                       [this] { heard.push_back(Item<toolkit::ListView>(Rows).GetItemCount()); });
    }
    static const toolkit::DialogTemplate& Template() {
        static const toolkit::DialogTemplate tmpl{
            .Id = 950,
            .Caption = "List",
            .Width = 200,
            .Height = 150,
            .Controls = {
                {ControlKind::ListView, Rows, "", toolkit::Style::SingleSelect, {5, 5, 190, 140}}}};
        return tmpl;
    }

    std::vector<int> heard; // the row count at each notification
};

TEST_F(QtBackendTest, ListViewShowsColumnsAsGivenAndNotifiesAfterDeleting) {
    ListDialog dialog(backend->Get());
    backend->SetUser([&](Driver& user) {
        auto& list = dialog.Item<toolkit::ListView>(ListDialog::Rows);
        list.InsertColumn(0, "Page", toolkit::ColumnAlign::Right, 50, "");
        list.InsertColumn(1, "Action", toolkit::ColumnAlign::Left, 80, "");
        for (const char* page : {"3", "5", "8"}) {
            list.SetItemText(list.InsertItem(list.GetItemCount(), page), 1, "sep. sheet");
        }
        auto& view = static_cast<QTableWidget&>(*WidgetOf(list));
        EXPECT_EQ(view.horizontalHeaderItem(0)->text(), "Page");
        EXPECT_EQ(view.horizontalHeaderItem(1)->text(), "Action");
        // Widths are the design font's pixels, grown with the dialog's font.
        const double scale = std::max(MeasureBaseUnits(view.font()).X / 6.0, 1.0);
        EXPECT_EQ(view.horizontalHeader()->sectionSize(0), std::lround(50 * scale));
        EXPECT_EQ(view.horizontalHeader()->sectionSize(1), std::lround(80 * scale));
        EXPECT_GE(view.horizontalHeader()->sectionSize(1),
                  view.fontMetrics().horizontalAdvance("Action") + 8);
        EXPECT_EQ(view.item(2, 0)->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        EXPECT_EQ(view.item(2, 1)->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        ASSERT_TRUE(user.SelectRow(ListDialog::Rows, 1));
        list.InsertItem(0, "1"); // moves the selected row, doesn't change the selection
        EXPECT_EQ(list.GetNextSelected(), 2);
        list.DeleteItem(2);
        EXPECT_EQ(dialog.heard, (std::vector<int>{3, 3})) << "heard before the row was gone";
        EXPECT_EQ(list.GetNextSelected(), -1);
    });
    dialog.DoModal();
}

// The arrow keys select the row they land on, as on Windows, also on a list of one row that
// had no current row: Delete then has a row to delete.
TEST_F(QtBackendTest, ArrowKeysSelectOnAOneRowList) {
    ListDialog dialog(backend->Get());
    backend->SetUser([&](Driver&) {
        auto& list = dialog.Item<toolkit::ListView>(ListDialog::Rows);
        list.InsertColumn(0, "Page", toolkit::ColumnAlign::Right, 50, "");
        list.InsertItem(0, "5");
        auto& view = static_cast<QTableWidget&>(*WidgetOf(list));
        view.setFocus(Qt::TabFocusReason);
        // Where the focus arriving from Tab leaves it: on the row, which is not selected.
        view.selectionModel()->setCurrentIndex(view.model()->index(0, 0),
                                               QItemSelectionModel::NoUpdate);
        QTest::keyClick(&view, Qt::Key_Down);
        EXPECT_EQ(list.GetNextSelected(), 0);
        EXPECT_EQ(dialog.heard, std::vector<int>{1});
    });
    dialog.DoModal();
}

struct AddressCase {
    const char* address;
    const char* expected;
};

TEST(QtAddressTest, RelativeAddressesAreTakenFromTheProgramsDirectory) {
    const AddressCase cases[] = {
        {"https://example.invalid/manual/", "https://example.invalid/manual/"},
        {"file:///opt/varnak/manual.html", "file:///opt/varnak/manual.html"},
        {"/usr/share/doc/varnak/manual.html", "file:///usr/share/doc/varnak/manual.html"},
        {"../share/doc/varnak/manual.html", "file:///opt/varnak/share/doc/varnak/manual.html"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            toolkit::qt::ResolveAddress(c.address, "/opt/varnak/bin").toString().toStdString(),
            c.expected)
            << "case: " << c.address;
    }
}

// Whole runs to the exact ticket bytes, through the pages as a user fills them.

TEST_F(QtBackendTest, CoverAndFooterReachTheTicket) {
    InstallOverlays({{"7.mac", ""}, {"9.mac", ""}, {"40.mac", ""}});
    const std::string ticket = RunProgram([&](Driver& user) {
        ASSERT_TRUE(test::EnterDefaultsCoverAndFooter(user));
        ASSERT_TRUE(user.Type(IDC_COPIES, "3"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(ticket, test::Pjl("C1I2F40;K3;D1;EI1I1F7;EJ1F9;\r\n"));
}

TEST_F(QtBackendTest, DocumentPrintingRunGivesExampleOne) {
    InstallOverlays({{"12.mac", ""}});
    const std::string ticket = RunProgram([&](Driver& user) {
        const auto entered = test::EnterDocumentExample(user);
        ASSERT_TRUE(entered) << entered.Reason;
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    const std::string expected = test::DocumentExampleTicket;
    EXPECT_EQ(expected.size(), 128u);
    EXPECT_EQ(ticket, expected);
}

TEST_F(QtBackendTest, ChapterCoverAndFooterRunGivesExampleTwo) {
    InstallOverlays({{"7.mac", ""}, {"9.mac", ""}, {"15.mac", ""}, {"40.mac", ""}});
    const std::string ticket = RunProgram([&](Driver& user) {
        ASSERT_TRUE(test::EnterDefaultsCoverAndFooter(user));
        ASSERT_TRUE(user.SelectTab(0));
        ASSERT_TRUE(user.Type(IDC_CHAPTER_PAGE_NUMBERS, "10"));
        ASSERT_TRUE(user.Type(IDC_CHAPTER_COPIES, "2"));
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_OVERLAY, "None"));
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_TRAY, "None"));
        ASSERT_TRUE(user.Type(IDC_REMAINING_COPIES, "4"));
        ASSERT_TRUE(user.Click(IDC_CHAPTER_APPLY));
        ASSERT_TRUE(user.Type(IDC_CHAPTER_PAGE_NUMBERS, "25"));
        ASSERT_TRUE(user.Type(IDC_CHAPTER_COPIES, "3"));
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_OVERLAY, "15"));
        ASSERT_TRUE(user.Pick(IDC_CHAPTER_TRAY, "Recycled"));
        ASSERT_TRUE(user.Click(IDC_SEP_AFTER_COPYSET));
        ASSERT_TRUE(user.Click(IDC_CHAPTER_APPLY));
        EXPECT_EQ(Shown(user, IDC_COPIES).Text, "1");
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(ticket, test::ChapterExampleTicket);
}

// Every kind of tab stop shows that it has the focus, the read-only description and the
// empty list included: what is drawn around it with the focus differs from without.
TEST_F(QtBackendTest, FocusIsVisibleOnEveryKindOfTabStop) {
    RunOptions([&](Driver& user, COptionsDlg& dialog) {
        ASSERT_TRUE(user.SelectTab(3));
        const toolkit::Dialog& page = dialog.Sheet().GetPage(3);
        const std::pair<const toolkit::Dialog*, int> stops[] = {
            {&dialog, IDC_DEFAULT_TRAY},
            {&dialog, IDC_COPIES},
            {&dialog, IDC_CANCEL},
            {&dialog, IDC_MANUAL_LINK},
            {&dialog, IDC_OVERLAY_DESCRIPTION},
            {&page, IDC_PAGE_LIST},
            {&page, IDC_PAGE_DESCRIPTION},
        };
        const auto picture = [](QWidget& widget) {
            QApplication::processEvents();
            const QRect around = widget.geometry().adjusted(-4, -4, 4, 4);
            return widget.parentWidget()->grab(around).toImage();
        };
        for (const auto& [owner, id] : stops) {
            QWidget& widget = Widget(*owner, id);
            widget.setFocus(Qt::OtherFocusReason);
            const QImage focused = picture(widget);
            Widget(dialog, IDC_DEFAULT_OVERLAY).setFocus(Qt::OtherFocusReason);
            EXPECT_NE(focused, picture(widget)) << "control " << id;
        }
    });
}

// List columns hold their headings and the widest cell a job can show.
TEST_F(QtBackendTest, ListColumnsFitTheirTexts) {
    RunOptions([&](Driver& user, COptionsDlg& dialog) {
        const struct {
            int tab;
            int list;
            std::vector<const char*> widest; // per column
        } lists[] = {
            {0,
             IDC_CHAPTER_LIST,
             {"4294967295", "sep. sheet", "4294967295", "Transparency", "4294967295"}},
            {3, IDC_PAGE_LIST, {"4294967295", "sep. sheet", "4294967295", "Transparency"}},
        };
        for (const auto& c : lists) {
            ASSERT_TRUE(user.SelectTab(c.tab));
            auto& view = static_cast<QTableWidget&>(Widget(dialog.Sheet().GetPage(c.tab), c.list));
            ASSERT_EQ(view.columnCount(), static_cast<int>(c.widest.size()));
            const int margin = view.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &view);
            int total = 0;
            for (int column = 0; column < view.columnCount(); ++column) {
                total += view.horizontalHeader()->sectionSize(column);
                // The heading with room to spare on either side: headings never touch.
                const int heading =
                    view.fontMetrics().horizontalAdvance(view.horizontalHeaderItem(column)->text());
                EXPECT_GE(view.horizontalHeader()->sectionSize(column), heading + 2 * margin + 4)
                    << "heading of column " << column << " of list " << c.list;
            }
            // Every heading can be read at the default size, without scrolling.
            EXPECT_LE(total, view.viewport()->width()) << "list " << c.list;
            // The widest values still show whole: their columns grow.
            auto& list = dialog.Sheet().GetPage(c.tab).Item<toolkit::ListView>(c.list);
            const int row = list.InsertItem(list.GetItemCount(), c.widest[0]);
            for (int column = 0; column < view.columnCount(); ++column) {
                list.SetItemText(row, column, c.widest[column]);
                EXPECT_GT(view.horizontalHeader()->sectionSize(column),
                          view.fontMetrics().horizontalAdvance(c.widest[column]) + 4)
                    << "cell of column " << column << " of list " << c.list;
            }
        }
    });
}

// On a 1366x768 laptop at 100 % with a 40-pixel task bar, the whole dialog shows without
// scroll bars, in a legible font: the dialog units come from the template's 8 points, not
// from a larger desktop default, and from the font's unrounded height.
TEST(QtFitTest, TheDialogShowsWholeOnALaptopAtOneHundredPercent) {
    const auto backend = test::MakeTestBackend(); // and with it the application
    const QFont font = DialogFont(OptionsTemplate());
    EXPECT_GE(font.pointSizeF(), 8.0);
    const QSize content =
        DialogUnitsToPixels({0, 0, OptionsTemplate().Width, OptionsTemplate().Height},
                            MeasureBaseUnits(font))
            .size();
    // As the dialog reckons its room before the window manager frames it.
    const int title = std::max(QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight),
                               QFontMetrics(font).height() + 12);
    const QSize room(1366 - 2 * 4, 768 - 40 - title - 4);
    const auto fit = toolkit::qt::FitDialog(
        content, room, QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    EXPECT_EQ(fit.Size, content) << content.width() << "x" << content.height() << " in "
                                 << room.width() << "x" << room.height();
}

// The dialog keeps within the room the screen gives it, scrolling where it must.
TEST(QtFitTest, DialogKeepsWithinTheScreen) {
    using toolkit::qt::FitDialog;
    const QSize content(911, 756);
    const struct {
        const char* name;
        QSize room;
        QSize size;
    } cases[] = {
        {"fits", {1900, 1000}, content},
        {"too_low", {1300, 700}, {911 + 15, 700}},
        {"too_narrow", {800, 1000}, {800, 756 + 15}},
        {"too_small", {600, 300}, {600, 300}},
    };
    for (const auto& c : cases) {
        const auto fit = FitDialog(content, c.room, 15);
        EXPECT_EQ(fit.Size, c.size) << "case: " << c.name;
        EXPECT_TRUE(QRect(QPoint(), c.room).contains(QRect(QPoint(), fit.Minimum)))
            << "case: " << c.name;
        EXPECT_TRUE(QRect(QPoint(), fit.Maximum).contains(QRect(QPoint(), content)))
            << "case: " << c.name;
    }
}

} // namespace
} // namespace varnak
