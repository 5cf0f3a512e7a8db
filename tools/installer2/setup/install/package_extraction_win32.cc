#include "setup/install/package_extraction_win32.h"

#include <windows.h>

#include <utility>

#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr DWORD kTempPathBufferLength = 260;
constexpr DWORD kPackageFileAttributes = FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NORMAL;

}  // namespace

bool GetTempDirectory(std::u16string& directory) {
  std::u16string buffer(kTempPathBufferLength, u'\0');
  SetLastError(ERROR_SUCCESS);
  DWORD length =
      GetTempPathW(kTempPathBufferLength, reinterpret_cast<wchar_t*>(buffer.data()));
  // A path that does not fit makes GetTempPathW answer the size it needs and write nothing
  // usable; a package path built from it would point anywhere. Some implementations answer 0
  // with ERROR_FILENAME_EXCED_RANGE instead: the same case, not a folder-less system.
  if (length >= kTempPathBufferLength ||
      (length == 0 && GetLastError() == ERROR_FILENAME_EXCED_RANGE)) {
    directory.clear();
    return false;
  }
  // A failure answers 0: the package then goes to the current directory under its bare name.
  buffer.resize(length);
  directory = std::move(buffer);
  return true;
}

bool ExtractPackage(const std::u16string& resource_name, const std::u16string& resource_type,
                    const std::u16string& path) {
  // No module handle: the resource is the program's own.
  HRSRC resource = FindResourceW(nullptr, AsWide(resource_name), AsWide(resource_type));
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  DWORD size = SizeofResource(nullptr, resource);
  // An empty package leaves the file system untouched.
  if (data == nullptr || size == 0) return false;

  // No sharing: a second run of the same edition cannot write the same file at the same time.
  UniqueHandle file(CreateFileW(AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                kPackageFileAttributes, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file.get(), data, size, &written, nullptr);
  // A short or failed write leaves the partial file for the next run's CREATE_ALWAYS.
  return ok && written == size;
}

}  // namespace pelko::setup
