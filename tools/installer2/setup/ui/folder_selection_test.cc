#include "setup/ui/folder_selection.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace pelko::setup {
namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kInvalidName = static_cast<int32_t>(0x8007007Bu);  // ERROR_INVALID_NAME
constexpr int32_t kAccessDenied = static_cast<int32_t>(0x80070005u);

using Answers = std::map<std::u16string, int32_t>;

// The shell parser over a made-up file system: a candidate listed in the answers gets its code,
// any other is "path not found".
struct FakeShell {
  Answers answers;
  std::vector<std::u16string> asked;

  int32_t Parse(const std::u16string& candidate) {
    asked.push_back(candidate);
    const auto it = answers.find(candidate);
    return it == answers.end() ? kStatusPathNotFound : it->second;
  }
};

TEST(FolderSelectionTest, InitialFolderSearch) {
  struct Case {
    const char* name;
    std::u16string initial;
    Answers answers;
    std::vector<std::u16string> asked;
    int32_t status;
  };
  const Case kCases[] = {
      {"existing folder opens at once", u"C:\\A\\B", {{u"C:\\A\\B", kOk}}, {u"C:\\A\\B"}, kOk},
      {"missing last part opens the parent", u"C:\\A\\B", {{u"C:\\A", kOk}},
       {u"C:\\A\\B", u"C:\\A"}, kOk},
      {"missing parent too goes on to the drive", u"C:\\A\\B", {{u"C:", kOk}},
       {u"C:\\A\\B", u"C:\\A", u"C:"}, kOk},
      {"no backslash left ends without a folder", u"C:\\A\\B", {},
       {u"C:\\A\\B", u"C:\\A", u"C:"}, kStatusPathNotFound},
      {"a trailing backslash goes first on its own", u"C:\\A\\B\\", {{u"C:\\A\\B", kOk}},
       {u"C:\\A\\B\\", u"C:\\A\\B"}, kOk},
      {"file-not-found cuts like path-not-found", u"C:\\A\\f.txt",
       {{u"C:\\A", kOk}, {u"C:\\A\\f.txt", kStatusFileNotFound}}, {u"C:\\A\\f.txt", u"C:\\A"},
       kOk},
      {"file-not-found on the last candidate ends the search", u"C:\\A",
       {{u"C:\\A", kStatusFileNotFound}, {u"C:", kStatusFileNotFound}}, {u"C:\\A", u"C:"},
       kStatusFileNotFound},
      {"an invalid name stops at once", u"C:\\A\\B<",
       {{u"C:\\A", kOk}, {u"C:\\A\\B<", kInvalidName}}, {u"C:\\A\\B<"}, kInvalidName},
      {"any other failure stops at once", u"C:\\A\\B\\C",
       {{u"C:\\A", kOk}, {u"C:\\A\\B", kAccessDenied}}, {u"C:\\A\\B\\C", u"C:\\A\\B"},
       kAccessDenied},
      {"a positive status is a success too", u"C:\\A\\B", {{u"C:\\A", 1}},
       {u"C:\\A\\B", u"C:\\A"}, 1},
      {"an empty path is asked for as it is", u"", {}, {u""}, kStatusPathNotFound},
      {"a relative name without backslash is asked once", u"Pelko", {}, {u"Pelko"},
       kStatusPathNotFound},
      {"a UNC path walks down to its server part", u"\\\\srv\\share\\x", {},
       {u"\\\\srv\\share\\x", u"\\\\srv\\share", u"\\\\srv", u"\\", u""},
       kStatusPathNotFound},
      {"forward slashes are not separators", u"C:/A/B", {{u"C:", kOk}}, {u"C:/A/B"},
       kStatusPathNotFound},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeShell shell{c.answers, {}};
    const int32_t status = SearchInitialFolder(
        c.initial, [&shell](const std::u16string& candidate) { return shell.Parse(candidate); });
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(shell.asked, c.asked);
  }
}

TEST(FolderSelectionTest, FoldersOnTheWay) {
  struct Case {
    std::u16string path;
    std::vector<std::u16string> folders;
  };
  const Case kCases[] = {
      {u"C:\\A\\B", {u"C:\\", u"C:\\A\\", u"C:\\A\\B\\"}},
      {u"C:\\A\\B\\", {u"C:\\", u"C:\\A\\", u"C:\\A\\B\\"}},
      {u"C:\\", {u"C:\\"}},
      {u"C:", {}},
      {u"", {}},
      {u"\\\\srv\\share", {u"\\", u"\\\\", u"\\\\srv\\", u"\\\\srv\\share\\"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
    EXPECT_EQ(FoldersOnTheWay(c.path), c.folders);
  }
}

TEST(FolderSelectionTest, DefaultFolders) {
  struct Case {
    const char* name;
    std::u16string program_files;  // as the platform gave it, without separator
    std::u16string app_folder_name;
    std::u16string local_low;
    std::u16string app_data;
    std::u16string install;
    std::u16string cache;
    std::u16string kml;
  };
  const Case kCases[] = {
      {"all known", u"C:\\Program Files", u"Tavrin Pelko",
       u"C:\\Users\\u\\AppData\\LocalLow", u"C:\\Users\\u\\AppData\\Roaming",
       u"C:\\Program Files\\Tavrin\\Tavrin Pelko",
       u"C:\\Users\\u\\AppData\\LocalLow\\Tavrin\\TavrinPelko",
       u"C:\\Users\\u\\AppData\\Roaming\\Tavrin\\TavrinPelko"},
      {"platform lookups failed", u"", u"Tavrin Pelko", u"", u"", u"\\Tavrin\\Tavrin Pelko",
       u"\\Tavrin\\TavrinPelko", u"\\Tavrin\\TavrinPelko"},
      {"string 100 missing", u"D:\\PF", u"", u"L", u"R", u"D:\\PF\\Tavrin\\", u"L\\Tavrin\\TavrinPelko",
       u"R\\Tavrin\\TavrinPelko"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DefaultInstallFolder(WithFolderSeparator(c.program_files), c.app_folder_name),
              c.install);
    EXPECT_EQ(DefaultCacheFolder(c.local_low), c.cache);
    EXPECT_EQ(DefaultKmlFolder(WithFolderSeparator(c.app_data)), c.kml);
  }
}

}  // namespace
}  // namespace pelko::setup
