#include "setup/l10n/string_table_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace pelko::setup {
namespace {

using Bytes = std::vector<uint8_t>;

void AppendUnit(Bytes& bytes, char16_t unit) {
  bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
  bytes.push_back(static_cast<uint8_t>(unit >> 8));
}

// A block as the resource compiler lays it out: one counted entry for each text.
Bytes MakeBlock(const std::vector<std::u16string>& texts) {
  Bytes bytes;
  for (const std::u16string& text : texts) {
    AppendUnit(bytes, static_cast<char16_t>(text.size()));
    for (char16_t unit : text) AppendUnit(bytes, unit);
  }
  return bytes;
}

Bytes Truncated(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

// The walk gets a heap copy of exactly the block's size, so a read past its end trips ASan.
std::u16string ReadExact(const Bytes& bytes, uint32_t index, size_t offset = 0) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() + offset]);
  if (!bytes.empty()) std::memcpy(copy.get() + offset, bytes.data(), bytes.size());
  return ReadStringBlockEntry(copy.get() + offset, bytes.size(), index);
}

const std::vector<std::u16string> kSixteen = {
    u"zero", u"", u"two", u"three", u"", u"five", u"six", u"seven",
    u"eight", u"nine", u"ten", u"eleven", u"twelve", u"", u"fourteen", u"fifteen"};

TEST(StringTableBlockTest, ReadsEveryEntryOfAFullBlock) {
  const Bytes block = MakeBlock(kSixteen);
  for (uint32_t index = 0; index < kSixteen.size(); ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(ReadExact(block, index), kSixteen[index]);
    // Resource data need not be aligned for 16-bit reads.
    EXPECT_EQ(ReadExact(block, index, 1), kSixteen[index]);
  }
}

TEST(StringTableBlockTest, MalformedAndEdgeBlocks) {
  const Bytes full = MakeBlock(kSixteen);
  // "zero" (2 + 8 bytes), "" (2), "two" (2 + 6): entry 3's count starts at byte 20.
  const size_t entry3 = 20;
  Bytes huge_count = MakeBlock({u"a", u"b"});
  huge_count[4] = 0xFF;  // entry 1's count
  huge_count[5] = 0xFF;
  Bytes odd = MakeBlock({u"ab"});
  odd.push_back(0x41);

  struct Case {
    const char* name;
    Bytes block;
    uint32_t index;
    std::u16string expected;
  };
  const Case kCases[] = {
      {"empty block", {}, 0, u""},
      {"index past the 16 entries", full, 16, u""},
      {"index far past the entries", full, 0xFFFFFFFFu, u""},
      {"empty entry", full, 13, u""},
      {"block of fewer entries still gives the early ones", MakeBlock({u"a", u"bc"}), 1, u"bc"},
      {"block of fewer entries ends before the entry", MakeBlock({u"a", u"bc"}), 2, u""},
      {"cut inside entry 3's text", Truncated(full, entry3 + 2 + 4), 3, u""},
      {"cut inside entry 3's text keeps entry 2", Truncated(full, entry3 + 2 + 4), 2, u"two"},
      {"cut right after entry 3", Truncated(full, entry3 + 2 + 10), 3, u"three"},
      {"cut inside entry 3's count", Truncated(full, entry3 + 1), 3, u""},
      {"count beyond the block", huge_count, 1, u""},
      {"entry after a count beyond the block", huge_count, 2, u""},
      {"odd trailing byte is no unit", odd, 0, u"ab"},
      {"one byte only", Bytes{0x01}, 0, u""},
      {"surrogate pair and right-to-left text", MakeBlock({u"\U0001F600 \u05E9\u05DC"}), 0,
       u"\U0001F600 \u05E9\u05DC"},
      {"embedded null unit", MakeBlock({std::u16string(u"a\0b", 3)}), 0,
       std::u16string(u"a\0b", 3)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadExact(c.block, c.index), c.expected);
  }
}

TEST(StringTableBlockTest, NullBlockReadsAsMissing) {
  EXPECT_EQ(ReadStringBlockEntry(nullptr, 64, 0), u"");
}

}  // namespace
}  // namespace pelko::setup
