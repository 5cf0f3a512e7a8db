#ifndef PELKO_SETUP_L10N_STRING_TABLE_BLOCK_H_
#define PELKO_SETUP_L10N_STRING_TABLE_BLOCK_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelko::setup {

// A string-table resource holds the strings in blocks of 16: string n is entry n % 16 of block
// n / 16 + 1.
constexpr uint32_t kStringBlockEntries = 16;
inline uint32_t StringBlockNumber(uint32_t id) { return id / kStringBlockEntries + 1; }
inline uint32_t StringBlockIndex(uint32_t id) { return id % kStringBlockEntries; }

// Entry `index` of one raw string-table block: 16 entries, each a little-endian 16-bit count
// followed by that many UTF-16 code units, no terminator. Empty when the entry holds no text,
// when `index` is not below 16, or when the block ends before the entry's text does; the walk
// never reads past `size` bytes.
std::u16string ReadStringBlockEntry(const void* block, size_t size, uint32_t index);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_L10N_STRING_TABLE_BLOCK_H_
