#ifndef PELKO_SETUP_L10N_STRING_STORE_H_
#define PELKO_SETUP_L10N_STRING_STORE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace pelko::setup {

// The four questions the language fallback chain asks of the program's string resources.
class StringStore {
 public:
  virtual ~StringStore() = default;
  // The entry of string `id` from its block in exactly `language`; empty when the block is
  // missing in that language or the entry holds no text.
  virtual std::u16string ReadStringTableEntry(uint32_t id, uint16_t language) const = 0;
  // Every language in which the block of `id` exists, in ascending order.
  virtual std::vector<uint16_t> ListStringBlockLanguages(uint32_t id) const = 0;
  // The platform's own lookup of `id` (whatever language it picks); empty when none.
  virtual std::u16string LoadPlatformString(uint32_t id) const = 0;
  virtual uint16_t UserDefaultUiLanguage() const = 0;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_L10N_STRING_STORE_H_
