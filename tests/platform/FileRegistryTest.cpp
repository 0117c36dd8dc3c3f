// The registry file's own promises: durability, concurrency, bad input, access rights.
#include "platform/registry/FileRegistry.h"

#include "platform/registry/RegFile.h"
#include "store/SettingsStore.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
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
    return {static_cast<char>(value), static_cast<char>(value >> 8),
            static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
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

TEST_F(FileRegistryTest, AStaleTemporaryFileIsNoObstacle) {
    test::WriteFileBytes(file.string() + ".tmp", "left by a killed writer");
    Save(registry, SettingsKey, {{"A", 1}});
    const auto parsed = ParseFile(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ValueIn(*parsed, SettingsKey, "A"), Dword(1));
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
    const char* Case;
    bool FileExists;
    fs::perms FileMode;
    fs::perms DirectoryMode;
    RegStatus ReadOpen;
    RegStatus WriteOpen;
    friend void PrintTo(const AccessCase& value, std::ostream* out) { *out << value.Case; }
};

class FileAccessTest : public ::testing::TestWithParam<AccessCase> {};

constexpr fs::perms ReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms ReadWrite = ReadOnly | fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write;
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
    EXPECT_EQ(findings, "") << "case: " << param.Case;

    fs::permissions(directory, ReadWrite | Search);
    fs::permissions(base.Path(), ReadWrite | Search);
    if (param.WriteOpen != RegSuccess && param.FileExists) {
        EXPECT_EQ(test::ReadFileBytes(file), before) << "case: " << param.Case;
    }
    if (param.WriteOpen == RegSuccess) {
        const auto parsed = ParseFile(file);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(ValueIn(*parsed, SettingsKey, "NumberOfCopies"), Dword(9));
    }
    if (!param.FileExists) {
        EXPECT_FALSE(fs::exists(file)) << "case: " << param.Case;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Permissions, FileAccessTest,
    ::testing::Values(
        AccessCase{"read-only file", true, ReadOnly, ReadWrite | Search, RegSuccess,
                   RegAccessDenied},
        AccessCase{"read-only directory", true, ReadWrite, ReadOnly | Search, RegSuccess,
                   RegAccessDenied},
        AccessCase{"no file, read-only directory", false, ReadOnly, ReadOnly | Search,
                   RegFileNotFound, RegFileNotFound},
        AccessCase{"unreadable file", true, fs::perms::none, ReadWrite | Search,
                   RegAccessDenied, RegAccessDenied},
        AccessCase{"writable file and directory", true, ReadWrite, ReadWrite | Search,
                   RegSuccess, RegSuccess}),
    [](const auto& info) {
        std::string name = info.param.Case;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

pid_t Spawn(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    return child;
}

bool Exited(pid_t child, int& status) { return ::waitpid(child, &status, WNOHANG) == child; }

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

} // namespace
} // namespace varnak::platform
