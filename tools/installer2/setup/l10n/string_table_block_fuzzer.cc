// Feeds arbitrary bytes as a string-table block and checks what must hold for any block: the walk
// stays inside it, and a text it returns is made of units that really are in it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/l10n/string_table_block.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using pelko::setup::kStringBlockEntries;
  using pelko::setup::ReadStringBlockEntry;

  size_t total_units = 0;
  for (uint32_t index = 0; index <= kStringBlockEntries; ++index) {
    const std::u16string text = ReadStringBlockEntry(data, size, index);
    if (index == kStringBlockEntries) {
      Check(text.empty());
      continue;
    }
    // Every entry before this one takes at least its count unit.
    total_units += text.size();
    Check(total_units + index + 1 <= size / 2 || text.empty());
  }
  return 0;
}
