// varnak-print [-d DESTINATION] [-h SERVER[:PORT]] [-t TITLE] [--wait[=SECONDS]]
//              [--keep-ticket FILE] [FILE | -]
// The job-ticket dialog on a Linux desktop, then ticket and document to a CUPS queue as one
// raw job.
#include "app/CommandLine.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/qt/QtBackend.h"
#include "print/PrintRun.h"
#include "print/cups/CupsSpooler.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <variant>
#include <vector>

int main(int argc, char** argv) {
    // Qt takes its own options (-platform, -style, ...) out of the arguments first.
    QApplication application(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    varnak::ReportFailedWritesInsteadOfDying();
    varnak::toolkit::qt::QtBackend backend;
    const auto parsed = varnak::print::ParsePrintArguments(arguments);
    if (const auto* error = std::get_if<varnak::print::UsageError>(&parsed)) {
        std::cerr << error->Message << '\n' << varnak::print::PrintUsage << '\n';
        return varnak::print::ExitUsage;
    }
    const auto& options = std::get<varnak::print::PrintOptions>(parsed);
    const auto registry = varnak::platform::OpenMachineRegistry();
    varnak::print::CupsSpooler spooler(options.Server);
    varnak::print::PrintEnvironment environment{backend,  *registry, spooler,
                                                std::cin, std::cout, std::cerr};
    return varnak::print::RunPrintJob(options, environment).Status;
}
