#pragma once

#include "app/CommandLine.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/Backend.h"

#include <string>

namespace varnak {

// The application: one run is one job. Start-up loads the settings, shows the general
// settings dialog modally on the backend it is given and saves the settings when the
// dialog ended with OK.
class CVarnakApp {
public:
    CVarnakApp(toolkit::Backend& backend, platform::Registry& registry, CommandLine commandLine)
        : backend_(backend), registry_(registry), commandLine_(std::move(commandLine)) {}
    // The command-line text, read by the Windows command-line rules.
    CVarnakApp(toolkit::Backend& backend, platform::Registry& registry, std::string commandLine)
        : CVarnakApp(backend, registry, CommandLineFromText(std::move(commandLine))) {}

    // The whole run. Returns false: the program ends right afterwards.
    bool InitInstance();

    // How the dialog ended: toolkit::IdOk, toolkit::IdCancel or toolkit::ResultStillOpen.
    int DialogResult() const { return dialogResult_; }
    // The program's exit status: 0 when the operator confirmed the job, 1 otherwise, so that
    // a workflow can tell a confirmed job from a cancelled one on every platform.
    int ExitStatus() const { return dialogResult_ == toolkit::IdOk ? 0 : 1; }

private:
    toolkit::Backend& backend_;
    platform::Registry& registry_;
    CommandLine commandLine_;
    int dialogResult_ = toolkit::ResultStillOpen;
};

} // namespace varnak
