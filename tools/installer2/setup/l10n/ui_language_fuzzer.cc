// Runs the language fallback chain over a random store of raw string-table blocks. Input: the
// requested language (16 bits), the string ID (8 bits), the user's UI language (16 bits), then
// blocks, each a language (16 bits), a block number (8 bits), a byte length (16 bits) and that
// many bytes. Checks that a text found is one the store holds for a language of the chain, taken
// in the chain's order.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "setup/l10n/string_store.h"
#include "setup/l10n/string_table_block.h"
#include "setup/l10n/ui_language.h"

namespace {

using pelko::setup::StringBlockIndex;
using pelko::setup::StringBlockNumber;

void Check(bool condition) {
  if (!condition) std::abort();
}

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return offset_ >= size_; }
  uint32_t Next(size_t bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i, ++offset_) {
      if (offset_ < size_) value |= static_cast<uint32_t>(data_[offset_]) << (8 * i);
    }
    return value;
  }
  std::vector<uint8_t> Bytes(size_t count) {
    std::vector<uint8_t> bytes;
    while (count-- > 0 && offset_ < size_) bytes.push_back(data_[offset_++]);
    return bytes;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
};

// Raw blocks by block number and language, as the program's resources hold them. The platform's
// own choice is the language-neutral block when there is one, else the lowest language's.
class BlockStore : public pelko::setup::StringStore {
 public:
  using Key = std::pair<uint32_t, uint16_t>;
  std::map<Key, std::vector<uint8_t>> blocks;
  uint16_t user_language = 0;

  std::u16string ReadStringTableEntry(uint32_t id, uint16_t language) const override {
    const auto block = blocks.find({StringBlockNumber(id), language});
    if (block == blocks.end()) return {};
    return pelko::setup::ReadStringBlockEntry(block->second.data(), block->second.size(),
                                              StringBlockIndex(id));
  }
  std::vector<uint16_t> ListStringBlockLanguages(uint32_t id) const override {
    std::vector<uint16_t> languages;
    for (const auto& [key, bytes] : blocks) {
      if (key.first == StringBlockNumber(id)) languages.push_back(key.second);
    }
    return languages;
  }
  std::u16string LoadPlatformString(uint32_t id) const override {
    const std::vector<uint16_t> languages = ListStringBlockLanguages(id);
    return languages.empty() ? std::u16string() : ReadStringTableEntry(id, languages.front());
  }
  uint16_t UserDefaultUiLanguage() const override { return user_language; }
};

uint16_t Primary(uint16_t language) { return language & 0x3FF; }

// The chain as its contract states it: the exact language, then each listed language of the
// same primary language in ascending order, then the platform's choice.
std::u16string ExpectedText(const BlockStore& store, uint32_t id, uint16_t language) {
  std::u16string text = store.ReadStringTableEntry(id, language);
  if (!text.empty()) return text;
  for (uint16_t listed : store.ListStringBlockLanguages(id)) {
    if (Primary(listed) != Primary(language)) continue;
    text = store.ReadStringTableEntry(id, listed);
    if (!text.empty()) return text;
  }
  return store.LoadPlatformString(id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelko::setup;
  Reader reader(data, size);
  const auto language = static_cast<uint16_t>(reader.Next(2));
  const uint32_t id = reader.Next(1);
  BlockStore store;
  store.user_language = static_cast<uint16_t>(reader.Next(2));
  while (!reader.empty()) {
    const auto block_language = static_cast<uint16_t>(reader.Next(2));
    // Block numbers 1 to 17 cover every ID of one byte and one block beyond.
    const uint32_t block = reader.Next(1) % 17 + 1;
    const size_t length = reader.Next(2);
    store.blocks[{block, block_language}] = reader.Bytes(length);
  }

  UiLanguage ui(store);
  const std::u16string text = ui.LoadStringInLanguage(id, language);
  if (!text.empty()) {
    // The text is the entry of one of the chain's languages, and the store really holds it.
    bool held = store.LoadPlatformString(id) == text;
    for (uint16_t listed : store.ListStringBlockLanguages(id)) {
      held = held || (Primary(listed) == Primary(language) &&
                      store.ReadStringTableEntry(id, listed) == text);
    }
    Check(held);
  }
  Check(text == ExpectedText(store, id, language));

  // The process language: a stored 0 means the user's UI language.
  ui.SetUiLanguage(language);
  const uint16_t chosen = ui.GetUiLanguage();
  Check(chosen == (language != 0 ? language : store.user_language));
  Check(ui.LocalizedString(id) == ExpectedText(store, id, chosen));
  const uint16_t primary = Primary(chosen);
  Check(ui.IsRightToLeftUi() == (primary == 0x01 || primary == 0x0D || primary == 0x29));
  return 0;
}
