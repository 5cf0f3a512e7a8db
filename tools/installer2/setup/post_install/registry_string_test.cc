#include "setup/post_install/registry_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelko::setup {
namespace {

constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// The bytes the registry stores for `units`, little-endian, optionally cut by `drop` bytes.
std::vector<uint8_t> Bytes(const std::u16string& units, size_t drop = 0) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : units) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  bytes.resize(bytes.size() - drop);
  return bytes;
}

std::u16string Terminated(std::u16string text) {
  text.push_back(u'\0');
  return text;
}

const std::u16string kSentinel = u"<untouched>";

struct Case {
  const char* name;
  uint32_t type;
  std::vector<uint8_t> data;
  bool ok;
  std::u16string text;  // expected when ok
};

void RunCases(const std::vector<Case>& cases,
              bool (*parse)(uint32_t, const uint8_t*, size_t, std::u16string&)) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::u16string text = kSentinel;
    EXPECT_EQ(parse(c.type, c.data.data(), c.data.size(), text), c.ok);
    EXPECT_EQ(text, c.ok ? c.text : kSentinel);
  }
}

TEST(ParseRegistryStringTest, AcceptsOnlyTerminatedStringsOfTwoTo260Characters) {
  const std::u16string folder = u"C:\\Menu\\Product\\";
  const std::u16string chars258(258, u'a');
  const std::u16string chars259(259, u'b');
  const std::u16string chars260(260, u'c');
  const std::vector<Case> cases = {
      {"REG_SZ", kRegSz, Bytes(Terminated(folder)), true, folder},
      {"REG_EXPAND_SZ is not expanded", kRegExpandSz, Bytes(Terminated(u"%APPDATA%\\M\\")), true,
       u"%APPDATA%\\M\\"},
      {"non-ASCII text decoded little-endian", kRegSz, Bytes(Terminated(u"\u0410\u4E2D\\")), true,
       u"\u0410\u4E2D\\"},
      {"one character", kRegSz, Bytes(Terminated(u"x")), true, u"x"},
      {"258 characters", kRegSz, Bytes(Terminated(chars258)), true, chars258},
      {"259 characters, n = 260", kRegSz, Bytes(Terminated(chars259)), true, chars259},
      {"260 characters, n = 261", kRegSz, Bytes(Terminated(chars260)), false, u""},
      {"far longer", kRegSz, Bytes(Terminated(std::u16string(2000, u'd'))), false, u""},
      {"REG_NONE", kRegNone, Bytes(Terminated(folder)), false, u""},
      {"REG_BINARY", kRegBinary, Bytes(Terminated(folder)), false, u""},
      {"REG_DWORD", kRegDword, {1, 0, 0, 0}, false, u""},
      {"REG_MULTI_SZ", kRegMultiSz, Bytes(Terminated(Terminated(folder))), false, u""},
      {"odd byte count", kRegSz, Bytes(Terminated(folder), 1), false, u""},
      {"missing terminator", kRegSz, Bytes(folder), false, u""},
      {"last character has only its low byte zero", kRegSz, Bytes(u"ab\u0100"), false, u""},
      {"no bytes", kRegSz, {}, false, u""},
      {"only the terminator", kRegSz, Bytes(Terminated(u"")), false, u""},
      {"embedded null ends the text", kRegSz, Bytes(Terminated(u"C:\\M\\" + std::u16string(1, 0) +
                                                               u"junk")),
       true, u"C:\\M\\"},
      {"two terminators", kRegSz, Bytes(Terminated(Terminated(folder))), true, folder},
      {"null first: reads as empty", kRegSz, Bytes(Terminated(std::u16string(1, 0) + u"junk")),
       false, u""},
  };
  RunCases(cases, ParseRegistryString);
}

TEST(ParseRegistryStringTest, RefusesMissingDataWithAByteCount) {
  std::u16string text = kSentinel;
  EXPECT_FALSE(ParseRegistryString(kRegSz, nullptr, 4, text));
  EXPECT_EQ(text, kSentinel);
}

TEST(ParseLaunchRequestTest, AcceptsTerminatedStringsOfAnyLengthAndNoBytes) {
  const std::u16string program = u"C:\\Program Files\\Tavrin Pelko\\pelko.exe";
  const std::u16string long_path = u"C:\\" + std::u16string(5000, u'p') + u".exe";
  const std::vector<Case> cases = {
      {"REG_SZ", kRegSz, Bytes(Terminated(program)), true, program},
      {"REG_EXPAND_SZ is not expanded", kRegExpandSz, Bytes(Terminated(u"%WINDIR%\\a.exe")), true,
       u"%WINDIR%\\a.exe"},
      {"far longer than 260", kRegSz, Bytes(Terminated(long_path)), true, long_path},
      {"no bytes at all", kRegSz, {}, true, u""},
      {"only the terminator", kRegSz, Bytes(Terminated(u"")), true, u""},
      {"embedded null ends the text", kRegSz,
       Bytes(Terminated(program + std::u16string(1, 0) + u"x")), true, program},
      {"two terminators", kRegExpandSz, Bytes(Terminated(Terminated(program))), true, program},
      {"REG_BINARY", kRegBinary, Bytes(Terminated(program)), false, u""},
      {"REG_DWORD", kRegDword, {1, 0, 0, 0}, false, u""},
      {"REG_MULTI_SZ", kRegMultiSz, Bytes(Terminated(Terminated(program))), false, u""},
      {"REG_BINARY without bytes", kRegBinary, {}, false, u""},
      {"odd byte count", kRegSz, Bytes(Terminated(program), 1), false, u""},
      {"one byte", kRegSz, {0}, false, u""},
      {"missing terminator", kRegSz, Bytes(program), false, u""},
      {"last character has only its low byte zero", kRegSz, Bytes(u"a\u0100"), false, u""},
  };
  RunCases(cases, ParseLaunchRequest);
}

}  // namespace
}  // namespace pelko::setup
