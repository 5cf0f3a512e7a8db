#include "setup/install/package_extraction_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/install/test_files_win32_test.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

// The bytes test_package_win32_test.rc puts into "ID_MSI".
std::vector<uint8_t> ExpectedPayload() {
  std::vector<uint8_t> bytes(4098);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
  return bytes;
}

class PackageExtractionTest : public ::testing::Test {
 protected:
  ScratchFolder scratch_{u"extract"};
  // Not ASCII, like the user names that end up in temporary folder paths.
  std::u16string package_ = scratch_.path() + u"\\TavrinPelko-L\u00e4rkin \u65e5\u672c.msi";
};

TEST_F(PackageExtractionTest, WritesTheResourceByteForByte) {
  ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_));
  EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
}

TEST_F(PackageExtractionTest, ReplacesAndTruncatesAnOlderLongerFile) {
  ASSERT_TRUE(WriteBytes(package_, std::vector<uint8_t>(10000, 'x')));
  ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_));
  EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
}

TEST_F(PackageExtractionTest, ResourceThatYieldsNothingCreatesNoFile) {
  struct Case {
    const char* label;
    const char16_t* name;
    const char16_t* type;
  };
  const Case kCases[] = {
      {"missing name", u"NO_SUCH_PACKAGE", u"BINARY"},
      {"missing type", u"ID_MSI", u"NO_SUCH_TYPE"},
      {"empty resource", u"EMPTY", u"BINARY"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    EXPECT_FALSE(ExtractPackage(c.name, c.type, package_));
    EXPECT_FALSE(Exists(package_));
  }
}

TEST_F(PackageExtractionTest, EmptyResourceLeavesAnExistingFileAlone) {
  const std::vector<uint8_t> older = {'o', 'l', 'd', 0, 'p', 'k', 'g'};
  ASSERT_TRUE(WriteBytes(package_, older));
  EXPECT_FALSE(ExtractPackage(u"EMPTY", u"BINARY", package_));
  EXPECT_EQ(ReadBytes(package_), older);
}

TEST_F(PackageExtractionTest, FileHeldOpenWithoutSharingFails) {
  const std::vector<uint8_t> older = {'h', 'e', 'l', 'd'};
  ASSERT_TRUE(WriteBytes(package_, older));
  {
    // What a second run of the same edition does while it writes the package.
    UniqueHandle held(CreateFileW(AsWide(package_), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_FALSE(ExtractPackage(u"ID_MSI", u"BINARY", package_));
  }
  EXPECT_EQ(ReadBytes(package_), older);
  // Once the other run lets go, the file can be written again.
  EXPECT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_));
  EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
}

TEST_F(PackageExtractionTest, MissingFolderFails) {
  const std::u16string folder = scratch_.path() + u"\\no-such-folder";
  EXPECT_FALSE(ExtractPackage(u"ID_MSI", u"BINARY", folder + u"\\TavrinPelko-Larkin.msi"));
  EXPECT_FALSE(Exists(folder));
}

TEST_F(PackageExtractionTest, PathNamingAFolderFails) {
  ASSERT_TRUE(CreateDirectoryW(AsWide(package_), nullptr));
  EXPECT_FALSE(ExtractPackage(u"ID_MSI", u"BINARY", package_));
  EXPECT_NE(GetFileAttributesW(AsWide(package_)) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(PackageExtractionTest, ExtractedFileIsAnOrdinaryFileTheRunCanDelete) {
  ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_));
  DWORD attributes = GetFileAttributesW(AsWide(package_));
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            0u);
  // The handle is closed on return: nothing stops the deletion that follows the install.
  EXPECT_TRUE(DeleteFileW(AsWide(package_)));
  EXPECT_FALSE(Exists(package_));
}

TEST(GetTempDirectoryTest, FollowsTmpThenTemp) {
  ScratchFolder scratch(u"temp");
  ASSERT_FALSE(scratch.path().empty());
  const std::u16string named = scratch.path() + u"\\J\u00fcrgen \u03a9mega \u65e5\u672c";
  ASSERT_TRUE(CreateDirectoryW(AsWide(named), nullptr));
  // "C:\" and the backslash that ends the answer leave room for this many characters in the
  // 260-character buffer, terminator included.
  const std::u16string longest_fitting = u"C:\\" + std::u16string(255, u'a');
  const std::u16string one_too_long = u"C:\\" + std::u16string(256, u'a');
  const std::u16string far_too_long = u"C:\\" + std::u16string(300, u'a');

  struct Case {
    const char* label;
    const std::u16string* tmp;   // null: unset
    const std::u16string* temp;  // null: unset
    bool ok;
    std::u16string expected;
  };
  const std::u16string named_with_backslash = named + u"\\";
  const Case kCases[] = {
      {"non-ASCII TMP", &named, nullptr, true, named + u"\\"},
      {"non-ASCII TMP and TEMP", &named, &named, true, named + u"\\"},
      {"trailing backslash not doubled", &named_with_backslash, nullptr, true,
       named + u"\\"},
      {"TEMP when TMP is unset", nullptr, &named, true, named + u"\\"},
      {"TMP before TEMP", &named, &far_too_long, true, named + u"\\"},
      {"longest path that fits", &longest_fitting, nullptr, true, longest_fitting + u"\\"},
      {"one character too long", &one_too_long, nullptr, false, u""},
      {"far too long", &far_too_long, &named, false, u""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    ScopedEnvironment tmp(u"TMP", c.tmp != nullptr ? c.tmp->c_str() : nullptr);
    ScopedEnvironment temp(u"TEMP", c.temp != nullptr ? c.temp->c_str() : nullptr);
    std::u16string directory = u"left over";
    EXPECT_EQ(GetTempDirectory(directory), c.ok);
    EXPECT_EQ(directory, c.expected);
  }
}

}  // namespace
}  // namespace pelko::setup
