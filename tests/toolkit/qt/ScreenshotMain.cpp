// varnak-screenshots <directory>: a picture of the dialog as it opens and on each of its four
// pages, for a person to look at (make screenshots runs it under Xvfb), and one of the whole
// screen with the focus moved to OK, which must be in reach. Fails when the dialog doesn't keep
// within the screen's work area. Reads the settings and overlays of the registry that
// VARNAK_REGISTRY names, as the program does.
#include "core/JobSettings.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/qt/QtBackend.h"
#include "platform/toolkit/qt/QtDriver.h"
#include "store/SettingsStore.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QWidget>

#include <iostream>

namespace {

using namespace varnak::ids;

// Something on every page, so that lists, rows and descriptions show how they look filled.
void FillPage(varnak::toolkit::Driver& user, int page) {
    switch (page) {
    case 0:
        user.Type(IDC_CHAPTER_PAGE_NUMBERS, "10,25");
        user.Type(IDC_CHAPTER_COPIES, "2");
        user.Click(IDC_CHAPTER_APPLY);
        break;
    case 1:
        user.Pick(IDC_COVER_OVERLAY, "1");
        user.Pick(IDC_COVER_TRAY, "Color");
        break;
    case 3:
        user.Type(IDC_PAGE_NUMBERS, "3,5,8");
        user.Click(IDC_PAGE_APPLY);
        break;
    default:
        break;
    }
}

int ShowWholeScreen(QWidget& window, QWidget& ok, const QDir& directory) {
    ok.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    const QRect area = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    std::cout << "screen " << window.screen()->size().width() << 'x'
              << window.screen()->size().height() << ", work area " << area.width() << 'x'
              << area.height() << ", dialog " << frame.width() << 'x' << frame.height() << '\n';
    const QRect okOnScreen(ok.mapTo(&window, QPoint(0, 0)) + window.geometry().topLeft(),
                           ok.size());
    int failures = 0;
    if (!area.contains(frame)) {
        std::cerr << "varnak-screenshots: the dialog reaches beyond the work area\n";
        ++failures;
    }
    if (!ok.visibleRegion().boundingRect().contains(ok.rect()) || !area.contains(okOnScreen)) {
        std::cerr << "varnak-screenshots: OK is not in view with the focus on it\n";
        ++failures;
    }
    const QString file = directory.filePath("screen.png");
    if (!window.screen()->grabWindow(0).save(file)) {
        std::cerr << "varnak-screenshots: cannot write " << file.toStdString() << '\n';
        ++failures;
    } else {
        std::cout << file.toStdString() << '\n';
    }
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: varnak-screenshots <directory>\n";
        return 2;
    }
    const QDir directory(QString::fromLocal8Bit(argv[1]));
    const auto registry = varnak::platform::OpenMachineRegistry();
    varnak::JobSettings settings;
    varnak::SettingsStore(*registry).Load(settings);
    varnak::toolkit::qt::ScriptedQtBackend backend;
    varnak::COptionsDlg dialog(backend.Get(), *registry, &settings, "-R\"screenshot.prn\"");
    const char* const names[] = {"chapter-printing", "cover-page", "footer-page",
                                 "document-printing"};
    int failures = 0;
    backend.SetUser([&](varnak::toolkit::Driver& user) {
        // As the operator first sees it: the focus drawn on Default Input Tray.
        QCoreApplication::processEvents();
        const QString start = directory.filePath("start.png");
        if (!varnak::toolkit::qt::WidgetOf(*dialog.Window())->grab().save(start)) {
            std::cerr << "varnak-screenshots: cannot write " << start.toStdString() << '\n';
            ++failures;
        }
        user.Pick(IDC_DEFAULT_OVERLAY, "12");
        for (int page = 0; page < 4; ++page) {
            user.SelectTab(page);
            FillPage(user, page);
            QCoreApplication::processEvents();
            const QString file =
                directory.filePath(QString("%1-%2.png").arg(page).arg(names[page]));
            if (!varnak::toolkit::qt::WidgetOf(*dialog.Window())->grab().save(file)) {
                std::cerr << "varnak-screenshots: cannot write " << file.toStdString() << '\n';
                ++failures;
                continue;
            }
            std::cout << file.toStdString() << '\n';
        }
        user.SelectTab(3);
        failures +=
            ShowWholeScreen(*varnak::toolkit::qt::WidgetOf(*dialog.Window()),
                            *varnak::toolkit::qt::WidgetOf(*dialog.GetDlgItem(IDC_OK)), directory);
    });
    dialog.DoModal();
    return failures == 0 ? 0 : 1;
}
