// Whole runs of varnak-drive, one per folder under tests/acceptance/:
//   script             the script
//   expected-output    what varnak-drive prints
//   expected-files/    exactly the files the run leaves in its working directory (tickets)
//   expected-registry  the settings values afterwards, one "Name type value" line each
//   registry-before    (optional) settings values stored before the run, in the same form
//   overlays/          (optional) the companion program's working directory
#include "platform/registry/FileRegistry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

namespace varnak {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;

constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";
constexpr const char* CompanionKey = "SOFTWARE\\quet\\quetprint";

// The settings values, in the order the store saves them.
const char* const ValueNames[] = {
    "NumberOfCopies",        "DefaultInputTray",      "DefaultFormOverlay",
    "LastPageNumbers",       "LastFormOverlay",       "LastInputTray",
    "CoverPageInputTray",    "CoverPageFormOverlay",  "FooterPageInputTray",
    "FooterPageFormOverlay", "LastTab",               "LastChapterPageNumbers",
    "LastChapterCopyCount",  "LastChapterFormOverlay", "LastChapterInputTray",
    "LastRemainingChapterCopyCount", "SepPageAfterCopySetOnly"};

std::vector<std::string> ListCases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(VARNAK_ACCEPTANCE_DIR)) {
        if (entry.is_directory()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

void SetValue(platform::Registry& registry, const std::string& subKey, const std::string& name,
              std::uint32_t type, const std::string& bytes) {
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(registry.CreateKey(subKey, platform::KeyReadWriteAccess, key),
              platform::RegSuccess);
    ASSERT_EQ(key->SetValue(name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                            static_cast<std::uint32_t>(bytes.size())),
              platform::RegSuccess);
}

// "Name dword 3" or "Name sz text to the end of the line".
void StoreListing(platform::Registry& registry, const std::string& listing) {
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            continue;
        }
        std::istringstream words(line);
        std::string name;
        std::string type;
        words >> name >> type;
        std::string value;
        std::getline(words >> std::ws, value);
        if (type == "dword") {
            const auto number = static_cast<std::uint32_t>(std::stoul(value));
            std::string bytes(4, '\0');
            for (int i = 0; i < 4; ++i) {
                bytes[static_cast<std::size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xff);
            }
            SetValue(registry, SettingsKey, name, platform::RegDword, bytes);
        } else {
            SetValue(registry, SettingsKey, name, platform::RegSz, value + '\0');
        }
    }
}

std::string ReadListing(platform::Registry& registry) {
    std::unique_ptr<platform::RegistryKey> key;
    if (registry.OpenKey(SettingsKey, platform::KeyReadAccess, key) != platform::RegSuccess) {
        return "no settings key\n";
    }
    std::string listing;
    for (const char* name : ValueNames) {
        std::uint8_t data[512] = {};
        std::uint32_t type = 0;
        std::uint32_t size = sizeof data;
        if (key->QueryValue(name, &type, data, &size) != platform::RegSuccess) {
            continue;
        }
        listing += name;
        if (type == platform::RegDword && size == 4) {
            const std::uint32_t value = data[0] | (data[1] << 8) | (data[2] << 16) |
                                        (static_cast<std::uint32_t>(data[3]) << 24);
            listing += " dword " + std::to_string(value) + "\n";
        } else {
            const std::string text(reinterpret_cast<const char*>(data), size);
            listing += " sz " + text.substr(0, text.find('\0')) + "\n";
        }
    }
    return listing;
}

std::map<std::string, std::string> FilesIn(const fs::path& directory) {
    std::map<std::string, std::string> files;
    if (!fs::exists(directory)) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), directory).generic_string()] =
                ReadFileBytes(entry.path());
        }
    }
    return files;
}

std::string Quoted(const fs::path& path) {
    std::string quoted = "'";
    for (char c : path.string()) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class AcceptanceTest : public ::testing::TestWithParam<std::string> {};

TEST_P(AcceptanceTest, RunMatchesExpectations) {
    const fs::path source = fs::path(VARNAK_ACCEPTANCE_DIR) / GetParam();
    test::TempDir temp;
    const fs::path run = temp.Path() / "run";
    const fs::path registryFile = temp.Path() / "registry.reg";
    fs::create_directories(run);
    {
        platform::FileRegistry registry(registryFile);
        if (fs::exists(source / "overlays")) {
            fs::copy(source / "overlays", temp.Path() / "overlays");
            SetValue(registry, CompanionKey, "WorkingDirectory", platform::RegSz,
                     (temp.Path() / "overlays").string() + '\0');
        }
        if (fs::exists(source / "registry-before")) {
            StoreListing(registry, ReadFileBytes(source / "registry-before"));
        }
    }

    const fs::path output = temp.Path() / "output";
    const std::string command = "cd " + Quoted(run) + " && VARNAK_REGISTRY=" +
                                Quoted(registryFile) + " " + Quoted(VARNAK_DRIVE) + " " +
                                Quoted(source / "script") + " >" + Quoted(output);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    EXPECT_EQ(ReadFileBytes(output), ReadFileBytes(source / "expected-output"));
    EXPECT_EQ(FilesIn(run), FilesIn(source / "expected-files"));
    platform::FileRegistry registry(registryFile);
    EXPECT_EQ(ReadListing(registry), ReadFileBytes(source / "expected-registry"));
}

INSTANTIATE_TEST_SUITE_P(Scripts, AcceptanceTest, ::testing::ValuesIn(ListCases()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace varnak
