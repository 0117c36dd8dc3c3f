#include "platform/registry/RegFile.h"

#include "platform/registry/Registry.h"

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
    const auto file = RegFile::Parse(
        "REGEDIT4\n"
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
    const auto file = RegFile::Parse(Utf16Le(
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint]\r\n"
        u"\"WorkingDirectory\"=\"C:\\\\Formul\u00e4re\"\r\n"
        u"\"Expand\"=hex(2):25,00,54,00,00,00\r\n"
        u"\"Count\"=dword:00000010\r\n"
        u"\"Raw\"=hex:00,01\r\n"));
    ASSERT_TRUE(file);
    const RegKeyData* key = file->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->FindValue("WorkingDirectory")->Data,
              std::string("C:\\Formul\xC3\xA4re\0", 14));
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

class UnparseableTest : public ::testing::TestWithParam<const char*> {};

TEST_P(UnparseableTest, IsRejectedWhole) {
    EXPECT_FALSE(RegFile::Parse(GetParam())) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnparseableTest,
    ::testing::Values("[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n",
                      "REGEDIT5\r\n",
                      "REGEDIT4\r\n\"a\"=\"value before any key\"\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\nstray text\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"unterminated\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"C:\\Macros\"\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=dword:123456789\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=dword:\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:1,2g\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:100\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex(x):00\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=-\r\n",
                      "REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A] trailing\r\n",
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"\"b\"\r\n"));

} // namespace
} // namespace varnak::platform
