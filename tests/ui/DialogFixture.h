#pragma once

#include "core/JobSettings.h"
#include "platform/toolkit/Driver.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tests/toolkit/TestBackend.h"
#include "ui/COptionsDlg.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace varnak::test {

// One general settings dialog on the test backend, with its own registry, overlay directory
// and output directory.
class DialogFixture {
public:
    // Overlay files by name and content; the working directory is set to hold them.
    void InstallOverlays(const std::vector<std::pair<std::string, std::string>>& files) {
        const auto directory = dir.Path() / "overlays";
        std::filesystem::create_directories(directory);
        for (const auto& [name, bytes] : files) {
            WriteFileBytes(directory / name, bytes);
        }
        registry.SetText("SOFTWARE\\quet\\quetprint", "WorkingDirectory", directory.string());
    }

    // Runs the dialog with the user; returns DoModal's result.
    int RunDialog(const toolkit::UserFunction& user) {
        backend->SetUser(user);
        COptionsDlg dialog(backend->Get(), registry.Registry(), &settings, commandLine);
        return dialog.DoModal();
    }

    std::vector<toolkit::UserEvent> Messages() const {
        std::vector<toolkit::UserEvent> messages;
        for (const auto& event : backend->Events()) {
            if (event.What == toolkit::UserEvent::Type::Message) {
                messages.push_back(event);
            }
        }
        return messages;
    }

    std::string OutputFile(const std::string& name) const { return dir.File(name); }

    RegistrySandbox registry;
    TempDir dir;
    std::unique_ptr<toolkit::ScriptedBackend> backend = MakeTestBackend();
    JobSettings settings;
    std::string commandLine;
};

// The control as the user sees it; fails the test when it isn't shown.
inline toolkit::ControlState Shown(toolkit::Driver& user, int id) {
    auto state = user.State(id);
    EXPECT_TRUE(state.has_value()) << "control " << id << " is not shown";
    return state.value_or(toolkit::ControlState{});
}

// The text of a UTF-16LE description file.
inline std::string Utf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

} // namespace varnak::test
