// varnak.exe itself, started as a workflow starts it, confirmed by another process the way
// assistive tools press a button: its command line, manifest, registry and ticket.
#include "core/CommandBuilder.h"
#include "core/JobSettings.h"
#include "store/SettingsStore.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkedExamples.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

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
    if (process == found.process && lstrcmpW(title, L"ZOR Brevant") == 0) {
        found.window = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The program's Unix path as Wine sees it: on drive Z:.
std::string ProgramPath() {
    std::string path = "Z:" VARNAK_PROGRAM;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

TEST(ProgramTest, WorkflowStartsItAndGetsTheTicketAfterOk) {
    test::RegistrySandbox registry;
    test::TempDir dir;
    const auto overlays = dir.Path() / "overlays";
    std::filesystem::create_directories(overlays);
    test::WriteFileBytes(overlays / "7.mac", "macro");
    registry.SetText("SOFTWARE\\quet\\quetprint", "WorkingDirectory", overlays.string());
    registry.SetDword(SettingsKey, "NumberOfCopies", 3);
    registry.SetDword(SettingsKey, "CoverPageFormOverlay", 7);
    registry.SetDword(SettingsKey, "CoverPageInputTray", 1);
    registry.SetDword(SettingsKey, "LastTab", 1);
    JobSettings settings;
    SettingsStore(registry.Registry()).Load(settings);
    const std::string expected = test::Pjl(BuildCommandString(settings, true));

    const std::string ticket = dir.File("job 7.tkt");
    std::string commandLine = "\"" + ProgramPath() + "\" -R\"" + ticket + "\" -DEBUG";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    // Idle in its message loop: the dialog is up.
    EXPECT_EQ(WaitForInputIdle(process.hProcess, 60000), 0u);
    Found found{process.dwProcessId, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
    ASSERT_NE(found.window, nullptr);
    const HWND ok = GetDlgItem(found.window, ids::IDC_OK);
    EXPECT_TRUE(IsWindowEnabled(ok)) << "a stored cover sheet enables OK";
    SendMessageW(ok, BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    EXPECT_EQ(status, 0u);
    EXPECT_EQ(test::ReadFileBytes(ticket), expected);
    EXPECT_EQ(test::ReadFileBytes(ticket + "_debug"), expected);
    const auto lastTab = registry.Get(SettingsKey, "LastTab");
    ASSERT_TRUE(lastTab);
    EXPECT_EQ(lastTab->Bytes, test::DwordBytes(1)) << "saved after OK";
}

} // namespace
} // namespace varnak
