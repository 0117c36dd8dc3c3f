// The Windows Installer packages, installed by msiexec in a Wine prefix of this test's own
// (tests/package/msi-test.sh): the files, the settings key in the package's registry view and
// one installed-programs entry; a whole job through the installed varnak.exe to the worked
// example's ticket; a newer package that replaces it and keeps every stored value, an older
// one that is refused, and an uninstall that removes the files.
#include "VarnakVersion.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkedExamples.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace varnak {
namespace {

using namespace ids;
namespace fs = std::filesystem;

constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";
constexpr const char* CompanionKey = "SOFTWARE\\quet\\quetprint";
constexpr const char* UninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* Example = VARNAK_SOURCE_DIR "/tests/acceptance/document-page-example";

// A Unix path as Wine sees it: on drive Z:.
std::string WinePath(const std::string& path) {
    std::string windows = "Z:";
    for (const char c : path) {
        windows += c == '/' ? '\\' : c;
    }
    return windows;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

DWORD RunAndWait(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return ~DWORD{0};
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = ~DWORD{0};
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

// The per-machine registry in one view, 64-bit or 32-bit, whatever this process's own is.
class RegistryView {
public:
    explicit RegistryView(REGSAM view) : view_(view) {}

    bool HasKey(const char* subKey) const {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ | view_, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    // Every value of the key, by name: its type and bytes.
    std::map<std::string, std::string> Values(const char* subKey) const {
        std::map<std::string, std::string> values;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ | view_, &key) != ERROR_SUCCESS) {
            return values;
        }
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameSize = sizeof name;
            DWORD type = 0;
            BYTE data[1024];
            DWORD dataSize = sizeof data;
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
                ERROR_SUCCESS) {
                break;
            }
            values[name] = std::to_string(type) + ":" +
                           std::string(reinterpret_cast<const char*>(data), dataSize);
        }
        RegCloseKey(key);
        return values;
    }

    std::string Text(const std::string& subKey, const char* name) const {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ | view_, &key) !=
            ERROR_SUCCESS) {
            return {};
        }
        char text[256] = {};
        DWORD size = sizeof text - 1;
        DWORD type = 0;
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        return type == REG_SZ ? text : "";
    }

    void SetText(const char* subKey, const char* name, const std::string& text) const {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, nullptr, 0, KEY_WRITE | view_,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }

    // The installed programs entries named Varnak, as "version publisher".
    std::vector<std::string> VarnakEntries() const {
        std::vector<std::string> entries;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ | view_, &key) !=
            ERROR_SUCCESS) {
            return entries;
        }
        char product[256];
        for (DWORD i = 0; RegEnumKeyA(key, i, product, sizeof product) == ERROR_SUCCESS; ++i) {
            const std::string entry = std::string(UninstallKey) + "\\" + product;
            if (Text(entry, "DisplayName") == "Varnak") {
                entries.push_back(Text(entry, "DisplayVersion") + " " + Text(entry, "Publisher"));
            }
        }
        RegCloseKey(key);
        return entries;
    }

    void RemoveProductFamilyKeys() const {
        HKEY software = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view_, &software) ==
            ERROR_SUCCESS) {
            RegDeleteTreeA(software, "quet");
            RegCloseKey(software);
        }
    }

private:
    REGSAM view_;
};

std::vector<std::string> VarnakEntries() {
    auto entries = RegistryView(KEY_WOW64_64KEY).VarnakEntries();
    for (auto& entry : RegistryView(KEY_WOW64_32KEY).VarnakEntries()) {
        entries.push_back(entry);
    }
    return entries;
}

// varnak.exe as a workflow starts it, with a user who acts on its dialog from another
// process the way assistive tools do: texts set, items picked with the notification a pick
// sends, buttons clicked, pages chosen on the tab control. Each message is sent, not posted,
// so it has been handled when the call returns.
class RunningProgram {
public:
    explicit RunningProgram(std::string commandLine) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process_)) {
            ADD_FAILURE() << "cannot start " << commandLine;
            return;
        }
        // Idle in its message loop: the dialog is up.
        EXPECT_EQ(WaitForInputIdle(process_.hProcess, 60000), 0u);
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(this));
        EXPECT_NE(dialog_, nullptr) << "no ZOR Brevant dialog";
    }
    ~RunningProgram() {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 99);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return dialog_ != nullptr; }

    void Type(int id, const char* text) {
        if (const HWND edit = Control(id)) {
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        }
    }

    void Pick(int id, const char* item) {
        const HWND combo = Control(id);
        if (combo == nullptr) {
            return;
        }
        const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(item));
        if (index == CB_ERR) {
            ADD_FAILURE() << "combo box " << id << " has no item " << item;
            return;
        }
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }

    void Click(int id) {
        const HWND button = Control(id);
        if (button == nullptr) {
            return;
        }
        EXPECT_TRUE(IsWindowEnabled(button)) << "button " << id << " is disabled";
        SendMessageA(button, BM_CLICK, 0, 0);
    }

    // Without the button style, moving the tab control's focus selects the tab and sends
    // the notifications of a click on it.
    void SelectTab(int index) {
        HWND tabs = nullptr;
        EnumChildWindows(dialog_, FindTabs, reinterpret_cast<LPARAM>(&tabs));
        ASSERT_NE(tabs, nullptr) << "no tab control";
        SendMessageA(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
        EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), index);
    }

    // The program's exit status, once it has ended.
    DWORD Wait() {
        if (WaitForSingleObject(process_.hProcess, 60000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the program did not end";
            return ~DWORD{0};
        }
        DWORD status = ~DWORD{0};
        GetExitCodeProcess(process_.hProcess, &status);
        return status;
    }

private:
    struct Search {
        int Id;
        HWND Found;
    };

    // The shown control with the id: on the dialog or on its active page.
    HWND Control(int id) {
        Search search{id, nullptr};
        EnumChildWindows(dialog_, FindControl, reinterpret_cast<LPARAM>(&search));
        EXPECT_NE(search.Found, nullptr) << "no control " << id << " is shown";
        return search.Found;
    }

    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
        auto& program = *reinterpret_cast<RunningProgram*>(param);
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        char title[64] = {};
        GetWindowTextA(hwnd, title, sizeof title);
        if (process == program.process_.dwProcessId && lstrcmpA(title, "ZOR Brevant") == 0) {
            program.dialog_ = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    static BOOL CALLBACK FindControl(HWND hwnd, LPARAM param) {
        auto& search = *reinterpret_cast<Search*>(param);
        if (GetDlgCtrlID(hwnd) == search.Id && IsWindowVisible(hwnd)) {
            search.Found = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    static BOOL CALLBACK FindTabs(HWND hwnd, LPARAM param) {
        char name[32] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (lstrcmpiA(name, WC_TABCONTROLA) == 0) {
            *reinterpret_cast<HWND*>(param) = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
};

// The document-mode worked example, as an operator types it on a first run.
void RunDocumentExample(RunningProgram& program) {
    program.SelectTab(3);
    for (const auto& entry : test::DocumentExampleInputs) {
        program.Type(IDC_PAGE_NUMBERS, entry.page);
        program.Pick(IDC_PAGE_OVERLAY, entry.overlay);
        program.Pick(IDC_PAGE_TRAY, entry.tray);
        program.Click(IDC_PAGE_APPLY);
    }
    program.Type(IDC_COPIES, "2");
    program.Click(IDC_OK);
}

struct PackageCase {
    const char* name;
    REGSAM view;
    REGSAM otherView;
    const char* programFiles; // the environment variable that names the folder
};

std::ostream& operator<<(std::ostream& out, const PackageCase& c) {
    return out << c.name;
}

class InstallTest : public ::testing::TestWithParam<PackageCase> {
protected:
    DWORD Msiexec(const char* action, const std::string& package, const char* log) {
        std::string commandLine = "msiexec.exe ";
        commandLine += action;
        return RunAndWait(commandLine + " " + Quoted(WinePath(package)) + " /qn /l*v " +
                          Quoted(dir.File(log)));
    }

    test::TempDir dir;
};

TEST_P(InstallTest, InstallsRunsUpgradesAndUninstalls) {
    const PackageCase& c = GetParam();
    const std::string arch = c.name;
    const std::string package = Environment(("VARNAK_MSI_" + arch).c_str());
    const std::string next = Environment(("VARNAK_MSI_NEXT_" + arch).c_str());
    const std::string nextVersion = Environment("VARNAK_NEXT_VERSION");
    if (package.empty()) {
        GTEST_SKIP() << "no " << arch << " package given (VARNAK_MSI_" << arch << ")";
    }
    const RegistryView view(c.view);
    const RegistryView otherView(c.otherView);
    view.RemoveProductFamilyKeys();
    otherView.RemoveProductFamilyKeys();
    const fs::path folder = fs::path(Environment(c.programFiles)) / "Varnak";

    ASSERT_EQ(Msiexec("/i", package, "install.log"), 0u);
    for (const char* file :
         {"varnak.exe", "varnak-explain.exe", "varnak-print.exe", "manual.html"}) {
        EXPECT_TRUE(fs::is_regular_file(folder / file)) << file;
    }
    EXPECT_TRUE(view.HasKey(SettingsKey));
    EXPECT_FALSE(otherView.HasKey(SettingsKey)) << "the other view";
    EXPECT_FALSE(view.HasKey(CompanionKey)) << "the companion's key";
    EXPECT_EQ(VarnakEntries(), std::vector<std::string>{VARNAK_VERSION_TEXT " quet"});

    view.SetText(CompanionKey, "WorkingDirectory", WinePath(std::string(Example) + "/overlays"));
    const std::string ticket = dir.File("job 7.tkt");
    {
        RunningProgram program(Quoted((folder / "varnak.exe").string()) + " -R" + Quoted(ticket));
        ASSERT_TRUE(program.Started());
        RunDocumentExample(program);
        EXPECT_EQ(program.Wait(), 0u);
    }
    EXPECT_EQ(test::ReadFileBytes(ticket),
              test::ReadFileBytes(WinePath(std::string(Example) + "/expected-files/job.prn")));
    const auto saved = view.Values(SettingsKey);
    EXPECT_EQ(saved.contains("NumberOfCopies") ? saved.at("NumberOfCopies") : "",
              std::string("4:\x02\0\0\0", 6))
        << "the job's copy count was not saved";

    ASSERT_EQ(Msiexec("/i", next, "upgrade.log"), 0u);
    EXPECT_EQ(VarnakEntries(), std::vector<std::string>{nextVersion + " quet"});
    EXPECT_EQ(view.Values(SettingsKey), saved) << "after the upgrade";

    constexpr DWORD InstallFailure = 1603; // the downgrade's launch condition is false
    EXPECT_EQ(Msiexec("/i", package, "downgrade.log"), InstallFailure);
    EXPECT_EQ(VarnakEntries(), std::vector<std::string>{nextVersion + " quet"});

    ASSERT_EQ(Msiexec("/x", next, "uninstall.log"), 0u);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(VarnakEntries().empty());
    EXPECT_EQ(view.Values(SettingsKey), saved) << "the settings stay";
    view.RemoveProductFamilyKeys();
}

INSTANTIATE_TEST_SUITE_P(
    Packages, InstallTest,
    ::testing::Values(PackageCase{"X64", KEY_WOW64_64KEY, KEY_WOW64_32KEY, "ProgramW6432"},
                      PackageCase{"X86", KEY_WOW64_32KEY, KEY_WOW64_64KEY, "ProgramFiles(x86)"}),
    test::ByCaseName);

} // namespace
} // namespace varnak
