// varnak-print.exe [-d PRINTER] [-t TITLE] [--wait[=SECONDS]] [--keep-ticket FILE] [FILE | -]
// The job-ticket dialog on Windows' own dialogs, then ticket and document to a printer as one
// RAW job through the spooler.
#include "platform/files/WideText.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/win32/Win32Backend.h"
#include "print/PrintRun.h"
#include "print/win32/Win32Spooler.h"

#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <iostream>
#include <string>
#include <variant>
#include <vector>

namespace {

// The arguments after the program's name, split as Windows splits them, in UTF-8.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(varnak::platform::Narrow(words[i]));
    }
    LocalFree(words);
    return arguments;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The document's bytes and the messages pass unchanged.
    _setmode(_fileno(stdin), _O_BINARY);
    // ShellExecute, which opens the online manual, wants COM on the calling thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    varnak::toolkit::win32::Win32Backend backend;
    int status = varnak::print::ExitUsage;
    const auto parsed = varnak::print::ParsePrintArguments(Arguments());
    if (const auto* error = std::get_if<varnak::print::UsageError>(&parsed)) {
        std::cerr << error->Message << '\n' << varnak::print::PrintUsage << '\n';
        backend.ShowMessage(nullptr, error->Message, "ZOR Brevant",
                            varnak::toolkit::MessageIcon::Warning);
    } else if (const auto& options = std::get<varnak::print::PrintOptions>(parsed);
               !options.Server.empty()) {
        const std::string text = "varnak-print: -h is not available on Windows: a printer on "
                                 "another server is named \\\\server\\printer with -d";
        std::cerr << text << '\n';
        backend.ShowMessage(nullptr, text, "ZOR Brevant", varnak::toolkit::MessageIcon::Warning);
    } else {
        const auto registry = varnak::platform::OpenMachineRegistry();
        varnak::print::Win32Spooler spooler;
        varnak::print::PrintEnvironment environment{backend,  *registry, spooler,
                                                    std::cin, std::cout, std::cerr};
        status = varnak::print::RunPrintJob(options, environment).Status;
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return status;
}
