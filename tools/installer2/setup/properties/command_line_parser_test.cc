#include "setup/properties/command_line_parser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "setup/narrow_text_test.h"

namespace pelko::setup {
namespace {

using Props = std::vector<std::pair<std::u16string, std::u16string>>;

Props PropsOf(const PropertyMap& map) { return Props(map.entries().begin(), map.entries().end()); }

PropertyMap Prefilled() {
  PropertyMap map;
  map.Set(u"OLD", u"kept");
  map.Set(u"INSTALLDIR", u"C:\\Before");
  return map;
}

TEST(CommandLineParserTest, ProgramToken) {
  struct Case {
    std::u16string line;
    std::u16string token;
    Props props;
  };
  const Case kCases[] = {
      {u"\"C:\\Apps\\setup.exe\" A=1", u"C:\\Apps\\setup.exe", {{u"A", u"1"}}},
      {u"C:\\Apps\\setup.exe A=1", u"C:\\Apps\\setup.exe", {{u"A", u"1"}}},
      {u"\"C:\\Apps\\setup.exe\"A=1", u"C:\\Apps\\setup.exe", {{u"A", u"1"}}},
      {u"'C:\\Apps\\setup.exe' A=1", u"C:\\Apps\\setup.exe", {{u"A", u"1"}}},
      {u"C:\\Apps\\setup.exe", u"C:\\Apps\\setup.exe", {}},
      {u"\"C:\\Apps\\setup.exe A=1", u"C:\\Apps\\setup.exe A=1", {}},
      {u"", u"", {}},
      {u"setup.exe\tA=1", u"setup.exe\tA=1", {}},
      {u" setup.exe A=1", u"", {{u"setup.exe A", u"1"}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.line));
    CommandLineParser parser;
    PropertyMap map = Prefilled();
    ASSERT_TRUE(parser.Parse(c.line, map));
    EXPECT_EQ(parser.program_token(), c.token);
    EXPECT_EQ(PropsOf(map), c.props);
  }
}

TEST(CommandLineParserTest, TextAfterProgramToken) {
  struct Case {
    std::u16string text;
    bool ok;
    Props props;  // the map after a successful parse
  };
  const Case kCases[] = {
      {u"A=1 B=2", true, {{u"A", u"1"}, {u"B", u"2"}}},
      {u"A=1\tB=2", true, {{u"A", u"1\tB=2"}}},
      {u" \t \t\t ", true, {}},
      {u"A=1 B", false, {}},
      {u"B", false, {}},
      {u"/quiet A=1", true, {{u"/quiet A", u"1"}}},
      {u"A=\"x y\" B=2", true, {{u"A", u"x y"}, {u"B", u"2"}}},
      {u"A='x y'", true, {{u"A", u"x y"}}},
      {u"A=\"it's here\"", true, {{u"A", u"it's here"}}},
      {u"A='say \"hi\"'", true, {{u"A", u"say \"hi\""}}},
      {u"A=\"x y", true, {{u"A", u"x y"}}},
      {u"A=\"x\"B=2", true, {{u"A", u"x"}, {u"B", u"2"}}},
      {u"A=\"x\"yz", false, {}},
      {u"A=x\"y z\"", false, {}},
      {u"A=x=y", true, {{u"A", u"x=y"}}},
      {u"A=\"x=y\"", true, {{u"A", u"x=y"}}},
      {u"A==1", true, {{u"A", u"=1"}}},
      {u"=5", true, {{u"", u"5"}}},
      {u"A =1", true, {{u"A ", u"1"}}},
      {u"\"A\"=1", true, {{u"\"A\"", u"1"}}},
      {u"A=1 A=2", true, {{u"A", u"2"}}},
      {u"A=1 A=", true, {}},
      {u"A=1 A=\"\"", true, {}},
      {u"A= B=2", true, {{u"B", u"2"}}},
      {u"a=1 A=2", true, {{u"A", u"2"}, {u"a", u"1"}}},
      {u"A=1 \t \t", true, {{u"A", u"1"}}},
      // Line breaks are ordinary characters, not separators.
      {u"A=1\r\nB=2", true, {{u"A", u"1\r\nB=2"}}},
      {u"A=1\nB", true, {{u"A", u"1\nB"}}},
      {u"A=1 \nB", false, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.text));
    PropertyMap map = Prefilled();
    const bool ok = ParseCommandLine(u"C:\\Apps\\setup.exe " + c.text, map);
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(PropsOf(map), c.ok ? c.props : PropsOf(Prefilled()));
  }
}

TEST(CommandLineParserTest, TextEndsAtFirstNul) {
  std::u16string line = u"setup.exe A=1";
  line += u'\0';
  line += u" B";  // would fail the parse if it were read
  PropertyMap map;
  ASSERT_TRUE(ParseCommandLine(line, map));
  EXPECT_EQ(PropsOf(map), (Props{{u"A", u"1"}}));

  std::u16string quoted = u"setup.exe A=\"x";
  quoted += u'\0';
  quoted += u"y\" B=2";
  ASSERT_TRUE(ParseCommandLine(quoted, map));
  EXPECT_EQ(PropsOf(map), (Props{{u"A", u"x"}}));
}

TEST(CommandLineParserTest, ParserCanBeReused) {
  CommandLineParser parser;
  PropertyMap map;
  ASSERT_TRUE(parser.Parse(u"setup.exe A=1", map));
  ASSERT_TRUE(parser.Parse(u"other.exe B=2", map));
  EXPECT_EQ(parser.program_token(), u"other.exe");
  EXPECT_EQ(PropsOf(map), (Props{{u"B", u"2"}}));
}

}  // namespace
}  // namespace pelko::setup
