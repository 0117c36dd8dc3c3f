// Whole files: the name holds its old contents or all of the new ones, never a part.
#include "platform/files/WholeFile.h"

#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkedExamples.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include "tests/support/Unprivileged.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace varnak::platform {
namespace {

namespace fs = std::filesystem;

using test::ReadFileBytes;
using test::WriteFileBytes;

const std::string Ticket = test::Pjl("C1I1;\r\n");
const std::string Old = "the previous job's whole ticket";

std::vector<std::string> Names(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct NameCase {
    const char* name;
    // Prepares the folder and returns the name to write to.
    std::function<std::string(const fs::path&)> prepare;
    WholeFileResult result;
    // What the file of that name holds afterwards; nullopt: there is no such file.
    std::optional<std::string> holds;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.name;
}

class WholeFileTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(WholeFileTest, HoldsTheOldOrTheWholeNewContents) {
    const NameCase& c = GetParam();
    test::TempDir dir;
    const std::string name = c.prepare(dir.Path());
    const auto before = Names(dir.Path());
    EXPECT_EQ(WriteWholeFile(name, Ticket), c.result) << "case: " << c.name;
    if (c.holds) {
        EXPECT_EQ(ReadFileBytes(name), *c.holds) << "case: " << c.name;
    } else {
        std::error_code noFile;
        EXPECT_FALSE(fs::is_regular_file(name, noFile)) << "case: " << c.name;
    }
    auto after = Names(dir.Path());
    if (c.result == WholeFileResult::Written &&
        std::find(before.begin(), before.end(), fs::path(name).filename()) == before.end()) {
        std::erase(after, fs::path(name).filename().string());
    }
    EXPECT_EQ(after, before) << "case: " << c.name << ": no temporary file stays behind";
}

std::string Fresh(const fs::path& dir) {
    return (dir / "job.prn").string();
}

std::string Previous(const fs::path& dir) {
    WriteFileBytes(dir / "job.prn", Old + std::string(100000, '.'));
    return (dir / "job.prn").string();
}

INSTANTIATE_TEST_SUITE_P(
    Names, WholeFileTest,
    ::testing::Values(
        NameCase{"new file", Fresh, WholeFileResult::Written, Ticket},
        NameCase{"longer file replaced", Previous, WholeFileResult::Written, Ticket},
        NameCase{"missing folder",
                 [](const fs::path& dir) { return (dir / "missing" / "job.prn").string(); },
                 WholeFileResult::CannotCreate, std::nullopt},
        NameCase{"empty name", [](const fs::path&) { return std::string(); },
                 WholeFileResult::CannotCreate, std::nullopt},
        NameCase{"a folder",
                 [](const fs::path& dir) {
                     fs::create_directory(dir / "job.prn");
                     return (dir / "job.prn").string();
                 },
                 WholeFileResult::CannotCreate, std::nullopt},
        NameCase{"name too long",
                 [](const fs::path& dir) { return (dir / std::string(300, 'x')).string(); },
                 WholeFileResult::CannotCreate, std::nullopt}),
    test::ByCaseName);

#ifdef _WIN32

TEST(WholeFileWin32, ADeviceIsWrittenDirectly) {
    EXPECT_EQ(WriteWholeFile("NUL", Ticket), WholeFileResult::Written);
}

TEST(WholeFileWin32, AReadOnlyTicketIsNotReplaced) {
    test::TempDir dir;
    const std::string name = Previous(dir.Path());
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(WriteWholeFile(name, Ticket), WholeFileResult::CannotCreate);
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(name).substr(0, Old.size()), Old);
}

// A reader that holds the ticket open without letting it be replaced makes the rename fail.
TEST(WholeFileWin32, AReplaceThatFailsLeavesTheOldTicketAndNoTemporary) {
    test::TempDir dir;
    const std::string name = Previous(dir.Path());
    const HANDLE reader =
        CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteWholeFile(name, Ticket), WholeFileResult::CannotWrite);
    CloseHandle(reader);
    EXPECT_EQ(ReadFileBytes(name).substr(0, Old.size()), Old);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"job.prn"});
}

#else

TEST(WholeFilePosix, ALinkGetsTheTicketAtItsTarget) {
    test::TempDir dir;
    fs::create_directory(dir.Path() / "spool");
    fs::create_symlink("spool/real.prn", dir.Path() / "job.prn");
    EXPECT_EQ(WriteWholeFile((dir.Path() / "job.prn").string(), Ticket), WholeFileResult::Written);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "job.prn"));
    EXPECT_EQ(ReadFileBytes(dir.Path() / "spool" / "real.prn"), Ticket);
    EXPECT_EQ(Names(dir.Path() / "spool"), std::vector<std::string>{"real.prn"});
}

TEST(WholeFilePosix, AReplacedTicketKeepsItsPermissions) {
    test::TempDir dir;
    const std::string name = Previous(dir.Path());
    fs::permissions(name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(WriteWholeFile(name, Ticket), WholeFileResult::Written);
    EXPECT_EQ(fs::status(name).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(WholeFilePosix, DevicesAndFifosAreWrittenDirectly) {
    EXPECT_EQ(WriteWholeFile("/dev/null", Ticket), WholeFileResult::Written);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(WriteWholeFile("/dev/full", Ticket), WholeFileResult::CannotWrite);
    }
    test::TempDir dir;
    const fs::path fifo = dir.Path() / "pipeline";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(WriteWholeFile(fifo.string(), Ticket), WholeFileResult::Written);
    std::string received(Ticket.size() + 1, '\0');
    EXPECT_EQ(::read(reader, received.data(), received.size()),
              static_cast<ssize_t>(Ticket.size()));
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// As another user: root may write where permissions stop everybody else.
TEST(WholeFilePosix, PermissionsDecideAsBeforeWhatCanBeWritten) {
    test::TempDir dir;
    fs::permissions(dir.Path(), fs::perms::all);
    const fs::path readOnly = dir.Path() / "read-only.prn";
    WriteFileBytes(readOnly, Old);
    fs::permissions(readOnly,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const fs::path closed = dir.Path() / "closed";
    fs::create_directory(closed);
    WriteFileBytes(closed / "prepared.prn", Old);
    fs::permissions(closed / "prepared.prn", fs::perms::all);
    fs::permissions(closed, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const std::string findings = test::InChildWithoutPrivileges([&] {
        std::string found;
        if (WriteWholeFile(readOnly.string(), Ticket) != WholeFileResult::CannotCreate) {
            found += " a read-only ticket was replaced;";
        }
        if (WriteWholeFile((closed / "new.prn").string(), Ticket) !=
            WholeFileResult::CannotCreate) {
            found += " a closed folder took a new ticket;";
        }
        if (WriteWholeFile((closed / "prepared.prn").string(), Ticket) !=
            WholeFileResult::Written) {
            found += " a writable ticket in a closed folder was not written;";
        }
        return found;
    });
    fs::permissions(closed, fs::perms::all);
    EXPECT_EQ(findings, "");
    EXPECT_EQ(ReadFileBytes(readOnly), Old);
    EXPECT_EQ(ReadFileBytes(closed / "prepared.prn"), Ticket);
    EXPECT_FALSE(fs::exists(closed / "new.prn"));
}

// A write limit (ulimit -f) at every piece of a ticket of several: the kernel ends the writer
// there, or, with the signal ignored, the write fails and is reported.
TEST(WholeFilePosix, AWriterStoppedAtAnyWriteLeavesTheOldTicket) {
    const std::string large(5 * 64 * 1024 + 123, 'T');
    for (const bool ignoreSignal : {false, true}) {
        for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{65536}, rlim_t{65537},
                                   rlim_t{4 * 65536 + 7}, rlim_t{large.size() - 1}}) {
            test::TempDir dir;
            const std::string name = Previous(dir.Path());
            const std::string previous = ReadFileBytes(name);
            const pid_t child = ::fork();
            ASSERT_NE(child, -1);
            if (child == 0) {
                std::signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL);
                const rlimit limits{limit, limit};
                ::setrlimit(RLIMIT_FSIZE, &limits);
                ::_exit(WriteWholeFile(name, large) == WholeFileResult::CannotWrite ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            const std::string where =
                "limit " + std::to_string(limit) + (ignoreSignal ? ", signal ignored" : "");
            if (ignoreSignal) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << where;
                EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"job.prn"}) << where;
            } else {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << where;
            }
            EXPECT_EQ(ReadFileBytes(name), previous) << where;
        }
    }
}

// A spool folder that several users share (mode 1777, root's), with what another user or the
// workflow left in it. Each case prepares the folder and the operator's home, the operator
// writes the ticket (and, where a case names one, the debug copy), and the case says what
// the write answers and what the names then hold.
constexpr uid_t Operator = 64111;
constexpr uid_t Stranger = 64112;

struct SharedSpoolCase {
    const char* name;
    mode_t FolderMode;
    // Prepares spool and home; returns the name the operator writes to.
    std::function<std::string(const fs::path& spool, const fs::path& home)> Prepare;
    WholeFileResult Result;
    // The file whose contents tell the outcome, relative to the case's base folder, and what
    // it holds afterwards (nullopt: it doesn't exist).
    const char* Checked;
    std::optional<std::string> Holds;
};

void PrintTo(const SharedSpoolCase& c, std::ostream* out) {
    *out << c.name;
}

void Owned(const fs::path& path, uid_t owner, const std::string& bytes, fs::perms mode) {
    WriteFileBytes(path, bytes);
    ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
    fs::permissions(path, mode);
}

void LinkOf(const fs::path& target, const fs::path& link, uid_t owner) {
    fs::create_symlink(target, link);
    ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
}

class SharedSpoolTest : public ::testing::TestWithParam<SharedSpoolCase> {};

TEST_P(SharedSpoolTest, WritesOnlyWhereTheOperatorMay) {
    const SharedSpoolCase& c = GetParam();
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can act as several users";
    }
    test::TempDir base;
    fs::permissions(base.Path(), fs::perms::all);
    const fs::path spool = base.Path() / "spool";
    const fs::path home = base.Path() / "home";
    fs::create_directory(spool);
    fs::create_directory(home);
    ASSERT_EQ(::chown(home.c_str(), Operator, Operator), 0);
    const std::string name = c.Prepare(spool, home);
    ::chmod(spool.c_str(), c.FolderMode);
    const std::string findings = test::InChildAs({Operator, Operator}, [&] {
        const WholeFileResult result = WriteWholeFile(name, Ticket);
        return result == c.Result ? std::string()
                                  : "answered " + std::to_string(static_cast<int>(result));
    });
    ::chmod(spool.c_str(), 0777);
    EXPECT_EQ(findings, "") << "case: " << c.name;
    const fs::path checked = base.Path() / c.Checked;
    if (c.Holds) {
        EXPECT_EQ(ReadFileBytes(checked), *c.Holds) << "case: " << c.name;
    } else {
        EXPECT_FALSE(fs::exists(checked)) << "case: " << c.name;
    }
    for (const auto& entry : fs::directory_iterator(spool)) {
        EXPECT_NE(entry.path().filename().string().front(), '.')
            << "case: " << c.name << ": a temporary file stays behind";
    }
}

const std::string Thesis = "the operator's thesis";

INSTANTIATE_TEST_SUITE_P(
    Folders, SharedSpoolTest,
    ::testing::Values(SharedSpoolCase{"another user's link to the operator's file", 01777,
                                      [](const fs::path& spool, const fs::path& home) {
                                          Owned(home / "thesis.txt", Operator, Thesis,
                                                fs::perms::owner_read | fs::perms::owner_write);
                                          LinkOf(home / "thesis.txt", spool / "job42.prn",
                                                 Stranger);
                                          return (spool / "job42.prn").string();
                                      },
                                      WholeFileResult::CannotCreate, "home/thesis.txt", Thesis},
                      SharedSpoolCase{"another user's link to a new file", 01777,
                                      [](const fs::path& spool, const fs::path& home) {
                                          LinkOf(home / "new.txt", spool / "job42.prn_debug",
                                                 Stranger);
                                          return (spool / "job42.prn_debug").string();
                                      },
                                      WholeFileResult::CannotCreate, "home/new.txt", std::nullopt},
                      SharedSpoolCase{"the operator's own link", 01777,
                                      [](const fs::path& spool, const fs::path& home) {
                                          LinkOf(home / "kept.prn", spool / "job.prn", Operator);
                                          return (spool / "job.prn").string();
                                      },
                                      WholeFileResult::Written, "home/kept.prn", Ticket},
                      SharedSpoolCase{"the folder owner's link", 01777,
                                      [](const fs::path& spool, const fs::path& home) {
                                          LinkOf(home / "kept.prn", spool / "job.prn", 0);
                                          return (spool / "job.prn").string();
                                      },
                                      WholeFileResult::Written, "home/kept.prn", Ticket},
                      SharedSpoolCase{"another user's writable ticket", 01777,
                                      [](const fs::path& spool, const fs::path&) {
                                          Owned(spool / "wf.prn", Stranger, Old, fs::perms::all);
                                          return (spool / "wf.prn").string();
                                      },
                                      WholeFileResult::Written, "spool/wf.prn", Ticket},
                      SharedSpoolCase{"a drop box folder", 01733,
                                      [](const fs::path& spool, const fs::path&) {
                                          return (spool / "job.prn").string();
                                      },
                                      WholeFileResult::Written, "spool/job.prn", Ticket},
                      SharedSpoolCase{"a FIFO without a reader", 01777,
                                      [](const fs::path& spool, const fs::path&) {
                                          EXPECT_EQ(::mkfifo((spool / "job.prn").c_str(), 0666), 0);
                                          fs::permissions(spool / "job.prn", fs::perms::all);
                                          return (spool / "job.prn").string();
                                      },
                                      WholeFileResult::CannotCreate, "home/none", std::nullopt}),
    test::ByCaseName);

// A name that stands for one of the program's own descriptors is written through it: a pipe
// gets the ticket, and a file at standard output is written, not replaced by name, so that
// what the program says afterwards still reaches it.
TEST(WholeFilePosix, OwnDescriptorsAreWrittenThrough) {
    test::TempDir dir;
    const fs::path output = dir.Path() / "out";
    const std::string findings = test::InChild([&] {
        std::string found;
        int pipe[2];
        if (::pipe(pipe) != 0) {
            return std::string("no pipe");
        }
        for (const std::string& name :
             {std::string("/dev/stdout"), "/proc/self/fd/" + std::to_string(pipe[1])}) {
            ::dup2(pipe[1], 1);
            std::string received(Ticket.size() + 1, '\0');
            if (WriteWholeFile(name, Ticket) != WholeFileResult::Written ||
                ::read(pipe[0], received.data(), received.size()) !=
                    static_cast<ssize_t>(Ticket.size())) {
                found += " " + name + " in a pipeline was not written;";
            }
        }
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        const int file = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, 1);
        if (WriteWholeFile("/dev/stdout", Ticket) != WholeFileResult::Written ||
            ::write(1, "end ok\n", 7) != 7) {
            found += " /dev/stdout as a file was not written;";
        }
        if (WriteWholeFile("/dev/fd/0", Ticket) != WholeFileResult::CannotCreate) {
            found += " standard input was written to;";
        }
        return found;
    });
    EXPECT_EQ(findings, "");
    EXPECT_EQ(ReadFileBytes(output), Ticket + "end ok\n");
}

#endif

} // namespace
} // namespace varnak::platform
