// e2e_probe: reads what the end-to-end tests look at inside a Wine prefix and prints it as
// UTF-8 on standard output, without a line end (reg.exe's console output loses characters that
// the console code page lacks, such as "日本").
//
//   e2e_probe reg-get <root>\<key> <value>  string (REG_SZ, REG_EXPAND_SZ, unexpanded) or DWORD
//                                           (decimal) value; <root> is HKCU or HKLM
//   e2e_probe temp-path                     what GetTempPathW answers here
//   e2e_probe expand <text>                 <text> with %NAME% references expanded
//   e2e_probe os-version                    the Windows version, "major.minor.build", as
//                                           RtlGetVersion reports it (GetVersionEx answers
//                                           6.2 to a program without a compatibility manifest)
//
// Exit code: 0 printed, kMissing when the key or value does not exist, kUnsupported for a value
// of another type or a read that failed otherwise, kUsage for a bad command line. None of them
// is 1: Wine itself exits with 1 when a program cannot run (a client that loses its
// wineserver), and the tests must not read that as an absent value.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "setup/win32_raii.h"

namespace {

constexpr int kMissing = 10;
constexpr int kUnsupported = 11;
constexpr int kUsage = 12;

bool PrintUtf8(const std::wstring& text) {
  std::string bytes;
  if (!text.empty()) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    bytes.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        size, nullptr, nullptr);
  }
  DWORD written = 0;
  return WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(),
                   static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool SplitRoot(const std::wstring& path, HKEY& root, std::wstring& key) {
  struct Root {
    const wchar_t* name;
    HKEY key;
  };
  const Root kRoots[] = {{L"HKCU\\", HKEY_CURRENT_USER},
                         {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
                         {L"HKLM\\", HKEY_LOCAL_MACHINE},
                         {L"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE}};
  for (const Root& candidate : kRoots) {
    size_t length = wcslen(candidate.name);
    if (_wcsnicmp(path.c_str(), candidate.name, length) == 0) {
      root = candidate.key;
      key = path.substr(length);
      return true;
    }
  }
  return false;
}

// Only "not found" means absent; any other error is told on standard error, so that a test
// never reads a failed read as a missing value.
int RegistryFailure(const wchar_t* step, LSTATUS status) {
  if (status == ERROR_FILE_NOT_FOUND) return kMissing;
  fwprintf(stderr, L"e2e_probe: %ls failed with error %ld\n", step, static_cast<long>(status));
  return kUnsupported;
}

int RegGet(const std::wstring& path, const std::wstring& name) {
  HKEY root = nullptr;
  std::wstring key_path;
  if (!SplitRoot(path, root, key_path)) return kUsage;
  pelko::setup::RegKey key;
  LSTATUS status = key.Open(root, key_path.c_str(), KEY_QUERY_VALUE | KEY_WOW64_64KEY);
  if (status != ERROR_SUCCESS) return RegistryFailure(L"opening the key", status);
  DWORD type = 0;
  DWORD size = 0;
  status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return RegistryFailure(L"reading the value's size", status);
  std::vector<BYTE> data(size + sizeof(wchar_t));
  status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size);
  if (status != ERROR_SUCCESS) return RegistryFailure(L"reading the value", status);
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    // The stored terminator is not part of the text.
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return PrintUtf8(text) ? 0 : kUnsupported;
  }
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value = 0;
    memcpy(&value, data.data(), sizeof(value));
    return PrintUtf8(std::to_wstring(value)) ? 0 : kUnsupported;
  }
  return kUnsupported;
}

int TempPath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return kUnsupported;
  return PrintUtf8(std::wstring(buffer, length)) ? 0 : kUnsupported;
}

int Expand(const std::wstring& text) {
  DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (size == 0) return kUnsupported;
  std::vector<wchar_t> buffer(size);
  if (ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size) == 0) return kUnsupported;
  return PrintUtf8(buffer.data()) ? 0 : kUnsupported;
}

int OsVersion() {
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return kUnsupported;
  auto rtl_get_version = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (rtl_get_version == nullptr) return kUnsupported;
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (rtl_get_version(&info) != 0) return kUnsupported;
  return PrintUtf8(std::to_wstring(info.dwMajorVersion) + L"." +
                   std::to_wstring(info.dwMinorVersion) + L"." +
                   std::to_wstring(info.dwBuildNumber))
             ? 0
             : kUnsupported;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"reg-get" && argc == 4) return RegGet(argv[2], argv[3]);
  if (command == L"temp-path" && argc == 2) return TempPath();
  if (command == L"expand" && argc == 3) return Expand(argv[2]);
  if (command == L"os-version" && argc == 2) return OsVersion();
  fwprintf(stderr,
           L"usage: e2e_probe reg-get <root>\\<key> <value> | temp-path | expand <text> | "
           L"os-version\n");
  return kUsage;
}
