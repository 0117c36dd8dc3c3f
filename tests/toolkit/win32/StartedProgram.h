#pragma once

// One of our programs started as a workflow starts it, in its own process, and its dialog
// found and confirmed from outside, the way assistive tools press a button.
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "ui/ControlIds.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace varnak::test {

// A Unix path as Wine's programs see it: on drive Z:.
inline std::string WindowsPath(std::string path) {
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + path;
}

inline constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";

// The machine after a job that kept overlay 7 as its cover sheet and ended on Cover Page:
// the overlay installed in the working directory under dir, so OK is enabled from the start.
inline void StoreCoverSheetJob(RegistrySandbox& registry, const TempDir& dir) {
    const auto overlays = dir.Path() / "overlays";
    std::filesystem::create_directories(overlays);
    WriteFileBytes(overlays / "7.mac", "macro");
    registry.SetText("SOFTWARE\\quet\\quetprint", "WorkingDirectory", overlays.string());
    registry.SetDword(SettingsKey, "CoverPageFormOverlay", 7);
    registry.SetDword(SettingsKey, "LastTab", 1);
}

// The process, ended when the test is: one left waiting for a click would keep Wine's
// server, and every later run in the prefix, waiting for it.
class StartedProgram {
public:
    // The program by its Unix path, with the rest of its command line.
    StartedProgram(const std::string& program, const std::string& arguments) {
        std::string commandLine = "\"";
        commandLine.append(WindowsPath(program)).append("\" ").append(arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info_) == FALSE) {
            info_ = {};
        }
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram() {
        if (info_.hProcess != nullptr) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info_.hProcess, 1);
                WaitForSingleObject(info_.hProcess, 10000);
            }
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
        }
    }

    bool Running() const { return info_.hProcess != nullptr; }

    // The program's "ZOR Brevant" dialog once it is whole, shown and waiting for the user;
    // null after about a minute.
    HWND Dialog() const {
        Found found{info_.dwProcessId, nullptr};
        for (int wait = 0; wait < 600 && found.window == nullptr && Running(); ++wait) {
            WaitForInputIdle(info_.hProcess, 100);
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        }
        if (found.window != nullptr) {
            WaitForInputIdle(info_.hProcess, 10000);
        }
        return found.window;
    }

    // The exit status, or -1 when it doesn't end within a minute.
    long ExitStatus() const {
        DWORD status = 0;
        if (!Running() || WaitForSingleObject(info_.hProcess, 60000) != WAIT_OBJECT_0 ||
            GetExitCodeProcess(info_.hProcess, &status) == FALSE) {
            return -1;
        }
        return static_cast<long>(status);
    }

private:
    struct Found {
        DWORD process = 0;
        HWND window = nullptr;
    };

    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
        auto& found = *reinterpret_cast<Found*>(param);
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        wchar_t title[64] = {};
        GetWindowTextW(hwnd, title, 64);
        if (process == found.process && lstrcmpW(title, L"ZOR Brevant") == 0 &&
            GetDlgItem(hwnd, ids::IDC_OK) != nullptr && IsWindowVisible(hwnd) != FALSE) {
            found.window = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    PROCESS_INFORMATION info_{};
};

} // namespace varnak::test
