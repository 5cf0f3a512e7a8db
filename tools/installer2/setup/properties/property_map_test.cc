#include "setup/properties/property_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "setup/narrow_text_test.h"

namespace pelko::setup {
namespace {

std::vector<std::u16string> Keys(const PropertyMap& map) {
  std::vector<std::u16string> keys;
  for (const auto& entry : map.entries()) keys.push_back(entry.first);
  return keys;
}

TEST(PropertyMapTest, OrdersByCodeUnitWithUpperCaseBeforeUnderscoreBeforeLowerCase) {
  PropertyMap map;
  for (const char16_t* name : {u"KORVO_AUTO_LAUNCH", u"installdir", u"INSTALLER_LANGUAGE", u"KORVO",
                               u"INSTALLDIR", u"_X", u"DESKTOPSHORTCUT", u"\u00e9", u""}) {
    map.Set(name, u"1");
  }
  const std::vector<std::u16string> expected = {
      u"",      u"DESKTOPSHORTCUT", u"INSTALLDIR", u"INSTALLER_LANGUAGE", u"KORVO",
      u"KORVO_AUTO_LAUNCH", u"_X", u"installdir", u"\u00e9"};
  EXPECT_EQ(Keys(map), expected);
}

TEST(PropertyMapTest, OrdersHighCodeUnitsAsUnsigned) {
  PropertyMap map;
  map.Set(u"\uFF21", u"1");
  map.Set(u"A", u"1");
  map.Set(u"\u0100", u"1");
  const std::vector<std::u16string> expected = {u"A", u"\u0100", u"\uFF21"};
  EXPECT_EQ(Keys(map), expected);
}

TEST(PropertyMapTest, SetReplacesAndEmptyValueRemoves) {
  PropertyMap map;
  map.Set(u"A", u"1");
  map.Set(u"A", u"two");
  EXPECT_EQ(map.entries().size(), 1u);
  EXPECT_EQ(map.Get(u"A"), u"two");

  map.Set(u"a", u"3");
  EXPECT_TRUE(map.Has(u"a"));
  EXPECT_EQ(map.Get(u"A"), u"two");

  map.Set(u"A", u"");
  EXPECT_FALSE(map.Has(u"A"));
  EXPECT_EQ(map.Get(u"A"), u"");
  EXPECT_EQ(map.BuildCommandLine(), u"a=3");

  PropertyMap before = map;
  map.Set(u"ABSENT", u"");
  EXPECT_EQ(map, before);
}

TEST(PropertyMapTest, GetBoolReadsOneOrTheFirstLetter) {
  struct Case {
    const char16_t* value;  // null: the name is absent
    bool expected;
  };
  const Case kCases[] = {
      {u"1", true},     {u"True", true},   {u"TRUE", true},   {u"t", true},
      {u"yes", true},   {u"Y", true},      {u"y2", true},     {u"0", false},
      {u"10", false},   {u"11", false},    {u"01", false},    {u"no", false},
      {u"false", false}, {u"on", false},   {u"2", false},     {u" true", false},
      {u"\uFF34", false}, {nullptr, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value ? Narrow(c.value) : "(absent)");
    PropertyMap map;
    if (c.value) map.Set(u"FLAG", c.value);
    EXPECT_EQ(map.GetBool(u"FLAG"), c.expected);
  }
}

TEST(PropertyMapTest, GetIntReadsLikeWideStrtol) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  struct Case {
    const char16_t* value;  // null: the name is absent
    int32_t expected;
  };
  const Case kCases[] = {
      {u"1033", 1033},
      {u"0x409", 1033},
      {u"0X409", 1033},
      {u"0x40a", 1034},
      {u"0xFf", 255},
      {u"02011", 1033},
      {u"010", 8},
      {u"09", 0},
      {u"0", 0},
      {u"0x", 0},
      {u"0xg1", 0},
      {u"12abc", 12},
      {u"1a", 1},
      {u"abc", 0},
      {u"", 0},
      {nullptr, 0},
      {u"-1", -1},
      {u"+42", 42},
      {u"-0x10", -16},
      {u"- 5", 0},
      {u"+-5", 0},
      {u"4294967296", kMax},
      {u"2147483647", kMax},
      {u"2147483648", kMax},
      {u"-2147483648", kMin},
      {u"-2147483649", kMin},
      {u"-99999999999", kMin},
      {u"0xFFFFFFFF", kMax},
      {u"99999999999999999999999999", kMax},
      {u"  1033", 1033},
      {u"\t\n\v\f\r 7", 7},
      {u"\u00a07", 0},
      {u"\u3000" u"7", 0},
      {u"\u0661\u0660\u0663\u0663", 1033},       // Arabic-Indic
      {u"\u06F1\u06F2", 12},                     // extended Arabic-Indic
      {u"\u0967\u0968", 12},                     // Devanagari
      {u"\u0E51\u0E59", 19},                     // Thai
      {u"\u1819", 9},                            // Mongolian
      {u"\uFF11\uFF10\uFF13\uFF13", 1033},       // fullwidth
      {u"\uFF11\uFF10x", 10},
      {u"-\uFF15", -5},
      {u"1\u0662", 12},                          // scripts may be mixed
      {u"\uFF10\uFF19", 0},                      // a leading zero of any script selects base 8
      {u"\uFF10\uFF17", 7},
      {u"\uFF41", 0},                            // fullwidth letters are no hex digits
      {u"0x\uFF41", 0},
      {u"0x1\uFF11", 17},                        // but other scripts' decimal digits are
      {u"\u066A", 0},                            // one past the Arabic-Indic nine
      {u"\u065F", 0},                            // one before the Arabic-Indic zero
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value ? Narrow(c.value) : "(absent)");
    PropertyMap map;
    if (c.value) map.Set(u"N", c.value);
    EXPECT_EQ(map.GetInt(u"N"), c.expected);
  }
}

TEST(PropertyMapTest, GetIntKnowsEveryDigitRun) {
  const char16_t kZeros[] = {0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66, 0x0CE6,
                             0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};
  for (char16_t zero : kZeros) {
    SCOPED_TRACE(Narrow(std::u16string(1, zero)));
    PropertyMap map;
    // 9, 8, 7 in the script: decimal, as no leading zero precedes them.
    map.Set(u"N", {static_cast<char16_t>(zero + 9), static_cast<char16_t>(zero + 8),
                   static_cast<char16_t>(zero + 7)});
    EXPECT_EQ(map.GetInt(u"N"), 987);
    map.Set(u"N", {static_cast<char16_t>(zero + 10)});
    EXPECT_EQ(map.GetInt(u"N"), 0);
  }
}

TEST(PropertyMapTest, BuildCommandLineWorkedExample) {
  PropertyMap map;
  map.Set(u"INSTALLDIR", u"C:\\My Apps\\Viewer");
  map.Set(u"DESKTOPSHORTCUT", u"1");
  map.Set(u"KORVO", u"1");
  EXPECT_EQ(map.BuildCommandLine(),
            u"DESKTOPSHORTCUT=1 INSTALLDIR=\"C:\\My Apps\\Viewer\" KORVO=1");
}

// What the installer accepts: a blank or a double quote makes the value quoted, with double
// quotes doubled inside; everything else goes out as it is.
TEST(PropertyMapTest, BuildCommandLineQuotesForABlankOrADoubleQuote) {
  struct Case {
    const char16_t* name;
    const char16_t* value;
    const char16_t* written;
  };
  const Case kCases[] = {
      {u"P", u"1", u"P=1"},
      {u"P", u"C:\\My Apps\\Viewer", u"P=\"C:\\My Apps\\Viewer\""},
      {u"P", u"say \"hi\"", u"P=\"say \"\"hi\"\"\""},
      {u"P", u"it's \"hi\"", u"P=\"it's \"\"hi\"\"\""},
      {u"P", u"x\"y", u"P=\"x\"\"y\""},
      {u"P", u"\"", u"P=\"\"\"\""},
      {u"P", u"C:\\My Apps\\", u"P=\"C:\\My Apps\\\""},
      {u"P", u"x'y", u"P=x'y"},
      {u"P", u"it's here", u"P=\"it's here\""},
      {u"P", u"a\tb", u"P=a\tb"},
      {u"P", u"\u3000x", u"P=\u3000x"},
      {u"P", u" ", u"P=\" \""},
      {u"", u"5", u"=5"},
      {u"A B\"", u"v", u"A B\"=v"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.value));
    PropertyMap map;
    map.Set(c.name, c.value);
    EXPECT_EQ(map.BuildCommandLine(), c.written);
  }
}

TEST(PropertyMapTest, BuildCommandLineOfEmptyMapIsEmpty) {
  PropertyMap map;
  EXPECT_EQ(map.BuildCommandLine(), u"");
  map.Set(u"A", u"1");
  map.Set(u"A", u"");
  EXPECT_EQ(map.BuildCommandLine(), u"");
}

TEST(PropertyMapTest, BuildCommandLineWritesCaseVariantsUpperFirst) {
  PropertyMap map;
  map.Set(u"a", u"1");
  map.Set(u"", u"e");
  map.Set(u"A", u"2");
  EXPECT_EQ(map.BuildCommandLine(), u"=e A=2 a=1");
}

}  // namespace
}  // namespace pelko::setup
