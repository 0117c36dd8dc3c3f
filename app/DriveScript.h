#pragma once

#include "platform/registry/Registry.h"
#include "platform/toolkit/Backend.h"

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace varnak {

// Runs whole jobs from a script on the headless backend, acting as the user: the engine of
// varnak-drive. Reports every message box, browser request, refused command and the end
// of each run on out; a script it can't understand on err.
class DriveScript {
public:
    using RegistryOpener = std::function<std::unique_ptr<platform::Registry>()>;

    // How a run of another program that shows the dialog (varnak-print) ended.
    struct ProgramRun {
        bool DialogShown = false;
        int DialogResult = toolkit::ResultStillOpen;
        int Status = 0;
    };
    // Runs that program with the arguments of a "print" line, on the backend and registry
    // given; its standard output goes to out. None: "print" lines are refused.
    using PrintRunner = std::function<ProgramRun(const std::vector<std::string>& arguments,
                                                 toolkit::Backend& backend,
                                                 platform::Registry& registry, std::ostream& out)>;

    static constexpr int ExitOk = 0;
    static constexpr int ExitBadScript = 2;

    // Each run opens the registry afresh, so that it reads what earlier runs saved.
    DriveScript(RegistryOpener openRegistry, std::ostream& out, std::ostream& err,
                PrintRunner runPrint = {})
        : openRegistry_(std::move(openRegistry)), runPrint_(std::move(runPrint)), out_(out),
          err_(err) {}

    // Reads the whole script first: a line it can't understand runs nothing.
    int Run(std::istream& script);

private:
    RegistryOpener openRegistry_;
    PrintRunner runPrint_;
    std::ostream& out_;
    std::ostream& err_;
};

// A text as the script output quotes it: in double quotes, with " and \ escaped by \ and
// other bytes below 0x20 written as \xNN.
std::string QuoteText(const std::string& text);

} // namespace varnak
