#ifndef PELKO_SETUP_POST_INSTALL_TEST_SUPPORT_WIN32_H_
#define PELKO_SETUP_POST_INSTALL_TEST_SUPPORT_WIN32_H_

// Raw registry values, shortcut files and scratch folders for the Windows-side tests of the
// post-install actions.

#include <windows.h>
// Before the shell headers, so that IShellDispatch2::ShellExecute is declared under the same
// (macro) name in every file.
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup::test {

inline std::vector<uint8_t> Utf16Bytes(const std::u16string& text, bool terminated) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

// Stores exactly `bytes`. The registry appends a terminator to string data when the character
// right after the given count is a null, so the copy handed over is followed by non-null guards.
inline LSTATUS WriteRawValue(HKEY key, const wchar_t* name, DWORD type,
                             const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> guarded = bytes;
  guarded.insert(guarded.end(), {'X', 'X', 'X', 'X'});
  return RegSetValueExW(key, name, 0, type, guarded.data(), static_cast<DWORD>(bytes.size()));
}

inline bool ReadRawValue(HKEY key, const wchar_t* name, DWORD& type, std::vector<uint8_t>& bytes) {
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  bytes.assign(size, 0);
  return RegQueryValueExW(key, name, nullptr, &type, bytes.empty() ? nullptr : bytes.data(),
                          &size) == ERROR_SUCCESS &&
         size == bytes.size();
}

inline bool ValueExists(HKEY root, const wchar_t* key_path, const wchar_t* name) {
  RegKey key;
  if (key.Open(root, key_path, KEY_READ) != ERROR_SUCCESS) return false;
  return RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

inline bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return bytes;
  uint8_t chunk[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return bytes;
}

inline std::wstring OwnModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// A shortcut made the way the product's package makes them: a target and a description.
inline HRESULT CreateShortcut(const std::wstring& path, const std::wstring& target,
                              const std::wstring& description) {
  ScopedCoInit com;
  ComPtr<IShellLinkW> link;
  HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IShellLinkW, link.PutVoid());
  if (FAILED(status)) return status;
  if (FAILED(status = link->SetPath(target.c_str()))) return status;
  if (FAILED(status = link->SetDescription(description.c_str()))) return status;
  ComPtr<IPersistFile> file;
  if (FAILED(status = link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return status;
  return file->Save(path.c_str(), TRUE);
}

struct ShortcutContents {
  std::wstring target;
  std::wstring description;
};

inline bool ReadShortcut(const std::wstring& path, ShortcutContents& contents) {
  ScopedCoInit com;
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.PutVoid()))) {
    return false;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return false;
  if (FAILED(file->Load(path.c_str(), STGM_READ))) return false;
  wchar_t target[MAX_PATH] = {};
  wchar_t description[INFOTIPSIZE] = {};
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) return false;
  if (FAILED(link->GetDescription(description, INFOTIPSIZE))) return false;
  contents = {target, description};
  return true;
}

// A folder of its own under the temporary folder, removed with its files at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const wchar_t* tag) {
    static int counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    // Process ids repeat between runs under Wine, the tick count does not.
    path_ = std::wstring(temp) + L"pelko-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) +
            L"-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Ends with a backslash.
  const std::wstring& path() const { return path_; }

 private:
  static void RemoveTree(const std::wstring& folder) {
    struct SearchHandle {
      HANDLE handle;
      ~SearchHandle() {
        if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
      }
    };
    {
      // Closed before the folder itself is removed.
      WIN32_FIND_DATAW found;
      SearchHandle search{FindFirstFileW((folder + L"*").c_str(), &found)};
      if (search.handle == INVALID_HANDLE_VALUE) return;
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(folder + name + L"\\");
        } else {
          DeleteFileW((folder + name).c_str());
        }
      } while (FindNextFileW(search.handle, &found));
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring path_;
};

}  // namespace pelko::setup::test

#endif  // PELKO_SETUP_POST_INSTALL_TEST_SUPPORT_WIN32_H_
