#include "overlays/OverlayCatalog.h"

#include "platform/files/DirectorySearch.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace varnak {
namespace {

namespace fs = std::filesystem;

const std::string CompanionKey = "SOFTWARE\\quet\\quetprint";
constexpr char Separator = platform::PathSeparator;

std::vector<std::string> Sorted(std::vector<std::string> texts) {
    std::ranges::sort(texts);
    return texts;
}

// UTF-16LE bytes of ASCII text.
std::string Utf16(std::string_view ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

class CaptureBox : public TextSink {
public:
    void SetText(const std::string& utf8) override { text = utf8; }
    std::string text = "untouched";
};

class OverlayCatalogTest : public ::testing::Test {
protected:
    OverlayCatalogTest() : catalog(sandbox.Registry()) {}

    std::string Directory() const { return overlays.Path().string(); }
    void PointAt(const std::string& directory) {
        sandbox.SetText(CompanionKey, "WorkingDirectory", directory);
    }
    void Touch(const std::string& name, const std::string& bytes = "") {
        test::WriteFileBytes(overlays.Path() / name, bytes);
    }

    test::RegistrySandbox sandbox;
    test::TempDir overlays;
    OverlayCatalog catalog;
};

TEST_F(OverlayCatalogTest, ListsTheNumbersOfTheMacroFiles) {
    PointAt(Directory());
    Touch("3.mac");
    Touch("12.mac");
    Touch("readme.txt");
    Touch("4.mat");
    const auto listed = catalog.ListOverlays();
    EXPECT_EQ(Sorted(listed), (std::vector<std::string>{"12", "3"}));
    EXPECT_EQ(catalog.WorkingDirectory(), Directory() + Separator);
#ifndef _WIN32
    EXPECT_EQ(listed, (std::vector<std::string>{"12", "3"})) << "by name, as NTFS yields them";
#endif
}

struct NameCase {
    const char* name;
    const char* File;
    std::vector<std::string> Listed;
    friend void PrintTo(const NameCase& value, std::ostream* out) { *out << value.File; }
};

class OverlayNameTest : public OverlayCatalogTest,
                        public ::testing::WithParamInterface<NameCase> {};

TEST_P(OverlayNameTest, ReadsTheLeadingNumberOfTheName) {
    PointAt(Directory());
    Touch(GetParam().File);
    EXPECT_EQ(catalog.ListOverlays(), GetParam().Listed) << "name: " << GetParam().File;
}

INSTANTIATE_TEST_SUITE_P(
    Names, OverlayNameTest,
    ::testing::Values(NameCase{"leading zeros", "007.mac", {"7"}},
                      NameCase{"letters after the number", "12abc.mac", {"12"}},
                      NameCase{"leading blank", " 5.mac", {"5"}},
                      NameCase{"plus sign", "+4.mac", {"4"}}, NameCase{"letters", "abc.mac", {}},
                      NameCase{"zero", "0.mac", {}}, NameCase{"negative", "-3.mac", {}},
                      NameCase{"far above the largest", "99999999999.mac", {"2147483647"}},
                      NameCase{"one above the largest", "2147483648.mac", {"2147483647"}},
                      NameCase{"upper case extension", "6.MAC", {"6"}},
                      NameCase{"another extension after it", "8.mac.txt", {}}),
    test::ByCaseName);

TEST_F(OverlayCatalogTest, TheSameNumberMayBeListedTwice) {
    PointAt(Directory());
    Touch("1.mac");
    Touch("01.mac");
    EXPECT_EQ(catalog.ListOverlays(), (std::vector<std::string>{"1", "1"}));
}

TEST_F(OverlayCatalogTest, DirectoriesAreListedLikeFiles) {
    PointAt(Directory());
    fs::create_directory(overlays.Path() / "9.mac");
    EXPECT_EQ(catalog.ListOverlays(), (std::vector<std::string>{"9"}));
}

TEST_F(OverlayCatalogTest, ASeparatorIsAppendedOnlyWhenMissing) {
    Touch("2.mac");
    for (const std::string& value : {Directory(), Directory() + Separator}) {
        PointAt(value);
        OverlayCatalog fresh(sandbox.Registry());
        EXPECT_EQ(fresh.ListOverlays(), (std::vector<std::string>{"2"})) << "value: " << value;
        EXPECT_EQ(fresh.WorkingDirectory(), Directory() + Separator) << "value: " << value;
    }
}

TEST_F(OverlayCatalogTest, WithoutTheKeyTheListIsEmptyAndNothingIsDescribed) {
    EXPECT_TRUE(catalog.ListOverlays().empty());
    EXPECT_EQ(catalog.WorkingDirectory(), "");
    CaptureBox box;
    catalog.ShowDescription("None", box);
    EXPECT_EQ(box.text, "");
}

struct BadValue {
    const char* name;
    std::uint32_t Type;
    std::string Bytes;
    friend void PrintTo(const BadValue& value, std::ostream* out) { *out << value.name; }
};

class BadWorkingDirectoryTest : public OverlayCatalogTest,
                                public ::testing::WithParamInterface<BadValue> {};

TEST_P(BadWorkingDirectoryTest, GivesAnEmptyListAndKeepsTheDirectory) {
    PointAt(Directory());
    Touch("1.mac");
    ASSERT_EQ(catalog.ListOverlays().size(), 1u);
    sandbox.Set(CompanionKey, "WorkingDirectory", GetParam().Type, GetParam().Bytes);
    EXPECT_TRUE(catalog.ListOverlays().empty()) << "case: " << GetParam().name;
    EXPECT_EQ(catalog.WorkingDirectory(), Directory() + Separator) << "case: " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadWorkingDirectoryTest,
    ::testing::Values(BadValue{"a number", platform::RegDword, test::DwordBytes(1)},
                      BadValue{"binary", platform::RegBinary, std::string("C:\\\0", 4)},
                      BadValue{"no NUL", platform::RegSz, "C:\\Macros"},
                      BadValue{"260 characters", platform::RegSz,
                               std::string(260, 'd') + std::string(1, '\0')}),
    test::ByCaseName);

TEST_F(OverlayCatalogTest, A259CharacterValueIsRead) {
    const std::string value(259, 'd');
    PointAt(value);
    EXPECT_TRUE(catalog.ListOverlays().empty()) << "no such directory";
    EXPECT_EQ(catalog.WorkingDirectory(), value + Separator);
}

TEST_F(OverlayCatalogTest, ExpandableValuesAreTakenLiterallyAndEmptyMeansTheRoot) {
    sandbox.Set(CompanionKey, "WorkingDirectory", platform::RegExpandSz,
                "%TEMP%" + std::string(1, '\0'));
    catalog.ListOverlays();
    EXPECT_EQ(catalog.WorkingDirectory(), std::string("%TEMP%") + Separator);

    sandbox.Set(CompanionKey, "WorkingDirectory", platform::RegSz, "");
    catalog.ListOverlays();
    EXPECT_EQ(catalog.WorkingDirectory(), std::string(1, Separator));
}

TEST_F(OverlayCatalogTest, AMissingDirectoryListsNothingButIsKept) {
    const std::string missing = Directory() + Separator + "missing";
    PointAt(missing);
    EXPECT_TRUE(catalog.ListOverlays().empty());
    EXPECT_EQ(catalog.WorkingDirectory(), missing + Separator);
}

// A directory whose path, with its final separator, is exactly length characters long.
std::string DirectoryOfLength(const fs::path& base, std::size_t length) {
    std::string path = base.string();
    while (path.size() + 1 < length) {
        const std::size_t part = std::min<std::size_t>(100, length - path.size() - 2);
        path += Separator + std::string(std::max<std::size_t>(part, 1), 'p');
        fs::create_directory(path);
    }
    return path + Separator;
}

TEST_F(OverlayCatalogTest, SearchPatternsUpTo259CharactersAreSearched) {
    for (const std::size_t length : {254u, 255u}) {
        const std::string directory = DirectoryOfLength(overlays.Path(), length);
        ASSERT_EQ(directory.size(), length);
        test::WriteFileBytes(directory + "1.mac", "");
        PointAt(directory);
        const auto listed = catalog.ListOverlays();
        EXPECT_EQ(catalog.WorkingDirectory(), directory);
        EXPECT_EQ(listed.size(), length == 254 ? 1u : 0u) << "length " << length;
    }
}

TEST_F(OverlayCatalogTest, ReadsTheDescriptionNamedAfterTheListText) {
    PointAt(Directory());
    Touch("007.mac");
    Touch("7.mat", Utf16("Seven"));
    Touch("007.mat", Utf16("never read"));
    const auto listed = catalog.ListOverlays();
    ASSERT_EQ(listed, (std::vector<std::string>{"7"}));
    EXPECT_EQ(catalog.ReadDescription(listed[0]), "Seven");
    EXPECT_EQ(catalog.ReadDescription("None"), std::nullopt);
}

struct DescriptionCase {
    const char* name;
    std::string Bytes;
    std::optional<std::string> Text;
    friend void PrintTo(const DescriptionCase& value, std::ostream* out) { *out << value.name; }
};

class DescriptionTest : public OverlayCatalogTest,
                        public ::testing::WithParamInterface<DescriptionCase> {};

TEST_P(DescriptionTest, DecodesUtf16Le) {
    PointAt(Directory());
    Touch("5.mac");
    Touch("5.mat", GetParam().Bytes);
    catalog.ListOverlays();
    EXPECT_EQ(catalog.ReadDescription("5"), GetParam().Text) << "case: " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DescriptionTest,
    ::testing::Values(
        DescriptionCase{"empty", "", std::nullopt},
        DescriptionCase{"lines", Utf16("A4 letterhead\r\nblue"), "A4 letterhead\r\nblue"},
        DescriptionCase{"non-ASCII", std::string("\xFC\x00\xAC\x20", 4), "\xC3\xBC\xE2\x82\xAC"},
        DescriptionCase{"surrogate pair", std::string("\x3D\xD8\x00\xDE", 4), "\xF0\x9F\x98\x80"},
        DescriptionCase{"lone high surrogate", std::string("\x3D\xD8\x41\x00", 4),
                        "\xEF\xBF\xBD"
                        "A"},
        DescriptionCase{"lone low surrogate", std::string("\x00\xDE", 2), "\xEF\xBF\xBD"},
        DescriptionCase{"odd last byte", Utf16("ab") + "c", "ab"},
        DescriptionCase{"one byte", "c", ""},
        DescriptionCase{"byte-order mark kept", "\xFF\xFE" + Utf16("x"), "\xEF\xBB\xBFx"},
        DescriptionCase{"embedded zero", Utf16("a") + std::string(2, '\0') + Utf16("b"),
                        std::string("a\0b", 3)}),
    test::ByCaseName);

TEST_F(OverlayCatalogTest, ALargeDescriptionIsShownUpToItsFirstMebibyte) {
    PointAt(Directory());
    const std::string text = std::string(8 << 20, 'x') + "end";
    Touch("3.mat", Utf16(text));
    catalog.ListOverlays();
    EXPECT_EQ(catalog.ReadDescription("3"), text.substr(0, 512 * 1024));
}

TEST_F(OverlayCatalogTest, AnUnreadableDescriptionIsNone) {
    PointAt(Directory());
    fs::create_directory(overlays.Path() / "4.mat");
    catalog.ListOverlays();
    EXPECT_EQ(catalog.ReadDescription("4"), std::nullopt);
}

TEST_F(OverlayCatalogTest, ShowDescriptionEmptiesTheBoxWhenThereIsNone) {
    PointAt(Directory());
    Touch("1.mac");
    Touch("2.mac");
    Touch("3.mac");
    Touch("1.mat", Utf16("one"));
    Touch("3.mat", "");
    catalog.ListOverlays();
    CaptureBox box;
    for (const auto& [item, shown] : std::vector<std::pair<std::string, std::string>>{
             {"1", "one"}, {"2", ""}, {"1", "one"}, {"3", ""}, {"1", "one"}, {"None", ""}}) {
        catalog.ShowDescription(item, box);
        EXPECT_EQ(box.text, shown) << "item: " << item;
    }
}

TEST_F(OverlayCatalogTest, DescriptionsAreReadAnewEachTime) {
    PointAt(Directory());
    Touch("1.mac");
    Touch("1.mat", Utf16("old"));
    catalog.ListOverlays();
    EXPECT_EQ(catalog.ReadDescription("1"), "old");
    Touch("1.mat", Utf16("new"));
    EXPECT_EQ(catalog.ReadDescription("1"), "new");
}

TEST(PresentationRules, TrayListHoldsTheTwelveNamesInCodeOrder) {
    const auto texts = TrayListTexts();
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(texts[0], "None");
    EXPECT_EQ(texts[1], "Plain");
    EXPECT_EQ(texts[11], "Rough");
}

TEST(PresentationRules, OverlayListStartsWithNone) {
    EXPECT_EQ(OverlayListTexts({"15", "1"}), (std::vector<std::string>{"None", "15", "1"}));
    EXPECT_EQ(OverlayListTexts({}), (std::vector<std::string>{"None"}));
}

struct SelectionCase {
    const char* name;
    std::vector<std::string> Items;
    std::uint32_t Stored;
    std::optional<std::size_t> Selected;
    friend void PrintTo(const SelectionCase& value, std::ostream* out) { *out << value.name; }
};

class OverlaySelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(OverlaySelectionTest, SelectsTheItemThatIsExactlyTheNumber) {
    EXPECT_EQ(OverlayItemFor(GetParam().Items, GetParam().Stored), GetParam().Selected)
        << "case: " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverlaySelectionTest,
    ::testing::Values(SelectionCase{"prefix listed first", {"None", "15", "1"}, 1, 2},
                      SelectionCase{"two listed before", {"None", "25", "2"}, 2, 2},
                      SelectionCase{"only a longer number", {"None", "30"}, 3, std::nullopt},
                      SelectionCase{"none stored", {"None", "1"}, 0, std::nullopt},
                      SelectionCase{"listed twice", {"None", "1", "1"}, 1, 1},
                      SelectionCase{"largest", {"None", "2147483647"}, 2147483647u, 1},
                      SelectionCase{"beyond the list's range",
                                    {"None", "2147483647"},
                                    4294967295u,
                                    std::nullopt}),
    test::ByCaseName);

TEST(PresentationRules, ItemTextsReadBackAsTheirLeadingNumber) {
    EXPECT_EQ(OverlayNumberOf("None"), 0u);
    EXPECT_EQ(OverlayNumberOf("15"), 15u);
    EXPECT_EQ(OverlayNumberOf("2147483647"), 2147483647u);
}

} // namespace
} // namespace varnak
