// The demo Tavrin Pelko application that the demo package installs. It has no window: started,
// it appends one line to a trace file and exits, so that tests can tell that (and how) it ran.
//
// Trace file: "%PUBLIC%\TavrinPelko-started.txt", or "%TEMP%\TavrinPelko-started.txt" when
// PUBLIC is unset. One line per start, UTF-8, ending in CR LF:
//   <full path of the running TavrinPelko.exe> TAB <its command line as GetCommandLineW gives it>

#include <windows.h>

#include <string>

#include "setup/win32_raii.h"

namespace {

constexpr wchar_t kTraceFileName[] = L"TavrinPelko-started.txt";

std::wstring EnvironmentValue(const wchar_t* name) {
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return std::wstring();
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    // Too small: the answer is the size needed, terminator included.
    value.resize(length);
  }
}

std::wstring OwnPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    // A full buffer means the path may have been cut.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring TraceFilePath() {
  std::wstring folder = EnvironmentValue(L"PUBLIC");
  if (folder.empty()) folder = EnvironmentValue(L"TEMP");
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder + kTraceFileName;
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

bool AppendTrace() {
  const wchar_t* command_line = GetCommandLineW();
  std::string line = ToUtf8(OwnPath() + L'\t' + (command_line ? command_line : L"")) + "\r\n";
  // FILE_APPEND_DATA alone makes every write land at the end, also when several starts overlap.
  pelko::setup::UniqueHandle file(CreateFileW(TraceFilePath().c_str(), FILE_APPEND_DATA,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
         written == line.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return AppendTrace() ? 0 : 1; }
