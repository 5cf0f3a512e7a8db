#include "setup/l10n/ui_language.h"

#include <vector>

namespace pelko::setup {

namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kLangArabic = 0x01;
constexpr uint16_t kLangHebrew = 0x0D;
constexpr uint16_t kLangPersian = 0x29;

uint16_t PrimaryLanguage(uint16_t language) { return language & kPrimaryLanguageMask; }

// Two primary languages hold several written languages, and the lowest table of the primary
// language is another one's: Croatian (4122) before Serbian, Traditional Chinese (1028) before
// Simplified. These languages read their own table first; every other language goes straight
// from its exact table to the same-primary search.
struct WrittenLanguageTable {
  uint16_t language;
  uint16_t table;
};
constexpr uint16_t kSerbianLatin = 31770;
constexpr uint16_t kChineseSimplified = 2052;
constexpr uint16_t kChineseHongKong = 3076;
constexpr WrittenLanguageTable kWrittenLanguageTables[] = {
    {2074, kSerbianLatin},    // Serbia and Montenegro (former), Latin
    {3098, kSerbianLatin},    // Serbia and Montenegro (former), Cyrillic
    {6170, kSerbianLatin},    // Bosnia and Herzegovina, Latin
    {7194, kSerbianLatin},    // Bosnia and Herzegovina, Cyrillic
    {9242, kSerbianLatin},    // Serbia, Latin
    {10266, kSerbianLatin},   // Serbia, Cyrillic
    {11290, kSerbianLatin},   // Montenegro, Latin
    {12314, kSerbianLatin},   // Montenegro, Cyrillic
    {27674, kSerbianLatin},   // Serbian, Cyrillic
    {4, kChineseSimplified},      // Chinese, Simplified
    {4100, kChineseSimplified},   // Singapore
    {30724, kChineseSimplified},  // Chinese
    // Macao writes Traditional Chinese with Hong Kong's wording.
    {5124, kChineseHongKong},
};

uint16_t WrittenLanguageTableOf(uint16_t language) {
  for (const WrittenLanguageTable& entry : kWrittenLanguageTables) {
    if (entry.language == language) return entry.table;
  }
  return 0;
}

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

  const uint16_t written = WrittenLanguageTableOf(language);
  if (written != 0) {
    text = store_.ReadStringTableEntry(id, written);
    if (!text.empty()) return text;
  }

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
