#include "setup/post_install/shortcut_handling_win32.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "setup/l10n/ui_language_win32.h"
#include "setup/post_install/registry_read_win32.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

// LoadStringW fills 512 characters with a limit of 511, so a name has at most 510.
constexpr int kSystemStringCapacity = 512;
constexpr int kSystemStringLimit = 511;

struct FileIdentity {
  DWORD volume_serial = 0;
  DWORD index_high = 0;
  DWORD index_low = 0;
};

bool ReadFileIdentity(const wchar_t* path, FileIdentity& identity) {
  UniqueHandle file(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(file.get(), &info)) return false;
  identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

// True only when both files exist and are known to be different ones. Two names that the file
// system folds together (letter case, a short name) open the same file, and deleting the "old"
// one would then delete the shortcut just saved.
bool AreDistinctFiles(const wchar_t* first, const wchar_t* second) {
  FileIdentity a, b;
  if (!ReadFileIdentity(first, a) || !ReadFileIdentity(second, b)) return false;
  return a.volume_serial != b.volume_serial || a.index_high != b.index_high ||
         a.index_low != b.index_low;
}

}  // namespace

std::u16string SystemLanguageString(uint32_t string_id) {
  wchar_t buffer[kSystemStringCapacity] = {};
  const int length =
      LoadStringW(GetModuleHandleW(nullptr), string_id, buffer, kSystemStringLimit);
  return FromWide(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

bool BuildShortcutPath(int32_t edition, const std::u16string& name, ShortcutPathBuffer& path) {
  const char16_t* key = EditionRegistryKey(edition);
  if (key == nullptr) return false;
  std::u16string folder;
  if (!ReadRegistryString(HKEY_CURRENT_USER, AsWide(key), AsWide(kStartMenuPathValue), folder)) {
    return false;
  }
  return ComposeShortcutPath(folder, name, reinterpret_cast<char16_t*>(path.data()), path.size());
}

HRESULT SaveShortcutAs(int32_t edition, const std::u16string& old_name,
                       const std::u16string& new_name) {
  // Declared first, so that both interfaces are released before CoUninitialize.
  ScopedCoInit com;
  ComPtr<IShellLinkW> link;
  HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IShellLinkW, link.PutVoid());
  if (FAILED(status)) return status;
  ComPtr<IPersistFile> file;
  status = link->QueryInterface(IID_IPersistFile, file.PutVoid());
  if (FAILED(status)) return status;

  ShortcutPathBuffer old_path;
  if (!BuildShortcutPath(edition, old_name, old_path)) return kShortcutPathUnavailable;
  status = file->Load(old_path.data(), STGM_READ);
  if (FAILED(status)) return status;
  // Without SLR_UPDATE: the old file is not rewritten, only the saved copy carries the result.
  status = link->Resolve(nullptr, 0);
  if (FAILED(status)) return status;
  wchar_t target[MAX_PATH] = {};
  WIN32_FIND_DATAW find_data = {};
  status = link->GetPath(target, MAX_PATH, &find_data, SLGP_SHORTPATH);
  if (FAILED(status)) return status;
  status = link->SetDescription(AsWide(new_name));
  if (FAILED(status)) return status;

  ShortcutPathBuffer new_path;
  if (!BuildShortcutPath(edition, new_name, new_path)) return kShortcutPathUnavailable;
  return file->Save(new_path.data(), TRUE);
}

void RenameShortcut(int32_t edition, const std::u16string& system_name,
                    const std::u16string& ui_name) {
  if (system_name == ui_name) return;
  if (SaveShortcutAs(edition, system_name, ui_name) != S_OK) return;
  ShortcutPathBuffer old_path;
  if (!BuildShortcutPath(edition, system_name, old_path)) return;
  ShortcutPathBuffer new_path;
  if (!BuildShortcutPath(edition, ui_name, new_path)) return;
  if (!AreDistinctFiles(old_path.data(), new_path.data())) return;
  DeleteFileW(old_path.data());
}

void LocalizeShortcut(int32_t edition, uint32_t string_id) {
  const std::u16string system_name = SystemLanguageString(string_id);
  const std::u16string ui_name = ProcessUiLanguage().LocalizedString(string_id);
  RenameShortcut(edition, system_name, ui_name);
}

}  // namespace pelko::setup
