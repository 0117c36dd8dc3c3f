#include "core/ApplyPasses.h"

#include "core/JobSettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnak {
namespace {

// The update pass finds entries through an index instead of scanning; among many entries
// with repeated and wrapped page numbers it must still find exactly the first of each.
TEST(ApplyPassesTest, UpdateFindsTheFirstEntryOfEachNumberAndCreationTakesTheRest) {
    std::vector<PageEntry> entries;
    for (std::uint32_t i = 0; i < 5000; ++i) {
        entries.push_back({.Page = (i * 7919u) % 3001u + 1u});
    }
    entries.push_back({.Page = 4294967294u});
    const std::vector<std::int32_t> numbers{1, 0, 3001, -2, 3002, 17, 17, -7, 3002};
    std::vector<std::size_t> updated;
    std::vector<std::uint32_t> created;
    ASSERT_TRUE(RunApplyPasses(
        numbers, entries, &PageEntry::Page,
        [&](std::size_t index) {
            updated.push_back(index);
            return true;
        },
        [&](std::uint32_t page) {
            created.push_back(page);
            return true;
        }));
    std::vector<std::size_t> expected;
    for (const std::int32_t number : numbers) {
        for (std::size_t index = 0; index < entries.size(); ++index) {
            if (entries[index].Page == static_cast<std::uint32_t>(number)) {
                expected.push_back(index);
                break;
            }
        }
    }
    EXPECT_EQ(updated, expected);
    EXPECT_EQ(created, (std::vector<std::uint32_t>{3002, 4294967289u, 3002}));
}

} // namespace
} // namespace varnak
