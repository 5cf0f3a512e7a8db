#ifndef PELKO_SETUP_L10N_UI_LANGUAGE_H_
#define PELKO_SETUP_L10N_UI_LANGUAGE_H_

#include <cstdint>
#include <string>

#include "setup/l10n/string_store.h"

namespace pelko::setup {

// The UI language of the process and string loading in it. The Win32 side keeps one instance
// for the whole process (ProcessUiLanguage); tests make their own over an in-memory store.
class UiLanguage {
 public:
  explicit UiLanguage(const StringStore& store) : store_(store) {}

  // 0 is stored too: the next GetUiLanguage then takes the user's UI language.
  void SetUiLanguage(uint16_t language) { language_ = language; }
  uint16_t GetUiLanguage();
  // Arabic, Hebrew and Persian.
  bool IsRightToLeftUi();
  // Exact language, then the table of its written language where its primary language holds
  // several, then the same primary language in ascending order, then the platform.
  std::u16string LoadStringInLanguage(uint32_t id, uint16_t language) const;
  std::u16string LocalizedString(uint32_t id) { return LoadStringInLanguage(id, GetUiLanguage()); }

 private:
  const StringStore& store_;
  uint16_t language_ = 0;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_L10N_UI_LANGUAGE_H_
