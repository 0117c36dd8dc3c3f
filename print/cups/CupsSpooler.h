#pragma once

#include "print/Spooler.h"

#include <string>

namespace varnak::print {

// CUPS, through libcups: a raw job (application/vnd.cups-raw) whose bytes are streamed to
// the scheduler (cupsCreateJob, cupsStartDocument, cupsWriteRequestData; cupsCancelJob2 to
// take it back). The server is "HOST[:PORT]" or a socket's path; empty for the usual client
// configuration (CUPS_SERVER, client.conf). Destinations are found as lp finds them: the
// name given, else PRINTER, lpoptions and the server's default.
class CupsSpooler : public Spooler {
public:
    explicit CupsSpooler(std::string server) : server_(std::move(server)) {}

    Queue FindQueue(const std::string& name) override;
    std::unique_ptr<SpoolJob> StartJob(const std::string& queue, const std::string& title,
                                       std::string& error) override;
    JobStatus Status(const std::string& queue, int job) override;

private:
    std::string server_;
};

} // namespace varnak::print
