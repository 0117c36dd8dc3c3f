// varnak.exe: one job per run, on Windows' own dialogs, with the per-machine registry.
#include "app/CVarnakApp.h"
#include "app/win32/ProgramArguments.h"
#include "platform/registry/Registry.h"
#include "platform/toolkit/win32/Win32Backend.h"

#include <objbase.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // In the ANSI code page, like the file functions that open the ticket by this name.
    const std::string commandLine = varnak::ProgramArguments(GetCommandLineA());
    // ShellExecute, which opens the online manual, wants COM on the calling thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    varnak::toolkit::win32::Win32Backend backend;
    auto registry = varnak::platform::OpenMachineRegistry();
    varnak::CVarnakApp app(backend, *registry, commandLine);
    app.InitInstance();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return app.ExitStatus();
}
