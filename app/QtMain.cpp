// varnak -R"<ticket file>" [-DEBUG]: the job-ticket dialog on a Linux desktop.
#include "app/CVarnakApp.h"
#include "app/CommandLine.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/qt/QtBackend.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Qt takes its own options (-platform, -style, ...) out of the arguments first.
    QApplication application(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    varnak::ReportFailedWritesInsteadOfDying();
    varnak::toolkit::qt::QtBackend backend;
    const auto registry = varnak::platform::OpenMachineRegistry();
    varnak::CVarnakApp app(backend, *registry, varnak::CommandLineFromArguments(arguments));
    app.InitInstance();
    return app.ExitStatus();
}
