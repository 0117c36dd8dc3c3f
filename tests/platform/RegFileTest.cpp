#include "platform/registry/RegFile.h"

#include "platform/registry/Registry.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace varnak::platform {
namespace {

const std::string Key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-userinterface";

struct TypedValue {
    const char* Case;
    std::uint32_t Type;
    std::string Data;
    friend void PrintTo(const TypedValue& value, std::ostream* out) { *out << value.Case; }
};

const std::vector<TypedValue> EveryKindOfValue = {
    {"text", RegSz, std::string("5,8\0", 4)},
    {"empty text", RegSz, ""},
    {"text without NUL", RegSz, "5,8"},
    {"text with quotes and backslashes", RegSz, std::string("C:\\\"x\"\\\0", 8)},
    {"text with a line break", RegSz, std::string("a\r\nb\0", 6)},
    {"text with an inner NUL", RegSz, std::string("a\0b\0", 4)},
    {"ANSI text", RegSz, std::string("Gr\xFC\xDF\0", 5)},
    {"expandable", RegExpandSz, std::string("%TEMP%\0", 7)},
    {"number", RegDword, std::string("\x03\0\0\0", 4)},
    {"all bits", RegDword, std::string("\xFF\xFF\xFF\xFF", 4)},
    {"short number", RegDword, std::string("\x03", 1)},
    {"binary", RegBinary, std::string("\0\x01\x7F\x80\xFF", 5)},
    {"long binary", RegBinary, std::string(300, '\xA5')},
    {"no type", RegNone, ""},
    {"multi text", 7, std::string("a\0b\0\0", 5)},
    {"quad word", 11, std::string(8, '\x11')},
    {"unknown type", 0x12345678, "x"},
};

TEST(RegFile, EveryValueSurvivesFormatAndParse) {
    RegFile file;
    RegKeyData& key = file.CreateKey(Key);
    for (const TypedValue& value : EveryKindOfValue) {
        key.SetValue(value.Case, value.Type, value.Data);
    }
    const auto parsed = RegFile::Parse(file.Format());
    ASSERT_TRUE(parsed);
    const RegKeyData* reread = parsed->FindKey(Key);
    ASSERT_NE(reread, nullptr);
    ASSERT_EQ(reread->Values.size(), EveryKindOfValue.size());
    for (std::size_t i = 0; i < EveryKindOfValue.size(); ++i) {
        const TypedValue& expected = EveryKindOfValue[i];
        EXPECT_EQ(reread->Values[i].Name, expected.Case);
        EXPECT_EQ(reread->Values[i].Type, expected.Type) << "case: " << expected.Case;
        EXPECT_EQ(reread->Values[i].Data, expected.Data) << "case: " << expected.Case;
    }
}

TEST(RegFile, WritesTheRegistryEditorsAnsiFormat) {
    RegFile file;
    RegKeyData& key = file.CreateKey(Key);
    key.SetValue("LastPageNumbers", RegSz, std::string("5,\"8\"\\\0", 7));
    key.SetValue("NumberOfCopies", RegDword, std::string("\x03\0\0\0", 4));
    key.SetValue("Path", RegExpandSz, std::string("%A%\0", 4));
    key.SetValue("Raw", RegSz, "ab");
    key.SetValue("numberofcopies", RegDword, std::string("\x0A\0\0\0", 4));
    file.CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint")
        .SetValue("", RegBinary, std::string(30, '\x01'));
    EXPECT_EQ(file.Format(),
              "REGEDIT4\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet]\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-userinterface]\r\n"
              "\"LastPageNumbers\"=\"5,\\\"8\\\"\\\\\"\r\n"
              "\"NumberOfCopies\"=dword:0000000a\r\n"
              "\"Path\"=hex(2):25,41,25,00\r\n"
              "\"Raw\"=hex(1):61,62\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint]\r\n"
              "@=hex:01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,\\\r\n"
              "  01,01,01,01,01,01,01\r\n"
              "\r\n");
}

TEST(RegFile, ReadsAHandWrittenFile) {
    const auto file = RegFile::Parse("REGEDIT4\n"
                                     "; settings for the print room\n"
                                     "\n"
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint]\n"
                                     "\"WorkingDirectory\"=\"C:\\\\Macros\"\n"
                                     "  @ = \"default\"  \n"
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\sorb-userinterface]\r\n"
                                     "\"NumberOfCopies\"=dword:3\r\n"
                                     "\"Blob\"=hex:DE,ad,\\\r\n"
                                     "    be,EF\r\n"
                                     "\"Expand\"=hex(2):25,00\r\n"
                                     "[hkey_local_machine\\software\\QUET\\QUETPRINT]\n"
                                     "\"workingdirectory\"=\"D:\\\\Forms\"\n");
    ASSERT_TRUE(file);
    const RegKeyData* companion = file->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint");
    ASSERT_NE(companion, nullptr);
    EXPECT_EQ(companion->Path, "HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint");
    ASSERT_EQ(companion->Values.size(), 2u);
    EXPECT_EQ(companion->Values[0].Name, "WorkingDirectory") << "the first-written case";
    EXPECT_EQ(companion->Values[0].Data, std::string("D:\\Forms\0", 9)) << "the later value";
    EXPECT_EQ(companion->Values[1].Name, "");
    const RegKeyData* settings = file->FindKey(Key);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->FindValue("NumberOfCopies")->Data, std::string("\x03\0\0\0", 4));
    EXPECT_EQ(settings->FindValue("Blob")->Type, RegBinary);
    EXPECT_EQ(settings->FindValue("Blob")->Data, "\xDE\xAD\xBE\xEF");
    EXPECT_EQ(settings->FindValue("Expand")->Data, std::string("%\0", 2));
    EXPECT_TRUE(file->KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE")) << "a parent of a listed key";
    EXPECT_FALSE(file->KeyExists("HKEY_LOCAL_MACHINE\\SOFT"));
}

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST(RegFile, ReadsTheUnicodeExportFormat) {
    const auto file = RegFile::Parse(Utf16Le(u"Windows Registry Editor Version 5.00\r\n"
                                             u"\r\n"
                                             u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint]\r\n"
                                             u"\"WorkingDirectory\"=\"C:\\\\Formul\u00e4re\"\r\n"
                                             u"\"Expand\"=hex(2):25,00,54,00,00,00\r\n"
                                             u"\"Count\"=dword:00000010\r\n"
                                             u"\"Raw\"=hex:00,01\r\n"));
    ASSERT_TRUE(file);
    const RegKeyData* key = file->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->FindValue("WorkingDirectory")->Data, std::string("C:\\Formul\xC3\xA4re\0", 14));
    EXPECT_EQ(key->FindValue("Expand")->Data, std::string("%T\0", 3))
        << "texts in hex are UTF-16LE in this format";
    EXPECT_EQ(key->FindValue("Count")->Data, std::string("\x10\0\0\0", 4));
    EXPECT_EQ(key->FindValue("Raw")->Data, std::string("\0\x01", 2));
}

TEST(RegFile, AnEmptyFileIsAnEmptyRegistry) {
    const auto file = RegFile::Parse("");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Keys().empty());
}

struct UnparseableCase {
    const char* name;
    const char* Text;
    std::size_t Line; // the line the error names
    friend void PrintTo(const UnparseableCase& value, std::ostream* out) { *out << value.Text; }
};

class UnparseableTest : public ::testing::TestWithParam<UnparseableCase> {};

TEST_P(UnparseableTest, IsRejectedWholeNamingTheLine) {
    RegParseError error;
    EXPECT_FALSE(RegFile::Parse(GetParam().Text, &error)) << GetParam().Text;
    EXPECT_EQ(error.Line, GetParam().Line) << GetParam().Text;
    EXPECT_FALSE(error.Reason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnparseableTest,
    ::testing::Values(
        UnparseableCase{"no header", "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n", 1},
        UnparseableCase{"unknown header", "REGEDIT5\r\n", 1},
        UnparseableCase{"only a note", "; only a note\r\n", 1},
        UnparseableCase{"value before any key", "REGEDIT4\r\n\"a\"=\"value before any key\"\r\n",
                        2},
        UnparseableCase{"stray text", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\nstray text\r\n", 3},
        UnparseableCase{"note in the wrong form", "REGEDIT4\r\n\r\n# a note in the wrong form\r\n",
                        3},
        UnparseableCase{"unterminated text",
                        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"unterminated\r\n", 3},
        UnparseableCase{"unescaped backslash",
                        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"C:\\Macros\"\r\n", 3},
        UnparseableCase{"dword too long",
                        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=dword:123456789\r\n", 3},
        UnparseableCase{"dword empty", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=dword:\r\n",
                        3},
        UnparseableCase{"hex not a digit",
                        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:1,2g\r\n", 3},
        UnparseableCase{"hex byte too long after continuation",
                        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:01,\\\r\n  100\r\n", 3},
        UnparseableCase{"unknown hex type",
                        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex(x):00\r\n", 3},
        UnparseableCase{"deleted value", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=-\r\n", 3},
        UnparseableCase{"deleted key", "REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n", 2},
        UnparseableCase{"text after the key", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A] trailing\r\n",
                        2},
        UnparseableCase{"two names without equals",
                        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"\"b\"\r\n", 3}),
    test::ByCaseName);

// An administrator's notes survive every save: comments and the blank lines between keys
// stay where they stand, whatever is changed or added around them.
TEST(RegFile, CommentsAndBlankLinesStayWhereTheyStand) {
    const std::string header = "; exported for the print room\r\nREGEDIT4\r\n";
    const std::string companion = "\r\n; the companion program\r\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint]\r\n"
                                  "; where the forms are\r\n"
                                  "\"WorkingDirectory\"=\"/srv/forms\"\r\n";
    const std::string settings = "\r\n\r\n[" + Key +
                                 "]\r\n"
                                 "\"NumberOfCopies\"=dword:00000003\r\n"
                                 "  ; tray 1 is Plain\r\n"
                                 "\"DefaultInputTray\"=dword:00000001\r\n";
    const std::string end = "\r\n; end of the settings\r\n";
    auto file = RegFile::Parse(header + companion + settings + end);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Format(), header + companion + settings + end);

    RegKeyData* key = file->FindKey(Key);
    ASSERT_NE(key, nullptr);
    key->SetValue("numberofcopies", RegDword, std::string("\x04\0\0\0", 4));
    key->SetValue("LastTab", RegDword, std::string(4, '\0'));
    file->CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\other");
    std::string changed = settings;
    changed.replace(changed.find("00000003"), 8, "00000004");
    EXPECT_EQ(file->Format(), header + companion + changed + "\"LastTab\"=dword:00000000\r\n" +
                                  "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\other]\r\n" + end);
}

// A save's merge gives the text that changing the parsed file would, without changing it:
// for a listed key (in another letter case), a key whose parent is only implied, and a key
// whose parents are all missing.
TEST(RegFile, FormatChangedIsTheChangedFilesText) {
    const std::string text = "REGEDIT4\r\n; notes\r\n\r\n[HKEY_LOCAL_MACHINE\\A\\B\\C]\r\n"
                             "\"Kept\"=\"x\"\r\n\"N\"=dword:00000001\r\n\r\n; end\r\n";
    const std::vector<RegValue> values{{"n", RegDword, std::string("\x02\0\0\0", 4)},
                                       {"New", RegSz, std::string("5,8\0", 4)}};
    for (const std::string path : {"HKEY_LOCAL_MACHINE\\a\\b\\c", "HKEY_LOCAL_MACHINE\\A\\B\\D",
                                   "HKEY_LOCAL_MACHINE\\X\\Y"}) {
        auto changed = RegFile::Parse(text);
        const auto unchanged = RegFile::Parse(text);
        ASSERT_TRUE(changed && unchanged);
        RegKeyData& key = changed->CreateKey(path);
        for (const RegValue& value : values) {
            key.SetValue(value.Name, value.Type, value.Data);
        }
        EXPECT_EQ(unchanged->FormatChanged(path, values, text.size() * 2), changed->Format())
            << "case: " << path;
        EXPECT_EQ(unchanged->Format(), text) << "case: " << path;
        EXPECT_FALSE(unchanged->FormatChanged(path, values, text.size())) << "over the limit";
    }
}

// Hostile shapes cost in proportion to their size: a run of blank lines is one note, however
// long, and stays one through a save.
TEST(RegFile, ARunOfBlankLinesIsKeptAsItWas) {
    const std::string text =
        "REGEDIT4\r\n" + std::string(100000, '\n') + "[HKEY_LOCAL_MACHINE\\A]\r\n";
    const auto file = RegFile::Parse(text);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->Keys().size(), 1u);
    ASSERT_EQ(file->Keys()[0].Leading.size(), 1u);
    EXPECT_EQ(file->Keys()[0].Leading[0].Count, 100000u);
}

TEST(RegFile, NotesOfAFileWithoutKeysStayBelowTheHeader) {
    auto file = RegFile::Parse("REGEDIT4\r\n; kept by the administrator\r\n\r\n");
    ASSERT_TRUE(file);
    file->CreateKey("HKEY_LOCAL_MACHINE\\A");
    EXPECT_EQ(file->Format(), "REGEDIT4\r\n; kept by the administrator\r\n"
                              "\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\r\n");
}

// A full export of a machine's registry: every key and value is found by name, in any
// letter case, and the file is written back as it was read.
TEST(RegFile, AFullExportIsReadWholeAndFoundByName) {
    constexpr int Keys = 40000;
    constexpr int ValuesOfOneKey = 20000;
    std::string text = "REGEDIT4\r\n";
    for (int i = 0; i < Keys; ++i) {
        text += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor" + std::to_string(i % 97) + "\\Product" +
                std::to_string(i) + "]\r\n\"Value\"=\"" + std::to_string(i) + "\"\r\n";
    }
    text += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Many]\r\n";
    for (int i = 0; i < ValuesOfOneKey; ++i) {
        text += "\"V" + std::to_string(i) + "\"=dword:00000001\r\n";
    }
    text += "\"v7\"=dword:00000002\r\n\r\n";
    const auto file = RegFile::Parse(text);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Keys().size(), Keys + 1u);
    const RegKeyData* last =
        file->FindKey("hkey_local_machine\\software\\vendor" + std::to_string((Keys - 1) % 97) +
                      "\\PRODUCT" + std::to_string(Keys - 1));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->FindValue("value")->Data, std::to_string(Keys - 1) + '\0');
    EXPECT_TRUE(file->KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\VENDOR96"));
    EXPECT_FALSE(file->KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor97"));
    const RegKeyData* many = file->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Many");
    ASSERT_NE(many, nullptr);
    ASSERT_EQ(many->Values.size(), static_cast<std::size_t>(ValuesOfOneKey));
    EXPECT_EQ(many->Values[7].Data, std::string("\x02\0\0\0", 4)) << "the later line wins";
    EXPECT_EQ(many->Values[7].Name, "V7");
    std::string expected = text;
    expected.erase(expected.find("\"v7\""), std::string("\"v7\"=dword:00000002\r\n").size());
    expected.replace(expected.find("\"V7\"=dword:00000001"), 19, "\"V7\"=dword:00000002");
    EXPECT_EQ(file->Format(), expected);
}

} // namespace
} // namespace varnak::platform
