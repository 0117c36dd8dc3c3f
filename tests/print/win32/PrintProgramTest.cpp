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
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace varnak {
namespace {

constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";

struct Found {
    DWORD process = 0;
    HWND window = nullptr;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    auto& found = *reinterpret_cast<Found*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    if (process == found.process && lstrcmpW(title, L"ZOR Brevant") == 0 &&
        GetDlgItem(hwnd, ids::IDC_COPIES) != nullptr) {
        found.window = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The program started, ended when the test is: one left waiting for a click would keep
// Wine's server, and every later run in the prefix, waiting for it.
struct Started {
    PROCESS_INFORMATION info{};
    Started() = default;
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    ~Started() {
        if (info.hProcess != nullptr) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 1);
                WaitForSingleObject(info.hProcess, 10000);
            }
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
};

std::string WindowsPath(std::string path) {
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + path;
}

TEST(PrintProgramTest, AConfirmedJobReachesTheWindowsPrinter) {
    const char* queue = std::getenv("VARNAK_TEST_QUEUE");
    const char* expectedFile = std::getenv("VARNAK_TEST_EXPECTED");
    if (queue == nullptr || expectedFile == nullptr) {
        GTEST_SKIP() << "started by tests/print/cups-test.py";
    }
    test::RegistrySandbox registry;
    test::TempDir dir;
    const auto overlays = dir.Path() / "overlays";
    std::filesystem::create_directories(overlays);
    test::WriteFileBytes(overlays / "7.mac", "macro");
    registry.SetText("SOFTWARE\\quet\\quetprint", "WorkingDirectory", overlays.string());
    registry.SetDword(SettingsKey, "CoverPageFormOverlay", 7);
    registry.SetDword(SettingsKey, "LastTab", 1);
    JobSettings settings;
    SettingsStore(registry.Registry()).Load(settings);
    const std::string document = "%!PS through the Windows spooler\r\n\x1a\x00 binary";
    test::WriteFileBytes(dir.File("job.ps"), document);
    test::WriteFileBytes(expectedFile,
                         TicketEnvelope::Wrap(BuildCommandString(settings, true)) + document);

    std::string commandLine = WindowsPath(VARNAK_PRINT_PROGRAM);
    commandLine.insert(commandLine.begin(), '"');
    commandLine.append("\" -d ")
        .append(queue)
        .append(" \"")
        .append(dir.File("job.ps"))
        .append("\"");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    Started program;
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &program.info));
    Found found{program.info.dwProcessId, nullptr};
    for (int wait = 0; wait < 600 && found.window == nullptr; ++wait) {
        WaitForInputIdle(program.info.hProcess, 100);
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
    }
    ASSERT_NE(found.window, nullptr) << "the dialog did not open";
    const HWND ok = GetDlgItem(found.window, ids::IDC_OK);
    EXPECT_TRUE(IsWindowEnabled(ok)) << "a stored cover sheet enables OK";
    SendMessageW(ok, BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.info.hProcess, 60000), WAIT_OBJECT_0);
    DWORD status = 1;
    GetExitCodeProcess(program.info.hProcess, &status);
    EXPECT_EQ(status, 0u);
}

} // namespace
} // namespace varnak
