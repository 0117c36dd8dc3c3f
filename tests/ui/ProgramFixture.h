#pragma once

#include "app/CVarnakApp.h"
#include "tests/ui/DialogFixture.h"

#include <filesystem>
#include <string>

namespace varnak::test {

// The whole program, as a print workflow starts it, on the fixture's backend and registry.
class ProgramFixture : public DialogFixture {
public:
    // Runs the program for one job and expects OK; the ticket's bytes, empty when none.
    std::string RunProgram(const toolkit::UserFunction& user) {
        const std::string ticket = dir.File("ticket.prn");
        backend->SetUser(user);
        CVarnakApp app(backend->Get(), registry.Registry(), "-R\"" + ticket + "\"");
        app.InitInstance();
        EXPECT_EQ(app.DialogResult(), toolkit::IdOk);
        return std::filesystem::exists(ticket) ? ReadFileBytes(ticket) : std::string();
    }
};

} // namespace varnak::test
