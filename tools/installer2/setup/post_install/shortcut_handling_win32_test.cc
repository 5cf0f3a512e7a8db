#include "setup/post_install/shortcut_handling_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/l10n/ui_language_win32.h"
#include "setup/post_install/test_support_win32.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::ReadShortcut;
using test::ShortcutContents;
using test::Utf16Bytes;

// Row 3 of the key table belongs to no edition profile, so the tests cannot disturb a product.
constexpr int32_t kTestEdition = 3;
constexpr wchar_t kTestEditionKey[] = L"Software\\Tavrin\\Tavrin Pelko Dorel";

class ShortcutRenameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    menu_ = scratch_.path() + L"Menu\\";
    ASSERT_TRUE(CreateDirectoryW(menu_.c_str(), nullptr));
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestEditionKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    ASSERT_EQ(key_.Open(HKEY_CURRENT_USER, kTestEditionKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
    target_ = test::OwnModulePath();
  }
  void TearDown() override {
    key_.Reset();
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestEditionKey);
  }

  void SetFolderValue(const std::wstring& folder) {
    ASSERT_EQ(test::WriteRawValue(key_.get(), L"StartMenuPath", REG_SZ,
                                  Utf16Bytes(FromWide(folder.c_str()), true)),
              ERROR_SUCCESS);
  }
  void MakeShortcut(const std::wstring& path, const std::wstring& description) {
    ASSERT_EQ(test::CreateShortcut(path, target_, description), S_OK) << "shortcut " << path;
  }
  // Compares the shortcut's target with the file it should point at, ignoring letter case and
  // the short or long form of the path.
  bool PointsAtTarget(const ShortcutContents& contents) {
    wchar_t a[MAX_PATH] = {}, b[MAX_PATH] = {};
    GetLongPathNameW(contents.target.c_str(), a, MAX_PATH);
    GetLongPathNameW(target_.c_str(), b, MAX_PATH);
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
  }

  test::ScratchFolder scratch_{L"shortcuts"};
  std::wstring menu_;
  std::wstring target_;
  RegKey key_;
};

TEST_F(ShortcutRenameTest, SavesUnderTheUiNameWithItsDescriptionAndDeletesTheOldOne) {
  SetFolderValue(menu_);
  MakeShortcut(menu_ + L"Alpha.lnk", L"Alpha");
  RenameShortcut(kTestEdition, u"Alpha", u"Beta");
  EXPECT_FALSE(FileExists(menu_ + L"Alpha.lnk"));
  ShortcutContents contents;
  ASSERT_TRUE(ReadShortcut(menu_ + L"Beta.lnk", contents));
  EXPECT_EQ(contents.description, L"Beta");
  EXPECT_TRUE(PointsAtTarget(contents)) << contents.target;
}

TEST_F(ShortcutRenameTest, FolderWithoutSeparatorIsAPrefixOfTheFileName) {
  const std::wstring prefix = scratch_.path() + L"Menu";  // no trailing backslash
  SetFolderValue(prefix);
  MakeShortcut(prefix + L"Alpha.lnk", L"Alpha");
  MakeShortcut(menu_ + L"Alpha.lnk", L"inside the folder");
  RenameShortcut(kTestEdition, u"Alpha", u"Beta");
  EXPECT_FALSE(FileExists(prefix + L"Alpha.lnk"));
  ShortcutContents contents;
  ASSERT_TRUE(ReadShortcut(prefix + L"Beta.lnk", contents));
  EXPECT_EQ(contents.description, L"Beta");
  // The folder of the same name is not where the shortcut is looked for.
  EXPECT_TRUE(FileExists(menu_ + L"Alpha.lnk"));
  EXPECT_FALSE(FileExists(menu_ + L"Beta.lnk"));
}

TEST_F(ShortcutRenameTest, EqualNamesTouchNoFile) {
  SetFolderValue(menu_);
  MakeShortcut(menu_ + L"Alpha.lnk", L"Original");
  const std::vector<uint8_t> before = ReadFileBytes(menu_ + L"Alpha.lnk");
  ASSERT_FALSE(before.empty());
  RenameShortcut(kTestEdition, u"Alpha", u"Alpha");
  // Going on would have saved the description "Alpha" into the file.
  EXPECT_EQ(ReadFileBytes(menu_ + L"Alpha.lnk"), before);
}

TEST_F(ShortcutRenameTest, NamesDifferingOnlyInCaseKeepTheShortcut) {
  SetFolderValue(menu_);
  MakeShortcut(menu_ + L"Alpha.lnk", L"Alpha");
  RenameShortcut(kTestEdition, u"Alpha", u"ALPHA");
  ShortcutContents contents;
  ASSERT_TRUE(ReadShortcut(menu_ + L"ALPHA.lnk", contents)) << "the shortcut was deleted";
  EXPECT_EQ(contents.description, L"ALPHA");
  EXPECT_TRUE(PointsAtTarget(contents)) << contents.target;
}

TEST_F(ShortcutRenameTest, NameMissingInTheSystemLanguageLooksForTheFolderTextAlone) {
  SetFolderValue(menu_);
  MakeShortcut(menu_ + L"Alpha.lnk", L"Alpha");
  // No file named ".lnk": nothing changes.
  RenameShortcut(kTestEdition, u"", u"Beta");
  EXPECT_FALSE(FileExists(menu_ + L"Beta.lnk"));
  EXPECT_TRUE(FileExists(menu_ + L"Alpha.lnk"));
  // With such a file, that one is the shortcut renamed.
  MakeShortcut(menu_ + L".lnk", L"nameless");
  RenameShortcut(kTestEdition, u"", u"Beta");
  EXPECT_FALSE(FileExists(menu_ + L".lnk"));
  ShortcutContents contents;
  ASSERT_TRUE(ReadShortcut(menu_ + L"Beta.lnk", contents));
  EXPECT_EQ(contents.description, L"Beta");
  EXPECT_TRUE(FileExists(menu_ + L"Alpha.lnk"));
}

TEST_F(ShortcutRenameTest, OnlyAUsableFolderValueLeadsToARename) {
  const std::u16string folder = FromWide(menu_.c_str());
  // Text that still names the folder when read up to its first null, padded to a length.
  const auto padded = [&](size_t length) {
    std::u16string text = folder + u'\0';
    text.resize(length, u'p');
    return text;
  };
  struct Case {
    const char* name;
    DWORD type;
    std::vector<uint8_t> data;
    bool renamed;
  } const kCases[] = {
      {"REG_SZ", REG_SZ, Utf16Bytes(folder, true), true},
      {"REG_EXPAND_SZ", REG_EXPAND_SZ, Utf16Bytes(folder, true), true},
      {"259 characters", REG_SZ, Utf16Bytes(padded(259), true), true},
      {"260 characters", REG_SZ, Utf16Bytes(padded(260), true), false},
      {"REG_BINARY", REG_BINARY, Utf16Bytes(folder, true), false},
      {"REG_DWORD", REG_DWORD, {0, 0, 0, 0}, false},
      {"odd byte count", REG_SZ, [&] {
         auto bytes = Utf16Bytes(folder, true);
         bytes.push_back('A');
         return bytes;
       }(),
       false},
      {"missing terminator", REG_SZ, Utf16Bytes(folder, false), false},
      {"no bytes", REG_SZ, {}, false},
      {"only a terminator", REG_SZ, Utf16Bytes(u"", true), false},
      {"null first", REG_SZ, Utf16Bytes(std::u16string(1, u'\0') + u"junk", true), false},
  };
  // A value read as empty would make the paths relative to the working directory: put a
  // shortcut there too. Processes that the shell link object starts inherit the working
  // directory and keep it busy, so it is a folder kept for this purpose, not the scratch folder.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring relative_base = std::wstring(temp) + L"pelko-relative-paths\\";
  CreateDirectoryW(relative_base.c_str(), nullptr);
  wchar_t previous_directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous_directory);
  ASSERT_TRUE(SetCurrentDirectoryW(relative_base.c_str()));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    for (const std::wstring& folder : {menu_, relative_base}) {
      DeleteFileW((folder + L"Beta.lnk").c_str());
      MakeShortcut(folder + L"Alpha.lnk", L"Alpha");
    }
    ASSERT_EQ(test::WriteRawValue(key_.get(), L"StartMenuPath", c.type, c.data), ERROR_SUCCESS);
    RenameShortcut(kTestEdition, u"Alpha", u"Beta");
    EXPECT_EQ(FileExists(menu_ + L"Beta.lnk"), c.renamed);
    EXPECT_EQ(FileExists(menu_ + L"Alpha.lnk"), !c.renamed);
    EXPECT_FALSE(FileExists(relative_base + L"Beta.lnk"));
    EXPECT_TRUE(FileExists(relative_base + L"Alpha.lnk"));
  }
  EXPECT_TRUE(SetCurrentDirectoryW(previous_directory));
  for (const wchar_t* name : {L"Alpha.lnk", L"Beta.lnk"}) {
    DeleteFileW((relative_base + name).c_str());
  }
}

TEST_F(ShortcutRenameTest, PathThatDoesNotFitSavesNothing) {
  SetFolderValue(menu_);
  MakeShortcut(menu_ + L"Alpha.lnk", L"Alpha");
  const std::vector<uint8_t> before = ReadFileBytes(menu_ + L"Alpha.lnk");
  // Folder + name + ".lnk" is 512 characters: one more than the buffer holds.
  const std::u16string long_name(kShortcutPathCapacity - menu_.size() - 4, u'n');
  EXPECT_EQ(SaveShortcutAs(kTestEdition, u"Alpha", long_name), kShortcutPathUnavailable);
  RenameShortcut(kTestEdition, u"Alpha", long_name);
  EXPECT_EQ(ReadFileBytes(menu_ + L"Alpha.lnk"), before);
  // One character shorter fits and passes the path check; the file system may still refuse it.
  ShortcutPathBuffer path;
  EXPECT_TRUE(BuildShortcutPath(kTestEdition, long_name.substr(1), path));
  EXPECT_FALSE(BuildShortcutPath(kTestEdition, long_name, path));
}

TEST_F(ShortcutRenameTest, SaveReportsWhatFailed) {
  // Old shortcut missing: the load fails and nothing is saved.
  SetFolderValue(menu_);
  const HRESULT missing = SaveShortcutAs(kTestEdition, u"Alpha", u"Beta");
  EXPECT_TRUE(FAILED(missing)) << std::hex << missing;
  EXPECT_FALSE(FileExists(menu_ + L"Beta.lnk"));
  // No folder value: the old path cannot be built.
  ASSERT_EQ(RegDeleteValueW(key_.get(), L"StartMenuPath"), ERROR_SUCCESS);
  MakeShortcut(menu_ + L"Alpha.lnk", L"Alpha");
  EXPECT_EQ(SaveShortcutAs(kTestEdition, u"Alpha", u"Beta"), kShortcutPathUnavailable);
  EXPECT_FALSE(FileExists(menu_ + L"Beta.lnk"));
  EXPECT_TRUE(FileExists(menu_ + L"Alpha.lnk"));
  // An edition outside the table has no folder either.
  SetFolderValue(menu_);
  EXPECT_EQ(SaveShortcutAs(4, u"Alpha", u"Beta"), kShortcutPathUnavailable);
  EXPECT_EQ(SaveShortcutAs(kTestEdition, u"Alpha", u"Beta"), S_OK);
  EXPECT_TRUE(FileExists(menu_ + L"Beta.lnk"));
  // SaveShortcutAs alone never deletes.
  EXPECT_TRUE(FileExists(menu_ + L"Alpha.lnk"));
}

// Over the program's own string tables: the names come from LoadStringW (the system's language,
// English here) and from the UI language.
class LocalizeShortcutTest : public ShortcutRenameTest {
 protected:
  void SetUp() override {
    ShortcutRenameTest::SetUp();
    previous_language_ = ProcessUiLanguage().GetUiLanguage();
  }
  void TearDown() override {
    ProcessUiLanguage().SetUiLanguage(previous_language_);
    ShortcutRenameTest::TearDown();
  }
  uint16_t previous_language_ = 0;
};

TEST_F(LocalizeShortcutTest, RenamesEachShortcutIntoTheUiLanguage) {
  const ResourceStringStore store(GetModuleHandleW(nullptr));
  SetFolderValue(menu_);
  ProcessUiLanguage().SetUiLanguage(1031);
  for (uint32_t id : {226u, 229u, 232u, 220u}) {
    SCOPED_TRACE(id);
    const std::u16string system_name = SystemLanguageString(id);
    const std::u16string german = store.ReadStringTableEntry(id, 1031);
    ASSERT_FALSE(system_name.empty());
    ASSERT_FALSE(german.empty());
    ASSERT_NE(system_name, german);
    const std::wstring old_path = menu_ + AsWide(system_name) + L".lnk";
    const std::wstring new_path = menu_ + AsWide(german) + L".lnk";
    MakeShortcut(old_path, AsWide(system_name));
    LocalizeShortcut(kTestEdition, id);
    EXPECT_FALSE(FileExists(old_path));
    ShortcutContents contents;
    ASSERT_TRUE(ReadShortcut(new_path, contents));
    EXPECT_EQ(contents.description, AsWide(german));
    EXPECT_TRUE(PointsAtTarget(contents)) << contents.target;
  }
}

TEST_F(LocalizeShortcutTest, TheSystemsOwnLanguageRenamesNothing) {
  SetFolderValue(menu_);
  ProcessUiLanguage().SetUiLanguage(9);
  const std::u16string system_name = SystemLanguageString(226);
  ASSERT_FALSE(system_name.empty());
  const std::wstring path = menu_ + AsWide(system_name) + L".lnk";
  MakeShortcut(path, L"Original");
  const std::vector<uint8_t> before = ReadFileBytes(path);
  LocalizeShortcut(kTestEdition, 226);
  EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(SystemLanguageStringTest, MissingStringIsEmpty) {
  EXPECT_EQ(SystemLanguageString(4000), u"");
  EXPECT_FALSE(SystemLanguageString(216).empty());
}

}  // namespace
}  // namespace pelko::setup
