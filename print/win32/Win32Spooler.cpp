#include "print/win32/Win32Spooler.h"

#include "platform/files/WideText.h"

#include <vector>

#include <windows.h>
#include <winspool.h>

namespace varnak::print {
namespace {

using platform::Narrow;
using platform::Widen;

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text != nullptr ? text : L"";
    LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : Narrow(message);
}

class Printer {
public:
    explicit Printer(const std::string& name) {
        std::wstring wide = Widen(name);
        if (!OpenPrinterW(wide.data(), &handle_, nullptr)) {
            handle_ = nullptr;
        }
    }
    ~Printer() {
        if (handle_ != nullptr) {
            ClosePrinter(handle_);
        }
    }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

class Win32Job : public SpoolJob {
public:
    Win32Job(std::unique_ptr<Printer> printer, int id) : printer_(std::move(printer)), id_(id) {}
    ~Win32Job() override {
        if (!ended_) {
            Cancel();
        }
    }

    int Id() const override { return id_; }

    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            DWORD written = 0;
            const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            if (!WritePrinter(printer_->Get(), const_cast<char*>(bytes.data()), piece, &written) ||
                written == 0) {
                error_ = SystemMessage(GetLastError());
                return false;
            }
            bytes.remove_prefix(written);
        }
        return true;
    }

    bool Finish() override {
        if (!EndDocPrinter(printer_->Get())) {
            error_ = SystemMessage(GetLastError());
            return false;
        }
        ended_ = true;
        return true;
    }

    void Cancel() override {
        ended_ = true;
        AbortPrinter(printer_->Get());
    }

    std::string Error() const override { return error_; }

private:
    std::unique_ptr<Printer> printer_;
    int id_;
    std::string error_;
    bool ended_ = false;
};

} // namespace

Spooler::Queue Win32Spooler::FindQueue(const std::string& name) {
    std::string queue = name;
    if (queue.empty()) {
        DWORD size = 0;
        GetDefaultPrinterW(nullptr, &size);
        std::wstring defaultName(size, L'\0');
        if (size == 0 || !GetDefaultPrinterW(defaultName.data(), &size)) {
            return {name, "No printer was named with -d, and no default printer is set."};
        }
        defaultName.resize(size > 0 ? size - 1 : 0);
        queue = Narrow(defaultName);
    }
    const Printer printer(queue);
    if (printer.Get() == nullptr) {
        return {queue, "The printer " + queue + " does not exist."};
    }
    DWORD needed = 0;
    GetPrinterW(printer.Get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed > 0 && GetPrinterW(printer.Get(), 2, buffer.data(), needed, &needed)) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        if ((info->Status & PRINTER_STATUS_PENDING_DELETION) != 0) {
            return {queue, "The printer " + queue + " does not accept jobs."};
        }
    }
    return {queue, {}};
}

std::unique_ptr<SpoolJob> Win32Spooler::StartJob(const std::string& queue, const std::string& title,
                                                 std::string& error) {
    auto printer = std::make_unique<Printer>(queue);
    if (printer->Get() == nullptr) {
        error = "the printer " + queue + " can't be opened: " + SystemMessage(GetLastError());
        return nullptr;
    }
    std::wstring document = Widen(title);
    wchar_t raw[] = L"RAW";
    DOC_INFO_1W info{document.data(), nullptr, raw};
    const DWORD id = StartDocPrinterW(printer->Get(), 1, reinterpret_cast<BYTE*>(&info));
    if (id == 0) {
        error = SystemMessage(GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32Job>(std::move(printer), static_cast<int>(id));
}

JobStatus Win32Spooler::Status(const std::string& queue, int job) {
    JobStatus status;
    const Printer printer(queue);
    DWORD needed = 0;
    GetJobW(printer.Get(), static_cast<DWORD>(job), 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (printer.Get() == nullptr || needed == 0 ||
        !GetJobW(printer.Get(), static_cast<DWORD>(job), 1, buffer.data(), needed, &needed)) {
        status.Is = JobStatus::State::Gone;
        return status;
    }
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    if (info->pStatus != nullptr) {
        status.Message = Narrow(info->pStatus);
    }
    const DWORD bits = info->Status;
    if ((bits & (JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE)) != 0) {
        status.Is = JobStatus::State::Completed;
    } else if ((bits & (JOB_STATUS_DELETED | JOB_STATUS_DELETING)) != 0) {
        status.Is = JobStatus::State::Cancelled;
    } else if ((bits & JOB_STATUS_ERROR) != 0) {
        status.Is = JobStatus::State::Aborted;
    } else if ((bits & (JOB_STATUS_PRINTING | JOB_STATUS_SPOOLING)) != 0) {
        status.Is = JobStatus::State::Processing;
    }
    return status;
}

} // namespace varnak::print
