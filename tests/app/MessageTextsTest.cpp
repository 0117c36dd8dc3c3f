// Every text the user can be shown in a message box is written down in exactly one place of
// the program, so that a fix to its wording can't miss a copy and a typo can't hide in one.
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnak {
namespace {

namespace fs = std::filesystem;

std::size_t Occurrences(const std::string& haystack, const std::string& needle) {
    std::size_t count = 0;
    for (auto at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

// The program's own sources: what the platform stand-ins show is not the program's wording.
std::string ProgramSources() {
    std::string all;
    for (const char* folder : {"core", "store", "overlays", "ui", "app"}) {
        for (const auto& entry :
             fs::recursive_directory_iterator(fs::path(VARNAK_SOURCE_DIR) / folder)) {
            const auto extension = entry.path().extension();
            if (entry.is_regular_file() && (extension == ".cpp" || extension == ".h")) {
                all += test::ReadFileBytes(entry.path());
                all += '\n';
            }
        }
    }
    return all;
}

TEST(MessageTexts, EachIsWrittenExactlyOnce) {
    const std::string sources = ProgramSources();
    ASSERT_FALSE(sources.empty());
    for (const std::string text : {
             "missing options on the command line",
             "Could not open output file",
             "Could not write output file",
             "Couldn't open debug file: ",
             "Number of copies must be larger than zero",
             "Form overlay must be larger than zero",
             "The online manual could not be opened in a browser. You find it here:",
         }) {
        EXPECT_EQ(Occurrences(sources, '"' + text + '"'), 1u) << "text: " << text;
    }
}

} // namespace
} // namespace varnak
