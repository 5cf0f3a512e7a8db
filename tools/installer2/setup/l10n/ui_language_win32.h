#ifndef PELKO_SETUP_L10N_UI_LANGUAGE_WIN32_H_
#define PELKO_SETUP_L10N_UI_LANGUAGE_WIN32_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/l10n/string_store.h"
#include "setup/l10n/ui_language.h"

namespace pelko::setup {

// The string tables of one module's resources.
class ResourceStringStore : public StringStore {
 public:
  explicit ResourceStringStore(HMODULE module) : module_(module) {}

  std::u16string ReadStringTableEntry(uint32_t id, uint16_t language) const override;
  std::vector<uint16_t> ListStringBlockLanguages(uint32_t id) const override;
  std::u16string LoadPlatformString(uint32_t id) const override;
  uint16_t UserDefaultUiLanguage() const override;

 private:
  HMODULE module_;
};

// The process-wide UI language over the program's own string resources.
UiLanguage& ProcessUiLanguage();

}  // namespace pelko::setup

#endif  // PELKO_SETUP_L10N_UI_LANGUAGE_WIN32_H_
