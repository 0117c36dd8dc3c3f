// varnak-drive [SCRIPT]: whole runs of the program on the headless backend, from a script
// (standard input without SCRIPT), with the machine registry and the real file system.
#include "app/CommandLine.h"
#include "app/DriveScript.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: varnak-drive [SCRIPT]\n";
        return varnak::DriveScript::ExitBadScript;
    }
    varnak::ReportFailedWritesInsteadOfDying();
    varnak::DriveScript drive(varnak::platform::OpenMachineRegistry, std::cout, std::cerr);
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
