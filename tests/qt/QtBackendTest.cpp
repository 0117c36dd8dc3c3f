// What only the Qt backend can get wrong: where its widgets sit, how Qt's own signals and
// keys are bent to the toolkit's rules, and whole runs through real input events.
#include "platform/toolkit/qt/QtBackend.h"
#include "app/CVarnakApp.h"
#include "tests/ui/DialogFixture.h"
#include "ui/ControlIds.h"
#include "ui/Templates.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

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

const std::string Header = "\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\nZOR_COMMAND=";
const std::string Trailer = "\n\x1b%-12345X";

class QtBackendTest : public ::testing::Test, public test::DialogFixture {
protected:
    using DialogUser = std::function<void(Driver&, COptionsDlg&)>;

    int RunOptions(const DialogUser& user) {
        COptionsDlg dialog(backend->Get(), registry.Registry(), &settings, commandLine);
        backend->SetUser([&](Driver& driver) { user(driver, dialog); });
        return dialog.DoModal();
    }

    // A whole run of the program on the Qt backend; returns the ticket's bytes.
    std::string RunProgram(const toolkit::UserFunction& user) {
        const std::string ticket = dir.File("ticket.prn");
        backend->SetUser(user);
        CVarnakApp app(backend->Get(), registry.Registry(), "-R\"" + ticket + "\"");
        app.InitInstance();
        EXPECT_EQ(app.DialogResult(), toolkit::IdOk);
        return std::filesystem::exists(ticket) ? test::ReadFileBytes(ticket) : std::string();
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
        EXPECT_EQ(WidgetOf(*dialog.Window())->size(),
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
        EXPECT_LE(place.right(), window->width());
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
        auto& view = static_cast<QTreeWidget&>(*WidgetOf(list));
        EXPECT_EQ(view.headerItem()->text(0), "Page");
        EXPECT_EQ(view.headerItem()->text(1), "Action");
        // Widths are the design font's pixels, grown with the dialog's font.
        const double scale = std::max(MeasureBaseUnits(view.font()).X / 6.0, 1.0);
        EXPECT_EQ(view.header()->sectionSize(0), std::lround(50 * scale));
        EXPECT_EQ(view.header()->sectionSize(1), std::lround(80 * scale));
        EXPECT_GE(view.header()->sectionSize(1),
                  view.fontMetrics().horizontalAdvance("Action") + 8);
        EXPECT_EQ(view.topLevelItem(2)->textAlignment(0) & Qt::AlignHorizontal_Mask,
                  Qt::AlignRight);
        EXPECT_EQ(view.topLevelItem(2)->textAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        ASSERT_TRUE(user.SelectRow(ListDialog::Rows, 1));
        list.InsertItem(0, "1"); // moves the selected row, doesn't change the selection
        EXPECT_EQ(list.GetNextSelected(), 2);
        list.DeleteItem(2);
        EXPECT_EQ(dialog.heard, (std::vector<int>{3, 3})) << "heard before the row was gone";
        EXPECT_EQ(list.GetNextSelected(), -1);
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

// The general settings, cover and footer of both worked examples.
void FillDefaultsCoverAndFooter(Driver& user) {
    ASSERT_TRUE(user.Pick(IDC_DEFAULT_TRAY, "Bond"));
    ASSERT_TRUE(user.Pick(IDC_DEFAULT_OVERLAY, "40"));
    ASSERT_TRUE(user.SelectTab(1));
    ASSERT_TRUE(user.Pick(IDC_COVER_OVERLAY, "7"));
    ASSERT_TRUE(user.Pick(IDC_COVER_TRAY, "Plain"));
    ASSERT_TRUE(user.SelectTab(2));
    ASSERT_TRUE(user.Pick(IDC_FOOTER_OVERLAY, "9"));
}

TEST_F(QtBackendTest, CoverAndFooterReachTheTicket) {
    InstallOverlays({{"7.mac", ""}, {"9.mac", ""}, {"40.mac", ""}});
    const std::string ticket = RunProgram([&](Driver& user) {
        ASSERT_NO_FATAL_FAILURE(FillDefaultsCoverAndFooter(user));
        ASSERT_TRUE(user.Type(IDC_COPIES, "3"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(ticket, Header + "C1I2F40;K3;D1;EI1I1F7;EJ1F9;\r\n" + Trailer);
}

TEST_F(QtBackendTest, DocumentPrintingRunGivesExampleOne) {
    InstallOverlays({{"12.mac", ""}});
    const std::string ticket = RunProgram([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(3));
        const struct {
            const char* page;
            const char* overlay;
            const char* tray;
        } entries[] = {{"3", "None", "None"}, {"5", "12", "Color"}, {"8", "None", "Letterhead"}};
        for (const auto& entry : entries) {
            ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, entry.page));
            ASSERT_TRUE(user.Pick(IDC_PAGE_OVERLAY, entry.overlay));
            ASSERT_TRUE(user.Pick(IDC_PAGE_TRAY, entry.tray));
            ASSERT_TRUE(user.Click(IDC_PAGE_APPLY));
        }
        ASSERT_TRUE(user.Type(IDC_COPIES, "2"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    const std::string expected =
        Header + "C1I1;K2;D1;C1:2F25997I1;C1:5I1FF;C1:6I-3F12;C1:9I1FF;C1:10I-6;\r\n" + Trailer;
    EXPECT_EQ(expected.size(), 128u);
    EXPECT_EQ(ticket, expected);
}

TEST_F(QtBackendTest, ChapterCoverAndFooterRunGivesExampleTwo) {
    InstallOverlays({{"7.mac", ""}, {"9.mac", ""}, {"15.mac", ""}, {"40.mac", ""}});
    const std::string ticket = RunProgram([&](Driver& user) {
        ASSERT_NO_FATAL_FAILURE(FillDefaultsCoverAndFooter(user));
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
    EXPECT_EQ(ticket, Header +
                          "C1I2F40;EI1I1F7;\r\n"
                          "ZOR_COMMAND_ADD=C1:10I2F40F25997;\r\n"
                          "ZOR_COMMAND_ADD=C1:25I2F40F25997FF;C1:26F15I-5F25997;EJ1F9;\r\n"
                          "VARIABLE=#CHAPTERCOPY1#:1\r\n"
                          "VARIABLE=#CHAPTERCOPY2#:2\r\n"
                          "VARIABLE=#CHAPTERCOPY3#:3\r\n"
                          "VARIABLE=#CHAPTERCOPY4#:1\r\n"
                          "VARIABLE=#CHAPTERCOPY5#:4\r\n"
                          "VARIABLE=#CHAPTERCOPY6#:1\r\n" +
                          Trailer);
}

} // namespace
} // namespace varnak
