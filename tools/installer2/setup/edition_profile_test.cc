#include "setup/edition_profile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "setup/post_install/shortcut_path.h"

namespace pelko::setup {
namespace {

// Every edition a build can choose (SETUP_EDITION), and numbers no build may get.
TEST(EditionProfileTest, EachEditionHasItsPackageStringsAndStartMenuKey) {
  const struct {
    int32_t edition;
    std::array<uint32_t, 5> string_ids;
    std::u16string package_file_name;
    std::u16string start_menu_key;
  } kCases[] = {
      {0, {220, 223, 226, 229, 232}, u"TavrinPelko-Larkin.msi",
       u"Software\\Tavrin\\Tavrin Pelko Vanta"},
      {1, {221, 200, 227, 230, 233}, u"TavrinPelko-Qx.msi", u"Software\\Tavrin\\Tavrin Pelko Qx"},
      {2, {222, 201, 228, 231, 234}, u"TavrinPelko-Brisa.msi",
       u"Software\\Tavrin\\Tavrin Pelko Brisa"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.edition);
    const EditionProfile profile = MakeEditionProfile(c.edition);
    EXPECT_EQ(profile.edition, c.edition);
    EXPECT_EQ(profile.string_ids, c.string_ids);
    EXPECT_EQ(profile.package_file_name, c.package_file_name);
    // The key the shortcut renaming reads is the one the edition's package writes.
    ASSERT_NE(EditionRegistryKey(profile.edition), nullptr);
    EXPECT_EQ(std::u16string(EditionRegistryKey(profile.edition)), c.start_menu_key);
  }
}

TEST(EditionProfileTest, NumbersWithoutAProfileGetEditionZero) {
  for (const int32_t edition : {-1, 3, 4, 100}) {
    SCOPED_TRACE(edition);
    const EditionProfile profile = MakeEditionProfile(edition);
    EXPECT_EQ(profile.edition, 0);
    EXPECT_EQ(profile.package_file_name, u"TavrinPelko-Larkin.msi");
  }
}

}  // namespace
}  // namespace pelko::setup
