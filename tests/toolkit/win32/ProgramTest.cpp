// varnak.exe itself, started as a workflow starts it, confirmed by another process the way
// assistive tools press a button: its command line, manifest, registry and ticket.
#include "core/CommandBuilder.h"
#include "core/JobSettings.h"
#include "store/SettingsStore.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkedExamples.h"
#include "tests/toolkit/win32/StartedProgram.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace varnak {
namespace {

using test::SettingsKey;

TEST(ProgramTest, WorkflowStartsItAndGetsTheTicketAfterOk) {
    test::RegistrySandbox registry;
    test::TempDir dir;
    test::StoreCoverSheetJob(registry, dir);
    registry.SetDword(SettingsKey, "NumberOfCopies", 3);
    registry.SetDword(SettingsKey, "CoverPageInputTray", 1);
    JobSettings settings;
    SettingsStore(registry.Registry()).Load(settings);
    const std::string expected = test::Pjl(BuildCommandString(settings, true));

    const std::string ticket = dir.File("job 7.tkt");
    const test::StartedProgram program(VARNAK_PROGRAM, "-R\"" + ticket + "\" -DEBUG");
    ASSERT_TRUE(program.Running());
    const HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr) << "the dialog did not open";
    const HWND ok = GetDlgItem(dialog, ids::IDC_OK);
    EXPECT_TRUE(IsWindowEnabled(ok)) << "a stored cover sheet enables OK";
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(program.ExitStatus(), 0);
    EXPECT_EQ(test::ReadFileBytes(ticket), expected);
    EXPECT_EQ(test::ReadFileBytes(ticket + "_debug"), expected);
    const auto lastTab = registry.Get(SettingsKey, "LastTab");
    ASSERT_TRUE(lastTab);
    EXPECT_EQ(lastTab->Bytes, test::DwordBytes(1)) << "saved after OK";
}

} // namespace
} // namespace varnak
