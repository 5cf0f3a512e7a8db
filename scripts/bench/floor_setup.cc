// The floor of the setup benchmark: the least an in-process bootstrapper can do to install its
// embedded package. One write of the "ID_MSI" resource to the temporary folder, the installer's
// UI switched off, one install call, the file deleted, the installer's result as the exit code.
// Nothing else, so the setup's own time can be set against it.
//
// Build options (-D): FLOOR_PROPERTIES, the property command line, in quotes (default empty);
// FLOOR_LOG, when defined also asks for the installer's verbose log beside the package, in the
// same mode as the setup does, so the log's own cost shows. msi.dll is linked through its import
// library: finding the functions by ordinal at run time, as the setup does, costs microseconds.
#include <windows.h>
#include <msi.h>

#ifndef FLOOR_PROPERTIES
#define FLOOR_PROPERTIES L""
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH + 32];
  DWORD length = GetTempPathW(MAX_PATH, path);
  if (length == 0 || length >= MAX_PATH) return ERROR_INSTALL_PACKAGE_OPEN_FAILED;
  lstrcpyW(path + length, L"PelkoFloor.msi");

  HRSRC resource = FindResourceW(nullptr, L"ID_MSI", L"BINARY");
  HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = resource != nullptr ? SizeofResource(nullptr, resource) : 0;
  if (data == nullptr || size == 0) return ERROR_INSTALL_PACKAGE_OPEN_FAILED;
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ERROR_INSTALL_PACKAGE_OPEN_FAILED;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, data, size, &written, nullptr);
  CloseHandle(file);
  if (!ok || written != size) return ERROR_INSTALL_PACKAGE_OPEN_FAILED;

#ifdef FLOOR_LOG
  wchar_t log_path[MAX_PATH + 40];
  lstrcpyW(log_path, path);
  lstrcatW(log_path, L".log");
  // The setup's mode: property dump, common data, verbose, extra debug.
  MsiEnableLogW(0x3c00, log_path, 0);
#endif
  MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  const UINT result = MsiInstallProductW(path, FLOOR_PROPERTIES);
  DeleteFileW(path);
#ifdef FLOOR_LOG
  DeleteFileW(log_path);
#endif
  return static_cast<int>(result);
}
