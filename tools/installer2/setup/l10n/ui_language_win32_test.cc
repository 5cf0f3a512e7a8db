#include "setup/l10n/ui_language_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/l10n/string_table_block.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

// The languages of blocks 13 to 15 as the setup ships them, ascending.
const std::vector<uint16_t> kShippedLanguages = {
    9,     22,    29,    1025,  1026,  1027,  1028,  1029,  1030,  1031,  1032,  1034,
    1035,  1036,  1037,  1038,  1040,  1041,  1042,  1043,  1044,  1045,  1046,  1048,
    1049,  1051,  1054,  1055,  1057,  1058,  1060,  1062,  1063,  1065,  1066,  1081,
    1086,  1124,  2052,  2055,  2057,  2058,  2070,  3076,  3079,  4106,  4108,  4122,
    5130,  6153,  6154,  7177,  7178,  8202,  9226,  10250, 11274, 12298, 13322, 14346,
    15370, 16393, 16394, 17418, 18441, 18442, 19466, 20490, 21514, 31748, 31770};

HMODULE OwnModule() { return GetModuleHandleW(nullptr); }

BOOL CALLBACK AppendLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) {
  reinterpret_cast<std::vector<uint16_t>*>(context)->push_back(language);
  return TRUE;
}

// The languages of one block in the order the resource directory holds them.
std::vector<uint16_t> RawBlockLanguages(WORD block) {
  std::vector<uint16_t> languages;
  EnumResourceLanguagesW(OwnModule(), RT_STRING, MAKEINTRESOURCEW(block), AppendLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

TEST(ResourceStringStoreTest, BlocksExistInTheShippedLanguagesInAscendingOrder) {
  const ResourceStringStore store(OwnModule());
  for (uint32_t id : {192u, 207u, 208u, 223u, 224u, 239u}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(store.ListStringBlockLanguages(id), kShippedLanguages);
    EXPECT_EQ(RawBlockLanguages(static_cast<WORD>(StringBlockNumber(id))), kShippedLanguages);
  }
  EXPECT_EQ(store.ListStringBlockLanguages(100), std::vector<uint16_t>{0});
  EXPECT_EQ(RawBlockLanguages(7), std::vector<uint16_t>{0});
  EXPECT_TRUE(store.ListStringBlockLanguages(240).empty());
}

TEST(ResourceStringStoreTest, NeutralBlockHoldsOnlyTheFolderName) {
  HRSRC block = FindResourceExW(OwnModule(), RT_STRING, MAKEINTRESOURCEW(7), 0);
  ASSERT_NE(block, nullptr);
  // Sixteen counts and the twelve units of "Tavrin Pelko".
  EXPECT_EQ(SizeofResource(OwnModule(), block), 56u);
  const ResourceStringStore store(OwnModule());
  EXPECT_EQ(store.ReadStringTableEntry(100, 0), u"Tavrin Pelko");
  for (uint32_t id = 96; id < 112; ++id) {
    if (id == 100) continue;
    EXPECT_EQ(store.ReadStringTableEntry(id, 0), u"") << id;
  }
}

TEST(ResourceStringStoreTest, ExactLookupTakesNoOtherLanguage) {
  // The platform's own lookup answers for a missing language with a related one: the neutral
  // sublanguage (29 for 1053), or the neutral language.
  EXPECT_NE(FindResourceExW(OwnModule(), RT_STRING, MAKEINTRESOURCEW(15), 1053), nullptr);
  EXPECT_NE(FindResourceExW(OwnModule(), RT_STRING, MAKEINTRESOURCEW(7), 1033), nullptr);

  const ResourceStringStore store(OwnModule());
  struct Case {
    uint32_t id;
    uint16_t language;
  };
  const Case kCases[] = {{100, 1033}, {100, 1024}, {100, 9}, {224, 1053},
                         {202, 1033}, {202, 3082}, {202, 1068}, {202, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.id << " in " << c.language);
    EXPECT_EQ(store.ReadStringTableEntry(c.id, c.language), u"");
  }
  EXPECT_NE(store.ReadStringTableEntry(224, 29), u"");
  EXPECT_EQ(store.ReadStringTableEntry(0x10000 + 202, 9), u"") << "IDs are 16-bit";
}

TEST(ResourceStringStoreTest, PlatformStringIsOneWholeEntry) {
  const ResourceStringStore store(OwnModule());
  EXPECT_EQ(store.LoadPlatformString(100), u"Tavrin Pelko");
  EXPECT_EQ(store.LoadPlatformString(240), u"");
  // Pointer mode hands out text without a terminator: the copy must stop at the entry's end.
  size_t checked = 0;
  for (uint32_t id = 192; id < 240; ++id) {
    SCOPED_TRACE(id);
    const std::u16string text = store.LoadPlatformString(id);
    // IDs without an English text are unused.
    if (store.ReadStringTableEntry(id, 9).empty()) {
      EXPECT_EQ(text, u"");
      continue;
    }
    ++checked;
    ASSERT_FALSE(text.empty());
    bool some_table_has_it = false;
    for (uint16_t language : kShippedLanguages) {
      if (store.ReadStringTableEntry(id, language) == text) some_table_has_it = true;
    }
    EXPECT_TRUE(some_table_has_it);
  }
  EXPECT_GT(checked, 0u);
}

// Records which lookup of the real store produced the text the chain returned.
class RecordingStore : public StringStore {
 public:
  enum Step { kNone, kExact, kSamePrimary, kPlatform };

  explicit RecordingStore(const StringStore& inner) : inner_(inner) {}
  std::u16string ReadStringTableEntry(uint32_t id, uint16_t language) const override {
    std::u16string text = inner_.ReadStringTableEntry(id, language);
    if (!text.empty()) {
      step_ = listed_ ? kSamePrimary : kExact;
      language_ = language;
    }
    return text;
  }
  std::vector<uint16_t> ListStringBlockLanguages(uint32_t id) const override {
    listed_ = true;
    return inner_.ListStringBlockLanguages(id);
  }
  std::u16string LoadPlatformString(uint32_t id) const override {
    std::u16string text = inner_.LoadPlatformString(id);
    if (!text.empty()) step_ = kPlatform;
    return text;
  }
  uint16_t UserDefaultUiLanguage() const override { return inner_.UserDefaultUiLanguage(); }

  void Reset() {
    step_ = kNone;
    listed_ = false;
    language_ = 0xFFFF;
  }
  Step step() const { return step_; }
  uint16_t language() const { return language_; }

 private:
  const StringStore& inner_;
  mutable Step step_ = kNone;
  mutable bool listed_ = false;
  mutable uint16_t language_ = 0xFFFF;
};

TEST(ResourceStringStoreTest, FallbackChainOnTheRealTables) {
  const ResourceStringStore resources(OwnModule());
  RecordingStore store(resources);
  const UiLanguage ui(store);
  struct Case {
    const char* name;
    uint16_t language;
    uint32_t id;
    RecordingStore::Step step;
    uint16_t answering_language;  // for the table steps
  };
  const Case kCases[] = {
      {"2057 has its own table", 2057, 202, RecordingStore::kExact, 2057},
      {"1033 takes the 9 table", 1033, 202, RecordingStore::kSamePrimary, 9},
      {"3082 takes 1034", 3082, 210, RecordingStore::kSamePrimary, 1034},
      {"4100 takes 2052", 4100, 203, RecordingStore::kExact, 2052},
      {"9242 takes 31770", 9242, 206, RecordingStore::kExact, 31770},
      {"5124 takes 3076", 5124, 203, RecordingStore::kExact, 3076},
      {"1053 takes 29", 1053, 216, RecordingStore::kSamePrimary, 29},
      {"1050 takes 4122", 1050, 217, RecordingStore::kSamePrimary, 4122},
      {"1068 falls to the platform", 1068, 202, RecordingStore::kPlatform, 0},
      {"0xFFFF falls to the platform", 0xFFFF, 223, RecordingStore::kPlatform, 0},
      {"string 100 for 1033 from the platform", 1033, 100, RecordingStore::kPlatform, 0},
      {"string 100 for 1037 from the platform", 1037, 100, RecordingStore::kPlatform, 0},
      {"string 100 for 1024 from the neutral table", 1024, 100, RecordingStore::kSamePrimary, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    store.Reset();
    const std::u16string text = ui.LoadStringInLanguage(c.id, c.language);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(store.step(), c.step);
    if (c.step == RecordingStore::kPlatform) {
      EXPECT_EQ(text, resources.LoadPlatformString(c.id));
    } else {
      EXPECT_EQ(store.language(), c.answering_language);
      EXPECT_EQ(text, resources.ReadStringTableEntry(c.id, c.answering_language));
    }
  }
  // The steps above only prove something where the candidate tables differ.
  EXPECT_NE(ui.LoadStringInLanguage(202, 1033), resources.ReadStringTableEntry(202, 2057));
  EXPECT_NE(ui.LoadStringInLanguage(203, 4100), resources.ReadStringTableEntry(203, 1028));
  EXPECT_NE(ui.LoadStringInLanguage(206, 9242), resources.ReadStringTableEntry(206, 4122));
  EXPECT_NE(ui.LoadStringInLanguage(203, 5124), resources.ReadStringTableEntry(203, 1028));
}

TEST(ProcessUiLanguageTest, OneLanguageOverTheProgramsOwnTables) {
  UiLanguage& process = ProcessUiLanguage();
  EXPECT_EQ(&process, &ProcessUiLanguage());
  const ResourceStringStore resources(OwnModule());

  process.SetUiLanguage(0);
  EXPECT_EQ(process.GetUiLanguage(), GetUserDefaultUILanguage());

  process.SetUiLanguage(3082);
  EXPECT_EQ(process.GetUiLanguage(), 3082);
  EXPECT_EQ(process.LocalizedString(210), resources.ReadStringTableEntry(210, 1034));
  EXPECT_EQ(process.LocalizedString(100), u"Tavrin Pelko");

  process.SetUiLanguage(1037);
  EXPECT_TRUE(process.IsRightToLeftUi());
  EXPECT_EQ(process.LocalizedString(213), resources.ReadStringTableEntry(213, 1037));
  process.SetUiLanguage(0);
}

}  // namespace
}  // namespace pelko::setup
