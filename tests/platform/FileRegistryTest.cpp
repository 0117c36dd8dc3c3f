// The registry file's own promises: durability, concurrency, bad input, access rights.
#include "platform/registry/FileRegistry.h"

#include "platform/registry/RegFile.h"
#include "store/SettingsStore.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnak::platform {
namespace {

namespace fs = std::filesystem;

const std::string SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";
const std::string CompanionKey = "SOFTWARE\\quet\\quetprint";
const std::string Corrupted = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet]\r\nnot a value\r\n";

std::string Dword(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

std::uint32_t AsDword(const std::string& bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes.at(static_cast<std::size_t>(i)));
    }
    return value;
}

RegStatus Set(RegistryKey& key, const std::string& name, const std::string& bytes,
              std::uint32_t type = RegDword) {
    return key.SetValue(name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                        static_cast<std::uint32_t>(bytes.size()));
}

// Sets values in one key, through one handle: one save.
void Save(FileRegistry& registry, const std::string& subKey,
          const std::vector<std::pair<std::string, std::uint32_t>>& values) {
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(registry.CreateKey(subKey, KeyReadWriteAccess, key), RegSuccess);
    for (const auto& [name, value] : values) {
        ASSERT_EQ(Set(*key, name, Dword(value)), RegSuccess);
    }
}

std::optional<RegFile> ParseFile(const fs::path& path) {
    return RegFile::Parse(test::ReadFileBytes(path));
}

// A value of the parsed file, or nullopt.
std::optional<std::string> ValueIn(const RegFile& file, const std::string& subKey,
                                   const std::string& name) {
    const RegKeyData* key = file.FindKey("HKEY_LOCAL_MACHINE\\" + subKey);
    const RegValue* value = key != nullptr ? key->FindValue(name) : nullptr;
    return value != nullptr ? std::optional(value->Data) : std::nullopt;
}

class FileRegistryTest : public ::testing::Test {
protected:
    test::TempDir directory;
    fs::path file = directory.Path() / "registry.reg";
    FileRegistry registry{file};
};

TEST_F(FileRegistryTest, ValuesReachTheFileWhenTheKeyCloses) {
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(registry.CreateKey(SettingsKey, KeyReadWriteAccess, key), RegSuccess);
    ASSERT_EQ(Set(*key, "NumberOfCopies", Dword(3)), RegSuccess);
    EXPECT_FALSE(fs::exists(file)) << "nothing before the close";
    key.reset();
    const auto parsed = ParseFile(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "NumberOfCopies"), Dword(3));
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
}

TEST_F(FileRegistryTest, ACreatedKeyIsKeptEvenWithoutValues) {
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(registry.CreateKey(SettingsKey, KeyReadWriteAccess, key), RegSuccess);
    key.reset();
    EXPECT_EQ(registry.OpenKey(SettingsKey, KeyReadAccess, key), RegSuccess);
}

TEST_F(FileRegistryTest, NamesKeepTheCaseTheyWereFirstWrittenIn) {
    Save(registry, SettingsKey, {{"NumberOfCopies", 3}});
    Save(registry, "software\\QUET\\Sorb-UserInterface", {{"NUMBEROFCOPIES", 4}});
    EXPECT_EQ(test::ReadFileBytes(file),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-userinterface]\r\n"
              "\"NumberOfCopies\"=dword:00000004\r\n\r\n");
}

TEST_F(FileRegistryTest, PerValueTheLaterSaveWinsAndOtherKeysSurvive) {
    std::unique_ptr<RegistryKey> first;
    std::unique_ptr<RegistryKey> second;
    ASSERT_EQ(registry.CreateKey(SettingsKey, KeyReadWriteAccess, first), RegSuccess);
    ASSERT_EQ(registry.CreateKey(SettingsKey, KeyReadWriteAccess, second), RegSuccess);
    Set(*first, "A", Dword(1));
    Set(*first, "B", Dword(1));
    Set(*second, "B", Dword(2));
    Set(*second, "C", Dword(2));
    Save(registry, CompanionKey, {{"Other", 7}});
    first.reset();
    second.reset();
    const auto parsed = ParseFile(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "A"), Dword(1));
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "B"), Dword(2));
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "C"), Dword(2));
    EXPECT_EQ(ValueIn(*parsed, CompanionKey, "Other"), Dword(7));
}

TEST_F(FileRegistryTest, ACorruptedFileFailsEveryOpenAndSurvivesASave) {
    test::WriteFileBytes(file, Corrupted);
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry.OpenKey(SettingsKey, KeyReadAccess, key), RegBadDatabase);
    EXPECT_EQ(registry.CreateKey(SettingsKey, KeyReadWriteAccess, key), RegBadDatabase);

    JobSettings settings;
    SettingsStore store(registry);
    store.Load(settings);
    EXPECT_FALSE(settings.LoadedFromRegistry());
    settings.SetNumberOfCopies(5);
    store.Save(settings);
    EXPECT_EQ(test::ReadFileBytes(file), Corrupted);
}

TEST_F(FileRegistryTest, AFileCorruptedWhileAKeyIsOpenIsNotOverwritten) {
    Save(registry, SettingsKey, {{"A", 1}});
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(registry.OpenKey(SettingsKey, KeyReadWriteAccess, key), RegSuccess);
    Set(*key, "A", Dword(2));
    test::WriteFileBytes(file, Corrupted);
    key.reset();
    EXPECT_EQ(test::ReadFileBytes(file), Corrupted);
}

TEST_F(FileRegistryTest, AReplacedFileKeepsItsPermissions) {
    Save(registry, SettingsKey, {{"A", 1}});
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    Save(registry, SettingsKey, {{"A", 2}});
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileRegistryTest, TemporaryFilesOfKilledWritersAreNoObstacleAndAreRemoved) {
    test::WriteFileBytes(file.string() + ".tmp", "left by an earlier version");
    const fs::path left = directory.Path() / ".registry.reg.0123456789abcdef";
    test::WriteFileBytes(left, "left by a killed writer");
    Save(registry, SettingsKey, {{"A", 1}});
    const auto parsed = ParseFile(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "A"), Dword(1));
    EXPECT_FALSE(fs::exists(left));
}

// A save that can't be made says so on the diagnostics stream, naming the file, and leaves
// the file as it was: a lock held past the wait, and a file that would grow past the limit.
TEST_F(FileRegistryTest, AGivenUpSaveSaysSo) {
    const std::string before =
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\" + SettingsKey + "]\r\n\"Kept\"=dword:00000001\r\n";
    const std::string nearLimit = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + SettingsKey + "]\n" +
                                  std::string(FileRegistry::MaxFileSize - 200, '\n');
    for (const auto& [contents, holdLock, said] :
         {std::tuple(before, true,
                     "was not updated, the choices were not saved: another save held its lock"),
          std::tuple(
              nearLimit, false,
              "was not updated, the choices were not saved: it would become larger than 64 MiB")}) {
        test::WriteFileBytes(file, contents);
        const int lock = ::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_GE(lock, 0);
        ASSERT_EQ(holdLock ? ::flock(lock, LOCK_EX) : 0, 0);
        std::ostringstream diagnostics;
        FileRegistry own(file,
                         {.LockWait = std::chrono::milliseconds(50), .Diagnostics = &diagnostics});
        Save(own, SettingsKey, {{"A", 1}});
        ::close(lock);
        EXPECT_NE(diagnostics.str().find("varnak: the registry file " +
                                         ("\"" + file.string() + "\"") + " " + said),
                  std::string::npos)
            << diagnostics.str();
        EXPECT_EQ(test::ReadFileBytes(file), contents) << said;
    }
}

TEST_F(FileRegistryTest, OpenMachineRegistryUsesTheConfiguredFile) {
    Save(registry, CompanionKey, {{"Marker", 9}});
    ::setenv("VARNAK_REGISTRY", file.c_str(), 1);
    auto machine = OpenMachineRegistry();
    ::unsetenv("VARNAK_REGISTRY");
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(machine->OpenKey(CompanionKey, KeyReadAccess, key), RegSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(key->QueryValue("Marker", nullptr, nullptr, &size), RegSuccess);
}

struct AccessCase {
    const char* name;
    bool FileExists;
    fs::perms FileMode;
    fs::perms DirectoryMode;
    RegStatus ReadOpen;
    RegStatus WriteOpen;
    friend void PrintTo(const AccessCase& value, std::ostream* out) { *out << value.name; }
};

class FileAccessTest : public ::testing::TestWithParam<AccessCase> {};

constexpr fs::perms ReadOnly =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms ReadWrite =
    ReadOnly | fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
constexpr fs::perms Search = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

TEST_P(FileAccessTest, WriteRightsFollowThePermissions) {
    const AccessCase& param = GetParam();
    test::TempDir base;
    const fs::path directory = base.Path() / "machine";
    fs::create_directory(directory);
    fs::permissions(base.Path(), ReadOnly | Search);
    const fs::path file = directory / "registry.reg";
    if (param.FileExists) {
        FileRegistry owner(file);
        std::unique_ptr<RegistryKey> key;
        ASSERT_EQ(owner.CreateKey(SettingsKey, KeyReadWriteAccess, key), RegSuccess);
        Set(*key, "NumberOfCopies", Dword(4));
        key.reset();
        fs::permissions(file, param.FileMode);
    }
    fs::permissions(directory, param.DirectoryMode);
    const std::string before = param.FileExists ? test::ReadFileBytes(file) : "";

    const std::string findings = test::InChildWithoutPrivileges([&] {
        std::string found;
        FileRegistry registry(file);
        std::unique_ptr<RegistryKey> key;
        if (const auto status = registry.OpenKey(SettingsKey, KeyReadAccess, key);
            status != param.ReadOpen) {
            found += " read open gave " + std::to_string(status);
        }
        if (const auto status = registry.OpenKey(SettingsKey, KeyReadWriteAccess, key);
            status != param.WriteOpen) {
            found += " write open gave " + std::to_string(status);
        }
        JobSettings settings;
        SettingsStore store(registry);
        store.Load(settings);
        const bool loads = param.WriteOpen == RegSuccess;
        if (settings.LoadedFromRegistry() != loads || (settings.NumberOfCopies() == 4) != loads) {
            found += " Load took the wrong values";
        }
        settings.SetNumberOfCopies(9);
        store.Save(settings);
        return found;
    });
    EXPECT_EQ(findings, "") << "case: " << param.name;

    fs::permissions(directory, ReadWrite | Search);
    fs::permissions(base.Path(), ReadWrite | Search);
    if (param.WriteOpen != RegSuccess && param.FileExists) {
        EXPECT_EQ(test::ReadFileBytes(file), before) << "case: " << param.name;
    }
    if (param.WriteOpen == RegSuccess) {
        const auto parsed = ParseFile(file);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(ValueIn(*parsed, SettingsKey, "NumberOfCopies"), Dword(9));
    }
    if (!param.FileExists) {
        EXPECT_FALSE(fs::exists(file)) << "case: " << param.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Permissions, FileAccessTest,
    ::testing::Values(AccessCase{"read-only file", true, ReadOnly, ReadWrite | Search, RegSuccess,
                                 RegAccessDenied},
                      AccessCase{"read-only directory", true, ReadWrite, ReadOnly | Search,
                                 RegSuccess, RegAccessDenied},
                      AccessCase{"no file, read-only directory", false, ReadOnly, ReadOnly | Search,
                                 RegFileNotFound, RegFileNotFound},
                      AccessCase{"unreadable file", true, fs::perms::none, ReadWrite | Search,
                                 RegAccessDenied, RegAccessDenied},
                      AccessCase{"writable file and directory", true, ReadWrite, ReadWrite | Search,
                                 RegSuccess, RegSuccess}),
    test::ByCaseName);

pid_t Spawn(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    return child;
}

bool Exited(pid_t child, int& status) {
    return ::waitpid(child, &status, WNOHANG) == child;
}

// Many saves in a row: on a memory file system where there is one, since the cost of flushing
// to disk is not what these tests are about.
class ManySavesTest : public ::testing::Test {
protected:
    ManySavesTest() { onMemory.Restore(); }

    // Points TMPDIR at /dev/shm while the directory below is made.
    struct TemporariesInMemory {
        TemporariesInMemory() {
            if (const char* value = std::getenv("TMPDIR")) {
                previous = value;
            }
            if (fs::is_directory("/dev/shm")) {
                ::setenv("TMPDIR", "/dev/shm", 1);
            }
        }
        void Restore() {
            if (previous) {
                ::setenv("TMPDIR", previous->c_str(), 1);
            } else {
                ::unsetenv("TMPDIR");
            }
        }
        std::optional<std::string> previous;
    };

    TemporariesInMemory onMemory;
    test::TempDir directory;
    fs::path file = directory.Path() / "registry.reg";
    FileRegistry registry{file};
};

TEST_F(ManySavesTest, TwoProcessesSavingAtOnceLoseNothing) {
    constexpr std::uint32_t Saves = 500;
    Save(registry, CompanionKey, {{"Untouched", 1}});
    auto writer = [&](const std::string& name) {
        return Spawn([&, name] {
            FileRegistry own(file);
            for (std::uint32_t i = 1; i <= Saves; ++i) {
                Save(own, SettingsKey, {{name, i}});
                Save(own, SettingsKey + "\\" + name, {{"Count", i}});
            }
        });
    };
    const pid_t first = writer("First");
    const pid_t second = writer("Second");

    int firstStatus = 0;
    int secondStatus = 0;
    bool firstDone = false;
    bool secondDone = false;
    int reads = 0;
    int unparseable = 0;
    while (!firstDone || !secondDone) {
        ++reads;
        if (!ParseFile(file)) {
            ++unparseable;
        }
        firstDone = firstDone || Exited(first, firstStatus);
        secondDone = secondDone || Exited(second, secondStatus);
    }
    EXPECT_EQ(firstStatus, 0);
    EXPECT_EQ(secondStatus, 0);
    EXPECT_EQ(unparseable, 0) << "of " << reads << " reads while saving";

    const auto parsed = ParseFile(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "First"), Dword(Saves));
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "Second"), Dword(Saves));
    EXPECT_EQ(ValueIn(*parsed, SettingsKey + "\\First", "Count"), Dword(Saves));
    EXPECT_EQ(ValueIn(*parsed, SettingsKey + "\\Second", "Count"), Dword(Saves));
    EXPECT_EQ(ValueIn(*parsed, CompanionKey, "Untouched"), Dword(1));
}

TEST_F(ManySavesTest, AWriterKilledWhileSavingLeavesOldOrNewValuesNeverAMix) {
    constexpr int Values = 20;
    constexpr int Rounds = 12;
    for (int round = 1; round <= Rounds; ++round) {
        const std::uint32_t base = static_cast<std::uint32_t>(round) * 1000000;
        const pid_t writer = Spawn([&] {
            FileRegistry own(file);
            for (std::uint32_t generation = base;; ++generation) {
                std::vector<std::pair<std::string, std::uint32_t>> values;
                for (int i = 0; i < Values; ++i) {
                    values.emplace_back("V" + std::to_string(i), generation);
                }
                Save(own, SettingsKey, values);
            }
        });
        // Let it save a few times (a different number each round), then kill it wherever it is.
        const std::uint32_t target = base + static_cast<std::uint32_t>(round % 5) + 1;
        while (true) {
            const auto parsed = ParseFile(file);
            const auto first = parsed ? ValueIn(*parsed, SettingsKey, "V0") : std::nullopt;
            if (first && AsDword(*first) >= target) {
                break;
            }
        }
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const auto parsed = ParseFile(file);
        ASSERT_TRUE(parsed) << "round " << round;
        const auto first = ValueIn(*parsed, SettingsKey, "V0");
        for (int i = 1; i < Values; ++i) {
            EXPECT_EQ(ValueIn(*parsed, SettingsKey, "V" + std::to_string(i)), first)
                << "round " << round << ", value " << i;
        }
    }
    Save(registry, SettingsKey, {{"After", 1}});
    const auto parsed = ParseFile(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "After"), Dword(1)) << "the next save still works";
}

// Files a hostile or careless member of a shared folder may put where the registry file or
// its lock is expected. Each case prepares the folder (the victim path lies outside it) and
// says whether the registry file is still used.
struct HostileCase {
    const char* name;
    std::function<void(const fs::path& file, const fs::path& victim)> Prepare;
    bool Used;
    const char* Diagnostic; // part of the one line said on standard error; "" for none
    bool NeedsRoot = false;
    friend void PrintTo(const HostileCase& value, std::ostream* out) { *out << value.name; }
};

constexpr uid_t Stranger = 64101;

void LinkAs(const fs::path& target, const fs::path& link, uid_t owner) {
    fs::create_symlink(target, link);
    ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
}

// ASCII text as a version 5 file holds it: UTF-16LE after a byte-order mark.
std::string Utf16(std::string_view text) {
    std::string bytes("\xFF\xFE", 2);
    for (const char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const std::string VictimText =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-userinterface]"
    "\r\n\"NumberOfCopies\"=dword:00000007\r\n";

const std::string OwnText =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-userinterface]"
    "\r\n\"NumberOfCopies\"=dword:00000005\r\n";

class HostileFileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileFileTest, IsNeitherFollowedNorWaitedOnNorFilledWithSettings) {
    const HostileCase& param = GetParam();
    if (param.NeedsRoot && ::geteuid() != 0) {
        GTEST_SKIP() << "only root can make a link of another user";
    }
    test::TempDir base;
    const fs::path folder = base.Path() / "shared";
    fs::create_directory(folder);
    const fs::path file = folder / "registry.reg";
    const fs::path victim = base.Path() / "victim";
    param.Prepare(file, victim);
    const bool victimExisted = fs::exists(victim);
    const std::string victimBefore = victimExisted ? test::ReadFileBytes(victim) : "";

    std::ostringstream diagnostics;
    const std::string findings = test::InChild([&] {
        FileRegistry registry(file, {.Diagnostics = &diagnostics});
        JobSettings settings;
        SettingsStore store(registry);
        store.Load(settings);
        std::string found;
        if (settings.LoadedFromRegistry() != param.Used) {
            found += param.Used ? " the file was not used;" : " the file was used;";
        }
        if (settings.NumberOfCopies() == 7) {
            found += " the victim was read;";
        }
        settings.SetNumberOfCopies(4);
        store.Save(settings);
        const std::string said = diagnostics.str();
        if (said.find(param.Diagnostic) == std::string::npos ||
            (*param.Diagnostic == '\0') != said.empty()) {
            found += " said: \"" + said + "\";";
        }
        return found;
    });
    EXPECT_EQ(findings, "") << "case: " << param.name;
    EXPECT_EQ(fs::exists(victim), victimExisted) << "case: " << param.name;
    if (victimExisted) {
        EXPECT_EQ(test::ReadFileBytes(victim), victimBefore) << "case: " << param.name;
    }
    if (param.Used) {
        const auto parsed = ParseFile(file);
        ASSERT_TRUE(parsed) << "case: " << param.name;
        EXPECT_EQ(ValueIn(*parsed, SettingsKey, "NumberOfCopies"), Dword(4)) << param.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileFileTest,
    ::testing::Values(
        HostileCase{"a FIFO",
                    [](const fs::path& file, const fs::path&) {
                        ASSERT_EQ(::mkfifo(file.c_str(), 0666), 0);
                    },
                    false, "is not used: it is not a regular file"},
        HostileCase{
            "a link to an endless device",
            [](const fs::path& file, const fs::path&) { fs::create_symlink("/dev/zero", file); },
            false, "is not used: it is not a regular file"},
        HostileCase{"larger than the limit",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file, VictimText);
                        fs::resize_file(file, FileRegistry::MaxFileSize + 1);
                    },
                    false, "is not used: it is larger than 64 MiB"},
        HostileCase{"a line of no known form",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file, "REGEDIT4\r\n\r\n# note\r\n");
                    },
                    false, "is not used: line 3: the line is no comment, key or value"},
        HostileCase{
            "another user's link to a new file",
            [](const fs::path& file, const fs::path& victim) { LinkAs(victim, file, Stranger); },
            false, "it is a link made by neither this user nor the owner of its folder", true},
        HostileCase{"another user's link to settings",
                    [](const fs::path& file, const fs::path& victim) {
                        test::WriteFileBytes(victim, VictimText);
                        LinkAs(victim, file, Stranger);
                    },
                    false, "it is a link made by neither", true},
        HostileCase{"our own link",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file.parent_path() / "settings.reg", OwnText);
                        fs::create_symlink("settings.reg", file);
                    },
                    true, ""},
        HostileCase{"a link as the lock file",
                    [](const fs::path& file, const fs::path& victim) {
                        test::WriteFileBytes(file, OwnText);
                        LinkAs(victim, file.string() + ".lock", Stranger);
                    },
                    true, "", true},
        HostileCase{"a link as the temporary file",
                    [](const fs::path& file, const fs::path& victim) {
                        test::WriteFileBytes(file, OwnText);
                        LinkAs(victim, file.string() + ".tmp", Stranger);
                    },
                    true, "", true},
        HostileCase{"a FIFO as the lock file",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file, OwnText);
                        ASSERT_EQ(::mkfifo((file.string() + ".lock").c_str(), 0666), 0);
                    },
                    true, ""},
        HostileCase{"a folder as the lock file",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file, OwnText);
                        fs::create_directory(file.string() + ".lock");
                    },
                    true, ""},
        HostileCase{"a folder as the temporary file",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file, OwnText);
                        fs::create_directory(file.string() + ".tmp");
                    },
                    true, ""},
        HostileCase{"a version 5 file with a lone surrogate",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file, Utf16("Windows Registry Editor Version 5.00\r\n"
                                                         "[HKEY_LOCAL_MACHINE\\A]\r\n\"N\"=\"A") +
                                                       std::string("\x00\xD8", 2) +
                                                       Utf16("B\"\r\n").substr(2));
                    },
                    false, "is not used: line 3: the text is not valid UTF-16"},
        HostileCase{"a version 5 text of an odd length",
                    [](const fs::path& file, const fs::path&) {
                        test::WriteFileBytes(file, Utf16("Windows Registry Editor Version 5.00\r\n"
                                                         "[HKEY_LOCAL_MACHINE\\A]\r\n"
                                                         "\"N\"=hex(2):41,00,42\r\n"));
                    },
                    false, "is not used: line 3: the value's text is not valid UTF-16"}),
    test::ByCaseName);

// Operators of one group sharing one folder, as the package sets it up: each keeps the
// others' values, the file keeps its group and mode, an administrator's notes stay, and a
// user outside the group can neither save nor hold up those who can.
class SharedFolderTest : public ::testing::TestWithParam<bool> {};

TEST_P(SharedFolderTest, EveryMemberSavesAndNobodyElseInterferes) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can act as several users";
    }
    constexpr gid_t Operators = 64200;
    const test::Identity alice{64201, 64201, {Operators}, 077};
    const test::Identity bob{64202, 64202, {Operators}, 022};
    const test::Identity carol{64203, 64203, {}, 022};
    test::TempDir base;
    fs::permissions(base.Path(), fs::perms::all);
    const fs::path folder = base.Path() / "varnak";
    fs::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), 0, Operators), 0);
    ASSERT_EQ(::chmod(folder.c_str(), GetParam() ? 02775 : 0775), 0);
    const fs::path file = folder / "registry.reg";
    const std::string notes = "REGEDIT4\r\n; the print room's settings: ask Dana first\r\n";
    test::WriteFileBytes(file, notes);
    ASSERT_EQ(::chown(file.c_str(), 0, Operators), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    if (GetParam()) {
        // Left by an earlier version: anybody could open it, and so hold up every save.
        const fs::path oldLock = file.string() + ".lock";
        test::WriteFileBytes(oldLock, "");
        ASSERT_EQ(::chmod(oldLock.c_str(), 0644), 0);
    }

    const auto save = [&](const char* name) {
        return [&file, name] {
            FileRegistry registry(file);
            Save(registry, SettingsKey, {{name, 1}});
            return std::string();
        };
    };
    EXPECT_EQ(test::InChildAs(alice, save("Alice")), "");
    EXPECT_EQ(test::InChildAs(bob, save("Bob")), "");
    const std::string findings = test::InChildAs(carol, [&] {
        std::string found;
        if (::open((file.string() + ".lock").c_str(), O_RDONLY) >= 0 || errno != EACCES) {
            found += " the lock file can be opened;";
        }
        FileRegistry registry(file);
        std::unique_ptr<RegistryKey> key;
        if (registry.CreateKey(SettingsKey, KeyReadWriteAccess, key) != RegAccessDenied) {
            found += " a save was let through;";
        }
        return found;
    });
    EXPECT_EQ(findings, "");

    struct stat attributes {};
    ASSERT_EQ(::stat(file.c_str(), &attributes), 0);
    EXPECT_EQ(attributes.st_gid, Operators);
    EXPECT_EQ(attributes.st_mode & 07777, 0664u);
    ASSERT_EQ(::stat((file.string() + ".lock").c_str(), &attributes), 0);
    EXPECT_EQ(attributes.st_gid, Operators);
    EXPECT_EQ(attributes.st_mode & 07777, 0660u);
    const std::string text = test::ReadFileBytes(file);
    EXPECT_TRUE(text.starts_with(notes)) << text;
    const auto parsed = RegFile::Parse(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "Alice"), Dword(1));
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "Bob"), Dword(1));
}

// The folder with its setgid bit and an old lock file anybody may read, or without either.
INSTANTIATE_TEST_SUITE_P(Folders, SharedFolderTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "setgid_with_an_old_lock_file" : "plain";
});

TEST(FileRegistryLockTest, ASaveGivesUpWhenTheLockIsHeldTooLong) {
    test::TempDir directory;
    const fs::path file = directory.Path() / "registry.reg";
    {
        FileRegistry first(file);
        Save(first, SettingsKey, {{"A", 1}});
    }
    const std::string before = test::ReadFileBytes(file);
    const int lock = ::open((file.string() + ".lock").c_str(), O_RDWR);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const std::string findings = test::InChild([&] {
        FileRegistry registry(file, {.LockWait = std::chrono::milliseconds(200)});
        Save(registry, SettingsKey, {{"A", 2}});
        return std::string();
    });
    ::close(lock);
    EXPECT_EQ(findings, "") << "the save waited for ever";
    EXPECT_EQ(test::ReadFileBytes(file), before);
}

} // namespace
} // namespace varnak::platform
