// package_contender: another process that goes for the package setup.exe writes to the
// temporary folder, for the end-to-end tests of its extraction. It starts the program itself, so
// that it is there before the package appears and knows when the program has ended:
//
//   package_contender hammer <package file name> <report> -- <program> <command line>
//       from the moment the package appears until the program exits, keeps opening it for
//       writing (and writes a byte when that works), deleting it and renaming it; the report
//       counts the attempts, the successes and the refusals.
//   package_contender replace <package file name> <report> <other package> -- <program> <...>
//       as soon as the package appears, tries to put <other package> in its place (writing over
//       it, renaming it away, deleting it) until one way worked or the program exits; the
//       report names the way that worked, or "none".
//
// <program> is a Windows path, and everything after it is handed to CreateProcessW verbatim as
// the command line, program token included. The package is looked for in the temporary folder
// this process has, which the program inherits. The exit code is the program's.

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "setup/win32_raii.h"

namespace {

using pelko::setup::UniqueHandle;

constexpr int kUsage = 3;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct Counts {
  long attempts = 0;
  long successes = 0;
  long refused = 0;  // sharing violation or access denied: the package was there and held
};

bool Present(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Tally(Counts& counts, bool ok) {
  ++counts.attempts;
  if (ok) {
    ++counts.successes;
    return;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) ++counts.refused;
}

void Hammer(const std::wstring& package, const std::atomic<bool>& done, bool& appeared,
            Counts& write, Counts& remove, Counts& rename) {
  while (!done && !Present(package)) {
  }
  appeared = Present(package);
  const std::wstring moved = package + L".moved";
  while (!done) {
    UniqueHandle writer(CreateFileW(package.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    Tally(write, writer.valid());
    // A handle that got through spoils the package, so that the run must notice.
    DWORD written = 0;
    if (writer.valid()) WriteFile(writer.get(), "!", 1, &written, nullptr);
    writer.Reset();
    Tally(remove, DeleteFileW(package.c_str()) != FALSE);
    Tally(rename, MoveFileExW(package.c_str(), moved.c_str(), 0) != FALSE);
  }
}

bool CopyOver(const std::wstring& other, const std::wstring& package) {
  return CopyFileW(other.c_str(), package.c_str(), TRUE) != FALSE;
}

// Writes the other package's bytes over the package through one handle.
bool WriteOver(const std::vector<char>& bytes, const std::wstring& package) {
  UniqueHandle file(CreateFileW(package.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size() && SetEndOfFile(file.get());
}

void Replace(const std::wstring& package, const std::wstring& other,
             const std::atomic<bool>& done, std::wstring& how, long& attempts) {
  std::vector<char> bytes;
  {
    UniqueHandle file(CreateFileW(other.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size)) {
      how = L"unreadable";
      return;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
      how = L"unreadable";
      return;
    }
  }
  while (!done && !Present(package)) {
  }
  const std::wstring moved = package + L".replaced";
  how = L"none";
  while (!done) {
    ++attempts;
    if (WriteOver(bytes, package)) {
      how = L"write";
      return;
    }
    if (MoveFileExW(package.c_str(), moved.c_str(), 0)) {
      how = CopyOver(other, package) ? L"rename" : L"rename-only";
      return;
    }
    if (DeleteFileW(package.c_str())) {
      how = CopyOver(other, package) ? L"delete" : L"delete-only";
      return;
    }
  }
}

std::wstring TempPackagePath(const wchar_t* file_name) {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::wstring();
  return std::wstring(buffer, length) + file_name;
}

bool WriteReport(const wchar_t* path, const std::wstring& text) {
  UniqueHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::string bytes(text.begin(), text.end());  // the report is ASCII
  DWORD written = 0;
  return file.valid() &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size();
}

std::wstring CountsText(const wchar_t* name, const Counts& counts) {
  return std::wstring(name) + L"=" + std::to_wstring(counts.successes) + L"\n" + name +
         L"_attempts=" + std::to_wstring(counts.attempts) + L"\n" + name + L"_refused=" +
         std::to_wstring(counts.refused) + L"\n";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const int separator = mode == L"replace" ? 5 : 4;
  if ((mode != L"hammer" && mode != L"replace") || argc < separator + 2 ||
      wcscmp(argv[separator], L"--") != 0) {
    fwprintf(stderr, L"usage: package_contender hammer|replace <package file name> <report> "
                     L"[<other package>] -- <program> <command line>\n");
    return kUsage;
  }
  const std::wstring package = TempPackagePath(argv[2]);
  const wchar_t* report = argv[3];
  const std::wstring program = argv[separator + 1];
  // The command line starts where the program token does in our own line.
  const wchar_t* own_line = GetCommandLineW();
  const wchar_t* marker = wcsstr(own_line, L" -- ");
  if (package.empty() || marker == nullptr) return kUsage;
  std::wstring command_line = marker + 4;
  while (!command_line.empty() && command_line.front() == L' ') command_line.erase(0, 1);

  std::atomic<bool> done{false};
  bool appeared = false;
  Counts write, remove, rename;
  std::wstring how;
  long attempts = 0;
  std::thread contender;
  if (mode == L"hammer") {
    contender = std::thread(Hammer, std::cref(package), std::cref(done), std::ref(appeared),
                            std::ref(write), std::ref(remove), std::ref(rename));
  } else {
    contender = std::thread(Replace, std::cref(package), std::wstring(argv[4]), std::cref(done),
                            std::ref(how), std::ref(attempts));
  }

  std::vector<wchar_t> mutable_line(command_line.begin(), command_line.end());
  mutable_line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  DWORD exit_code = ERROR_INVALID_FUNCTION;
  if (CreateProcessW(program.c_str(), mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process)) {
    UniqueHandle process_handle(process.hProcess);
    UniqueHandle thread_handle(process.hThread);
    WaitForSingleObject(process_handle.get(), INFINITE);
    GetExitCodeProcess(process_handle.get(), &exit_code);
  }
  done = true;
  contender.join();

  std::wstring text;
  if (mode == L"hammer") {
    text = std::wstring(L"appeared=") + (appeared ? L"1" : L"0") + L"\n" +
           CountsText(L"write", write) + CountsText(L"delete", remove) +
           CountsText(L"rename", rename);
  } else {
    text = L"replaced=" + how + L"\nattempts=" + std::to_wstring(attempts) + L"\n";
  }
  if (!WriteReport(report, text)) return kUsage;
  return static_cast<int>(exit_code);
}
