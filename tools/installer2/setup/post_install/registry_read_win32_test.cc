#include "setup/post_install/registry_read_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/post_install/test_support_win32.h"

namespace pelko::setup {
namespace {

using test::Utf16Bytes;
using test::WriteRawValue;

class ReadRegistryStringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    key_path_ = L"Software\\PelkoTests\\ReadRegistryString-" +
                std::to_wstring(GetCurrentProcessId());
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    ASSERT_EQ(key_.Open(HKEY_CURRENT_USER, key_path_.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
  }
  void TearDown() override {
    key_.Reset();
    RegDeleteKeyW(HKEY_CURRENT_USER, key_path_.c_str());
  }

  std::wstring key_path_;
  RegKey key_;
};

TEST_F(ReadRegistryStringTest, ReadsOnlyTerminatedStringValuesUpTo259Characters) {
  const std::u16string folder = u"C:\\Menu\\Product\\";
  const std::u16string chars259 = u"C:\\" + std::u16string(256, u'a');
  const std::u16string chars260 = chars259 + u"b";
  struct Case {
    const char* name;
    DWORD type;
    std::vector<uint8_t> data;
    bool ok;
    std::u16string text;
  } const kCases[] = {
      {"REG_SZ", REG_SZ, Utf16Bytes(folder, true), true, folder},
      {"REG_EXPAND_SZ, not expanded", REG_EXPAND_SZ, Utf16Bytes(u"%TEMP%\\Menu\\", true), true,
       u"%TEMP%\\Menu\\"},
      {"259 characters", REG_SZ, Utf16Bytes(chars259, true), true, chars259},
      {"260 characters: larger than the buffer", REG_SZ, Utf16Bytes(chars260, true), false, u""},
      {"1000 characters", REG_SZ, Utf16Bytes(std::u16string(1000, u'z'), true), false, u""},
      {"REG_BINARY with string bytes", REG_BINARY, Utf16Bytes(folder, true), false, u""},
      {"REG_DWORD", REG_DWORD, {0x5C, 0, 0, 0}, false, u""},
      {"REG_MULTI_SZ", REG_MULTI_SZ, Utf16Bytes(folder + u'\0', true), false, u""},
      {"odd byte count", REG_SZ, [&] {
         auto bytes = Utf16Bytes(folder, true);
         bytes.push_back('A');
         return bytes;
       }(),
       false, u""},
      {"missing terminator", REG_SZ, Utf16Bytes(folder, false), false, u""},
      {"no bytes", REG_SZ, {}, false, u""},
      {"only a terminator", REG_EXPAND_SZ, Utf16Bytes(u"", true), false, u""},
      {"embedded null", REG_SZ, Utf16Bytes(folder + u'\0' + u"rest", true), true, folder},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(WriteRawValue(key_.get(), L"StartMenuPath", c.type, c.data), ERROR_SUCCESS);
    // The registry keeps the bytes as written: no terminator added, nothing cut.
    DWORD stored_type = 0;
    std::vector<uint8_t> stored;
    ASSERT_TRUE(test::ReadRawValue(key_.get(), L"StartMenuPath", stored_type, stored));
    ASSERT_EQ(stored, c.data);
    ASSERT_EQ(stored_type, c.type);

    std::u16string text = u"<untouched>";
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key_path_.c_str(), L"StartMenuPath", text),
              c.ok);
    EXPECT_EQ(text, c.ok ? c.text : u"<untouched>");
  }
}

TEST_F(ReadRegistryStringTest, MissingValueOrKeyReadsNothing) {
  std::u16string text = u"<untouched>";
  EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, key_path_.c_str(), L"StartMenuPath", text));
  const std::wstring missing_key = key_path_ + L"\\Missing";
  EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, missing_key.c_str(), L"StartMenuPath", text));
  EXPECT_EQ(text, u"<untouched>");
  // Reading must not create the key.
  RegKey probe;
  EXPECT_EQ(probe.Open(HKEY_CURRENT_USER, missing_key.c_str(), KEY_READ), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace pelko::setup
