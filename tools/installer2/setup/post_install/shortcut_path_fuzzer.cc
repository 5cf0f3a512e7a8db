// Feeds arbitrary folders, names and buffer sizes to the shortcut path builder. Input: a 16-bit
// capacity, a 16-bit folder length in units, a 32-bit edition number, then UTF-16 units: the
// folder, then the name. Checks that a path never runs past its buffer and says what it should.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "setup/post_install/shortcut_path.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

constexpr char16_t kSentinel = 0xFDFD;

uint32_t ReadLittleEndian(const uint8_t* data, size_t bytes) {
  uint32_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
  return value;
}

// Builds into a buffer of exactly `capacity` units, so that a write past it is caught, and
// checks the result against what the folder and the name say.
void CheckCompose(std::u16string_view folder, std::u16string_view name, size_t capacity) {
  using pelko::setup::ComposeShortcutPath;
  const std::u16string expected = std::u16string(folder) + std::u16string(name) + u".lnk";
  const bool has_null = folder.find(u'\0') != std::u16string_view::npos ||
                        name.find(u'\0') != std::u16string_view::npos;
  const bool fits = expected.size() < capacity;

  auto storage = std::make_unique<char16_t[]>(capacity == 0 ? 1 : capacity);
  char16_t* buffer = capacity == 0 ? nullptr : storage.get();
  for (size_t i = 0; i < capacity; ++i) buffer[i] = kSentinel;

  const bool built = ComposeShortcutPath(folder, name, buffer, capacity);
  Check(built == (!has_null && fits && buffer != nullptr));
  if (built) {
    Check(std::u16string_view(buffer, expected.size()) == expected);
    Check(buffer[expected.size()] == u'\0');
    for (size_t i = expected.size() + 1; i < capacity; ++i) Check(buffer[i] == kSentinel);
  } else {
    // A refused path writes nothing at all.
    for (size_t i = 0; i < capacity; ++i) Check(buffer[i] == kSentinel);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelko::setup;
  constexpr size_t kHeader = 8;
  if (size < kHeader) return 0;
  // Sizes around the real one are what matter; a larger range only slows the search.
  const size_t capacity = ReadLittleEndian(data, 2) % (2 * kShortcutPathCapacity);
  const size_t folder_units = ReadLittleEndian(data + 2, 2);
  const int32_t edition = static_cast<int32_t>(ReadLittleEndian(data + 4, 4));

  std::u16string units((size - kHeader) / 2, u'\0');
  if (!units.empty()) std::memcpy(units.data(), data + kHeader, units.size() * 2);
  const std::u16string_view all(units);
  const std::u16string_view folder = all.substr(0, folder_units);
  const std::u16string_view name = all.substr(folder.size());

  CheckCompose(folder, name, capacity);
  // The size the setup really builds into.
  CheckCompose(folder, name, kShortcutPathCapacity);

  const char16_t* key = EditionRegistryKey(edition);
  const bool in_table =
      edition >= 0 && static_cast<size_t>(edition) < std::size(EditionRegistryKeys);
  Check((key != nullptr) == in_table);
  if (key != nullptr) Check(key == EditionRegistryKeys[edition]);
  return 0;
}
