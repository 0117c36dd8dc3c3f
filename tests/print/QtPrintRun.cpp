// One whole run of varnak-print through the real Qt dialog, driven by real input events, to a
// real CUPS queue. cups-test.py starts it with the scheduler's socket in CUPS_SERVER, the
// queue in VARNAK_TEST_QUEUE and the document in VARNAK_TEST_DOCUMENT, under Xvfb, and checks
// the bytes that reach the printer.
#include "print/PrintRun.h"
#include "print/cups/CupsSpooler.h"

#include "tests/ui/DialogFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace varnak::print {
namespace {

class QtPrintRun : public ::testing::Test, public test::DialogFixture {};

TEST_F(QtPrintRun, AConfirmedJobGoesToTheQueue) {
    const char* queue = std::getenv("VARNAK_TEST_QUEUE");
    const char* document = std::getenv("VARNAK_TEST_DOCUMENT");
    if (queue == nullptr || document == nullptr) {
        GTEST_SKIP() << "started by tests/print/cups-test.py";
    }
    InstallOverlays({{"7.mac", ""}});
    backend->SetUser([](toolkit::Driver& user) {
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.Pick(ids::IDC_COVER_OVERLAY, "7"));
        ASSERT_TRUE(user.Click(ids::IDC_OK));
    });
    const auto options = std::get<PrintOptions>(ParsePrintArguments({"-d", queue, document}));
    CupsSpooler spooler(options.Server);
    std::istringstream input;
    std::ostringstream output;
    std::ostringstream errors;
    PrintEnvironment environment{backend->Get(), registry.Registry(), spooler, input, output,
                                 errors};
    const PrintResult result = RunPrintJob(options, environment);
    EXPECT_EQ(result.Status, ExitSent) << errors.str();
    EXPECT_EQ(result.DialogResult, toolkit::IdOk);
    EXPECT_EQ(errors.str(), "");
}

} // namespace
} // namespace varnak::print
