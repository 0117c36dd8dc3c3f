// Any sequence of user actions on the whole run: the dialog and its four pages on the
// headless backend, over a small overlay directory and a registry file. Nothing may crash;
// a run that ends with OK writes a ticket of plain text and a registry file that parses;
// any other end leaves the registry file as it was.
#include "app/CVarnakApp.h"
#include "platform/registry/FileRegistry.h"
#include "platform/registry/RegFile.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/headless/HeadlessBackend.h"
#include "ui/ControlIds.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>

namespace varnak {
namespace {

namespace fs = std::filesystem;
using toolkit::ControlKind;
using toolkit::Driver;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Reads the fuzz input a byte at a time; past its end every byte is 0.
class Input {
public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Empty() const { return at_ >= bytes_.size(); }
    std::uint8_t Next() { return Empty() ? 0 : bytes_[at_++]; }

    // Mostly what the fields are meant for, with any byte at all now and then.
    std::string Text() {
        static constexpr std::string_view Alphabet = "0123456789,-  x0";
        std::string text;
        for (int length = Next() % 8; length > 0; --length) {
            const std::uint8_t byte = Next();
            text += byte >= 0xF0 ? static_cast<char>(Next()) : Alphabet[byte % Alphabet.size()];
        }
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

void ActOnControl(Driver& user, const toolkit::ControlState& control, std::uint8_t how,
                  Input& input) {
    switch (control.Kind) {
    case ControlKind::ComboBox:
        if (!control.Items.empty()) {
            user.Pick(control.Id, control.Items[input.Next() % control.Items.size()]);
        }
        break;
    case ControlKind::Edit:
        if (how % 2 == 0) {
            user.Type(control.Id, input.Text());
        } else {
            user.TypeKeys(control.Id, input.Text());
        }
        break;
    case ControlKind::ListView:
        // One row past each end too: the driver must refuse it.
        user.SelectRow(control.Id, static_cast<int>(input.Next() % (control.Rows.size() + 3)) - 2);
        break;
    case ControlKind::Label:
    case ControlKind::GroupBox:
        user.PressEnter(control.Id);
        break;
    default:
        user.Click(control.Id);
        break;
    }
}

void PlayUser(Driver& user, Input& input) {
    for (int step = 0; step < 64 && !input.Empty() && user.DialogOpen(); ++step) {
        const std::uint8_t action = input.Next();
        switch (action % 8) {
        case 0:
            user.SelectTab(input.Next() % 6);
            break;
        case 6:
            if (const auto controls = user.Controls(); !controls.empty()) {
                user.PressEnter(controls[input.Next() % controls.size()].Id);
            }
            break;
        case 7:
            if (input.Next() % 4 == 0) {
                user.PressEscape();
            }
            break;
        default:
            if (const auto controls = user.Controls(); !controls.empty()) {
                ActOnControl(user, controls[input.Next() % controls.size()], action / 8, input);
            }
            break;
        }
    }
    if (user.DialogOpen()) {
        user.Click(ids::IDC_OK);
    }
}

struct Setup {
    fs::path directory;
    fs::path registryFile;
    fs::path ticket;
    std::string firstRun;      // only the companion program's key
    std::string rememberedRun; // a registry in which an earlier job was confirmed
};

// The whole run; how the dialog ended.
int Run(const Setup& setup, const std::string& commandLine, const toolkit::UserFunction& user) {
    toolkit::headless::ScriptedHeadlessBackend backend;
    backend.SetUser(user);
    platform::FileRegistry registry(setup.registryFile);
    CVarnakApp app(backend.Get(), registry, commandLine);
    app.InitInstance();
    return app.DialogResult();
}

const Setup& TheSetup() {
    static const Setup setup = [] {
        Setup made;
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        made.directory = base / ("varnak-fuzz-dialog-" + std::to_string(::getpid()));
        fs::create_directories(made.directory / "overlays");
        for (const char* name : {"1", "3", "12", "007"}) {
            WriteBytes(made.directory / "overlays" / (std::string(name) + ".mac"), "");
        }
        WriteBytes(made.directory / "overlays" / "12.mat", std::string("T\0w\0e\0l\0v\0e\0", 12));
        made.registryFile = made.directory / "registry.reg";
        made.ticket = made.directory / "job.prn";
        made.firstRun = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint]\r\n"
                        "\"WorkingDirectory\"=\"" +
                        (made.directory / "overlays").string() + "\"\r\n";
        WriteBytes(made.registryFile, made.firstRun);
        const int result = Run(made, "-R\"" + made.ticket.string() + "\"", [](Driver& user) {
            user.SelectTab(3);
            user.Pick(ids::IDC_PAGE_OVERLAY, "12");
            user.Type(ids::IDC_PAGE_NUMBERS, "5,9");
            user.Click(ids::IDC_PAGE_APPLY);
            user.Type(ids::IDC_COPIES, "2");
            user.Pick(ids::IDC_DEFAULT_OVERLAY, "3");
            user.Click(ids::IDC_OK);
        });
        if (result != toolkit::IdOk) {
            std::abort(); // the remembered setup itself must work
        }
        made.rememberedRun = ReadBytes(made.registryFile);
        std::atexit([] { fs::remove_all(TheSetup().directory); });
        return made;
    }();
    return setup;
}

bool IsPlainText(const std::string& ticket) {
    return std::ranges::all_of(ticket, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= 0x20 && byte < 0x7F) || byte == '\r' || byte == '\n' || byte == 0x1B;
    });
}

} // namespace
} // namespace varnak

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace varnak;
    const Setup& setup = TheSetup();
    Input input({data, size});
    const std::uint8_t options = input.Next();
    const std::string& registry = options % 2 == 0 ? setup.firstRun : setup.rememberedRun;
    WriteBytes(setup.registryFile, registry);
    fs::remove(setup.ticket);
    fs::remove(setup.ticket.string() + "_debug");
    std::string commandLine = "-R\"" + setup.ticket.string() + "\"";
    if ((options & 2) != 0) {
        commandLine = "-DEBUG " + commandLine;
    }

    const int result =
        Run(setup, commandLine, [&](toolkit::Driver& user) { PlayUser(user, input); });

    if (result != toolkit::IdOk) {
        if (ReadBytes(setup.registryFile) != registry) {
            std::abort(); // a job that wasn't confirmed changed the stored settings
        }
        return 0;
    }
    const std::string ticket = ReadBytes(setup.ticket);
    if (ticket.size() < 64 || !IsPlainText(ticket)) {
        std::abort();
    }
    if ((options & 2) != 0 && ReadBytes(setup.ticket.string() + "_debug") != ticket) {
        std::abort();
    }
    if (!platform::RegFile::Parse(ReadBytes(setup.registryFile))) {
        std::abort();
    }
    return 0;
}
