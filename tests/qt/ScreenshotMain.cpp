// varnak-screenshots <directory>: a picture of the dialog on each of its four pages, for a
// person to look at (make screenshots runs it under Xvfb). Reads the settings and overlays
// of the registry that VARNAK_REGISTRY names, as the program does.
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
    });
    dialog.DoModal();
    return failures == 0 ? 0 : 1;
}
