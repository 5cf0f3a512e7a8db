#include "setup/post_install/post_install_launch_win32.h"

#include <exdisp.h>

#include <memory>
#include <new>

#include "setup/post_install/registry_string.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr wchar_t kLaunchKeyPath[] = L"Software\\Tavrin";
constexpr wchar_t kLaunchValueName[] = L"PostInstallLaunch";
constexpr REGSAM kLaunchKeyAccess = KEY_READ | KEY_WRITE;  // 0x2001F
constexpr DWORD kFirstBufferChars = 260;

// Queries the value into a buffer that starts at 260 characters and doubles while the registry
// answers ERROR_MORE_DATA. False when the query fails or the buffer cannot grow further.
bool QueryLaunchValue(HKEY key, DWORD& type, std::unique_ptr<wchar_t[]>& buffer,
                      DWORD& byte_count) {
  DWORD chars = kFirstBufferChars;
  for (;;) {
    buffer.reset(new (std::nothrow) wchar_t[chars]());
    if (!buffer) return false;
    byte_count = chars * sizeof(wchar_t);
    const LSTATUS status = RegQueryValueExW(key, kLaunchValueName, nullptr, &type,
                                            reinterpret_cast<BYTE*>(buffer.get()), &byte_count);
    if (status == ERROR_SUCCESS) return byte_count <= chars * sizeof(wchar_t);
    if (status != ERROR_MORE_DATA) return false;
    if (chars > MAXDWORD / sizeof(wchar_t) / 2) return false;
    chars *= 2;
  }
}

}  // namespace

std::u16string TakePostInstallLaunch() {
  RegKey key;
  if (key.Open(HKEY_CURRENT_USER, kLaunchKeyPath, kLaunchKeyAccess) != ERROR_SUCCESS) return {};
  std::u16string request;
  {
    DWORD type = 0;
    DWORD byte_count = 0;
    std::unique_ptr<wchar_t[]> buffer;
    if (QueryLaunchValue(key.get(), type, buffer, byte_count)) {
      ParseLaunchRequest(type, reinterpret_cast<const uint8_t*>(buffer.get()), byte_count,
                         request);
    }
  }
  // The request is one-shot: whatever it held, no later run may find it again.
  RegDeleteValueW(key.get(), kLaunchValueName);
  return request;
}

bool StartProgramDirectly(const std::u16string& program_path) {
  // sizeof is the platform's own size of the structure (68 bytes in a 32-bit build).
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  const BOOL started = CreateProcessW(AsWide(program_path), nullptr, nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &info);
  // Declared in this order so that the thread handle is closed before the process handle.
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  return started != FALSE;
}

void LaunchThroughShell(const std::u16string& program_path) {
  LaunchProgram(program_path, CLSID_ShellWindows);
}

}  // namespace pelko::setup
