// What callers rely on from every registry backend, in the manner of the Windows registry's
// own conformance tests: sentinel-filled buffers, exact sizes and status codes.
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <array>

namespace varnak {
namespace {

using namespace platform;

const std::string TestKey = "SOFTWARE\\quet\\registry-test";
constexpr std::uint8_t Sentinel = 0xCC;
constexpr std::uint32_t Unset = 0xDEADBEEF;

class RegistryTest : public ::testing::Test {
protected:
    std::unique_ptr<RegistryKey> Open(std::uint32_t access) {
        std::unique_ptr<RegistryKey> key;
        EXPECT_EQ(sandbox.Registry().OpenKey(TestKey, access, key), RegSuccess);
        return key;
    }

    test::RegistrySandbox sandbox;
};

TEST_F(RegistryTest, AMissingKeyIsNotFound) {
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(sandbox.Registry().OpenKey(TestKey, KeyReadAccess, key), RegFileNotFound);
    EXPECT_EQ(sandbox.Registry().OpenKey(TestKey, KeyReadWriteAccess, key), RegFileNotFound);
    EXPECT_EQ(key, nullptr);
}

TEST_F(RegistryTest, CreatingAKeyCreatesItsParents) {
    sandbox.CreateKey(TestKey + "\\Deeper");
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(sandbox.Registry().OpenKey(TestKey, KeyReadAccess, key), RegSuccess);
    EXPECT_EQ(sandbox.Registry().OpenKey("SOFTWARE\\QUET", KeyReadAccess, key), RegSuccess)
        << "key names ignore letter case";
}

TEST_F(RegistryTest, AMissingValueIsNotFound) {
    sandbox.CreateKey(TestKey);
    auto key = Open(KeyReadAccess);
    std::uint32_t type = Unset;
    std::uint32_t size = 4;
    std::array<std::uint8_t, 4> buffer;
    buffer.fill(Sentinel);
    EXPECT_EQ(key->QueryValue("Missing", &type, buffer.data(), &size), RegFileNotFound);
    EXPECT_EQ(buffer[0], Sentinel);
}

TEST_F(RegistryTest, ABufferTooSmallGivesTheNeededSizeAndTakesNothing) {
    sandbox.SetText(TestKey, "Text", "abcdef");
    auto key = Open(KeyReadAccess);
    std::array<std::uint8_t, 16> buffer;
    buffer.fill(Sentinel);
    std::uint32_t type = Unset;
    std::uint32_t size = 6;
    EXPECT_EQ(key->QueryValue("Text", &type, buffer.data(), &size), RegMoreData);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(type, RegSz);
    EXPECT_EQ(buffer[6], Sentinel) << "nothing beyond the buffer's size is written";

    size = 7;
    EXPECT_EQ(key->QueryValue("Text", &type, buffer.data(), &size), RegSuccess);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), 8),
              std::string("abcdef\0\xCC", 8));
}

TEST_F(RegistryTest, WithoutABufferOnlyTypeAndSizeAreReturned) {
    sandbox.SetDword(TestKey, "Number", 5);
    auto key = Open(KeyReadAccess);
    std::uint32_t type = Unset;
    std::uint32_t size = 0;
    EXPECT_EQ(key->QueryValue("Number", &type, nullptr, &size), RegSuccess);
    EXPECT_EQ(type, RegDword);
    EXPECT_EQ(size, 4u);
}

struct StoredValue {
    const char* name;
    std::uint32_t Type;
    std::string Bytes;
    friend void PrintTo(const StoredValue& value, std::ostream* out) { *out << value.name; }
};

class ValueRoundTripTest : public RegistryTest,
                           public ::testing::WithParamInterface<StoredValue> {};

TEST_P(ValueRoundTripTest, ComesBackWithExactlyItsTypeBytesAndSize) {
    const StoredValue& param = GetParam();
    sandbox.Set(TestKey, "Value", param.Type, param.Bytes);
    auto key = Open(KeyReadAccess);
    std::array<std::uint8_t, 64> buffer;
    buffer.fill(Sentinel);
    std::uint32_t type = Unset;
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    ASSERT_EQ(key->QueryValue("Value", &type, buffer.data(), &size), RegSuccess)
        << "case: " << param.name;
    EXPECT_EQ(type, param.Type) << "case: " << param.name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), size), param.Bytes)
        << "case: " << param.name;
    const bool unterminatedText =
        param.Type == RegSz && !param.Bytes.empty() && param.Bytes.back() != '\0';
    EXPECT_EQ(buffer[size], unterminatedText ? 0 : Sentinel)
        << "case: " << param.name << " (a text without NUL gets one after its data)";
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueRoundTripTest,
    ::testing::Values(StoredValue{"text", RegSz, std::string("5,8\0", 4)},
                      StoredValue{"text without NUL", RegSz, "5,8"},
                      StoredValue{"empty text", RegSz, ""},
                      StoredValue{"expandable", RegExpandSz, std::string("%TEMP%\\x\0", 9)},
                      StoredValue{"number", RegDword, std::string("\x03\0\0\0", 4)},
                      StoredValue{"short number", RegDword, std::string("\x03\0", 2)},
                      StoredValue{"binary", RegBinary, std::string("\0\x01\xFF", 3)},
                      StoredValue{"no type", RegNone, "x"}),
    test::ByCaseName);

TEST_F(RegistryTest, ValueNamesIgnoreLetterCase) {
    sandbox.SetDword(TestKey, "NumberOfCopies", 3);
    sandbox.SetDword(TestKey, "NUMBEROFCOPIES", 4);
    const auto stored = sandbox.Get(TestKey, "numberofcopies");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Bytes, test::DwordBytes(4));
}

TEST_F(RegistryTest, AReadOnlyKeyRefusesWrites) {
    sandbox.CreateKey(TestKey);
    auto key = Open(KeyReadAccess);
    const std::uint8_t data[4] = {1, 0, 0, 0};
    EXPECT_EQ(key->SetValue("Number", RegDword, data, 4), RegAccessDenied);
    key.reset();
    EXPECT_FALSE(sandbox.Get(TestKey, "Number"));
}

TEST_F(RegistryTest, ValuesSetThroughAKeyAreSeenThroughIt) {
    sandbox.CreateKey(TestKey);
    auto key = Open(KeyReadWriteAccess);
    const std::uint8_t data[4] = {9, 0, 0, 0};
    ASSERT_EQ(key->SetValue("Number", RegDword, data, 4), RegSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(key->QueryValue("Number", nullptr, nullptr, &size), RegSuccess);
    EXPECT_EQ(size, 4u);
}

} // namespace
} // namespace varnak
