// varnak-drive [SCRIPT]: whole runs of the program on the headless backend, from a script
// (standard input without SCRIPT), with the machine registry and the real file system; and,
// where it is built with CUPS, runs of varnak-print ("print" lines).
#include "app/CommandLine.h"
#include "app/DriveScript.h"

#ifdef VARNAK_DRIVE_PRINTS
#include "print/PrintRun.h"
#include "print/cups/CupsSpooler.h"
#endif

#include <fstream>
#include <iostream>
#include <variant>

namespace {

#ifdef VARNAK_DRIVE_PRINTS
// A print line runs varnak-print with its arguments, on the script's backend and registry.
varnak::DriveScript::ProgramRun RunPrint(const std::vector<std::string>& arguments,
                                         varnak::toolkit::Backend& backend,
                                         varnak::platform::Registry& registry, std::ostream& out) {
    const auto parsed = varnak::print::ParsePrintArguments(arguments);
    if (const auto* error = std::get_if<varnak::print::UsageError>(&parsed)) {
        out << error->Message << '\n';
        return {false, varnak::toolkit::ResultStillOpen, varnak::print::ExitUsage};
    }
    const auto& options = std::get<varnak::print::PrintOptions>(parsed);
    varnak::print::CupsSpooler spooler(options.Server);
    varnak::print::PrintEnvironment environment{backend,  registry, spooler,
                                                std::cin, out,      std::cerr};
    const auto result = varnak::print::RunPrintJob(options, environment);
    return {result.DialogShown, result.DialogResult, result.Status};
}
#endif

varnak::DriveScript::PrintRunner Printing() {
#ifdef VARNAK_DRIVE_PRINTS
    return RunPrint;
#else
    return {};
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: varnak-drive [SCRIPT]\n";
        return varnak::DriveScript::ExitBadScript;
    }
    varnak::ReportFailedWritesInsteadOfDying();
    varnak::DriveScript drive(varnak::platform::OpenMachineRegistry, std::cout, std::cerr,
                              Printing());
    if (argc == 1) {
        return drive.Run(std::cin);
    }
    std::ifstream script(argv[1], std::ios::binary);
    if (!script) {
        std::cerr << "varnak-drive: cannot read the script " << argv[1] << '\n';
        return varnak::DriveScript::ExitBadScript;
    }
    return drive.Run(script);
}
