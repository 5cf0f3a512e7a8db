#include "setup/post_install/post_install_launch_win32.h"

#include <gtest/gtest.h>
#include <exdisp.h>
#include <tlhelp32.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "setup/post_install/fake_shell_win32_test_support.h"
#include "setup/post_install/test_support_win32.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

using test::Utf16Bytes;
using test::ValueExists;

constexpr wchar_t kLaunchKey[] = L"Software\\Tavrin";
constexpr wchar_t kLaunchValue[] = L"PostInstallLaunch";
constexpr wchar_t kProbePrefix[] = L"pelko-launch-probe-";
constexpr DWORD kProbeWaitMs = 60000;

std::wstring FileStem(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring ProbeEventName(const std::wstring& probe_path) {
  return L"Local\\" + FileStem(probe_path);
}

// Who started the probe: its own and its parent's process ids, the parent's file name and the
// command line it received.
struct ProbeTrace {
  DWORD pid = 0;
  DWORD parent_pid = 0;
  std::wstring parent_exe;
  std::wstring command_line;
};

void WriteProbeTrace(const std::wstring& self) {
  ProbeTrace trace;
  trace.pid = GetCurrentProcessId();
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  std::vector<PROCESSENTRY32W> processes;
  if (snapshot.valid() && Process32FirstW(snapshot.get(), &entry)) {
    do processes.push_back(entry);
    while (Process32NextW(snapshot.get(), &entry));
  }
  for (const auto& p : processes) {
    if (p.th32ProcessID == trace.pid) trace.parent_pid = p.th32ParentProcessID;
  }
  for (const auto& p : processes) {
    if (p.th32ProcessID == trace.parent_pid) trace.parent_exe = p.szExeFile;
  }
  const std::wstring text = std::to_wstring(trace.pid) + L"\n" +
                            std::to_wstring(trace.parent_pid) + L"\n" + trace.parent_exe + L"\n" +
                            GetCommandLineW();
  UniqueHandle file(CreateFileW((self + L".trace").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (file.valid()) {
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
              &written, nullptr);
  }
}

// Run under a probe's file name, this test program stands for the launched application: it
// leaves its trace beside itself, wakes the waiting test and ends before any test runs.
const bool kRanAsProbe = [] {
  const std::wstring self = test::OwnModulePath();
  if (FileStem(self).rfind(kProbePrefix, 0) != 0) return false;
  WriteProbeTrace(self);
  UniqueHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, ProbeEventName(self).c_str()));
  if (event.valid()) SetEvent(event.get());
  ExitProcess(0);
  return true;
}();

bool ReadProbeTrace(const std::wstring& probe_path, ProbeTrace& trace) {
  const std::vector<uint8_t> bytes = test::ReadFileBytes(probe_path + L".trace");
  if (bytes.empty() || bytes.size() % 2 != 0) return false;
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
  std::wistringstream lines(text);
  std::wstring pid, parent_pid;
  if (!std::getline(lines, pid) || !std::getline(lines, parent_pid) ||
      !std::getline(lines, trace.parent_exe) || !std::getline(lines, trace.command_line)) {
    return false;
  }
  trace.pid = std::stoul(pid);
  trace.parent_pid = std::stoul(parent_pid);
  return true;
}

// A copy of this program under a probe name in a scratch folder, and the event it signals.
class LaunchProbe {
 public:
  LaunchProbe() {
    static int counter = 0;
    path_ = folder_.path() + kProbePrefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L".exe";
    copied_ = CopyFileW(test::OwnModulePath().c_str(), path_.c_str(), FALSE) != FALSE;
    event_.Reset(CreateEventW(nullptr, TRUE, FALSE, ProbeEventName(path_).c_str()));
  }
  bool ready() const { return copied_ && event_.valid(); }
  const std::wstring& path() const { return path_; }

  // Waits until the probe has run and ended; false when it never signalled.
  bool WaitForTrace(ProbeTrace& trace) {
    if (WaitForSingleObject(event_.get(), kProbeWaitMs) != WAIT_OBJECT_0) return false;
    if (!ReadProbeTrace(path_, trace)) return false;
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, trace.pid));
    if (process.valid()) WaitForSingleObject(process.get(), kProbeWaitMs);
    return true;
  }

 private:
  test::ScratchFolder folder_{L"launch"};
  std::wstring path_;
  bool copied_ = false;
  UniqueHandle event_;
};

// No server is registered for this class, so the shell route fails at its first step.
constexpr CLSID kUnservedShellWindows = {
    0xf1d7c2e0, 0x5a3b, 0x4c6d, {0x9e, 0x8f, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab}};

const char* StepName(ShellRouteStep step) {
  switch (step) {
    case ShellRouteStep::kShellWindows: return "shell windows object";
    case ShellRouteStep::kDesktopWindow: return "desktop window";
    case ShellRouteStep::kTopLevelBrowser: return "top-level browser";
    case ShellRouteStep::kActiveShellView: return "active shell view";
    case ShellRouteStep::kBackgroundObject: return "background object";
    case ShellRouteStep::kFolderView: return "folder view";
    case ShellRouteStep::kApplication: return "application";
    case ShellRouteStep::kShellDispatch: return "shell dispatch";
    case ShellRouteStep::kPathCopy: return "path copy";
    case ShellRouteStep::kShellExecute: return "ShellExecute";
    case ShellRouteStep::kDone: return "done";
  }
  return "?";
}

class TakePostInstallLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kLaunchKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    ASSERT_EQ(key_.Open(HKEY_CURRENT_USER, kLaunchKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
  }
  void TearDown() override { RegDeleteValueW(key_.get(), kLaunchValue); }

  RegKey key_;
};

TEST_F(TakePostInstallLaunchTest, ReadsTheRequestCompletelyAndDeletesItWhateverItHeld) {
  const std::u16string program = u"C:\\Program Files\\Tavrin Pelko\\pelko.exe";
  const std::u16string chars259 = u"C:\\" + std::u16string(252, u'a') + u".exe";
  const std::u16string chars260 = chars259 + u"x";
  const std::u16string chars600 = u"C:\\" + std::u16string(593, u'b') + u".exe";
  const std::u16string chars5000 = u"C:\\" + std::u16string(4993, u'c') + u".exe";
  struct Case {
    const char* name;
    DWORD type;
    std::vector<uint8_t> data;
    std::u16string request;
  } const kCases[] = {
      {"REG_SZ", REG_SZ, Utf16Bytes(program, true), program},
      {"REG_EXPAND_SZ, not expanded", REG_EXPAND_SZ, Utf16Bytes(u"%WINDIR%\\a.exe", true),
       u"%WINDIR%\\a.exe"},
      {"259 characters fill the first buffer", REG_SZ, Utf16Bytes(chars259, true), chars259},
      {"260 characters need one doubling", REG_SZ, Utf16Bytes(chars260, true), chars260},
      {"600 characters need two doublings", REG_SZ, Utf16Bytes(chars600, true), chars600},
      {"5000 characters", REG_EXPAND_SZ, Utf16Bytes(chars5000, true), chars5000},
      {"no bytes", REG_SZ, {}, u""},
      {"only a terminator", REG_SZ, Utf16Bytes(u"", true), u""},
      {"odd byte count", REG_SZ, [&] {
         auto bytes = Utf16Bytes(program, true);
         bytes.push_back('A');
         return bytes;
       }(),
       u""},
      {"missing terminator", REG_SZ, Utf16Bytes(program, false), u""},
      {"long and missing its terminator", REG_SZ, Utf16Bytes(chars600, false), u""},
      {"REG_BINARY with string bytes", REG_BINARY, Utf16Bytes(program, true), u""},
      {"REG_DWORD", REG_DWORD, {1, 0, 0, 0}, u""},
      {"REG_MULTI_SZ", REG_MULTI_SZ, Utf16Bytes(program + u'\0', true), u""},
      {"embedded null", REG_SZ, Utf16Bytes(program + u'\0' + u"tail", true), program},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(test::WriteRawValue(key_.get(), kLaunchValue, c.type, c.data), ERROR_SUCCESS);
    ASSERT_EQ(test::WriteRawValue(key_.get(), L"Neighbour", REG_SZ, Utf16Bytes(u"stays", true)),
              ERROR_SUCCESS);
    EXPECT_EQ(TakePostInstallLaunch(), c.request);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kLaunchKey, kLaunchValue));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kLaunchKey, L"Neighbour"));
    // One-shot: a second run finds nothing.
    EXPECT_EQ(TakePostInstallLaunch(), u"");
  }
  RegDeleteValueW(key_.get(), L"Neighbour");
}

TEST_F(TakePostInstallLaunchTest, AbsentValueOrKeyYieldsNothingAndCreatesNothing) {
  EXPECT_EQ(TakePostInstallLaunch(), u"");
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kLaunchKey, kLaunchValue));

  // Without the key: nothing read and the key is not created.
  key_.Reset();
  const LSTATUS removed = RegDeleteTreeW(HKEY_CURRENT_USER, kLaunchKey);
  ASSERT_EQ(removed, ERROR_SUCCESS);
  EXPECT_EQ(TakePostInstallLaunch(), u"");
  RegKey probe;
  EXPECT_EQ(probe.Open(HKEY_CURRENT_USER, kLaunchKey, KEY_READ), ERROR_FILE_NOT_FOUND);
  SetUp();
}

TEST(LaunchProgramTest, StartsDirectlyWhenTheShellRouteCannotWork) {
  LaunchProbe probe;
  ASSERT_TRUE(probe.ready());
  const LaunchOutcome outcome = LaunchProgram(FromWide(probe.path().c_str()),
                                              kUnservedShellWindows);
  EXPECT_TRUE(outcome.started_directly);
  EXPECT_EQ(outcome.reached, ShellRouteStep::kShellWindows);
  EXPECT_TRUE(FAILED(outcome.shell_status));
  ProbeTrace trace;
  ASSERT_TRUE(probe.WaitForTrace(trace)) << "the program was not started";
  EXPECT_EQ(trace.parent_pid, GetCurrentProcessId());
  // The path is the application name and there is no command line: the program receives the
  // path alone (the platform may quote it), without arguments.
  std::wstring received = trace.command_line;
  if (received.size() >= 2 && received.front() == L'"' && received.back() == L'"') {
    received = received.substr(1, received.size() - 2);
  }
  EXPECT_EQ(received, probe.path()) << trace.command_line;
}

TEST(LaunchProgramTest, TheDesktopShellRouteOrTheDirectStartRunsTheProgramOnce) {
  LaunchProbe probe;
  ASSERT_TRUE(probe.ready());
  const LaunchOutcome outcome = LaunchProgram(FromWide(probe.path().c_str()), CLSID_ShellWindows);
  ProbeTrace trace;
  ASSERT_TRUE(probe.WaitForTrace(trace)) << "the program was not started";
  std::wcout << L"[ route    ] shell route reached: " << StepName(outcome.reached)
             << L", status 0x" << std::hex << static_cast<unsigned long>(outcome.shell_status)
             << std::dec << L", started "
             << (outcome.started_directly ? L"directly" : L"by the shell") << L"; parent "
             << trace.parent_exe << L"\n";
  RecordProperty("shell_route_reached", StepName(outcome.reached));
  RecordProperty("started_directly", outcome.started_directly ? "yes" : "no");
  if (outcome.started_directly) {
    EXPECT_TRUE(FAILED(outcome.shell_status));
    EXPECT_EQ(trace.parent_pid, GetCurrentProcessId());
  } else {
    // The shell took the request: the program is the shell's child, never started by us too.
    EXPECT_EQ(outcome.reached, ShellRouteStep::kDone);
    EXPECT_NE(trace.parent_pid, GetCurrentProcessId());
  }
}

TEST(LaunchProgramTest, AShellThatRefusesTheRequestLeadsToTheDirectStart) {
  LaunchProbe probe;
  ASSERT_TRUE(probe.ready());
  test::FakeShell shell;
  shell.FailAt(ShellRouteStep::kShellExecute, test::FakeShell::Failure::kError);
  {
    ShellRouteObjects objects;
    shell.AddRef();
    *objects.windows.Put() = &shell;
    const LaunchOutcome outcome =
        LaunchWithShellWindows(FromWide(probe.path().c_str()), objects);
    EXPECT_TRUE(outcome.started_directly);
    EXPECT_EQ(outcome.reached, ShellRouteStep::kShellExecute);
  }
  EXPECT_TRUE(shell.executed);
  EXPECT_EQ(shell.outstanding(), 0);
  ProbeTrace trace;
  ASSERT_TRUE(probe.WaitForTrace(trace)) << "the program was not started";
  EXPECT_EQ(trace.parent_pid, GetCurrentProcessId());
}

TEST(LaunchProgramTest, LaunchThroughShellStartsTheProgram) {
  LaunchProbe probe;
  ASSERT_TRUE(probe.ready());
  LaunchThroughShell(FromWide(probe.path().c_str()));
  ProbeTrace trace;
  EXPECT_TRUE(probe.WaitForTrace(trace)) << "the program was not started";
}

TEST(LaunchProgramTest, DirectStartOfAMissingProgramReportsFailure) {
  test::ScratchFolder folder(L"missing");
  EXPECT_FALSE(StartProgramDirectly(FromWide((folder.path() + L"absent.exe").c_str())));
}

}  // namespace
}  // namespace pelko::setup
