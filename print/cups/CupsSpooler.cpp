#include "print/cups/CupsSpooler.h"

#include <cups/cups.h>

#include <cstdlib>
#include <memory>

namespace varnak::print {
namespace {

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

struct DestFreer {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFreer>;

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;

// The scheduler's host and port: the server given ("HOST", "HOST:PORT", "[IPV6]:PORT" or a
// socket's path), or the client configuration's.
std::pair<std::string, int> HostAndPort(const std::string& server) {
    if (server.empty()) {
        return {cupsServer(), ippPort()};
    }
    const auto colon = server.rfind(':');
    const bool bracketed = server.front() == '[';
    const bool hasPort = server.front() != '/' && colon != std::string::npos &&
                         (bracketed ? server[colon - 1] == ']' : server.find(':') == colon);
    if (!hasPort) {
        return {server, ippPort()};
    }
    const std::string host = server.substr(bracketed ? 1 : 0, colon - (bracketed ? 2 : 0));
    return {host, std::atoi(server.c_str() + colon + 1)};
}

std::string ServerName(const std::string& server) {
    return server.empty() ? std::string(cupsServer()) : server;
}

Connection Connect(const std::string& server) {
    const auto [host, port] = HostAndPort(server);
    return Connection(
        httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr));
}

// libcups' last error, as part of a sentence: without its full stop.
std::string LastError() {
    const char* text = cupsLastErrorString();
    std::string said = text != nullptr ? text : "";
    while (!said.empty() && said.back() == '.') {
        said.pop_back();
    }
    return said.empty() ? "the print server gave no reason" : said;
}

// The queue as IPP names it, on the scheduler the connection leads to.
std::string QueueUri(const std::string& queue) {
    return "ipp://localhost/printers/" + queue;
}

// Create-Job on the connection's own scheduler (cupsCreateJob would look the queue up anew
// on the default one); the job's id, or 0.
int CreateJob(http_t* http, const std::string& queue, const std::string& title) {
    ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 QueueUri(queue).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    const Ipp response(cupsDoRequest(http, request, ("/printers/" + queue).c_str()));
    ipp_attribute_t* id =
        response ? ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER) : nullptr;
    return cupsLastError() <= IPP_STATUS_OK_CONFLICTING && id != nullptr ? ippGetInteger(id, 0) : 0;
}

// An IPP attribute's text, or empty.
std::string TextOf(ipp_t* response, const char* name) {
    ipp_attribute_t* attribute = ippFindAttribute(response, name, IPP_TAG_ZERO);
    const char* text = attribute != nullptr ? ippGetString(attribute, 0, nullptr) : nullptr;
    return text != nullptr ? text : "";
}

class CupsJob : public SpoolJob {
public:
    CupsJob(Connection http, std::string server, std::string queue, int id)
        : http_(std::move(http)), server_(std::move(server)), queue_(std::move(queue)), id_(id) {}

    ~CupsJob() override {
        if (!finished_) {
            Cancel();
        }
    }

    int Id() const override { return id_; }

    bool Write(std::string_view bytes) override {
        // Nothing to send: a chunk of no bytes would end the request.
        if (bytes.empty()) {
            return true;
        }
        if (cupsWriteRequestData(http_.get(), bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE) {
            error_ = LastError();
            return false;
        }
        return true;
    }

    bool Finish() override {
        if (cupsFinishDocument(http_.get(), queue_.c_str()) > IPP_STATUS_OK_CONFLICTING) {
            error_ = LastError();
            return false;
        }
        finished_ = true;
        return true;
    }

    // On a connection of its own: the one that carried the document may be broken.
    void Cancel() override {
        finished_ = true;
        if (Connection http = Connect(server_); http) {
            cupsCancelJob2(http.get(), queue_.c_str(), id_, 0);
        }
    }

    std::string Error() const override { return error_; }

private:
    Connection http_;
    std::string server_;
    std::string queue_;
    int id_;
    std::string error_;
    bool finished_ = false;
};

} // namespace

Spooler::Queue CupsSpooler::FindQueue(const std::string& name) {
    Connection http = Connect(server_);
    if (!http) {
        return {name, "The print server " + ServerName(server_) + " can't be reached."};
    }
    Dest dest(cupsGetNamedDest(http.get(), name.empty() ? nullptr : name.c_str(), nullptr));
    if (!dest) {
        if (cupsLastError() > IPP_STATUS_OK_CONFLICTING &&
            cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
            return {name, "The print server " + ServerName(server_) +
                              " can't be asked: " + LastError() + "."};
        }
        return {name, name.empty() ? "No printer was named with -d, and no default printer is set."
                                   : "The printer " + name + " does not exist."};
    }
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting != nullptr && std::string_view(accepting) == "false") {
        return {dest->name, "The printer " + std::string(dest->name) + " does not accept jobs."};
    }
    return {dest->name, {}};
}

std::unique_ptr<SpoolJob> CupsSpooler::StartJob(const std::string& queue, const std::string& title,
                                                std::string& error) {
    Connection http = Connect(server_);
    if (!http) {
        error = "the print server " + ServerName(server_) + " can't be reached";
        return nullptr;
    }
    const int id = CreateJob(http.get(), queue, title);
    if (id == 0) {
        error = LastError();
        return nullptr;
    }
    if (cupsStartDocument(http.get(), queue.c_str(), id, title.c_str(), CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
        error = LastError();
        if (Connection other = Connect(server_); other) {
            cupsCancelJob2(other.get(), queue.c_str(), id, 0);
        }
        return nullptr;
    }
    return std::make_unique<CupsJob>(std::move(http), server_, queue, id);
}

JobStatus CupsSpooler::Status(const std::string& queue, int job) {
    JobStatus status;
    Connection http = Connect(server_);
    if (!http) {
        status.Message = "the print server " + ServerName(server_) + " can't be reached";
        return status;
    }
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 QueueUri(queue).c_str());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    const Ipp response(cupsDoRequest(http.get(), request, "/"));
    ipp_attribute_t* state =
        response ? ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM) : nullptr;
    if (state == nullptr) {
        status.Is = cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND ? JobStatus::State::Gone
                                                                  : JobStatus::State::Pending;
        status.Message = LastError();
        return status;
    }
    switch (ippGetInteger(state, 0)) {
    case IPP_JSTATE_PROCESSING:
        status.Is = JobStatus::State::Processing;
        break;
    case IPP_JSTATE_STOPPED:
        status.Is = JobStatus::State::Stopped;
        break;
    case IPP_JSTATE_CANCELED:
        status.Is = JobStatus::State::Cancelled;
        break;
    case IPP_JSTATE_ABORTED:
        status.Is = JobStatus::State::Aborted;
        break;
    case IPP_JSTATE_COMPLETED:
        status.Is = JobStatus::State::Completed;
        break;
    default:
        status.Is = JobStatus::State::Pending;
        break;
    }
    status.Message = TextOf(response.get(), "job-printer-state-message");
    if (status.Message.empty() && status.Is != JobStatus::State::Completed) {
        ipp_t* printer = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(printer, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     QueueUri(queue).c_str());
        const Ipp answer(cupsDoRequest(http.get(), printer, "/"));
        if (answer) {
            status.Message = TextOf(answer.get(), "printer-state-message");
        }
    }
    return status;
}

} // namespace varnak::print
