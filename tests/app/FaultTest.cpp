// Whole runs against a broken environment: a damaged registry file, an output that fails
// part-way, a strange overlay directory, absurd command lines. Nothing may crash, the
// user is told what matters, and nothing stored is lost.
#include "app/CVarnakApp.h"
#include "app/CommandLine.h"
#include "overlays/OverlayCatalog.h"
#include "platform/registry/FileRegistry.h"
#include "platform/toolkit/Driver.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"
#include "tests/toolkit/TestBackend.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnak {
namespace {

using namespace ids;
using test::ReadFileBytes;
using test::WriteFileBytes;
using toolkit::Driver;
using toolkit::UserEvent;
namespace fs = std::filesystem;

class FaultTest : public ::testing::Test {
protected:
    int RunApp(const std::string& commandLine, const toolkit::UserFunction& user) {
        backend = test::MakeTestBackend();
        backend->SetUser(user);
        platform::FileRegistry registry(registryFile);
        CVarnakApp app(backend->Get(), registry, commandLine);
        app.InitInstance();
        return app.DialogResult();
    }

    // A separation sheet after page 5 is the least that makes OK usable without overlays.
    // Says which step was refused, if any: assertions can't report from a child process.
    static std::string TryAddSeparationSheetAndConfirm(Driver& user) {
        if (!user.SelectTab(3)) {
            return " tab refused";
        }
        if (!user.Type(IDC_PAGE_NUMBERS, "5") || !user.Click(IDC_PAGE_APPLY)) {
            return " page entry refused";
        }
        return user.Click(IDC_OK) ? "" : " OK refused";
    }
    static void AddSeparationSheetAndConfirm(Driver& user) {
        EXPECT_EQ(TryAddSeparationSheetAndConfirm(user), "");
    }

    std::string Ticket() const { return "-R\"" + dir.File("job.prn") + "\""; }

    test::TempDir dir;
    std::filesystem::path registryFile = dir.Path() / "registry.reg";
    std::unique_ptr<toolkit::ScriptedBackend> backend;
};

// Kills a child process whole runs of this test make at a moment of the test's choosing,
// measured from when the child says it is about to press OK.
class KilledRun {
public:
    // Runs body in a child; body calls Ready() right before the moment the kill is aimed at.
    explicit KilledRun(const std::function<void(const std::function<void()>&)>& body) {
        int channel[2];
        if (::pipe(channel) != 0) {
            return;
        }
        child_ = ::fork();
        if (child_ == 0) {
            ::close(channel[0]);
            body([&] { (void)!::write(channel[1], "r", 1); });
            ::_exit(0);
        }
        ::close(channel[1]);
        char ready = 0;
        ready_ = ::read(channel[0], &ready, 1) == 1;
        readyAt_ = std::chrono::steady_clock::now();
        ::close(channel[0]);
    }
    bool Ready() const { return child_ > 0 && ready_; }
    // Kills the child this long after it was ready (unless it has ended), and reaps it.
    void KillAfter(std::chrono::nanoseconds delay) {
        while (std::chrono::steady_clock::now() < readyAt_ + delay) {
        }
        ::kill(child_, SIGKILL);
        Wait();
    }
    // How long the child took from ready to its end.
    std::chrono::nanoseconds Wait() {
        int status = 0;
        ::waitpid(child_, &status, 0);
        return std::chrono::steady_clock::now() - readyAt_;
    }

private:
    pid_t child_ = -1;
    bool ready_ = false;
    std::chrono::steady_clock::time_point readyAt_;
};

// A workflow that times a job out kills it whenever it likes: whatever the moment, the
// ticket, its debug copy and the settings each hold their old or their whole new contents.
TEST_F(FaultTest, AJobKilledAnywhereDuringOkLeavesOldOrWholeNewFiles) {
    std::string pages;
    for (int page = 1; page <= 10000; ++page) {
        pages += (page > 1 ? "," : "") + std::to_string(page);
    }
    const std::string commandLine = Ticket() + " -DEBUG";
    const auto job = [&](const std::function<void()>& ready) {
        return [&, ready](Driver& user) {
            if (user.SelectTab(3) && user.Type(IDC_COPIES, "2") &&
                user.Type(IDC_PAGE_NUMBERS, pages) && user.Click(IDC_PAGE_APPLY)) {
                ready();
                user.Click(IDC_OK);
            }
        };
    };
    const fs::path ticket = dir.File("job.prn");
    const fs::path debug = dir.File("job.prn_debug");
    ASSERT_EQ(RunApp(Ticket(), AddSeparationSheetAndConfirm), toolkit::IdOk);
    const std::string oldTicket = ReadFileBytes(ticket);
    const std::string oldSettings = ReadFileBytes(registryFile);
    const auto restore = [&] {
        WriteFileBytes(ticket, oldTicket);
        WriteFileBytes(debug, oldTicket);
        WriteFileBytes(registryFile, oldSettings);
    };
    restore();
    ASSERT_EQ(RunApp(commandLine, job([] {})), toolkit::IdOk);
    const std::string newTicket = ReadFileBytes(ticket);
    const std::string newSettings = ReadFileBytes(registryFile);
    ASSERT_GT(newTicket.size(), 100000u);

    restore();
    // The longest of a few uninterrupted OKs; other work on the machine makes them vary.
    std::chrono::nanoseconds okTakes{0};
    for (int run = 0; run < 3; ++run) {
        restore();
        KilledRun measured(
            [&](const std::function<void()>& ready) { RunApp(commandLine, job(ready)); });
        ASSERT_TRUE(measured.Ready());
        okTakes = std::max(okTakes, measured.Wait());
    }

    std::mt19937 random(20261209);
    std::map<std::string, int> seen;
    constexpr int Rounds = 200;
    for (int round = 0; round < Rounds; ++round) {
        restore();
        KilledRun run([&](const std::function<void()>& ready) { RunApp(commandLine, job(ready)); });
        ASSERT_TRUE(run.Ready()) << "round " << round;
        // Spread evenly over the scales from a hundredth of an OK to four of them, so that
        // kills meet every step of OK even when a run is much slower than those measured.
        run.KillAfter(std::chrono::duration_cast<std::chrono::nanoseconds>(
            okTakes * std::exp2(std::uniform_real_distribution<>(-6.6, 2)(random))));
        const std::string nowTicket = ReadFileBytes(ticket);
        const std::string nowDebug = ReadFileBytes(debug);
        const std::string nowSettings = ReadFileBytes(registryFile);
        ASSERT_TRUE(nowTicket == oldTicket || nowTicket == newTicket) << "round " << round;
        ASSERT_TRUE(nowDebug == oldTicket || nowDebug == newTicket) << "round " << round;
        ASSERT_TRUE(nowSettings == oldSettings || nowSettings == newSettings) << "round " << round;
        ++seen[std::string(nowTicket == newTicket ? "new" : "old") + " ticket, " +
               (nowSettings == newSettings ? "new" : "old") + " settings"];
    }
    EXPECT_GT(seen["old ticket, old settings"], 0) << "no kill came before the ticket was in place";
    EXPECT_GT(seen["new ticket, new settings"], 0) << "no kill came after the settings were saved";
}

// The arguments a shell hands over, quotes removed: the ticket gets exactly the name given,
// and a -R whose name came out empty writes nothing anywhere.
TEST_F(FaultTest, ShellArgumentsNameTheTicketAsTheyStand) {
    const std::string quoted = dir.File("Report \"Q3\".prn");
    const std::string blankAndQuote = dir.File("a\"b c.prn");
    const std::string findings = test::InChild([&] {
        std::string found;
        if (::chdir(dir.Path().c_str()) != 0) {
            return std::string(" no chdir");
        }
        const auto run = [&](const std::vector<std::string>& arguments) {
            backend = test::MakeTestBackend();
            backend->SetUser([&](Driver& user) { found += TryAddSeparationSheetAndConfirm(user); });
            platform::FileRegistry registry(registryFile);
            CVarnakApp app(backend->Get(), registry, CommandLineFromArguments(arguments));
            app.InitInstance();
            return app.DialogResult();
        };
        if (run({"-R", quoted}) != toolkit::IdOk || !fs::exists(quoted)) {
            found += " the name with quotes was not written;";
        }
        if (run({"-R" + blankAndQuote}) != toolkit::IdOk || !fs::exists(blankAndQuote)) {
            found += " the name with a quote and a blank was not written;";
        }
        if (run({"-R", "-DEBUG"}) != toolkit::ResultStillOpen ||
            backend->Events().back().Text != "Could not open output file") {
            found += " an empty name was not refused;";
        }
        return found;
    });
    EXPECT_EQ(findings, "");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Report \"Q3\".prn", "a\"b c.prn", "registry.reg",
                                               "registry.reg.lock"}));
}

struct BrokenRegistryCase {
    const char* name;
    std::string content;
};

void PrintTo(const BrokenRegistryCase& c, std::ostream* out) {
    *out << c.name;
}

class BrokenRegistryTest : public FaultTest,
                           public ::testing::WithParamInterface<BrokenRegistryCase> {};

TEST_P(BrokenRegistryTest, RunsOnDefaultsAndLeavesTheFileAlone) {
    WriteFileBytes(registryFile, GetParam().content);
    const int result = RunApp(Ticket(), [](Driver& user) {
        EXPECT_EQ(user.ActiveTab(), 0) << "defaults open on the first page";
        EXPECT_EQ(user.State(IDC_COPIES)->Text, "1");
        AddSeparationSheetAndConfirm(user);
    });
    EXPECT_EQ(result, toolkit::IdOk) << "case: " << GetParam().name;
    EXPECT_TRUE(std::filesystem::exists(dir.File("job.prn")));
    EXPECT_EQ(ReadFileBytes(registryFile), GetParam().content) << "case: " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenRegistryTest,
    ::testing::Values(BrokenRegistryCase{"garbage", std::string("\x7f"
                                                                "ELF\x00\x01 not a registry",
                                                                21)},
                      BrokenRegistryCase{
                          "truncated",
                          "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-u"},
                      BrokenRegistryCase{
                          "truncated value",
                          "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-userinterface]"
                          "\r\n\"LastPageNumbers\"=\"5,8"}),
    test::ByCaseName);

TEST_F(FaultTest, DirectoryInPlaceOfTheRegistryFileIsLeftStanding) {
    std::filesystem::create_directory(registryFile);
    EXPECT_EQ(RunApp(Ticket(), AddSeparationSheetAndConfirm), toolkit::IdOk);
    EXPECT_TRUE(std::filesystem::is_directory(registryFile));
    EXPECT_TRUE(std::filesystem::exists(dir.File("job.prn")));
}

TEST_F(FaultTest, FullDiskKeepsTheDialogOpenAndSavesNothing) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    const int result = RunApp("-R\"/dev/full\"", [](Driver& user) {
        AddSeparationSheetAndConfirm(user);
        EXPECT_TRUE(user.State(IDC_OK)->Enabled) << "OK can be pressed again";
    });
    EXPECT_EQ(result, toolkit::ResultStillOpen);
    EXPECT_EQ(backend->Events(),
              (std::vector<UserEvent>{{UserEvent::Type::Message, toolkit::MessageIcon::Warning,
                                       "Error", "Could not write output file"}}));
    EXPECT_FALSE(std::filesystem::exists(registryFile)) << "an open dialog saves nothing";
}

TEST_F(FaultTest, AbsurdCommandLinesAreHandledLikeAnyOther) {
    std::string controls;
    for (int c = 1; c < 0x20; ++c) {
        controls += static_cast<char>(c);
    }
    const std::string huge = "-R\"" + std::string(1 << 20, 'x') + "\"";
    for (const std::string& commandLine :
         {controls, controls + "-R\"" + dir.File("c\x01.prn") + "\"", huge}) {
        EXPECT_NO_THROW(RunApp(commandLine, AddSeparationSheetAndConfirm));
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("c\x01.prn")));
    // The megabyte-long name can't be opened: reported, the dialog stays open.
    EXPECT_EQ(backend->Events().back().Text, "Could not open output file");
}

TEST_F(FaultTest, ReadOnlyOutputDirectoryKeepsTheDialogOpenAndTheSettings) {
    ASSERT_EQ(RunApp(Ticket(),
                     [](Driver& user) {
                         ASSERT_TRUE(user.SelectTab(3));
                         ASSERT_TRUE(user.Type(IDC_PAGE_NUMBERS, "5"));
                         ASSERT_TRUE(user.Click(IDC_PAGE_APPLY));
                         ASSERT_TRUE(user.Type(IDC_COPIES, "3"));
                         ASSERT_TRUE(user.Click(IDC_OK));
                     }),
              toolkit::IdOk);
    const std::string settings = ReadFileBytes(registryFile);
    // The registry stays writable for the child: only the output directory is refused.
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
    std::filesystem::permissions(registryFile, std::filesystem::perms::all);
    const auto output = dir.Path() / "read-only";
    std::filesystem::create_directory(output);
    std::filesystem::permissions(
        output, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                    std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    const std::string commandLine = "-R\"" + (output / "job.prn").string() + "\"";

    const std::string findings = test::InChildWithoutPrivileges([&] {
        std::string found;
        const int result = RunApp(commandLine, [&](Driver& user) {
            if (user.State(IDC_COPIES)->Text != "3") {
                found += " the stored copies were not shown";
            }
            found += TryAddSeparationSheetAndConfirm(user);
            if (!user.State(IDC_OK)->Enabled) {
                found += " OK can't be pressed again";
            }
        });
        if (result != toolkit::ResultStillOpen) {
            found += " the dialog closed";
        }
        if (backend->Events() !=
            std::vector<UserEvent>{{UserEvent::Type::Message, toolkit::MessageIcon::Warning,
                                    "Error", "Could not open output file"}}) {
            found += " the user wasn't told the output can't be opened";
        }
        return found;
    });
    EXPECT_EQ(findings, "");
    EXPECT_TRUE(std::filesystem::is_empty(output)) << "no partial ticket";
    EXPECT_EQ(ReadFileBytes(registryFile), settings) << "an open dialog saves nothing";
}

class OverlayDirectoryTest : public FaultTest {
protected:
    // Points the companion program's working directory at a folder of this test.
    std::filesystem::path MakeOverlayDirectory() {
        const auto overlays = dir.Path() / "overlays";
        std::filesystem::create_directory(overlays);
        platform::FileRegistry registry(registryFile);
        std::unique_ptr<platform::RegistryKey> key;
        EXPECT_EQ(
            registry.CreateKey("SOFTWARE\\quet\\quetprint", platform::KeyReadWriteAccess, key),
            platform::RegSuccess);
        const std::string value = overlays.string() + '\0';
        key->SetValue("WorkingDirectory", platform::RegSz,
                      reinterpret_cast<const std::uint8_t*>(value.data()),
                      static_cast<std::uint32_t>(value.size()));
        return overlays;
    }
    std::vector<std::string> List() {
        platform::FileRegistry registry(registryFile);
        OverlayCatalog catalog(registry);
        return catalog.ListOverlays();
    }
};

TEST_F(OverlayDirectoryTest, NamesThatAreNotTextStillListByTheirNumber) {
    const auto overlays = MakeOverlayDirectory();
    WriteFileBytes(overlays / "7\xff\xfe.mac", "");
    WriteFileBytes(overlays / "\xff.mac", "");
    std::filesystem::create_directory(overlays / "3.mac");
    auto listed = List();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"3", "7"}));
}

TEST_F(OverlayDirectoryTest, MissingDirectoryListsNothing) {
    std::filesystem::remove(MakeOverlayDirectory());
    EXPECT_TRUE(List().empty());
}

TEST_F(OverlayDirectoryTest, UnreadableDirectoryListsNothingAndTheJobCanStillBeConfirmed) {
    const auto overlays = MakeOverlayDirectory();
    WriteFileBytes(overlays / "12.mac", "");
    WriteFileBytes(overlays / "12.mat", "\x41");
    // Searchable but not readable: the files are there, the listing is refused.
    std::filesystem::permissions(overlays, std::filesystem::perms::owner_exec |
                                               std::filesystem::perms::others_exec);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::all); // for the ticket

    const std::string findings = test::InChildWithoutPrivileges([&] {
        std::string found;
        if (!List().empty()) {
            found += " an unreadable directory was listed";
        }
        const int result = RunApp(Ticket(), [&](Driver& user) {
            if (user.State(IDC_DEFAULT_OVERLAY)->Items != std::vector<std::string>{"None"}) {
                found += " the overlay list holds more than None";
            }
            found += TryAddSeparationSheetAndConfirm(user);
        });
        if (result != toolkit::IdOk) {
            found += " the job could not be confirmed";
        }
        return found;
    });
    std::filesystem::permissions(overlays, std::filesystem::perms::owner_all);
    EXPECT_EQ(findings, "");
    EXPECT_TRUE(std::filesystem::exists(dir.File("job.prn")));
}

// A FIFO or a link to an endless device in the overlay folder, as the remembered overlay and
// as one picked: the dialog opens and answers at once and shows no description.
TEST_F(OverlayDirectoryTest, DescriptionsThatAreNoFilesShowNothingAndNeverHang) {
    const auto overlays = MakeOverlayDirectory();
    WriteFileBytes(overlays / "12.mac", "");
    ASSERT_EQ(::mkfifo((overlays / "12.mat").c_str(), 0666), 0);
    WriteFileBytes(overlays / "13.mac", "");
    fs::create_symlink("/dev/zero", overlays / "13.mat");
    {
        platform::FileRegistry registry(registryFile);
        std::unique_ptr<platform::RegistryKey> key;
        ASSERT_EQ(registry.CreateKey("SOFTWARE\\quet\\sorb-userinterface",
                                     platform::KeyReadWriteAccess, key),
                  platform::RegSuccess);
        const std::uint32_t remembered = 12;
        key->SetValue("DefaultFormOverlay", platform::RegDword,
                      reinterpret_cast<const std::uint8_t*>(&remembered), sizeof remembered);
    }
    const std::string findings = test::InChild([&] {
        std::string found;
        RunApp(Ticket(), [&](Driver& user) {
            const auto shown = [&](const char* when) {
                if (!user.State(IDC_OVERLAY_DESCRIPTION)->Text.empty()) {
                    found += std::string(" a description was shown ") + when + ";";
                }
            };
            if (user.State(IDC_DEFAULT_OVERLAY)->Text != "12") {
                found += " the remembered overlay is not selected;";
            }
            shown("for a FIFO");
            user.Pick(IDC_DEFAULT_OVERLAY, "13");
            shown("for an endless device");
            user.PressEscape();
        });
        return found;
    });
    EXPECT_EQ(findings, "");
}

TEST_F(OverlayDirectoryTest, HundredThousandOverlaysAreAllListed) {
    const auto overlays = MakeOverlayDirectory();
    constexpr int Count = 100000;
    for (int number = 1; number <= Count; ++number) {
        std::ofstream(overlays / (std::to_string(number) + ".mac"));
    }
    EXPECT_EQ(List().size(), static_cast<std::size_t>(Count));
}

TEST_F(OverlayDirectoryTest, HundredMebibyteDescriptionIsShownUpToItsFirstMebibyte) {
    const auto overlays = MakeOverlayDirectory();
    WriteFileBytes(overlays / "9.mac", "");
    {
        std::ofstream description(overlays / "9.mat", std::ios::binary);
        description.write("A\0", 2);
        description.seekp(100 * 1024 * 1024 - 2);
        description.write("B\0", 2);
    }
    platform::FileRegistry registry(registryFile);
    OverlayCatalog catalog(registry);
    ASSERT_EQ(catalog.ListOverlays(), std::vector<std::string>{"9"});
    const auto text = catalog.ReadDescription("9");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 512u * 1024);
    EXPECT_EQ(text->front(), 'A');
}

} // namespace
} // namespace varnak
