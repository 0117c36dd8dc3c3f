#pragma once

#include "print/Spooler.h"

namespace varnak::print {

// The Windows spooler: a RAW job on a printer (OpenPrinter, StartDocPrinter with the data
// type "RAW", WritePrinter, EndDocPrinter; AbortPrinter to take it back). A printer is named
// as Windows names it ("zor", "\\server\zor"); without a name, the user's default printer.
class Win32Spooler : public Spooler {
public:
    Queue FindQueue(const std::string& name) override;
    std::unique_ptr<SpoolJob> StartJob(const std::string& queue, const std::string& title,
                                       std::string& error) override;
    // A job no longer in the queue has been printed: Windows removes printed jobs.
    JobStatus Status(const std::string& queue, int job) override;
};

} // namespace varnak::print
