#include "setup/install/temp_directory_win32.h"

#include <utility>


namespace pelko::setup {
namespace {

constexpr DWORD kTempPathBufferLength = 260;

FARPROC LookUpKernelExport(const char* name) {
  // kernel32 is mapped into every process for its whole life: no reference to hold.
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  return kernel32 ? GetProcAddress(kernel32, name) : nullptr;
}

}  // namespace

TempPathQuery ChooseTempPathQuery(KernelExportLookup lookup) {
  FARPROC newer = lookup("GetTempPath2W");
  if (newer == nullptr) return &GetTempPathW;
  return reinterpret_cast<TempPathQuery>(reinterpret_cast<void*>(newer));
}

bool GetTempDirectory(TempPathQuery query, std::u16string& directory) {
  std::u16string buffer(kTempPathBufferLength, u'\0');
  SetLastError(ERROR_SUCCESS);
  DWORD length = query(kTempPathBufferLength, reinterpret_cast<wchar_t*>(buffer.data()));
  // A path that does not fit makes the call answer the size it needs and write nothing usable;
  // a package path built from it would point anywhere. Some implementations answer 0 with
  // ERROR_FILENAME_EXCED_RANGE instead: the same case, not a folder-less system.
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

bool GetTempDirectory(std::u16string& directory) {
  return GetTempDirectory(ChooseTempPathQuery(&LookUpKernelExport), directory);
}

}  // namespace pelko::setup
