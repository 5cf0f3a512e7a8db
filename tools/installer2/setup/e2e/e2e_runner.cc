// e2e_runner: starts one program with an exact command line and reports its full exit code.
//
// A shell cannot pass a Windows command line through unchanged (quotes and blanks are re-split
// on the way) and sees only the low 8 bits of an exit code, so the end-to-end tests start
// setup.exe through this console program. Everything comes from the environment:
//
//   PELKO_E2E_PROGRAM     Windows path of the program to start (the application name).
//   PELKO_E2E_CMDLINE     the command line, handed to CreateProcessW verbatim (program token
//                         included, exactly as the caller wrote it).
//   PELKO_E2E_HOLD        optional: a file to create or open, without sharing, before the start
//                         and to keep open until the program has ended.
//   PELKO_E2E_CHILD_OUT   optional: a file that receives the program's standard output and
//                         error; without it they go to this runner's standard error.
//   PELKO_E2E_ENV_<NAME>  optional: sets <NAME> in the program's environment (for example
//                         PELKO_E2E_ENV_TMP), since Wine does not pass TMP or TEMP through.
//   PELKO_E2E_TIMEOUT_MS  optional hang guard (default 600000): the program is ended after it.
//
// Standard output carries one line: the program's exit code as an unsigned decimal number.
// The runner's own exit code is 0 when that line was written, and kRunnerFailed otherwise
// (the reason goes to standard error).

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "setup/win32_raii.h"

namespace {

using pelko::setup::UniqueHandle;

constexpr int kRunnerFailed = 2;
constexpr int kStartAttempts = 3;
constexpr DWORD kDefaultTimeoutMs = 600000;
constexpr wchar_t kEnvPrefix[] = L"PELKO_E2E_ENV_";

bool ReadEnvironment(const wchar_t* name, std::wstring& value) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length =
        GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      value.clear();
      // Present but empty reads as 0 too; only a missing variable sets this error.
      return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    }
    if (length < buffer.size()) {
      value.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);
  }
}

void Fail(const wchar_t* what, DWORD error) {
  fwprintf(stderr, L"e2e_runner: %ls (error %lu)\n", what, static_cast<unsigned long>(error));
}

// Copies every PELKO_E2E_ENV_<NAME>=<value> of our environment to <NAME>=<value>, so that the
// started program inherits it.
bool ApplyEnvironmentOverrides() {
  std::vector<std::pair<std::wstring, std::wstring>> overrides;
  wchar_t* block = GetEnvironmentStringsW();
  if (block == nullptr) return false;
  const size_t prefix_length = wcslen(kEnvPrefix);
  for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
    if (wcsncmp(entry, kEnvPrefix, prefix_length) != 0) continue;
    const wchar_t* name = entry + prefix_length;
    const wchar_t* equals = wcschr(name, L'=');
    if (equals == nullptr || equals == name) continue;
    overrides.emplace_back(std::wstring(name, equals), std::wstring(equals + 1));
  }
  FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : overrides) {
    if (!SetEnvironmentVariableW(name.c_str(), value.c_str())) return false;
  }
  return true;
}

// What was running when the program hung, to standard error: every process of the prefix and
// every top-level window, so that a hang in a test log says where it stopped.
void ReportHang() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot != INVALID_HANDLE_VALUE) {
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
      fwprintf(stderr, L"e2e_runner: running: pid %lu (parent %lu) %ls\n",
               static_cast<unsigned long>(entry.th32ProcessID),
               static_cast<unsigned long>(entry.th32ParentProcessID), entry.szExeFile);
    }
    CloseHandle(snapshot);
  }
  EnumWindows(
      [](HWND window, LPARAM) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t name[128] = {};
        wchar_t text[256] = {};
        GetClassNameW(window, name, 128);
        // Never WM_GETTEXT here: the hung window's thread may be the one not answering.
        InternalGetWindowText(window, text, 256);
        fwprintf(stderr, L"e2e_runner: window: pid %lu class '%ls' text '%ls'%ls\n",
                 static_cast<unsigned long>(process), name, text,
                 IsWindowVisible(window) ? L" visible" : L"");
        return TRUE;
      },
      0);
  fflush(stderr);
}

UniqueHandle OpenInheritableOutput(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  return UniqueHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

int Run() {
  std::wstring program;
  std::wstring command_line;
  if (!ReadEnvironment(L"PELKO_E2E_PROGRAM", program) || program.empty() ||
      !ReadEnvironment(L"PELKO_E2E_CMDLINE", command_line)) {
    Fail(L"PELKO_E2E_PROGRAM and PELKO_E2E_CMDLINE must be set", ERROR_ENVVAR_NOT_FOUND);
    return kRunnerFailed;
  }
  DWORD timeout_ms = kDefaultTimeoutMs;
  std::wstring timeout_text;
  if (ReadEnvironment(L"PELKO_E2E_TIMEOUT_MS", timeout_text) && !timeout_text.empty()) {
    timeout_ms = wcstoul(timeout_text.c_str(), nullptr, 10);
  }
  if (!ApplyEnvironmentOverrides()) {
    Fail(L"cannot set the program's environment", GetLastError());
    return kRunnerFailed;
  }

  UniqueHandle held;
  std::wstring hold_path;
  if (ReadEnvironment(L"PELKO_E2E_HOLD", hold_path) && !hold_path.empty()) {
    held.Reset(CreateFileW(hold_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held.valid()) {
      Fail(L"cannot hold the file open", GetLastError());
      return kRunnerFailed;
    }
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  UniqueHandle child_output;
  std::wstring child_output_path;
  if (ReadEnvironment(L"PELKO_E2E_CHILD_OUT", child_output_path) && !child_output_path.empty()) {
    child_output = OpenInheritableOutput(child_output_path);
    if (!child_output.valid()) {
      Fail(L"cannot create the output file", GetLastError());
      return kRunnerFailed;
    }
    startup.hStdOutput = child_output.get();
    startup.hStdError = child_output.get();
  } else {
    // Our standard output is reserved for the exit code line.
    startup.hStdOutput = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }

  // CreateProcessW may write into the command line buffer, so it gets a copy of its own.
  std::vector<wchar_t> mutable_line(command_line.begin(), command_line.end());
  mutable_line.push_back(L'\0');
  PROCESS_INFORMATION process{};
  // Under load Wine now and then loses a new process before it has run any of its own code,
  // and CreateProcessW then fails with ERROR_INTERNAL_ERROR; nothing of the program ran, so
  // starting it again is safe. Any other failure is the test's.
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(program.c_str(), mutable_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process)) {
      break;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == kStartAttempts) {
      Fail(L"CreateProcessW failed", error);
      return kRunnerFailed;
    }
    fwprintf(stderr, L"e2e_runner: the program was lost while starting (error %lu); again\n",
             static_cast<unsigned long>(error));
    mutable_line.assign(command_line.begin(), command_line.end());
    mutable_line.push_back(L'\0');
    Sleep(200);
  }
  UniqueHandle process_handle(process.hProcess);
  UniqueHandle thread_handle(process.hThread);

  if (WaitForSingleObject(process_handle.get(), timeout_ms) != WAIT_OBJECT_0) {
    ReportHang();
    TerminateProcess(process_handle.get(), ERROR_TIMEOUT);
    WaitForSingleObject(process_handle.get(), INFINITE);
    Fail(L"the program did not end in time and was terminated", ERROR_TIMEOUT);
    return kRunnerFailed;
  }
  DWORD exit_code = 0;
  if (!GetExitCodeProcess(process_handle.get(), &exit_code)) {
    Fail(L"GetExitCodeProcess failed", GetLastError());
    return kRunnerFailed;
  }
  printf("%lu\n", static_cast<unsigned long>(exit_code));
  fflush(stdout);
  return 0;
}

}  // namespace

int wmain() { return Run(); }
