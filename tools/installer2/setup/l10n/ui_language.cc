#include "setup/l10n/ui_language.h"

#include <vector>

namespace pelko::setup {

namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kLangArabic = 0x01;
constexpr uint16_t kLangHebrew = 0x0D;
constexpr uint16_t kLangPersian = 0x29;

uint16_t PrimaryLanguage(uint16_t language) { return language & kPrimaryLanguageMask; }

}  // namespace

uint16_t UiLanguage::GetUiLanguage() {
  if (language_ == 0) language_ = store_.UserDefaultUiLanguage();
  return language_;
}

bool UiLanguage::IsRightToLeftUi() {
  const uint16_t primary = PrimaryLanguage(GetUiLanguage());
  return primary == kLangArabic || primary == kLangHebrew || primary == kLangPersian;
}

std::u16string UiLanguage::LoadStringInLanguage(uint32_t id, uint16_t language) const {
  std::u16string text = store_.ReadStringTableEntry(id, language);
  if (!text.empty()) return text;

  // The exact language is listed too and read again here; that costs one lookup, nothing else.
  const uint16_t primary = PrimaryLanguage(language);
  for (uint16_t listed : store_.ListStringBlockLanguages(id)) {
    if (PrimaryLanguage(listed) != primary) continue;
    text = store_.ReadStringTableEntry(id, listed);
    if (!text.empty()) return text;
  }

  // The platform picks the language here; for the language-neutral block this is the step
  // that finds the text.
  return store_.LoadPlatformString(id);
}

}  // namespace pelko::setup
