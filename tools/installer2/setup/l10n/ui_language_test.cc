#include "setup/l10n/ui_language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setup/l10n/string_table_block.h"

namespace pelko::setup {
namespace {

// The languages of blocks 13 to 15 as the setup ships them.
const uint16_t kShippedLanguages[] = {
    9,     22,    29,    1025,  1026,  1027,  1028,  1029,  1030,  1031,  1032,  1034,
    1035,  1036,  1037,  1038,  1040,  1041,  1042,  1043,  1044,  1045,  1046,  1048,
    1049,  1051,  1054,  1055,  1057,  1058,  1060,  1062,  1063,  1065,  1066,  1081,
    1086,  1124,  2052,  2055,  2057,  2058,  2070,  3076,  3079,  4106,  4108,  4122,
    5130,  6153,  6154,  7177,  7178,  8202,  9226,  10250, 11274, 12298, 13322, 14346,
    15370, 16393, 16394, 17418, 18441, 18442, 19466, 20490, 21514, 31748, 31770};

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Text of string `id` in the table of `language`: names both, so a result shows where it came from.
std::u16string TableText(uint16_t language, uint32_t id) {
  return Ascii(std::to_string(language) + ":" + std::to_string(id));
}
std::u16string PlatformText(uint32_t id) { return Ascii("platform:" + std::to_string(id)); }

// Which lookup of the store produced the text that the chain returned.
struct Answer {
  enum Kind { kNone, kExact, kSamePrimary, kPlatform } kind = kNone;
  uint16_t language = 0;
};

// String tables in memory, laid out like the setup's resources; records the lookups it answers.
class FakeStringStore : public StringStore {
 public:
  FakeStringStore() {
    for (uint16_t language : kShippedLanguages) {
      for (uint32_t id = 192; id < 240; ++id) Put(language, id, TableText(language, id));
    }
    Put(0, 100, u"Tavrin Pelko");
    for (uint32_t id = 192; id < 240; ++id) platform_[id] = PlatformText(id);
  }

  void Put(uint16_t language, uint32_t id, std::u16string text) {
    tables_[language][id] = std::move(text);
  }
  void SetUserLanguage(uint16_t language) { user_language_ = language; }

  std::u16string ReadStringTableEntry(uint32_t id, uint16_t language) const override {
    std::u16string text;
    const auto table = tables_.find(language);
    if (table != tables_.end()) {
      const auto entry = table->second.find(id);
      if (entry != table->second.end()) text = entry->second;
    }
    if (!text.empty()) answer_ = {listed_ ? Answer::kSamePrimary : Answer::kExact, language};
    return text;
  }

  // A block exists in a language when that language has any entry of it, empty ones included.
  std::vector<uint16_t> ListStringBlockLanguages(uint32_t id) const override {
    listed_ = true;
    std::vector<uint16_t> languages;
    for (const auto& [language, table] : tables_) {
      const bool has_block = std::any_of(table.begin(), table.end(), [&](const auto& entry) {
        return StringBlockNumber(entry.first) == StringBlockNumber(id);
      });
      if (has_block) languages.push_back(language);
    }
    return languages;
  }

  // Like the platform on the real resources: the language-neutral table when there is one.
  std::u16string LoadPlatformString(uint32_t id) const override {
    std::u16string text;
    const auto neutral = tables_.find(0);
    if (neutral != tables_.end() && neutral->second.count(id)) text = neutral->second.at(id);
    if (text.empty() && platform_.count(id)) text = platform_.at(id);
    if (!text.empty()) answer_ = {Answer::kPlatform, 0};
    return text;
  }

  uint16_t UserDefaultUiLanguage() const override { return user_language_; }

  void ResetRecord() const {
    answer_ = {};
    listed_ = false;
  }
  Answer answer() const { return answer_; }

 private:
  std::map<uint16_t, std::map<uint32_t, std::u16string>> tables_;
  std::map<uint32_t, std::u16string> platform_;
  uint16_t user_language_ = 1033;
  mutable Answer answer_;
  mutable bool listed_ = false;
};

const char* KindName(Answer::Kind kind) {
  switch (kind) {
    case Answer::kNone: return "none";
    case Answer::kExact: return "before the same-primary search";
    case Answer::kSamePrimary: return "same primary";
    case Answer::kPlatform: return "platform";
  }
  return "?";
}

struct ChainCase {
  const char* name;
  uint16_t language;
  uint32_t id;
  std::u16string expected;
  Answer::Kind step;
  uint16_t answering_language;
};

void ExpectChain(const FakeStringStore& store, const ChainCase& c) {
  SCOPED_TRACE(c.name);
  UiLanguage ui(store);
  store.ResetRecord();
  EXPECT_EQ(ui.LoadStringInLanguage(c.id, c.language), c.expected);
  EXPECT_STREQ(KindName(store.answer().kind), KindName(c.step));
  EXPECT_EQ(store.answer().language, c.answering_language);
}

TEST(UiLanguageTest, FallbackChainOverTheShippedLayout) {
  const FakeStringStore store;
  const ChainCase kCases[] = {
      {"exact table", 2057, 202, TableText(2057, 202), Answer::kExact, 2057},
      {"exact neutral English", 9, 239, TableText(9, 239), Answer::kExact, 9},
      {"1033 takes 9 before 2057, 6153, 7177, 16393, 18441", 1033, 202, TableText(9, 202),
       Answer::kSamePrimary, 9},
      {"3082 takes 1034", 3082, 210, TableText(1034, 210), Answer::kSamePrimary, 1034},
      {"1053 takes 29", 1053, 216, TableText(29, 216), Answer::kSamePrimary, 29},
      {"1050 takes 4122 before 31770", 1050, 217, TableText(4122, 217), Answer::kSamePrimary,
       4122},
      {"1068 has no table of its primary language", 1068, 202, PlatformText(202),
       Answer::kPlatform, 0},
      {"0xFFFF has no table", 0xFFFF, 223, PlatformText(223), Answer::kPlatform, 0},
      {"1024 has no table of blocks 13 to 15", 1024, 202, PlatformText(202), Answer::kPlatform,
       0},
      {"string 100 for 1033 from the platform", 1033, 100, u"Tavrin Pelko", Answer::kPlatform, 0},
      {"string 100 for 1025 from the platform", 1025, 100, u"Tavrin Pelko", Answer::kPlatform, 0},
      {"string 100 for 1024 from the neutral table", 1024, 100, u"Tavrin Pelko",
       Answer::kSamePrimary, 0},
      {"string 100 for 0 exactly", 0, 100, u"Tavrin Pelko", Answer::kExact, 0},
      {"missing everywhere", 1031, 240, u"", Answer::kNone, 0},
      {"missing in the neutral block", 1024, 101, u"", Answer::kNone, 0},
  };
  for (const ChainCase& c : kCases) ExpectChain(store, c);
}

TEST(UiLanguageTest, WrittenLanguagesOfOnePrimaryLanguage) {
  const FakeStringStore store;
  struct Case {
    uint16_t language;
    uint16_t table;
    Answer::Kind step;
  };
  const Case kCases[] = {
      // Serbian in Latin and Cyrillic: Serbia, Montenegro, Bosnia, the former union, neutral.
      {9242, 31770, Answer::kExact}, {10266, 31770, Answer::kExact},
      {2074, 31770, Answer::kExact}, {3098, 31770, Answer::kExact},
      {11290, 31770, Answer::kExact}, {12314, 31770, Answer::kExact},
      {6170, 31770, Answer::kExact}, {7194, 31770, Answer::kExact},
      {27674, 31770, Answer::kExact}, {31770, 31770, Answer::kExact},
      // Croatian and Bosnian keep the Croatian table.
      {1050, 4122, Answer::kSamePrimary}, {4122, 4122, Answer::kExact},
      {26, 4122, Answer::kSamePrimary}, {5146, 4122, Answer::kSamePrimary},
      {8218, 4122, Answer::kSamePrimary}, {30746, 4122, Answer::kSamePrimary},
      // Simplified Chinese, and Traditional where it is written.
      {4100, 2052, Answer::kExact}, {4, 2052, Answer::kExact},
      {30724, 2052, Answer::kExact}, {2052, 2052, Answer::kExact},
      {5124, 3076, Answer::kExact}, {3076, 3076, Answer::kExact},
      {1028, 1028, Answer::kExact}, {31748, 31748, Answer::kExact},
      // Other primary languages go on as before.
      {1033, 9, Answer::kSamePrimary}, {3082, 1034, Answer::kSamePrimary},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.language);
    ExpectChain(store, {"written language", c.language, 207, TableText(c.table, 207), c.step,
                        c.table});
  }

  // A written-language table without the entry goes on to the same primary language.
  FakeStringStore gap;
  gap.Put(31770, 205, u"");
  ExpectChain(gap, {"empty Serbian entry", 9242, 205, TableText(4122, 205), Answer::kSamePrimary,
                    4122});
}

TEST(UiLanguageTest, EmptyEntryCountsAsMissing) {
  FakeStringStore store;
  store.Put(1034, 202, u"");
  store.Put(2058, 203, u"");
  for (uint16_t language : kShippedLanguages) {
    if ((language & 0x3FF) == 0x0A) store.Put(language, 204, u"");
  }
  const ChainCase kCases[] = {
      {"empty exact entry goes on to the same primary", 1034, 202, TableText(2058, 202),
       Answer::kSamePrimary, 2058},
      {"empty first same-primary entry goes on to the next", 3082, 202, TableText(2058, 202),
       Answer::kSamePrimary, 2058},
      {"empty exact entry, same primary finds the lowest", 2058, 203, TableText(1034, 203),
       Answer::kSamePrimary, 1034},
      {"empty in every table of the primary language", 3082, 204, PlatformText(204),
       Answer::kPlatform, 0},
  };
  for (const ChainCase& c : kCases) ExpectChain(store, c);
}

TEST(UiLanguageTest, LazyDefaultIsTheUsersLanguageAndIsKept) {
  FakeStringStore store;
  store.SetUserLanguage(1031);
  UiLanguage ui(store);
  EXPECT_EQ(ui.LocalizedString(209), TableText(1031, 209));
  store.SetUserLanguage(1036);
  EXPECT_EQ(ui.GetUiLanguage(), 1031) << "the first default is kept";

  ui.SetUiLanguage(1049);
  EXPECT_EQ(ui.GetUiLanguage(), 1049);
  EXPECT_EQ(ui.LocalizedString(209), TableText(1049, 209));

  ui.SetUiLanguage(0);
  EXPECT_EQ(ui.GetUiLanguage(), 1036) << "0 takes the user's language again";
  EXPECT_EQ(ui.LocalizedString(211), TableText(1036, 211));
}

TEST(UiLanguageTest, RightToLeftLanguages) {
  struct Case {
    uint16_t language;
    bool right_to_left;
  };
  const Case kCases[] = {
      {1025, true},   {1037, true},    {0x40D, true},   {1065, true},  {0x0C01, true},
      {0x0001, true}, {0x000D, true},  {0x0029, true},  {1056, false}, {0xFFFF, false},
      {1033, false},  {0x0101, false}, {0x010D, false}, {0x0429 | 0x0100, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.language);
    FakeStringStore store;
    UiLanguage set(store);
    set.SetUiLanguage(c.language);
    EXPECT_EQ(set.IsRightToLeftUi(), c.right_to_left);

    // Without a choice, the user's language decides.
    store.SetUserLanguage(c.language);
    UiLanguage lazy(store);
    EXPECT_EQ(lazy.IsRightToLeftUi(), c.right_to_left);
    EXPECT_EQ(lazy.GetUiLanguage(), c.language);
  }
}

}  // namespace
}  // namespace pelko::setup
