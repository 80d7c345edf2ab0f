// What the settings store gives back of what was written. The same cases run
// natively against the fake and under Wine against the registry.
#include <gtest/gtest.h>
#include <string>
#include "settings_store_subject.h"

namespace torvane::contract {
namespace {

using namespace std::string_literals;

TEST(SettingsStoreContract, AbsentValuesAreNoneAndWrittenOnesComeBack) {
  const auto store = MakeEmptySettingsStore();
  EXPECT_EQ(store->Read("c1"), std::nullopt);
  ASSERT_TRUE(store->Write("c1", "1"));
  ASSERT_TRUE(store->Write("Empty", ""));
  ASSERT_TRUE(store->Write("Chinese", "QR-Code:价格 100€ \xF0\x9F\x98\x80"));
  const std::string large(100 * 1024, 'x');
  ASSERT_TRUE(store->Write("Large", large));
  EXPECT_EQ(store->Read("c1"), "1");
  EXPECT_EQ(store->Read("Empty"), "");
  EXPECT_EQ(store->Read("Chinese"), "QR-Code:价格 100€ \xF0\x9F\x98\x80");
  EXPECT_EQ(store->Read("Large"), large);
  EXPECT_TRUE(store->Write("c1", "0"));
  EXPECT_EQ(store->Read("c1"), "0") << "a value written again replaces the old one";
}

// A string value ends at its terminating NUL: whatever NULs a text ends in are
// gone when it is read back, those inside it stay.
TEST(SettingsStoreContract, TrailingNulsAreLostAndInnerOnesKept) {
  const auto store = MakeEmptySettingsStore();
  ASSERT_TRUE(store->Write("Trailing", "QR-Code:abc\0\0"s));
  ASSERT_TRUE(store->Write("Inner", "QR-Code:a\0b"s));
  EXPECT_EQ(store->Read("Trailing"), "QR-Code:abc");
  EXPECT_EQ(store->Read("Inner"), "QR-Code:a\0b"s);
}

// Values are Unicode text: bytes that are not UTF-8 do not come back as they were.
TEST(SettingsStoreContract, BytesThatAreNotUtf8ComeBackAsReplacementCharacters) {
  const auto store = MakeEmptySettingsStore();
  ASSERT_TRUE(store->Write("Gbk", "\xD6\xD0\xCE\xC4 ok"));
  EXPECT_EQ(store->Read("Gbk"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD ok");
}

}  // namespace
}  // namespace torvane::contract
