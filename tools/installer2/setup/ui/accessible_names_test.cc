#include "setup/ui/accessible_names.h"

#include <gtest/gtest.h>

#include <string>

namespace pelko::setup {
namespace {

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
  }
  return out;
}

TEST(AccessibleNamesTest, WithoutAccessKey) {
  struct Case {
    const char16_t* text;
    const char16_t* read;
  };
  const Case kCases[] = {
      {u"&Browse...", u"Browse..."},
      {u"Brow&se...", u"Browse..."},
      {u"&Durchsuchen...", u"Durchsuchen..."},
      {u"参照(&B)...", u"参照..."},
      {u"찾아보기 (&B)...", u"찾아보기..."},
      {u"Install", u"Install"},
      {u"Save && e&xit", u"Save & exit"},
      {u"Trailing &", u"Trailing "},
      {u"(&) not a key", u"() not a key"},
      {u"(&Bx) not the short form", u"(Bx) not the short form"},
      {u"", u""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.text));
    EXPECT_EQ(Narrow(WithoutAccessKey(c.text)), Narrow(c.read));
  }
}

TEST(AccessibleNamesTest, FolderAndBrowseNames) {
  struct Case {
    const char16_t* button;
    const char16_t* label;
    const char16_t* label_name;
    const char16_t* button_name;
  };
  const Case kCases[] = {
      {u"&Browse...", u"&1. Program folder:", u"1. Program folder",
       u"Browse... 1. Program folder"},
      {u"Brow&se...", u"2. Cache folder: ", u"2. Cache folder", u"Browse... 2. Cache folder"},
      {u"参照(&R)...", u"3. KML フォルダー(&3)：", u"3. KML フォルダー",
       u"参照... 3. KML フォルダー"},
      {u"\u202b&עיון...", u"\u202b1. תיקיית התוכנית:", u"\u202b1. תיקיית התוכנית",
       u"\u202bעיון... \u202b1. תיקיית התוכנית"},
      // Without a label the button keeps its own text, and the other way round.
      {u"&Browse...", u"", u"", u"Browse..."},
      {u"", u"1. Program folder:", u"1. Program folder", u"1. Program folder"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.label));
    EXPECT_EQ(Narrow(FolderLabelName(c.label)), Narrow(c.label_name));
    EXPECT_EQ(Narrow(BrowseButtonName(c.button, c.label)), Narrow(c.button_name));
  }
}

}  // namespace
}  // namespace pelko::setup
