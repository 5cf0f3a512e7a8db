#ifndef PELKO_SETUP_INSTALL_TEST_FILES_WIN32_TEST_H_
#define PELKO_SETUP_INSTALL_TEST_FILES_WIN32_TEST_H_

// Files, folders and environment variables for the Windows-side install tests.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {

inline bool Exists(const std::u16string& path) {
  return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES;
}

inline std::vector<uint8_t> ReadBytes(const std::u16string& path) {
  std::vector<uint8_t> bytes;
  UniqueHandle file(CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return bytes;
  uint8_t chunk[8192];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return bytes;
}

inline bool WriteBytes(const std::u16string& path, const std::vector<uint8_t>& bytes) {
  UniqueHandle file(CreateFileW(AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size();
}

inline void RemoveTree(const std::u16string& path) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(AsWide(path + u"\\*"), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::u16string name = FromWide(entry.cFileName);
      if (name == u"." || name == u"..") continue;
      std::u16string child = path + u"\\" + name;
      SetFileAttributesW(AsWide(child), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(AsWide(child));
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(AsWide(path));
}

inline std::u16string ProcessTempPath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return FromWide(buffer, length <= MAX_PATH ? length : 0);
}

// A fresh folder in the temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::u16string& tag) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::u16string candidate = ProcessTempPath() + u"pelko-" + tag + u"-" +
                                 Number(GetCurrentProcessId()) + u"-" + Number(++serial);
      if (CreateDirectoryW(AsWide(candidate), nullptr)) {
        path_ = candidate;
        return;
      }
    }
  }
  ~ScratchFolder() {
    if (!path_.empty()) RemoveTree(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // No trailing backslash; empty when no folder could be made.
  const std::u16string& path() const { return path_; }

 private:
  static std::u16string Number(unsigned long value) {
    std::u16string digits;
    do {
      digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
      value /= 10;
    } while (value != 0);
    return digits;
  }

  std::u16string path_;
};

// Sets (or, with null, removes) an environment variable of this process, and puts the old state
// back at the end.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char16_t* name, const char16_t* value) : name_(name) {
    wchar_t probe[1];
    DWORD needed = GetEnvironmentVariableW(AsWide(name), probe, 0);
    if (needed > 0) {
      std::vector<wchar_t> buffer(needed);
      DWORD length = GetEnvironmentVariableW(AsWide(name), buffer.data(), needed);
      had_value_ = length < needed;
      if (had_value_) old_value_ = FromWide(buffer.data(), length);
    }
    SetEnvironmentVariableW(AsWide(name), value != nullptr ? AsWide(value) : nullptr);
  }
  ~ScopedEnvironment() {
    SetEnvironmentVariableW(AsWide(name_), had_value_ ? AsWide(old_value_) : nullptr);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::u16string name_;
  bool had_value_ = false;
  std::u16string old_value_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_TEST_FILES_WIN32_TEST_H_
