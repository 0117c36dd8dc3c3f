// varnak-print.exe itself, started as a workflow starts it and confirmed the way assistive
// tools press a button, sending to a printer that Wine's spooler takes from CUPS. Started by
// cups-test.py under Wine, with the queue in VARNAK_TEST_QUEUE; it writes the bytes the
// printer must receive to VARNAK_TEST_EXPECTED, and cups-test.py compares them.
#include "core/CommandBuilder.h"
#include "core/JobSettings.h"
#include "core/TicketEnvelope.h"
#include "store/SettingsStore.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tests/toolkit/win32/StartedProgram.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace varnak {
namespace {

using test::SettingsKey;

TEST(PrintProgramTest, AConfirmedJobReachesTheWindowsPrinter) {
    const char* queue = std::getenv("VARNAK_TEST_QUEUE");
    const char* expectedFile = std::getenv("VARNAK_TEST_EXPECTED");
    if (queue == nullptr || expectedFile == nullptr) {
        GTEST_SKIP() << "started by tests/print/cups-test.py";
    }
    test::RegistrySandbox registry;
    test::TempDir dir;
    test::StoreCoverSheetJob(registry, dir);
    JobSettings settings;
    SettingsStore(registry.Registry()).Load(settings);
    const std::string document = "%!PS through the Windows spooler\r\n\x1a\x00 binary";
    test::WriteFileBytes(dir.File("job.ps"), document);
    test::WriteFileBytes(expectedFile,
                         TicketEnvelope::Wrap(BuildCommandString(settings, true)) + document);

    const test::StartedProgram program(VARNAK_PRINT_PROGRAM, std::string("-d ") + queue + " \"" +
                                                                 dir.File("job.ps") + "\"");
    ASSERT_TRUE(program.Running());
    const HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr) << "the dialog did not open";
    const HWND ok = GetDlgItem(dialog, ids::IDC_OK);
    EXPECT_TRUE(IsWindowEnabled(ok)) << "a stored cover sheet enables OK";
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(program.ExitStatus(), 0);
}

} // namespace
} // namespace varnak
