#include "setup/post_install/shortcut_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace pelko::setup {
namespace {

constexpr char16_t kFill = u'#';
constexpr size_t kGuard = 16;

struct Case {
  const char* name;
  std::u16string folder;
  std::u16string name_text;
  bool ok;
  std::u16string path;  // expected when ok
};

TEST(ComposeShortcutPathTest, FolderIsAPrefixAndThePathMustFitWithItsTerminator) {
  const std::u16string folder = u"C:\\Menu\\Product\\";
  // 511 characters in all: the longest path that fits 512 with its terminator.
  const std::u16string name507(507, u'n');
  const std::u16string name508(508, u'n');
  const std::vector<Case> cases = {
      {"folder with separator", folder, u"Alpha", true, u"C:\\Menu\\Product\\Alpha.lnk"},
      {"folder without separator", u"C:\\Menu\\Product", u"Alpha", true,
       u"C:\\Menu\\ProductAlpha.lnk"},
      {"empty name", folder, u"", true, u"C:\\Menu\\Product\\.lnk"},
      {"511 characters", u"", name507, true, name507 + u".lnk"},
      {"512 characters", u"", name508, false, u""},
      {"long folder, long name", std::u16string(300, u'f'), std::u16string(300, u'n'), false, u""},
      {"null inside the name", folder, u"Al" + std::u16string(1, 0) + u"pha", false, u""},
      {"null inside the folder", u"C:\\M" + std::u16string(1, 0) + u"\\", u"Alpha", false, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<char16_t> storage(kShortcutPathCapacity + kGuard, kFill);
    const bool ok =
        ComposeShortcutPath(c.folder, c.name_text, storage.data(), kShortcutPathCapacity);
    EXPECT_EQ(ok, c.ok);
    for (size_t i = kShortcutPathCapacity; i < storage.size(); ++i) {
      ASSERT_EQ(storage[i], kFill) << "written beyond the buffer at " << i;
    }
    if (c.ok) {
      EXPECT_EQ(std::u16string(storage.data()), c.path);
    } else {
      EXPECT_EQ(std::u16string(storage.begin(), storage.end()),
                std::u16string(storage.size(), kFill))
          << "a refused path changed the buffer";
    }
  }
}

TEST(ComposeShortcutPathTest, HonoursASmallerCapacity) {
  char16_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), kFill);
  EXPECT_TRUE(ComposeShortcutPath(u"", u"abc", buffer, 8));  // 7 characters and the terminator
  EXPECT_EQ(std::u16string(buffer), u"abc.lnk");
  std::fill(std::begin(buffer), std::end(buffer), kFill);
  EXPECT_FALSE(ComposeShortcutPath(u"", u"abcd", buffer, 8));
  EXPECT_EQ(std::u16string(buffer, 8), std::u16string(8, kFill));
  EXPECT_FALSE(ComposeShortcutPath(u"", u"", buffer, 0));
  EXPECT_FALSE(ComposeShortcutPath(u"", u"", nullptr, 8));
}

TEST(EditionRegistryKeyTest, SelectsTheRowOfTheEditionAndNothingOutsideTheTable) {
  struct KeyCase {
    int32_t edition;
    const char16_t* key;
  } const kCases[] = {
      {0, u"Software\\Tavrin\\Tavrin Pelko Vanta"},
      {1, u"Software\\Tavrin\\Tavrin Pelko Qx"},
      {3, u"Software\\Tavrin\\Tavrin Pelko Dorel"},
      {-1, nullptr},
      {4, nullptr},
  };
  for (const KeyCase& c : kCases) {
    SCOPED_TRACE(c.edition);
    const char16_t* key = EditionRegistryKey(c.edition);
    if (c.key == nullptr) {
      EXPECT_EQ(key, nullptr);
    } else {
      ASSERT_NE(key, nullptr);
      EXPECT_EQ(std::u16string(key), c.key);
    }
  }
}

}  // namespace
}  // namespace pelko::setup
