#include "setup/l10n/string_table_block.h"

namespace pelko::setup {

namespace {

constexpr size_t kUnitSize = 2;

// Resource data need not be aligned for a char16_t read, so units are put together by hand.
char16_t UnitAt(const unsigned char* bytes, size_t unit) {
  return static_cast<char16_t>(bytes[unit * kUnitSize] | (bytes[unit * kUnitSize + 1] << 8));
}

}  // namespace

std::u16string ReadStringBlockEntry(const void* block, size_t size, uint32_t index) {
  if (block == nullptr || index >= kStringBlockEntries) return {};
  const auto* bytes = static_cast<const unsigned char*>(block);
  // An odd trailing byte is no code unit.
  const size_t units = size / kUnitSize;
  size_t position = 0;
  for (uint32_t entry = 0;; ++entry) {
    if (position >= units) return {};
    const size_t count = UnitAt(bytes, position);
    ++position;
    // Compared as "count > units - position" so that the sum cannot wrap.
    if (count > units - position) return {};
    if (entry == index) {
      std::u16string text(count, u'\0');
      for (size_t i = 0; i < count; ++i) text[i] = UnitAt(bytes, position + i);
      return text;
    }
    position += count;
  }
}

}  // namespace pelko::setup
