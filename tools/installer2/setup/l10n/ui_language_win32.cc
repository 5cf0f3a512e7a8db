#include "setup/l10n/ui_language_win32.h"

#include <algorithm>

#include "setup/l10n/string_table_block.h"
#include "setup/win32_text.h"

namespace pelko::setup {

namespace {

// String IDs are 16-bit in the resources; a larger ID would name another string's block.
constexpr uint32_t kLargestStringId = 0xFFFF;

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) {
  reinterpret_cast<std::vector<uint16_t>*>(context)->push_back(language);
  return TRUE;
}

}  // namespace

std::u16string ResourceStringStore::ReadStringTableEntry(uint32_t id, uint16_t language) const {
  if (id > kLargestStringId) return {};
  // FindResourceExW falls back to related languages (the neutral sublanguage, then the neutral
  // language) when the asked one is missing; an exact lookup must not return their text.
  const std::vector<uint16_t> languages = ListStringBlockLanguages(id);
  if (!std::binary_search(languages.begin(), languages.end(), language)) return {};

  const WORD block = static_cast<WORD>(StringBlockNumber(id));
  HRSRC resource = FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(block), language);
  if (resource == nullptr) return {};
  // Resource data is mapped with the module: nothing to free.
  HGLOBAL loaded = LoadResource(module_, resource);
  if (loaded == nullptr) return {};
  const void* data = LockResource(loaded);
  if (data == nullptr) return {};
  return ReadStringBlockEntry(data, SizeofResource(module_, resource), StringBlockIndex(id));
}

std::vector<uint16_t> ResourceStringStore::ListStringBlockLanguages(uint32_t id) const {
  std::vector<uint16_t> languages;
  if (id > kLargestStringId) return languages;
  const WORD block = static_cast<WORD>(StringBlockNumber(id));
  EnumResourceLanguagesW(module_, RT_STRING, MAKEINTRESOURCEW(block), CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  // The resource directory lists them ascending already; sorting keeps the contract either way.
  std::sort(languages.begin(), languages.end());
  languages.erase(std::unique(languages.begin(), languages.end()), languages.end());
  return languages;
}

std::u16string ResourceStringStore::LoadPlatformString(uint32_t id) const {
  if (id > kLargestStringId) return {};
  // A buffer size of 0 makes LoadStringW hand out a read-only pointer to the resource text,
  // which is not null-terminated, and its length.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return FromWide(text, static_cast<size_t>(length));
}

uint16_t ResourceStringStore::UserDefaultUiLanguage() const { return GetUserDefaultUILanguage(); }

UiLanguage& ProcessUiLanguage() {
  static const ResourceStringStore store(GetModuleHandleW(nullptr));
  static UiLanguage language(store);
  return language;
}

}  // namespace pelko::setup
