#pragma once

#include "platform/registry/Registry.h"
#include "platform/toolkit/Backend.h"
#include "print/PrintArguments.h"
#include "print/Spooler.h"

#include <istream>
#include <ostream>

namespace varnak::print {

// varnak-print's exit statuses.
enum ExitStatus : int {
    ExitSent = 0,                  // sent (completed, with --wait)
    ExitCancelledInDialog = 1,     // as varnak's Cancel
    ExitUsage = 2,                 // bad usage, or a document that can't be read
    ExitNoDestination = 3,         // the destination is missing or doesn't accept jobs
    ExitSendingFailed = 4,         // the job could not be sent; nothing of it prints
    ExitCancelledWhileSending = 5, // Cancel in the progress window; nothing of it prints
    ExitNotCompleted = 6,          // --wait: still queued when the wait ended
    ExitStoppedAtQueue = 7,        // --wait: stopped, cancelled or aborted at the queue
};

// What one run takes from outside: the windowing system, the settings, the print system and
// the standard streams.
struct PrintEnvironment {
    toolkit::Backend& Backend;
    platform::Registry& Registry;
    print::Spooler& PrintSystem;
    std::istream& Input;  // the document for "-"
    std::ostream& Output; // the job sent
    std::ostream& Errors; // every failure, also shown in a message box
};

struct PrintResult {
    int Status = ExitUsage;
    bool DialogShown = false;
    int DialogResult = toolkit::ResultStillOpen; // how the dialog ended, when it was shown
};

// One run of varnak-print: checks the document and the destination, shows the dialog as
// varnak does (its settings remembered on OK), writes the ticket into a private folder,
// reads it back with the ticket decoder, sends ticket and document as one raw job and, with
// --wait, waits for the print system's word.
PrintResult RunPrintJob(const PrintOptions& options, PrintEnvironment& environment);

} // namespace varnak::print
