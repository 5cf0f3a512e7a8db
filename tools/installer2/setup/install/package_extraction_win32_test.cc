#include "setup/install/package_extraction_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "setup/install/test_files_win32_test.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

TEST_F(PackageExtractionTest, WritesTheResourceByteForByteAndHoldsItUntilRemoved) {
  {
    ExtractedPackage package;
    ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
    EXPECT_TRUE(package.held());
    // Read the way the installer reads it: by name, sharing reading only.
    EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
    package.Remove();
    EXPECT_FALSE(package.held());
    EXPECT_FALSE(Exists(package_));
    ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
  }
  // Its owner going removes it too.
  EXPECT_FALSE(Exists(package_));
}

TEST_F(PackageExtractionTest, HeldPackageCanBeReadButNotWrittenDeletedOrRenamed) {
  ExtractedPackage package;
  ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
  const std::u16string moved = package_ + u".moved";
  struct Case {
    const char* label;
    DWORD access;
    DWORD share;
  };
  const Case kRefused[] = {
      {"open for writing", GENERIC_WRITE, kShareAll},
      {"open for appending", FILE_APPEND_DATA, kShareAll},
      {"open for deletion", DELETE, kShareAll},
      {"open for reading without sharing", GENERIC_READ, 0},
  };
  for (const Case& c : kRefused) {
    SCOPED_TRACE(c.label);
    UniqueHandle other(CreateFileW(AsWide(package_), c.access, c.share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(other.valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_FALSE(DeleteFileW(AsWide(package_)));
  EXPECT_FALSE(MoveFileW(AsWide(package_), AsWide(moved)));
  EXPECT_FALSE(Exists(moved));
  EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
}

TEST_F(PackageExtractionTest, StaleEntriesAtTheNameAreReplaced) {
  struct Case {
    const char* label;
    size_t size;
    DWORD attributes;
  };
  const Case kCases[] = {
      {"longer file", 10000, FILE_ATTRIBUTE_NORMAL},
      {"longer read-only file", 10000, FILE_ATTRIBUTE_READONLY},
      {"read-only hidden system file", 20, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                               FILE_ATTRIBUTE_SYSTEM},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    ASSERT_TRUE(WriteBytes(package_, std::vector<uint8_t>(c.size, 'x')));
    ASSERT_TRUE(SetFileAttributesW(AsWide(package_), c.attributes));
    ExtractedPackage package;
    ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
    EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
    EXPECT_EQ(GetFileAttributesW(AsWide(package_)) & FILE_ATTRIBUTE_READONLY, 0u);
  }
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
    ExtractedPackage package;
    EXPECT_FALSE(ExtractPackage(c.name, c.type, package_, package));
    EXPECT_FALSE(package.held());
    EXPECT_FALSE(Exists(package_));
  }
}

TEST_F(PackageExtractionTest, EmptyResourceLeavesAnExistingFileAlone) {
  const std::vector<uint8_t> older = {'o', 'l', 'd', 0, 'p', 'k', 'g'};
  ASSERT_TRUE(WriteBytes(package_, older));
  ExtractedPackage package;
  EXPECT_FALSE(ExtractPackage(u"EMPTY", u"BINARY", package_, package));
  EXPECT_EQ(ReadBytes(package_), older);
}

TEST_F(PackageExtractionTest, FileHeldOpenWithoutSharingFailsAndStaysUntouched) {
  const std::vector<uint8_t> older = {'h', 'e', 'l', 'd'};
  ASSERT_TRUE(WriteBytes(package_, older));
  ExtractedPackage package;
  {
    // What a second run of the same edition does while it writes the package.
    UniqueHandle held(CreateFileW(AsWide(package_), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_FALSE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
  }
  EXPECT_EQ(ReadBytes(package_), older);
  // Once the other run lets go, the file can be written again.
  EXPECT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
  EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
}

TEST_F(PackageExtractionTest, MissingFolderFails) {
  const std::u16string folder = scratch_.path() + u"\\no-such-folder";
  ExtractedPackage package;
  EXPECT_FALSE(
      ExtractPackage(u"ID_MSI", u"BINARY", folder + u"\\TavrinPelko-Larkin.msi", package));
  EXPECT_FALSE(Exists(folder));
}

TEST_F(PackageExtractionTest, PathNamingAFolderFails) {
  ASSERT_TRUE(CreateDirectoryW(AsWide(package_), nullptr));
  ExtractedPackage package;
  EXPECT_FALSE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
  EXPECT_NE(GetFileAttributesW(AsWide(package_)) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(PackageExtractionTest, ExtractedFileIsAnOrdinaryTemporaryFile) {
  ExtractedPackage package;
  ASSERT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_, package));
  DWORD attributes = GetFileAttributesW(AsWide(package_));
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_REPARSE_POINT),
            0u);
}

// A write that stops part way, as on a full volume: half the bytes land, then the write fails.
class WriterFailingHalfWay : public PackageFileWriter {
 protected:
  bool WriteAll(HANDLE file, const void* data, DWORD size) override {
    DWORD written = 0;
    return WriteFile(file, data, size / 2, &written, nullptr) && false;
  }
};

TEST_F(PackageExtractionTest, WriteFailingPartWayLeavesNoFile) {
  WriterFailingHalfWay writer;
  ExtractedPackage package;
  EXPECT_FALSE(ExtractPackage(u"ID_MSI", u"BINARY", package_, writer, package));
  EXPECT_FALSE(package.held());
  EXPECT_FALSE(Exists(package_));
}

// Does to the file what another process could do between the write and the hold.
class WriterChangedBeforeHold : public PackageFileWriter {
 public:
  explicit WriterChangedBeforeHold(std::function<void(const std::u16string&)> change)
      : change_(std::move(change)) {}

 protected:
  void BeforeHold(const std::u16string& path) override { change_(path); }

 private:
  std::function<void(const std::u16string&)> change_;
};

bool WriteAt(const std::u16string& path, LONG offset, DWORD move_method, const char* bytes) {
  UniqueHandle file(CreateFileW(AsWide(path), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file.valid() && SetFilePointer(file.get(), offset, nullptr, move_method) !=
                             INVALID_SET_FILE_POINTER &&
         WriteFile(file.get(), bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr);
}

TEST_F(PackageExtractionTest, ChangeBetweenWriteAndHoldIsCaughtAndTheFileWrittenGoes) {
  UniqueHandle kept_open;
  struct Case {
    const char* label;
    std::function<void(const std::u16string&)> change;
  };
  const Case kCases[] = {
      {"bytes overwritten",
       [](const std::u16string& path) { ASSERT_TRUE(WriteAt(path, 100, FILE_BEGIN, "swap")); }},
      {"bytes appended",
       [](const std::u16string& path) { ASSERT_TRUE(WriteAt(path, 0, FILE_END, "more")); }},
      {"cut short", [](const std::u16string& path) {
         UniqueHandle file(CreateFileW(AsWide(path), GENERIC_WRITE, kShareAll, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
         ASSERT_TRUE(file.valid());
         ASSERT_NE(SetFilePointer(file.get(), 10, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
         ASSERT_TRUE(SetEndOfFile(file.get()));
       }},
      {"held open for writing", [&kept_open](const std::u16string& path) {
         kept_open.Reset(CreateFileW(AsWide(path), GENERIC_WRITE, kShareAll, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
         ASSERT_TRUE(kept_open.valid());
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    WriterChangedBeforeHold writer(c.change);
    ExtractedPackage package;
    EXPECT_FALSE(ExtractPackage(u"ID_MSI", u"BINARY", package_, writer, package));
    EXPECT_FALSE(package.held());
    // The deletion is pending until the other writer lets go.
    kept_open.Reset();
    EXPECT_FALSE(Exists(package_));
  }
}

TEST_F(PackageExtractionTest, BetweenWriteAndHoldTheFileCannotBeDeletedOrRenamed) {
  const std::u16string moved = package_ + u".moved";
  WriterChangedBeforeHold writer([&moved](const std::u16string& path) {
    EXPECT_FALSE(DeleteFileW(AsWide(path)));
    EXPECT_FALSE(MoveFileW(AsWide(path), AsWide(moved)));
    UniqueHandle deleter(CreateFileW(AsWide(path), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(deleter.valid());
  });
  ExtractedPackage package;
  EXPECT_TRUE(ExtractPackage(u"ID_MSI", u"BINARY", package_, writer, package));
  EXPECT_FALSE(Exists(moved));
  EXPECT_EQ(ReadBytes(package_), ExpectedPayload());
}

TEST_F(PackageExtractionTest, RemoveFileEntryRemovesWhatItCanAndNothingElse) {
  struct Case {
    const char* label;
    std::function<void(const std::u16string&)> make;  // null: nothing at the name
    bool hold_without_sharing;
    bool removed;
  };
  const auto file = [](DWORD attributes) {
    return [attributes](const std::u16string& path) {
      ASSERT_TRUE(WriteBytes(path, {'s', 't', 'a', 'l', 'e'}));
      ASSERT_TRUE(SetFileAttributesW(AsWide(path), attributes));
    };
  };
  const Case kCases[] = {
      {"nothing there", nullptr, false, true},
      {"plain file", file(FILE_ATTRIBUTE_NORMAL), false, true},
      {"read-only file", file(FILE_ATTRIBUTE_READONLY), false, true},
      {"file held open without sharing", file(FILE_ATTRIBUTE_NORMAL), true, false},
      {"folder", [](const std::u16string& path) {
         ASSERT_TRUE(CreateDirectoryW(AsWide(path), nullptr));
       }, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    if (c.make) c.make(package_);
    UniqueHandle holder;
    if (c.hold_without_sharing) {
      holder.Reset(CreateFileW(AsWide(package_), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(holder.valid());
    }
    EXPECT_EQ(RemoveFileEntry(package_), c.removed);
    holder.Reset();
    EXPECT_EQ(Exists(package_), c.make != nullptr && !c.removed);
    RemoveTree(package_);
    SetFileAttributesW(AsWide(package_), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(AsWide(package_));
  }
}

}  // namespace
}  // namespace pelko::setup
